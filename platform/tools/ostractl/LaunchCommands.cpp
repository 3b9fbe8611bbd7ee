// Launch requests from the shell, like an app control sent by another app.
#include <glib.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "Command.h"
#include "ostra/app_control.h"

namespace {

constexpr int kWaitMs = 15000;

struct ReplyState {
    bool done = false;
    int result = 0;
};

bool printExtra(app_control_h reply, const char* key, void*) {
    char* value = nullptr;
    app_control_get_extra_data(reply, key, &value);
    printf("%s=%s\n", key, value ? value : "");
    free(value);
    return true;
}

void onReply(app_control_h, app_control_h reply, app_control_result_e result, void* data) {
    auto* state = static_cast<ReplyState*>(data);
    state->done = true;
    state->result = result;
    printf("result %d\n", result);
    if (reply) {
        app_control_foreach_extra_data(reply, printExtra, nullptr);
    }
}

// ostractl launch [--wait-reply] APPID [OPERATION] [KEY=VALUE...]
int launch(const std::vector<std::string>& args) {
    size_t at = 0;
    bool waitReply = false;
    if (at < args.size() && args[at] == "--wait-reply") {
        waitReply = true;
        ++at;
    }
    if (at >= args.size()) {
        return ostractl::usageError("launch");
    }
    app_control_h request = nullptr;
    app_control_create(&request);
    app_control_set_app_id(request, args[at++].c_str());
    if (at < args.size() && args[at].find('=') == std::string::npos) {
        app_control_set_operation(request, args[at++].c_str());
    } else {
        app_control_set_operation(request, APP_CONTROL_OPERATION_DEFAULT);
    }
    for (; at < args.size(); ++at) {
        size_t eq = args[at].find('=');
        if (eq == std::string::npos || eq == 0) {
            fprintf(stderr, "ostractl: extra data \"%s\" is not KEY=VALUE\n", args[at].c_str());
            app_control_destroy(request);
            return 2;
        }
        app_control_add_extra_data(request, args[at].substr(0, eq).c_str(),
                                   args[at].substr(eq + 1).c_str());
    }
    ReplyState state;
    int ret = app_control_send_launch_request(request, waitReply ? onReply : nullptr, &state);
    app_control_destroy(request);
    if (ret != APP_CONTROL_ERROR_NONE) {
        fprintf(stderr, "ostractl: launch failed (%d)\n", ret);
        return 1;
    }
    // The request may still be on its way to a program that is starting.
    gint64 deadline = g_get_monotonic_time() + kWaitMs * 1000LL;
    while ((ostra_app_control_pending_count() > 0 || (waitReply && !state.done)) &&
           g_get_monotonic_time() < deadline) {
        g_main_context_iteration(nullptr, TRUE);
    }
    if (ostra_app_control_pending_count() > 0) {
        fprintf(stderr, "ostractl: the app did not take the request in time\n");
        return 1;
    }
    if (waitReply && !state.done) {
        fprintf(stderr, "ostractl: no reply\n");
        return 1;
    }
    return waitReply && state.result != APP_CONTROL_RESULT_SUCCEEDED ? 1 : 0;
}

const ostractl::Registrar launchVerb({"launch", "[--wait-reply] APPID [OPERATION] [KEY=VALUE...]",
                                      "send a launch request (starts the app when not running)",
                                      launch});

}  // namespace
