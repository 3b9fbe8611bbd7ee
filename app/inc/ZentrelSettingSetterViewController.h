// What the altitude setter and the sea-level pressure setter share: a title,
// a large number that opens the numeric entry when tapped, its unit, and a
// Set button that stores the value.
#pragma once

#include <WContentViewController.h>

#include <string>

class ZentrelSettingSetterViewController : public brisa::WContentViewController {
  public:
    Evas_Object* getLayout() const { return mLayout; }
    Evas_Object* getTextLayout() const { return mTextLayout; }
    std::string getNumberText() const;
    // What the screen reader reads for the number.
    std::string getAccessText() const;

    // As a tap on the number does.
    virtual void openEntry() = 0;
    // As the Set button does.
    virtual void set() = 0;

  protected:
    enum TapSource { TAP_NUMBER_LAYOUT, TAP_TOUCH_RECT };
    // The screen, with the number layout of group numberGroup; a tap on the
    // number (as tapSource names it) opens the entry.
    Evas_Object* _createScreen(Evas_Object* parent, const char* numberGroup, const char* title,
                               const char* unit, const char* longUnit, TapSource tapSource);
    void _showNumber(const std::string& text);
    void onPushed(Elm_Object_Item* naviItem) override;

    Evas_Object* mLayout = nullptr;
    Evas_Object* mTextLayout = nullptr;

  private:
    static void _clickedCb(void* data, Evas_Object* obj, const char* emission, const char* source);
    static void _setClickedCb(void* data, Evas_Object* obj, void* eventInfo);
    static void _accessActivateCb(void* data, Evas_Object* part, Elm_Object_Item* item);

    Evas_Object* _title = nullptr;
    Evas_Object* _accessObj = nullptr;
    std::string _longUnit;
};
