#include <Elementary.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <ctime>

#include "AppCore.h"
#include "AppLifecycle.h"
#include "PlatformLog.h"
#include "UnmanagedWindow.h"
#include "ostra/app.h"
#include "ostra/ostra_efl.h"
#include "ostra/utils_i18n.h"

namespace {

void winDeleteRequestCb(void*, Evas_Object*, void*) {
    elm_exit();
}

// Milliseconds since the kernel started this process (exact to a clock tick),
// so the figure includes loading and linking, not just our own start-up.
double processAgeMs() {
    char line[1024] = {};
    FILE* stat = fopen("/proc/self/stat", "r");
    if (!stat) {
        return -1;
    }
    size_t length = fread(line, 1, sizeof(line) - 1, stat);
    fclose(stat);
    line[length] = '\0';
    // The command name (field 2) may hold anything; the fields after it start
    // at its last ')'. Start time is field 22, the 20th after the name.
    const char* rest = strrchr(line, ')');
    unsigned long long startTicks = 0;
    timespec now{};
    if (!rest ||
        sscanf(rest + 1,
               "%*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %llu",
               &startTicks) != 1 ||
        clock_gettime(CLOCK_BOOTTIME, &now) != 0) {
        return -1;
    }
    double nowMs = now.tv_sec * 1000.0 + now.tv_nsec / 1e6;
    return nowMs - startTicks * 1000.0 / sysconf(_SC_CLK_TCK);
}

// The start-up benchmark waits for this line.
void firstRenderCb(void*, Evas* evas, void*) {
    evas_event_callback_del(evas, EVAS_CALLBACK_RENDER_POST, firstRenderCb);
    OSTRA_LOGI("first frame drawn after %.1f ms", processAgeMs());
}

}  // namespace

extern "C" {

int ui_app_main(int argc, char** argv, ui_app_lifecycle_callback_s* callback, void* user_data) {
    if (!callback || !callback->create) {
        return APP_ERROR_INVALID_PARAMETER;
    }
    elm_init(argc, argv);
    ostra_efl_glib_integrate();
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
            evas_event_callback_add(evas_object_evas_get(win), EVAS_CALLBACK_RENDER_POST,
                                    firstRenderCb, nullptr);
            evas_object_smart_callback_add(win, "delete,request", winDeleteRequestCb, nullptr);
            lifecycle.follow(win);
        }
        evas_object_show(win);
        if (ostra::markShownUnmanagedWindowNormal(win) && firstLaunch) {
            OSTRA_LOGI("no window manager: the window marks itself shown");
        }
        elm_win_activate(win);
        lifecycle.resume();
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
