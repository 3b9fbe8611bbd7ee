// The manual calibration list: the manual-mode switch and the two rows that
// show the current altitude and sea-level pressure and open their setters.
#pragma once

#include <WContentViewController.h>

#include <string>

class ZentrelSettingCalibItem;

class ZentrelSettingCalibrationViewController : public brisa::WContentViewController {
  public:
    ZentrelSettingCalibrationViewController() = default;
    ~ZentrelSettingCalibrationViewController() override = default;

    const char* getClassName() const override { return "ZentrelSettingCalibrationViewController"; }

    Evas_Object* getGenlist() const { return _genlist; }
    ZentrelSettingCalibItem* getSwitchItem() const { return _calibItemSwitch; }
    ZentrelSettingCalibItem* getAltiItem() const { return _calibItemAlti; }
    ZentrelSettingCalibItem* getSlpItem() const { return _calibItemSLP; }

    // The value rows' second lines, as shown.
    static std::string altitudeText();
    static std::string slpText();

  protected:
    Evas_Object* onCreateView(Evas_Object* parent, void* viewParam) override;
    void onCreated() override;
    void onPushed(Elm_Object_Item* naviItem) override;
    void onBecomeTop() override;

  private:
    void _pushAltiSetter();
    void _pushSlpSetter();

    ZentrelSettingCalibItem* _calibItemSwitch = nullptr;
    ZentrelSettingCalibItem* _calibItemAlti = nullptr;
    ZentrelSettingCalibItem* _calibItemSLP = nullptr;
    Evas_Object* _genlist = nullptr;
    Evas_Object* _circle_genlist = nullptr;
};
