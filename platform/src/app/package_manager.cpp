#include "ostra/package_manager.h"

#include <cstring>
#include <string>

#include "Paths.h"

struct package_info_s {
    std::string version;
};

struct package_updateinfo_s {
    std::string version;
};

extern "C" {

// Only the packages built here are installed; their version is the build's.
int package_info_create(const char* package, package_info_h* handle) {
    if (!package || !handle) {
        return PACKAGE_MANAGER_ERROR_INVALID_PARAMETER;
    }
    if (ostra::packageId() != package && std::string(OSTRA_DEFAULT_PACKAGE_ID) != package) {
        return PACKAGE_MANAGER_ERROR_NO_SUCH_PACKAGE;
    }
    *handle = new package_info_s{OSTRA_BUILD_VERSION};
    return PACKAGE_MANAGER_ERROR_NONE;
}

int package_info_get_version(package_info_h handle, char** version) {
    if (!handle || !version) {
        return PACKAGE_MANAGER_ERROR_INVALID_PARAMETER;
    }
    *version = strdup(handle->version.c_str());
    return *version ? PACKAGE_MANAGER_ERROR_NONE : PACKAGE_MANAGER_ERROR_OUT_OF_MEMORY;
}

int package_info_destroy(package_info_h handle) {
    if (!handle) {
        return PACKAGE_MANAGER_ERROR_INVALID_PARAMETER;
    }
    delete handle;
    return PACKAGE_MANAGER_ERROR_NONE;
}

int package_info_updateinfo_create(const char* package, package_updateinfo_h* handle) {
    if (!package || !handle) {
        return PACKAGE_MANAGER_ERROR_INVALID_PARAMETER;
    }
    *handle = new package_updateinfo_s{""};
    return PACKAGE_MANAGER_ERROR_NONE;
}

int package_info_updateinfo_get_version(package_updateinfo_h handle, char** version) {
    if (!handle || !version) {
        return PACKAGE_MANAGER_ERROR_INVALID_PARAMETER;
    }
    *version = strdup(handle->version.c_str());
    return *version ? PACKAGE_MANAGER_ERROR_NONE : PACKAGE_MANAGER_ERROR_OUT_OF_MEMORY;
}

int package_info_updateinfo_destroy(package_updateinfo_h handle) {
    if (!handle) {
        return PACKAGE_MANAGER_ERROR_INVALID_PARAMETER;
    }
    delete handle;
    return PACKAGE_MANAGER_ERROR_NONE;
}

}  // extern "C"
