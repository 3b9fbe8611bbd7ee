// The altitude setter: the user enters the altitude known for this place,
// and the sea-level pressure that makes the live pressure read as that
// altitude is stored.
#pragma once

#include "ZentrelSettingSetterViewController.h"

class ZentrelSettingAltiViewController : public ZentrelSettingSetterViewController {
  public:
    ZentrelSettingAltiViewController();
    ~ZentrelSettingAltiViewController() override = default;

    const char* getClassName() const override { return "ZentrelSettingAltiViewController"; }

    // The altitude now, in the chosen unit, rounded and clamped to the range.
    static int currentAltitude();

    int getValue() const { return mCurAlti; }
    // The entry's text, as the numeric entry hands it back.
    void applyEnteredText(const char* text);
    void openEntry() override;
    void set() override;

  protected:
    Evas_Object* onCreateView(Evas_Object* parent, void* viewParam) override;

  private:
    int mMin = 0;
    int mMax = 0;
    int mCurAlti = 0;
};
