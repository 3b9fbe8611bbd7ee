// The numeric entry the two setters open: one line, only the characters the
// number may hold. Done (the Return key, or the Done button) hands the text
// back to the setter; hiding the keypad (Escape) leaves without a value.
#pragma once

#include <WContentViewController.h>

#include <functional>
#include <string>

class ZentrelSettingInputViewController : public brisa::WContentViewController {
  public:
    // A signed whole number.
    ZentrelSettingInputViewController(int value, double min, double max);
    // An unsigned number; blockDot refuses the decimal point.
    ZentrelSettingInputViewController(const char* value, double min, double max, bool blockDot);
    ~ZentrelSettingInputViewController() override = default;

    const char* getClassName() const override { return "ZentrelSettingInputViewController"; }

    void setReturnValueCb(const std::function<void(const char*)>& cb) { mRurnValueCb = cb; }

    Evas_Object* getEntry() const { return mEntry; }
    const char* getAcceptedCharacters() const { return _accept.accepted; }
    bool isDoneEnabled() const;
    // As the keypad's Done key does.
    void done();
    // As hiding the keypad does.
    void hideKeypad();

  protected:
    Evas_Object* onCreateView(Evas_Object* parent, void* viewParam) override;
    void onPushed(Elm_Object_Item* naviItem) override;
    bool onPop() override;

  private:
    void _changedByUser();
    void _updateDone();
    static void _changedCb(void* data, Evas_Object* obj, void* eventInfo);
    static void _activatedCb(void* data, Evas_Object* obj, void* eventInfo);
    static void _cursorChangedCb(void* data, Evas_Object* obj, void* eventInfo);
    static void _focusedCb(void* data, Evas_Object* obj, void* eventInfo);
    static void _unfocusedCb(void* data, Evas_Object* obj, void* eventInfo);
    static void _backCb(void* data, Evas_Object* obj, void* eventInfo);

    Evas_Object* mEntry = nullptr;
    double mMin = 0;
    double mMax = 0;
    std::string mValue;
    std::function<void(const char*)> mRurnValueCb;
    bool mKeypadHide = false;
    bool mIsPopOut = false;
    bool mIsEntryFocused = false;
    bool mBlockDot = false;
    std::string mSign;
    Evas_Object* _layout = nullptr;
    Evas_Object* _doneButton = nullptr;
    Elm_Entry_Filter_Accept_Set _accept = {nullptr, nullptr};
};
