// The home screen's part from the shell: hide (pause) and show (resume) a
// running widget program's instances.
#include <glib.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "AppControlWire.h"
#include "Command.h"
#include "ostra/app_control.h"
#include "ostra/widget_control.h"

namespace {

constexpr int kWaitMs = 5000;

struct WidgetReply {
    bool done = false;
    int result = APP_CONTROL_RESULT_FAILED;
    std::string state;
};

void onReply(app_control_h, app_control_h reply, app_control_result_e result, void* data) {
    auto* answer = static_cast<WidgetReply*>(data);
    answer->done = true;
    answer->result = result;
    char* state = nullptr;
    if (reply && app_control_get_extra_data(reply, OSTRA_WIDGET_EXTRA_STATE, &state) ==
                     APP_CONTROL_ERROR_NONE) {
        answer->state = state;
    }
    free(state);
}

bool isRunning(const std::string& appId) {
    GSocketConnection* connection = ostra::connectToApp(appId);
    if (!connection) {
        return false;
    }
    g_io_stream_close(G_IO_STREAM(connection), nullptr, nullptr);
    g_object_unref(connection);
    return true;
}

// ostractl widget pause|resume|update APPID
int widget(const std::vector<std::string>& args) {
    if (args.size() != 2) {
        return ostractl::usageError("widget");
    }
    const char* operation = nullptr;
    if (args[0] == "pause") {
        operation = OSTRA_WIDGET_OPERATION_PAUSE;
    } else if (args[0] == "resume") {
        operation = OSTRA_WIDGET_OPERATION_RESUME;
    } else if (args[0] == "update") {
        operation = OSTRA_WIDGET_OPERATION_UPDATE;
    } else {
        return ostractl::usageError("widget");
    }
    // The home screen talks to a widget that is on it; it starts none.
    if (!isRunning(args[1])) {
        fprintf(stderr, "ostractl: widget %s is not running\n", args[1].c_str());
        return 1;
    }
    app_control_h request = nullptr;
    app_control_create(&request);
    app_control_set_app_id(request, args[1].c_str());
    app_control_set_operation(request, operation);
    WidgetReply answer;
    int ret = app_control_send_launch_request(request, onReply, &answer);
    app_control_destroy(request);
    if (ret != APP_CONTROL_ERROR_NONE) {
        fprintf(stderr, "ostractl: widget request failed (%d)\n", ret);
        return 1;
    }
    gint64 deadline = g_get_monotonic_time() + kWaitMs * 1000LL;
    while (!answer.done && g_get_monotonic_time() < deadline) {
        g_main_context_iteration(nullptr, TRUE);
    }
    if (!answer.done || answer.result != APP_CONTROL_RESULT_SUCCEEDED) {
        fprintf(stderr, "ostractl: the widget did not answer\n");
        return 1;
    }
    printf("%s\n", answer.state.c_str());
    return 0;
}

const ostractl::Registrar widgetVerb(
    {"widget", "pause|resume|update APPID",
     "hide, show or refresh a running widget, as the home screen does", widget});

}  // namespace
