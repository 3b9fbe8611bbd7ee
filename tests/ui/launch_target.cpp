// A service app for launch tests: records every request it receives in
// $OSTRA_ROOT/launches.log, one line per request, answers requests that ask
// for a reply, quits on the "quit" operation, and on the "exhaust" operation
// uses up its file descriptors for the extra "seconds".
#include <dirent.h>
#include <fcntl.h>
#include <glib.h>
#include <ostra/app_common.h>
#include <ostra/service_app.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Target {
    int launches = 0;
};

// Descriptors held by "exhaust", the limit they were taken under, and the
// log it reports to (opened before, so that reporting needs no descriptor).
std::vector<int> gHeld;
rlimit gLimit;
FILE* gExhaustLog = nullptr;

std::string launchesLogPath() {
    char* root = ostra_get_root_path();
    std::string path = std::string(root) + "/launches.log";
    free(root);
    return path;
}

int highestOpenDescriptor() {
    int highest = 2;
    if (DIR* dir = opendir("/proc/self/fd")) {
        while (dirent* entry = readdir(dir)) {
            highest = std::max(highest, atoi(entry->d_name));
        }
        closedir(dir);
    }
    return highest;
}

gboolean release(gpointer) {
    for (int fd : gHeld) {
        close(fd);
    }
    gHeld.clear();
    setrlimit(RLIMIT_NOFILE, &gLimit);
    if (gExhaustLog) {
        fclose(gExhaustLog);
        gExhaustLog = nullptr;
    }
    return G_SOURCE_REMOVE;
}

// No descriptor can be had until release: the limit drops to the highest one
// open and the free numbers below it are taken. Done from the loop, once the
// connection of the request that asked for it is closed.
gboolean exhaustNow(gpointer data) {
    gExhaustLog = fopen(launchesLogPath().c_str(), "a");
    getrlimit(RLIMIT_NOFILE, &gLimit);
    rlimit low = gLimit;
    low.rlim_cur = static_cast<rlim_t>(highestOpenDescriptor() + 1);
    setrlimit(RLIMIT_NOFILE, &low);
    for (int fd; (fd = open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;) {
        gHeld.push_back(fd);
    }
    if (gExhaustLog) {
        fprintf(gExhaustLog, "exhausted held=%zu\n", gHeld.size());
        fflush(gExhaustLog);
    }
    g_timeout_add_seconds(GPOINTER_TO_UINT(data), release, nullptr);
    return G_SOURCE_REMOVE;
}

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
    FILE* log = fopen(launchesLogPath().c_str(), "a");
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
    char* seconds = nullptr;
    if (operation && strstr(operation, "/exhaust") &&
        app_control_get_extra_data(request, "seconds", &seconds) == APP_CONTROL_ERROR_NONE) {
        g_idle_add(exhaustNow, GUINT_TO_POINTER(static_cast<unsigned>(atoi(seconds))));
    }
    free(seconds);
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
