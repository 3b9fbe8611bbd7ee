// A second process for the cross-process tests: writes through the settings
// store or hammers the preference store with distinct keys.
#include <ostra/app_preference.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "ZentrelStorageMgr.h"

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "save-slp") {
        ZentrelStorageMgr::getInstance()->saveDataSLP(strtod(argv[2], nullptr));
        return 0;
    }
    if (argc == 4 && std::string(argv[1]) == "hammer") {
        int count = atoi(argv[3]);
        for (int i = 0; i < count; ++i) {
            std::string key = std::string(argv[2]) + "_" + std::to_string(i);
            if (preference_set_int(key.c_str(), i) != PREFERENCE_ERROR_NONE ||
                preference_set_int("hammer_last", i) != PREFERENCE_ERROR_NONE) {
                fprintf(stderr, "write %s failed\n", key.c_str());
                return 1;
            }
        }
        return 0;
    }
    fprintf(stderr, "usage: store_tool save-slp VALUE | hammer PREFIX COUNT\n");
    return 2;
}
