// One row of a unit picker: the unit's name and its radio in the picker's
// radio group.
#pragma once

#include <WGenlistItem.h>

#include <functional>
#include <string>

class ZentrelSettingUnitItem : public brisa::WGenlistItem {
  public:
    // index is the radio's value: the unit's stored number + 1.
    ZentrelSettingUnitItem(std::string title, int index, Evas_Object* radioGroup);
    ~ZentrelSettingUnitItem() override = default;

    Elm_Genlist_Item_Class* getItemClassNew() override;
    void onSelect(Elm_Object_Item* item) override;

    Elm_Object_Item* append(Evas_Object* genlist);
    void setSelectedCb(std::function<void(int index)> cb) { _selectedCb = std::move(cb); }
    int getIndex() const { return _index; }
    const std::string& getTitle() const { return _title; }

  private:
    static char* _textGetCb(void* data, Evas_Object* obj, const char* part);
    static Evas_Object* _contentGetCb(void* data, Evas_Object* obj, const char* part);

    std::string _title;
    int _index;
    Evas_Object* _radioGroup;
    std::function<void(int index)> _selectedCb;
};
