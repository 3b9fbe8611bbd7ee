// The sea-level pressure setter: the user enters the sea-level pressure in
// the chosen unit; it is stored in hPa.
#pragma once

#include "ZentrelSettingSetterViewController.h"

class ZentrelSettingSLPViewController : public ZentrelSettingSetterViewController {
  public:
    ZentrelSettingSLPViewController();
    ~ZentrelSettingSLPViewController() override = default;

    const char* getClassName() const override { return "ZentrelSettingSLPViewController"; }

    // The stored sea-level pressure in the chosen unit: two decimals in inHg,
    // whole otherwise, clamped to the range.
    static double currentSlp();

    double getValue() const { return mCurSlp; }
    void applyEnteredText(const char* text);
    void openEntry() override;
    void set() override;

  protected:
    Evas_Object* onCreateView(Evas_Object* parent, void* viewParam) override;

  private:
    void _showSlp();

    double mMin = 0;
    double mMax = 0;
    double mCurSlp = 0;
};
