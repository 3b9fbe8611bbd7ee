// A second process for the cross-process tests: writes through the settings
// store or hammers the preference store with distinct keys.
#include <ostra/app_preference.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "ZentrelStorageMgr.h"

namespace {

// Each key once, and the writer's own counter read, incremented and written
// back each time: a lost write or a stale read leaves the counter short.
int hammer(const std::string& prefix, int count, int pauseMs) {
    std::string counter = prefix + "_count";
    for (int i = 0; i < count; ++i) {
        std::string key = prefix + "_" + std::to_string(i);
        int done = 0;
        preference_get_int(counter.c_str(), &done);
        if (preference_set_int(key.c_str(), i) != PREFERENCE_ERROR_NONE ||
            preference_set_int(counter.c_str(), done + 1) != PREFERENCE_ERROR_NONE) {
            fprintf(stderr, "write %s failed\n", key.c_str());
            return 1;
        }
        if (pauseMs > 0) {
            usleep(pauseMs * 1000);
        }
    }
    return 0;
}

// Waits for the start file, so that several processes write at the same moment.
void waitFor(const std::string& path) {
    while (access(path.c_str(), F_OK) != 0) {
        usleep(200);
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::string verb = argc > 1 ? argv[1] : "";
    if (argc == 3 && verb == "save-slp") {
        ZentrelStorageMgr::getInstance()->saveDataSLP(strtod(argv[2], nullptr));
        return 0;
    }
    if (argc == 4 && verb == "hammer") {
        return hammer(argv[2], atoi(argv[3]), 0);
    }
    if (argc == 5 && verb == "slow-hammer") {
        return hammer(argv[2], atoi(argv[3]), atoi(argv[4]));
    }
    if (argc == 5 && verb == "set-after") {
        waitFor(argv[2]);
        return preference_set_int(argv[3], atoi(argv[4])) == PREFERENCE_ERROR_NONE ? 0 : 1;
    }
    if (argc == 4 && verb == "set-and-hang") {
        if (preference_set_int(argv[2], atoi(argv[3])) != PREFERENCE_ERROR_NONE) {
            return 1;
        }
        pause();
        return 0;
    }
    fprintf(stderr,
            "usage: store_tool save-slp VALUE | hammer PREFIX COUNT | slow-hammer PREFIX COUNT MS "
            "| set-after FILE KEY VALUE | set-and-hang KEY VALUE\n");
    return 2;
}
