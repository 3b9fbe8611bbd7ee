#include <Ecore.h>
#include <Ecore_Evas.h>
#include <Ecore_X.h>
#include <Elementary.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "PlatformLog.h"
#include "ostra/ostra_efl.h"

namespace {

struct ScheduledShot {
    std::string path;
    bool exitAfter;
};

// Copies the pixels of a software X11 window through the X server.
bool grabX11(Ecore_Evas* ee, int w, int h, unsigned int* argb) {
    Ecore_X_Window xwin = static_cast<Ecore_X_Window>(ecore_evas_window_get(ee));
    if (!xwin) {
        return false;
    }
    Ecore_X_Window_Attributes attrs;
    if (!ecore_x_window_attributes_get(xwin, &attrs)) {
        return false;
    }
    Ecore_X_Image* image = ecore_x_image_new(w, h, attrs.visual, attrs.depth);
    if (!image) {
        return false;
    }
    bool ok = ecore_x_image_get(image, xwin, 0, 0, 0, 0, w, h);
    if (ok) {
        int bpl = 0, rows = 0, bpp = 0;
        void* src = ecore_x_image_data_get(image, &bpl, &rows, &bpp);
        ok = src && ecore_x_image_to_argb_convert(src, bpp, bpl, attrs.colormap, attrs.visual, 0, 0,
                                                  w, h, argb, w * 4, 0, 0);
    }
    ecore_x_image_free(image);
    return ok;
}

Eina_Bool shotTimerCb(void* data) {
    auto* shot = static_cast<ScheduledShot*>(data);
    Evas_Object* win = ostra_efl_main_window();
    if (!win || !ostra_efl_window_screenshot(win, shot->path.c_str())) {
        OSTRA_LOGE("screenshot to %s failed", shot->path.c_str());
    } else {
        OSTRA_LOGI("screenshot written to %s", shot->path.c_str());
    }
    if (shot->exitAfter) {
        elm_exit();
    }
    delete shot;
    return ECORE_CALLBACK_CANCEL;
}

}  // namespace

extern "C" {

Evas_Object* ostra_efl_main_window(void) {
    Eina_List* list = ecore_evas_ecore_evas_list_get();
    Evas_Object* win = nullptr;
    void* item;
    Eina_List* l;
    EINA_LIST_FOREACH(list, l, item) {
        win = static_cast<Evas_Object*>(
            ecore_evas_data_get(static_cast<Ecore_Evas*>(item), "elm_win"));
        if (win) {
            break;
        }
    }
    eina_list_free(list);
    return win;
}

bool ostra_efl_window_screenshot(Evas_Object* win, const char* png_path) {
    if (!win || !png_path || !*png_path) {
        OSTRA_LOGE("screenshot needs a window and a file name");
        return false;
    }
    Evas* evas = evas_object_evas_get(win);
    Ecore_Evas* ee = ecore_evas_ecore_evas_get(evas);
    if (!ee) {
        return false;
    }
    int w = 0, h = 0;
    ecore_evas_geometry_get(ee, nullptr, nullptr, &w, &h);
    if (w <= 0 || h <= 0) {
        return false;
    }
    // Brings the canvas up to date before its pixels are read.
    ecore_evas_manual_render(ee);
    unsigned int* argb = static_cast<unsigned int*>(calloc(static_cast<size_t>(w) * h, 4));
    if (!argb) {
        return false;
    }
    const char* engine = ecore_evas_engine_name_get(ee);
    bool ok = false;
    if (engine && !strcmp(engine, "buffer")) {
        const void* pixels = ecore_evas_buffer_pixels_get(ee);
        if (pixels) {
            memcpy(argb, pixels, static_cast<size_t>(w) * h * 4);
            ok = true;
        }
    } else if (engine && strstr(engine, "x11")) {
        ok = grabX11(ee, w, h, argb);
    } else {
        OSTRA_LOGE("screenshots are not supported with the %s engine", engine ? engine : "?");
    }
    if (ok) {
        // An opaque copy: the saved file shows what the screen shows.
        for (size_t i = 0; i < static_cast<size_t>(w) * h; ++i) {
            argb[i] |= 0xff000000u;
        }
        Evas_Object* image = evas_object_image_filled_add(evas);
        evas_object_image_colorspace_set(image, EVAS_COLORSPACE_ARGB8888);
        evas_object_image_alpha_set(image, EINA_FALSE);
        evas_object_image_size_set(image, w, h);
        evas_object_image_data_copy_set(image, argb);
        ok = evas_object_image_save(image, png_path, nullptr, "compress=6");
        evas_object_del(image);
    }
    free(argb);
    return ok;
}

void ostra_efl_schedule_screenshot(void) {
    const char* setting = getenv("OSTRA_SCREENSHOT");
    if (!setting || !*setting) {
        return;
    }
    std::string path = setting;
    double seconds = 2.0;
    size_t colon = path.rfind(':');
    if (colon != std::string::npos) {
        char* end = nullptr;
        double value = strtod(path.c_str() + colon + 1, &end);
        if (end && !*end && value >= 0) {
            seconds = value;
        } else {
            OSTRA_LOGW("OSTRA_SCREENSHOT delay \"%s\" is not a number; using 2 s",
                       path.c_str() + colon + 1);
        }
        path.erase(colon);
    }
    const char* exitEnv = getenv("OSTRA_SCREENSHOT_EXIT");
    auto* shot = new ScheduledShot{path, exitEnv && !strcmp(exitEnv, "1")};
    ecore_timer_add(seconds, shotTimerCb, shot);
}

}  // extern "C"
