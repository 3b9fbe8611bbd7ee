#include "ostra/app_common.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "Installation.h"
#include "Paths.h"
#include "PlatformLog.h"

namespace {

std::string& appIdOverride() {
    static std::string id;
    return id;
}

char* dirWithSlash(const std::string& dir) {
    if (!ostra::makeStateDir(dir)) {
        return nullptr;
    }
    return strdup((dir + "/").c_str());
}

// OSTRA_RESOURCE_DIR when set, else the resources of the tree this libostra
// belongs to: the build tree's outputs or the installed share/.
std::string resourceDir() {
    const char* env = getenv("OSTRA_RESOURCE_DIR");
    if (env && *env) {
        return env;
    }
    if (ostra::Installation::inBuildTree()) {
        return OSTRA_DEFAULT_RESOURCE_DIR;
    }
    return ostra::Installation::path(OSTRA_INSTALL_RESOURCE_DIR);
}

}  // namespace

extern "C" {

char* app_get_data_path(void) {
    return dirWithSlash(ostra::packageDir(ostra::packageId()) + "/data");
}

char* app_get_shared_trusted_path(void) {
    return dirWithSlash(ostra::packageDir(ostra::packageId()) + "/shared/trusted");
}

char* app_get_resource_path(void) {
    std::string dir = resourceDir();
    while (dir.size() > 1 && dir.back() == '/') {
        dir.pop_back();
    }
    return strdup((dir + "/").c_str());
}

int app_get_id(char** id) {
    if (!id) {
        return APP_ERROR_INVALID_PARAMETER;
    }
    const char* env = getenv("OSTRA_APP_ID");
    std::string appId = !appIdOverride().empty() ? appIdOverride()
                        : env && *env            ? std::string(env)
                                                 : ostra::packageId();
    *id = strdup(appId.c_str());
    return *id ? APP_ERROR_NONE : APP_ERROR_OUT_OF_MEMORY;
}

int app_get_version(char** version) {
    if (!version) {
        return APP_ERROR_INVALID_PARAMETER;
    }
    *version = strdup(OSTRA_BUILD_VERSION);
    return *version ? APP_ERROR_NONE : APP_ERROR_OUT_OF_MEMORY;
}

void ostra_app_set_app_id(const char* app_id) {
    appIdOverride() = app_id ? app_id : "";
}

char* ostra_get_root_path(void) {
    return strdup(ostra::rootDir().c_str());
}

}  // extern "C"
