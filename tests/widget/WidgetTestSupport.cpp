#include "WidgetTestSupport.h"

#include <ZentrelStorageMgr.h>
#include <ZentrelUtil.h>
#include <ostra/ostra_efl.h>
#include <ostra/utils_i18n.h>

#include <cstdlib>
#include <ctime>

namespace widgettest {

WidgetEnvironment::WidgetEnvironment() {
    setenv("OSTRA_SENSOR", "sim", 1);
    setenv("OSTRA_SENSORD", "/bin/true", 1);
    ostra_i18n_bind_text_domain();
    ZentrelStorageMgr::getInstance()->initStorage();
    _colors = uxt_theme_color_table_load(ZentrelUtil::getAppColorTablePath());
    _fonts = uxt_theme_font_table_load(ZentrelUtil::getAppFontTablePath());
    uxt_theme_table_apply(_colors);
    uxt_theme_table_apply(_fonts);
}

WidgetEnvironment::~WidgetEnvironment() {
    uxt_theme_table_free(_colors);
    uxt_theme_table_free(_fonts);
    unsetenv("OSTRA_SENSOR");
    unsetenv("OSTRA_SENSORD");
}

long long TestView::_currentTime() const {
    return clock != 0 ? clock : ZentrelWidgetView::_currentTime();
}

WidgetScreen::WidgetScreen()
    : win(uitest::addWindow("widget-test")), conform(elm_conformant_add(win)), view(new TestView) {
    evas_object_size_hint_weight_set(conform, EVAS_HINT_EXPAND, EVAS_HINT_EXPAND);
    elm_win_resize_object_add(win, conform);
    evas_object_show(conform);
    Evas_Object* layout = view->create(conform);
    elm_object_content_set(conform, layout);
    evas_object_resize(layout, 360, 360);
}

WidgetScreen::~WidgetScreen() {
    delete view;
    evas_object_del(win);
}

std::string WidgetScreen::text(const char* part) const {
    const char* value = elm_object_part_text_get(view->getLayout(), part);
    return value ? value : "";
}

std::string WidgetScreen::partState(const char* part) const {
    double value = 0;
    const char* state =
        edje_object_part_state_get(elm_layout_edje_get(view->getLayout()), part, &value);
    return state ? state : "";
}

std::string screenshot(Evas_Object* win, const char* name) {
    g_mkdir_with_parents(SCREENSHOT_DIR, 0755);
    std::string path = std::string(SCREENSHOT_DIR) + "/" + name;
    ostra_efl_window_screenshot(win, path.c_str());
    return path;
}

void calibrateAt(double slp) {
    ZentrelStorageMgr* storage = ZentrelStorageMgr::getInstance();
    const long long now = static_cast<long long>(time(nullptr));
    storage->addDataSLPHistory(now, slp);
    storage->saveDataSLP(slp);
    storage->saveDataCalTime(now);
}

}  // namespace widgettest
