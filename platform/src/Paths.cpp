#include "Paths.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <mutex>

#include "ostra/app_common.h"

namespace ostra {

namespace {
std::mutex gPackageMutex;
std::string gPackageOverride;
}  // namespace

std::string rootDir() {
    const char* root = getenv("OSTRA_ROOT");
    if (root && *root) {
        return root;
    }
    const char* xdg = getenv("XDG_DATA_HOME");
    if (xdg && *xdg) {
        return std::string(xdg) + "/ostra";
    }
    const char* home = getenv("HOME");
    return std::string(home && *home ? home : "/tmp") + "/.local/share/ostra";
}

std::string packageId() {
    const char* env = getenv("OSTRA_PACKAGE_ID");
    if (env && *env) {
        return env;
    }
    std::lock_guard<std::mutex> lock(gPackageMutex);
    return gPackageOverride.empty() ? OSTRA_DEFAULT_PACKAGE_ID : gPackageOverride;
}

std::string packageDir(const std::string& package) {
    return rootDir() + "/apps/" + package;
}

std::string systemDir() {
    return rootDir() + "/system";
}

bool makeDirs(const std::string& path, unsigned mode) {
    if (path.empty()) {
        return false;
    }
    for (size_t pos = 1; pos <= path.size(); ++pos) {
        if (pos != path.size() && path[pos] != '/') {
            continue;
        }
        std::string part = path.substr(0, pos);
        if (mkdir(part.c_str(), mode) != 0 && errno != EEXIST) {
            return false;
        }
    }
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace ostra

extern "C" void ostra_app_set_package_id(const char* package_id) {
    std::lock_guard<std::mutex> lock(ostra::gPackageMutex);
    ostra::gPackageOverride = package_id ? package_id : "";
}
