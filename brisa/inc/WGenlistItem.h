#ifndef BRISA_WGENLIST_ITEM_H
#define BRISA_WGENLIST_ITEM_H

#include <Elementary.h>

namespace brisa {

// One genlist row. The item is the row's data and belongs to the row: it is
// deleted when the row is deleted.
class WGenlistItem {
  public:
    WGenlistItem();
    virtual ~WGenlistItem();

    // The row class shared by all rows of the concrete type.
    virtual Elm_Genlist_Item_Class* getItemClassStatic();
    // A new row class whose del_func deletes the WGenlistItem; derived
    // classes fill in style and content functions.
    virtual Elm_Genlist_Item_Class* getItemClassNew();
    virtual void onSelect(Elm_Object_Item* item);
    virtual void onSetElmObjectItem();

    Elm_Object_Item* getElmObjectItem() const { return _item; }
    void setElmObjectItem(Elm_Object_Item* item);
    // The select callback to pass to elm_genlist_item_append with this item as data.
    static Evas_Smart_Cb getSelectCb();

    // Appends the row to the genlist; the genlist then owns this item.
    Elm_Object_Item* appendTo(Evas_Object* genlist, Elm_Object_Item* parent = nullptr,
                              Elm_Genlist_Item_Type type = ELM_GENLIST_ITEM_NONE);

    WGenlistItem(const WGenlistItem&) = delete;
    WGenlistItem& operator=(const WGenlistItem&) = delete;

  private:
    static void _selectCb(void* data, Evas_Object* obj, void* eventInfo);
    static void _delCb(void* data, Evas_Object* obj);

    Elm_Object_Item* _item = nullptr;
};

}  // namespace brisa

#endif
