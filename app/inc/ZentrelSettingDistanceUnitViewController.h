// The altitude unit picker: metres or feet.
#pragma once

#include "ZentrelSettingUnitViewController.h"

class ZentrelSettingDistanceUnitViewController : public ZentrelSettingUnitViewController {
  public:
    ZentrelSettingDistanceUnitViewController();
    const char* getClassName() const override { return "ZentrelSettingDistanceUnitViewController"; }

  protected:
    int getStoredUnit() const override;
    void saveUnit(int unit) override;
};
