#include "WGenlistItem.h"

#include <ostra/dlog.h>

#include <map>
#include <typeindex>

namespace brisa {

WGenlistItem::WGenlistItem() = default;

WGenlistItem::~WGenlistItem() = default;

Elm_Genlist_Item_Class* WGenlistItem::getItemClassStatic() {
    // One class per concrete row type, kept for the life of the process.
    static std::map<std::type_index, Elm_Genlist_Item_Class*> classes;
    Elm_Genlist_Item_Class*& itc = classes[std::type_index(typeid(*this))];
    if (!itc)
        itc = getItemClassNew();
    return itc;
}

Elm_Genlist_Item_Class* WGenlistItem::getItemClassNew() {
    Elm_Genlist_Item_Class* itc = elm_genlist_item_class_new();
    itc->item_style = "default";
    itc->func.del = _delCb;
    return itc;
}

void WGenlistItem::onSelect(Elm_Object_Item*) {}

void WGenlistItem::onSetElmObjectItem() {}

void WGenlistItem::setElmObjectItem(Elm_Object_Item* item) {
    _item = item;
    onSetElmObjectItem();
}

Evas_Smart_Cb WGenlistItem::getSelectCb() {
    return _selectCb;
}

Elm_Object_Item* WGenlistItem::appendTo(Evas_Object* genlist, Elm_Object_Item* parent,
                                        Elm_Genlist_Item_Type type) {
    if (!genlist) {
        dlog_print(DLOG_ERROR, "BRISA", "appendTo: null genlist");
        delete this;
        return nullptr;
    }
    Elm_Object_Item* item =
        elm_genlist_item_append(genlist, getItemClassStatic(), this, parent, type, _selectCb, this);
    if (!item) {
        delete this;
        return nullptr;
    }
    setElmObjectItem(item);
    return item;
}

void WGenlistItem::_selectCb(void* data, Evas_Object*, void* eventInfo) {
    if (!data) {
        dlog_print(DLOG_ERROR, "BRISA", "data is null");
        return;
    }
    static_cast<WGenlistItem*>(data)->onSelect(static_cast<Elm_Object_Item*>(eventInfo));
}

void WGenlistItem::_delCb(void* data, Evas_Object*) {
    auto* self = static_cast<WGenlistItem*>(data);
    self->_item = nullptr;
    delete self;
}

}  // namespace brisa
