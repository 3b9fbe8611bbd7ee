#include "SampleApp.h"

#include <WNaviframeController.h>
#include <WWindowController.h>
#include <ostra/app_common.h>
#include <ostra/dlog.h>

#include <cstdlib>
#include <string>

#include "SampleContentController.h"

namespace {

std::string resource(const char* relative) {
    char* res = app_get_resource_path();
    std::string path = std::string(res ? res : "") + relative;
    free(res);
    return path;
}

}  // namespace

bool SampleApp::onCreate() {
    _colorTable = uxt_theme_color_table_load(resource("table/Zentrel_color.xml").c_str());
    _fontTable = uxt_theme_font_table_load(resource("table/Zentrel_font.xml").c_str());
    uxt_theme_table_apply(_colorTable);
    uxt_theme_table_apply(_fontTable);
    auto* win = new brisa::WWindowController("ZentrelSample", ELM_WIN_BASIC);
    attachWindowController(win);
    return win->attachBaseViewController(new brisa::WNaviframeController());
}

void SampleApp::onAppControl(app_control_h request, bool firstLaunch) {
    char* page = nullptr;
    app_control_get_extra_data(request, "page", &page);
    dlog_print(DLOG_INFO, "SAMPLE", "launch request (first %d) page %s", firstLaunch,
               page ? page : "none");
    auto* navi =
        static_cast<brisa::WNaviframeController*>(getWindowController()->getBaseViewController());
    if (firstLaunch) {
        _content = new SampleContentController();
        if (!navi->push(_content, "main", page))
            _content = nullptr;
    } else if (_content) {
        _content->setValue(page ? page : "0");
    }
    free(page);
}

void SampleApp::onResume() {
    dlog_print(DLOG_INFO, "SAMPLE", "resumed");
}

void SampleApp::onPause() {
    dlog_print(DLOG_INFO, "SAMPLE", "paused");
}

void SampleApp::onTerminate() {
    uxt_theme_table_free(_colorTable);
    uxt_theme_table_free(_fontTable);
}
