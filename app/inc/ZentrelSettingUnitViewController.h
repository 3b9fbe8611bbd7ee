// A unit picker: a title row and one radio row per unit. Picking a unit
// stores it at once; the picker closes half a second later, so the user sees
// the radio move.
#pragma once

#include <WContentViewController.h>
#include <WUiTimer.h>

#include <vector>

class ZentrelSettingUnitItem;

class ZentrelSettingUnitViewController : public brisa::WContentViewController {
  public:
    static constexpr double POP_DELAY = 0.5;

    Evas_Object* getGenlist() const { return _genlist; }
    Evas_Object* getRadioGroup() const { return _radioGroup; }
    // The unit rows in code order.
    const std::vector<ZentrelSettingUnitItem*>& getUnitItems() const { return _unitItems; }

  protected:
    ZentrelSettingUnitViewController(const char* title, std::vector<const char*> unitTitles);

    virtual int getStoredUnit() const = 0;
    virtual void saveUnit(int unit) = 0;

    Evas_Object* onCreateView(Evas_Object* parent, void* viewParam) override;
    void onPushed(Elm_Object_Item* naviItem) override;
    bool onPop() override;
    void onBecomeTop() override;

  private:
    void _onUnitSelected(int index);

    const char* _title;
    std::vector<const char*> _unitTitles;
    std::vector<ZentrelSettingUnitItem*> _unitItems;
    Evas_Object* _genlist = nullptr;
    Evas_Object* _circleGenlist = nullptr;
    Evas_Object* _radioGroup = nullptr;
    brisa::WUiTimerWeakPtr _popTimer;
};
