// Fixtures of the widget's tests: a headless 360x360 window holding the
// widget view as its instance would, with the theme tables applied, and a
// clock the tests set.
#pragma once

#include <ZentrelWidgetView.h>
#include <ostra/uxt_theme.h>

#include <string>

#include "UiTestSupport.h"

namespace widgettest {

// Headless Elementary, a fresh store, the simulated sensor, no recorder
// daemon, the theme tables.
class WidgetEnvironment {
  public:
    WidgetEnvironment();
    ~WidgetEnvironment();
    const std::string& root() const { return _root.path(); }

  private:
    testsupport::TempRoot _root;
    uitest::ElmBuffer _elm;
    uxt_theme_table_h _colors = nullptr;
    uxt_theme_table_h _fonts = nullptr;
};

// The view with its protected steps reachable and a clock the test sets.
class TestView : public ZentrelWidgetView {
  public:
    long long clock = 0;
    int readings = 0;
    bool onCurrentPressure(float pressure) override {
        ++readings;
        return ZentrelWidgetView::onCurrentPressure(pressure);
    }
    using ZentrelWidgetView::_calcAngle;
    using ZentrelWidgetView::_calController;
    using ZentrelWidgetView::_isChanged;
    using ZentrelWidgetView::_launchMainApp;

  protected:
    long long _currentTime() const override;
};

// A window with a conformant and the view on it, as the instance has it.
struct WidgetScreen {
    WidgetScreen();
    ~WidgetScreen();
    Evas_Object* win;
    Evas_Object* conform;
    TestView* view;
    std::string text(const char* part) const;
    // The state of a part of the view's layout ("default" or "visible").
    std::string partState(const char* part) const;
};

// Writes the window to SCREENSHOT_DIR/name and returns the path.
std::string screenshot(Evas_Object* win, const char* name);
// An SLP history entry and the SLP, so the altitude is known.
void calibrateAt(double slp);

}  // namespace widgettest
