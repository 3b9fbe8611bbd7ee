// The pressure unit picker: hPa, inHg or mmHg.
#pragma once

#include "ZentrelSettingUnitViewController.h"

class ZentrelSettingPressureUnitViewController : public ZentrelSettingUnitViewController {
  public:
    ZentrelSettingPressureUnitViewController();
    const char* getClassName() const override { return "ZentrelSettingPressureUnitViewController"; }

  protected:
    int getStoredUnit() const override;
    void saveUnit(int unit) override;
};
