#include "UiTestSupport.h"

#include <ostra/ostra_efl.h>

#include <cstdlib>

namespace uitest {

ElmBuffer::ElmBuffer() {
    setenv("ELM_DISPLAY", "buffer", 1);
    setenv("ELM_ACCEL", "none", 1);
    elm_init(0, nullptr);
    ostra_efl_glib_integrate();
}

ElmBuffer::~ElmBuffer() {
    elm_shutdown();
}

namespace {

struct LoopState {
    const std::function<bool()>* done;
    bool timedOut = false;
    bool pollEnded = false;
};

Eina_Bool pollCb(void* data) {
    auto* state = static_cast<LoopState*>(data);
    if ((*state->done)()) {
        state->pollEnded = true;
        ecore_main_loop_quit();
        return ECORE_CALLBACK_CANCEL;
    }
    return ECORE_CALLBACK_RENEW;
}

Eina_Bool timeoutCb(void* data) {
    static_cast<LoopState*>(data)->timedOut = true;
    ecore_main_loop_quit();
    return ECORE_CALLBACK_CANCEL;
}

}  // namespace

bool runLoopUntil(const std::function<bool()>& done, int timeoutMs) {
    if (done()) {
        return true;
    }
    LoopState state{&done};
    Ecore_Timer* poll = ecore_timer_add(0.01, pollCb, &state);
    Ecore_Timer* timeout = ecore_timer_add(timeoutMs / 1000.0, timeoutCb, &state);
    ecore_main_loop_begin();
    if (!state.timedOut) {
        ecore_timer_del(timeout);
    }
    if (!state.pollEnded) {
        ecore_timer_del(poll);
    }
    return done();
}

Evas_Object* addWindow(const char* name) {
    Evas_Object* win = elm_win_add(nullptr, name, ELM_WIN_BASIC);
    evas_object_resize(win, 360, 360);
    evas_object_show(win);
    return win;
}

std::string openPressureUnitPicker(testsupport::XvfbServer& server,
                                   const std::function<bool(const std::string&)>& logHas,
                                   const std::function<void(const char*)>& shot) {
    server.click(180, 286);
    const char* menu = "ZentrelSettingView shown";
    if (!runLoopUntil([&] { return logHas(menu); }, 3000)) {
        return menu;
    }
    // Down to the end of the menu: the pressure unit row is then the top row.
    for (int turn = 0; turn < 8; ++turn) {
        server.xdotool({"mousemove", "180", "180", "click", "5"});
        runLoopUntil([] { return false; }, 150);
    }
    runLoopUntil([] { return false; }, 1200);
    shot("xvfb_setting_menu_end.png");
    server.click(180, 130);
    const char* picker = "ZentrelSettingPressureUnitViewController shown";
    if (!runLoopUntil([&] { return logHas(picker); }, 3000)) {
        return picker;
    }
    runLoopUntil([] { return false; }, 800);
    shot("xvfb_setting_picker.png");
    return "";
}

unsigned int pngPixel(const char* path, int x, int y, int* width, int* height) {
    Evas_Object* win = ostra_efl_main_window();
    if (!win) {
        return 0;
    }
    Evas_Object* image = evas_object_image_add(evas_object_evas_get(win));
    evas_object_image_file_set(image, path, nullptr);
    int w = 0, h = 0;
    evas_object_image_size_get(image, &w, &h);
    if (width) {
        *width = w;
    }
    if (height) {
        *height = h;
    }
    unsigned int pixel = 0;
    auto* data = static_cast<unsigned int*>(evas_object_image_data_get(image, EINA_FALSE));
    if (data && x >= 0 && y >= 0 && x < w && y < h) {
        pixel = data[y * evas_object_image_stride_get(image) / 4 + x];
    }
    evas_object_del(image);
    return pixel;
}

}  // namespace uitest
