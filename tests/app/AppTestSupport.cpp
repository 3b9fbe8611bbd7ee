#include "AppTestSupport.h"

#include <ZentrelStorageMgr.h>
#include <ZentrelUtil.h>
#include <gtest/gtest.h>
#include <ostra/ostra_efl.h>
#include <ostra/utils_i18n.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>

namespace apptest {

AppEnvironment::AppEnvironment() {
    setenv("OSTRA_SENSOR", "sim", 1);
    setenv("OSTRA_SENSORD", "/bin/true", 1);
    ostra_i18n_bind_text_domain();
    ZentrelStorageMgr::getInstance()->initStorage();
    // A returning user: the first-launch guide was confirmed (its own tests reset it).
    ZentrelStorageMgr::getInstance()->savePermissionGuideState(1);
}

AppEnvironment::~AppEnvironment() {
    unsetenv("OSTRA_SENSOR");
    unsetenv("OSTRA_SENSORD");
}

int64_t ClockedPageController::currentTime() const {
    return clock != 0 ? clock : ZentrelPageController::currentTime();
}

Screen::Screen(int page, ClockedPageController* pageController)
    : window("AppTest", ELM_WIN_BASIC),
      navi(new brisa::WNaviframeController()),
      controller(pageController ? pageController : new ClockedPageController()) {
    elm_theme_extension_add(nullptr, ZentrelUtil::getAppEdjFilePath());
    window.attachBaseViewController(navi);
    evas_object_resize(window.getEvasObj(), 360, 360);
    evas_object_show(window.getEvasObj());
    if (!navi->push(controller, "pages", reinterpret_cast<void*>(static_cast<intptr_t>(page)))) {
        controller = nullptr;
        return;
    }
    // The pages right of the first one shown, and then the index, are built
    // after the first frame.
    if (!uitest::runLoopUntil([this] { return controller->getIndex() != nullptr; }, 3000)) {
        ADD_FAILURE() << "the pager was not complete 3 s after it was pushed";
    }
}

Screen::~Screen() = default;

std::string screenshot(Evas_Object* win, const char* name) {
    g_mkdir_with_parents(SCREENSHOT_DIR, 0755);
    std::string path = std::string(SCREENSHOT_DIR) + "/" + name;
    ostra_efl_window_screenshot(win, path.c_str());
    return path;
}

std::string text(Evas_Object* layout, const char* part) {
    const char* value = layout ? elm_object_part_text_get(layout, part) : nullptr;
    return value ? value : "";
}

int64_t now() {
    return static_cast<int64_t>(time(nullptr));
}

int importSixHours(double from, double to) {
    std::string path = std::string(getenv("OSTRA_ROOT")) + "/six-hours.csv";
    {
        std::ofstream out(path);
        for (int i = 0; i <= 360; ++i) {
            out << i * 60 << "," << from + (to - from) * i / 360.0 << "\n";
        }
    }
    std::string command = std::string(OSTRACTL_PATH) + " sensor import " + path + " --end " +
                          std::to_string(now()) + " >/dev/null 2>&1";
    return system(command.c_str());
}

}  // namespace apptest
