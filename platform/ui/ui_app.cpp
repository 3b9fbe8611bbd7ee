#include <Elementary.h>

#include "AppCore.h"
#include "AppLifecycle.h"
#include "FirstFrameLog.h"
#include "PlatformLog.h"
#include "TouchInput.h"
#include "UnmanagedWindow.h"
#include "ostra/app.h"
#include "ostra/ostra_efl.h"
#include "ostra/utils_i18n.h"

namespace {

void winDeleteRequestCb(void*, Evas_Object*, void*) {
    elm_exit();
}

}  // namespace

extern "C" {

int ui_app_main(int argc, char** argv, ui_app_lifecycle_callback_s* callback, void* user_data) {
    if (!callback || !callback->create) {
        return APP_ERROR_INVALID_PARAMETER;
    }
    elm_init(argc, argv);
    ostra_efl_glib_integrate();
    ostra::useTouchScrolling();
    ostra::AppLifecycle lifecycle(
        [&] {
            if (callback->pause) {
                callback->pause(user_data);
            }
        },
        [&] {
            if (callback->resume) {
                callback->resume(user_data);
            }
        });
    auto start = ostra::AppCore::start([&](app_control_h request, bool firstLaunch) {
        if (callback->app_control) {
            callback->app_control(request, user_data);
        }
        Evas_Object* win = ostra_efl_main_window();
        if (!win) {
            OSTRA_LOGW("the app has no window to show");
            return;
        }
        if (firstLaunch) {
            ostra::logFirstFrame(win);
            evas_object_smart_callback_add(win, "delete,request", winDeleteRequestCb, nullptr);
            lifecycle.follow(win);
        }
        evas_object_show(win);
        if (ostra::markShownUnmanagedWindowNormal(win) && firstLaunch) {
            OSTRA_LOGI("no window manager: the window marks itself shown");
        }
        elm_win_activate(win);
        if (firstLaunch) {
            lifecycle.resumeAfterFirstFrame();
        } else {
            lifecycle.resume();
        }
    });
    if (start != ostra::AppCore::Start::Listening) {
        elm_shutdown();
        return start == ostra::AppCore::Start::Failed ? APP_ERROR_INVALID_CONTEXT : APP_ERROR_NONE;
    }
    ostra_i18n_bind_text_domain();
    ostra_efl_apply_text_direction();
    ostra_efl_follow_language_before_program();
    if (!callback->create(user_data)) {
        OSTRA_LOGE("app create step failed");
        ostra_efl_stop_following_language();
        ostra::AppCore::stop();
        elm_shutdown();
        return APP_ERROR_INVALID_CONTEXT;
    }
    ostra_efl_follow_language_after_program();
    ostra::AppCore::deliverFirstRequest();
    ostra_efl_schedule_screenshot();
    elm_run();
    ostra_efl_stop_following_language();
    ostra::AppCore::stop();
    lifecycle.pause();
    if (callback->terminate) {
        callback->terminate(user_data);
    }
    elm_shutdown();
    return APP_ERROR_NONE;
}

void ui_app_exit(void) {
    elm_exit();
}

int ui_app_add_event_handler(app_event_handler_h* handler, app_event_type_e type,
                             app_event_cb callback, void* user_data) {
    return ostra_app_add_event_handler(handler, type, callback, user_data);
}

int ui_app_remove_event_handler(app_event_handler_h handler) {
    return ostra_app_remove_event_handler(handler);
}

}  // extern "C"
