// Page 0: the altitude. Until its value, graph and calibration arrive it shows
// its title on the dial, so the pager and the needle have their first page.
#pragma once

#include <memory>

#include "ZentrelViewController.h"

class ZentrelAltiViewController : public ZentrelViewController {
  public:
    explicit ZentrelAltiViewController(std::shared_ptr<ZentrelGraphItemList> list);
    ~ZentrelAltiViewController() override = default;

    const char* getClassName() const override { return "ZentrelAltiViewController"; }

    void setGraphItemList(std::shared_ptr<ZentrelGraphItemList> list) { _graphItemList = list; }
    // Asks for a fresh sea-level pressure when the last calibration is old.
    void runAutoCalibration();
    // Redraws the time of the last calibration.
    void updateCalTime();

    int getAutoCalibrationCount() const { return _autoCalibrationCount; }

  protected:
    Evas_Object* onCreateView(Evas_Object* parent, void* viewParam) override;

  private:
    Evas_Object* _layout = nullptr;
    std::shared_ptr<ZentrelGraphItemList> _graphItemList;
    int _autoCalibrationCount = 0;
};
