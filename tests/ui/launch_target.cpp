// A service app for launch tests: records every request it receives in
// $OSTRA_ROOT/launches.log, one line per request, answers requests that ask
// for a reply, and quits on the "quit" operation.
#include <ostra/app_common.h>
#include <ostra/service_app.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Target {
    int launches = 0;
};

bool collectExtra(app_control_h request, const char* key, void* data) {
    char* value = nullptr;
    app_control_get_extra_data(request, key, &value);
    auto* line = static_cast<std::string*>(data);
    *line += std::string(" ") + key + "=" + (value ? value : "");
    free(value);
    return true;
}

void onAppControl(app_control_h request, void* data) {
    auto* target = static_cast<Target*>(data);
    ++target->launches;
    char* operation = nullptr;
    app_control_get_operation(request, &operation);
    char* caller = nullptr;
    app_control_get_caller(request, &caller);
    std::string line = "pid=" + std::to_string(getpid()) +
                       " n=" + std::to_string(target->launches) +
                       " op=" + (operation ? operation : "") + " caller=" + (caller ? caller : "");
    app_control_foreach_extra_data(request, collectExtra, &line);
    char* root = ostra_get_root_path();
    std::string path = std::string(root) + "/launches.log";
    free(root);
    FILE* log = fopen(path.c_str(), "a");
    if (log) {
        fprintf(log, "%s\n", line.c_str());
        fclose(log);
    }
    char* wantReply = nullptr;
    if (app_control_get_extra_data(request, "reply", &wantReply) == APP_CONTROL_ERROR_NONE) {
        app_control_h reply = nullptr;
        app_control_create(&reply);
        app_control_add_extra_data(reply, "echo", wantReply);
        app_control_add_extra_data(reply, "launches", std::to_string(target->launches).c_str());
        app_control_reply_to_launch_request(reply, request, APP_CONTROL_RESULT_SUCCEEDED);
        app_control_destroy(reply);
    }
    free(wantReply);
    if (operation && strstr(operation, "/quit")) {
        service_app_exit();
    }
    free(operation);
    free(caller);
}

bool onCreate(void*) {
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Target target;
    service_app_lifecycle_callback_s callbacks = {};
    callbacks.create = onCreate;
    callbacks.app_control = onAppControl;
    return service_app_main(argc, argv, &callbacks, &target);
}
