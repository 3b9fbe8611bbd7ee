#include "ostra/service_app.h"

#include <glib.h>

#include "AppCore.h"
#include "PlatformLog.h"

namespace {

GMainLoop* serviceLoop = nullptr;

}  // namespace

extern "C" {

int service_app_main(int argc, char** argv, service_app_lifecycle_callback_s* callback,
                     void* user_data) {
    (void)argc;
    (void)argv;
    if (!callback || !callback->create) {
        return APP_ERROR_INVALID_PARAMETER;
    }
    auto start = ostra::AppCore::start([callback, user_data](app_control_h request, bool) {
        if (callback->app_control) {
            callback->app_control(request, user_data);
        }
    });
    if (start == ostra::AppCore::Start::HandedToRunning) {
        return APP_ERROR_NONE;
    }
    if (start == ostra::AppCore::Start::Failed) {
        return APP_ERROR_INVALID_CONTEXT;
    }
    if (!callback->create(user_data)) {
        OSTRA_LOGE("service create step failed");
        ostra::AppCore::stop();
        return APP_ERROR_INVALID_CONTEXT;
    }
    serviceLoop = g_main_loop_new(nullptr, FALSE);
    ostra::AppCore::deliverFirstRequest();
    g_main_loop_run(serviceLoop);
    ostra::AppCore::stop();
    if (callback->terminate) {
        callback->terminate(user_data);
    }
    g_main_loop_unref(serviceLoop);
    serviceLoop = nullptr;
    return APP_ERROR_NONE;
}

void service_app_exit(void) {
    if (serviceLoop) {
        g_main_loop_quit(serviceLoop);
    }
}

int service_app_add_event_handler(app_event_handler_h* handler, app_event_type_e type,
                                  app_event_cb callback, void* user_data) {
    return ostra_app_add_event_handler(handler, type, callback, user_data);
}

int service_app_remove_event_handler(app_event_handler_h handler) {
    return ostra_app_remove_event_handler(handler);
}

}  // extern "C"
