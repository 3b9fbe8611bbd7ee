// One help page. The view parameter is the help type, as an integer in the
// pointer: 0 altimeter, 1 barometer, 2 pressure alerts, 3 barometer scrolled
// to the pressure indicator.
#pragma once

#include <WContentViewController.h>
#include <WUiTimer.h>

#include <cstdint>

class ZentrelHelpContentController : public brisa::WContentViewController {
  public:
    enum HelpType { HELP_ALTIMETER = 0, HELP_BAROMETER = 1, HELP_ALERTS = 2, HELP_INDICATOR = 3 };

    ZentrelHelpContentController() = default;
    ~ZentrelHelpContentController() override;

    const char* getClassName() const override { return "ZentrelHelpContentController"; }

    static void* typeParam(int type) {
        return reinterpret_cast<void*>(static_cast<intptr_t>(type));
    }
    int getType() const { return _type; }
    Evas_Object* getScroller() const { return _scroller; }
    Evas_Object* getSectionLayout() const { return _contentLayout; }

  protected:
    Evas_Object* onCreateView(Evas_Object* parent, void* viewParam) override;
    void onPushed(Elm_Object_Item* naviItem) override;

  private:
    Evas_Object* _createSection(const char* group, const char* title, int titleWrap);
    void _createAltimeterSection();
    void _createBarometerSection();
    void _fillAlertsText();
    void _fitSection();
    bool _scrollToIndicator();

    Evas_Object* _layout = nullptr;
    Evas_Object* _contentLayout = nullptr;
    Evas_Object* _scroller = nullptr;
    Evas_Object* _circleScroller = nullptr;
    Evas_Object* _box = nullptr;
    Evas_Object* _title = nullptr;
    int _type = -1;
    int _scrollTries = 0;
    brisa::WUiTimerWeakPtr _scrollIdler;
};
