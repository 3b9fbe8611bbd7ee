#include "ZentrelSettingUnitItem.h"

#include <ZentrelLog.h>
#include <ostra/i18n.h>

#include <cstring>

ZentrelSettingUnitItem::ZentrelSettingUnitItem(std::string title, int index,
                                               Evas_Object* radioGroup)
    : _title(std::move(title)), _index(index), _radioGroup(radioGroup) {}

Elm_Genlist_Item_Class* ZentrelSettingUnitItem::getItemClassNew() {
    Elm_Genlist_Item_Class* itc = brisa::WGenlistItem::getItemClassNew();
    itc->item_style = "1text.1icon.radio";
    itc->func.text_get = _textGetCb;
    itc->func.content_get = _contentGetCb;
    return itc;
}

Elm_Object_Item* ZentrelSettingUnitItem::append(Evas_Object* genlist) {
    Elm_Genlist_Item_Class* itc = getItemClassNew();
    Elm_Object_Item* item = elm_genlist_item_append(genlist, itc, this, nullptr,
                                                    ELM_GENLIST_ITEM_NONE, getSelectCb(), this);
    elm_genlist_item_class_free(itc);
    if (!item) {
        delete this;
        return nullptr;
    }
    setElmObjectItem(item);
    return item;
}

void ZentrelSettingUnitItem::onSelect(Elm_Object_Item* item) {
    elm_genlist_item_selected_set(item, EINA_FALSE);
    if (_selectedCb) {
        _selectedCb(_index);
    }
}

char* ZentrelSettingUnitItem::_textGetCb(void* data, Evas_Object*, const char* part) {
    auto* self = static_cast<ZentrelSettingUnitItem*>(data);
    if (!self) {
        ZLOGE("data is null");
        return nullptr;
    }
    if (!part || strcmp(part, "elm.text") != 0) {
        return nullptr;
    }
    return strdup(i18n_get_text(self->_title.c_str()));
}

Evas_Object* ZentrelSettingUnitItem::_contentGetCb(void* data, Evas_Object* obj, const char* part) {
    auto* self = static_cast<ZentrelSettingUnitItem*>(data);
    if (!self) {
        ZLOGE("data is null");
        return nullptr;
    }
    if (!part || strcmp(part, "elm.icon") != 0) {
        return nullptr;
    }
    Evas_Object* radio = elm_radio_add(obj);
    elm_object_style_set(radio, "zentrel_list");
    elm_radio_state_value_set(radio, self->_index);
    elm_radio_group_add(radio, self->_radioGroup);
    // The row takes the touches, so a tap on the radio selects the row.
    elm_object_signal_emit(radio, "elm,event,pass,enabled", "elm");
    return radio;
}
