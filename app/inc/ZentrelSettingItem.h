// One row of the settings menu: the title row, a switch row, a two-line row
// whose second line comes from the store, or a plain one-line row.
#pragma once

#include <WGenlistItem.h>

#include <functional>
#include <string>

enum SETTING_ITEM_INDEX_TYPE {
    TITLE = 0,
    AUTO_REFRESH = 1,
    MANUAL_CALIBRATION = 2,
    PRESSURE_ALERTS = 3,
    ALTITUDE_UNIT = 4,
    PRESSURE_UNIT = 5,
    CURRENT_LOCATION = 6,
    HELP = 7,
};

class ZentrelSettingItem : public brisa::WGenlistItem {
  public:
    // A switch row.
    ZentrelSettingItem(SETTING_ITEM_INDEX_TYPE kind, int index, std::string title);
    // A two-line row.
    ZentrelSettingItem(SETTING_ITEM_INDEX_TYPE kind, std::string title, std::string title2);
    // A title row.
    ZentrelSettingItem(SETTING_ITEM_INDEX_TYPE kind, std::string title);
    // A plain one-line row.
    ZentrelSettingItem(SETTING_ITEM_INDEX_TYPE kind, std::string title, bool);
    ~ZentrelSettingItem() override;

    Elm_Genlist_Item_Class* getItemClassNew() override;
    void onSelect(Elm_Object_Item* item) override;

    // Appends the row (each row with its own style); the genlist owns it then.
    Elm_Object_Item* append(Evas_Object* genlist);
    // A round list: a genlist that the bezel scrolls, its circle object in circle.
    static Evas_Object* createList(Evas_Object* parent, Evas_Object** circle);
    // The empty row at the end of a list, so its last row can reach the centre.
    static void appendPadding(Evas_Object* genlist);
    void UpdateTitle(std::string title2);
    void updateItem();
    void setSelectedCb(std::function<void()> cb) { _selectedCb = std::move(cb); }

    // Moves the switch with its animation; does nothing on rows without one.
    void setSwitch(bool on);
    Evas_Object* getCheck() const { return _checkBoxItem; }
    SETTING_ITEM_INDEX_TYPE getListIndex() const { return _listIndex; }
    int getIndex() const { return _index; }
    const char* getStyle() const;
    // The texts the row shows, as the genlist asks for them.
    std::string getPartText(const char* part) const;

  private:
    bool _storedSwitchState() const;
    std::string _secondLine() const;
    Evas_Object* _createCheck(Evas_Object* parent);
    void _describeCheck(bool on);

    static char* _textGetCb(void* data, Evas_Object* obj, const char* part);
    static Evas_Object* _contentGetCb(void* data, Evas_Object* obj, const char* part);
    static void _checkDelCb(void* data, Evas* evas, Evas_Object* obj, void* eventInfo);

    Evas_Object* _checkBoxItem = nullptr;
    std::string _title;
    std::string _title2;
    int _index = 0;
    SETTING_ITEM_INDEX_TYPE _listIndex;
    bool _isTitle = false;
    bool _isTwoItem = false;
    bool _isHelp = false;
    bool _isIcon = false;
    std::function<void()> _selectedCb;
};
