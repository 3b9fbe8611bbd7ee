// Page 2: the settings menu. Until its list arrives it shows its title.
#pragma once

#include "ZentrelViewController.h"

class ZentrelSettingViewController : public ZentrelViewController {
  public:
    ZentrelSettingViewController() = default;
    ~ZentrelSettingViewController() override = default;

    const char* getClassName() const override { return "ZentrelSettingViewController"; }

  protected:
    Evas_Object* onCreateView(Evas_Object* parent, void* viewParam) override;
};
