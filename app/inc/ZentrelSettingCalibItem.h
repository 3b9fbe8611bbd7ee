// One row of the manual calibration list: the title, the manual-mode switch,
// or a value row (a name and the value in the chosen unit).
#pragma once

#include <WGenlistItem.h>

#include <functional>
#include <string>

class ZentrelSettingCalibItem : public brisa::WGenlistItem {
  public:
    enum ListIndex { LIST_TITLE = 0, LIST_SWITCH = 1, LIST_ALTITUDE = 2, LIST_SLP = 3 };

    // A title row.
    ZentrelSettingCalibItem(int listIndex, std::string title);
    // A switch row.
    ZentrelSettingCalibItem(int listIndex, int index, std::string title);
    // A two-line row.
    ZentrelSettingCalibItem(int listIndex, std::string title, std::string title2);
    ~ZentrelSettingCalibItem() override;

    void updateTitle(std::string title2) { _title2 = std::move(title2); }
    void setSelectedCb(std::function<void()> cb) { _selectedCb = std::move(cb); }
    // The switch row enables and disables the two value rows.
    void setValueItems(Elm_Object_Item* alti, Elm_Object_Item* slp) {
        objItem2 = alti;
        objItem3 = slp;
    }

    int getListIndex() const { return _listIndex; }
    const std::string& getTitle2() const { return _title2; }
    // The switch as shown, or null while the row is not realised.
    Evas_Object* getCheck() const { return _check; }

    Elm_Genlist_Item_Class* getItemClassStatic() override;
    Elm_Genlist_Item_Class* getItemClassNew() override;
    void onSelect(Elm_Object_Item* item) override;
    void onSetElmObjectItem() override;
    std::string accessText() const;

  private:
    const char* _style() const;
    void _toggleManualMode(Elm_Object_Item* item);
    static char* _textGet(void* data, Evas_Object* obj, const char* part);
    static Evas_Object* _contentGet(void* data, Evas_Object* obj, const char* part);
    static void _checkDelCb(void* data, Evas* evas, Evas_Object* obj, void* eventInfo);

    Evas_Object* _check = nullptr;
    Elm_Object_Item* objItem2 = nullptr;
    Elm_Object_Item* objItem3 = nullptr;
    std::string _title;
    std::string _title2;
    int _index = 0;
    int _listIndex = 0;
    bool _isTitle = false;
    bool _isPadding = false;
    bool _isTwoItem = false;
    bool _isCheck = false;
    Evas_Object* contentCheck = nullptr;
    std::function<void()> _selectedCb;
};
