// Fixtures of the main program's screen tests: a headless window with a
// naviframe, the page controller pushed on it, and a clock the tests move.
#pragma once

#include <WNaviframeController.h>
#include <WWindowController.h>
#include <ZentrelPageController.h>

#include <cstdint>
#include <memory>
#include <string>

#include "UiTestSupport.h"

namespace apptest {

// Headless Elementary, a fresh store, the simulated sensor and no recorder
// daemon (the tests import what they need into the recorder database).
class AppEnvironment {
  public:
    AppEnvironment();
    ~AppEnvironment();
    const std::string& root() const { return _root.path(); }

  private:
    testsupport::TempRoot _root;
    uitest::ElmBuffer _elm;
};

// A page controller whose clock the test sets.
class ClockedPageController : public ZentrelPageController {
  public:
    int64_t clock = 0;

  protected:
    int64_t currentTime() const override;
};

// A window with a naviframe and a page controller asking for a page.
struct Screen {
    explicit Screen(int page, ClockedPageController* controller = nullptr);
    ~Screen();
    brisa::WWindowController window;
    brisa::WNaviframeController* navi;
    ClockedPageController* controller;
};

std::string screenshot(Evas_Object* win, const char* name);
std::string text(Evas_Object* layout, const char* part);
// Imports a six-hour trace ending now into the recorder; the exit status.
int importSixHours(double from, double to);
int64_t now();

}  // namespace apptest
