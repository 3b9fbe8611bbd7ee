#include "Paths.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "PlatformLog.h"

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
    if (home && *home) {
        return std::string(home) + "/.local/share/ostra";
    }
    // Never a shared place such as /tmp: the user's own home from the database.
    struct passwd entry;
    struct passwd* found = nullptr;
    char buffer[4096];
    if (getpwuid_r(geteuid(), &entry, buffer, sizeof buffer, &found) == 0 && found &&
        found->pw_dir && *found->pw_dir) {
        return std::string(found->pw_dir) + "/.local/share/ostra";
    }
    OSTRA_LOGE("no HOME and no home directory for uid %u: set OSTRA_ROOT", geteuid());
    return "/nonexistent/ostra";
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

namespace {

bool trustedDir(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        OSTRA_LOGE("state directory %s is missing", path.c_str());
        return false;
    }
    if (st.st_uid != geteuid() || (st.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        OSTRA_LOGE(
            "state directory %s refused: owner uid %u, mode %03o; it must be owned by uid "
            "%u and writable by nobody else",
            path.c_str(), st.st_uid, st.st_mode & 0777, geteuid());
        return false;
    }
    return true;
}

}  // namespace

bool makeStateDir(const std::string& path) {
    if (!makeDirs(path)) {
        OSTRA_LOGE("cannot create %s: %s", path.c_str(), strerror(errno));
        return false;
    }
    std::string root = rootDir();
    bool below = path.size() > root.size() && path.compare(0, root.size(), root) == 0 &&
                 path[root.size()] == '/';
    if (!below) {
        return trustedDir(path);
    }
    for (std::string dir = path; dir.size() > root.size(); dir = dir.substr(0, dir.rfind('/'))) {
        if (!trustedDir(dir)) {
            return false;
        }
    }
    return trustedDir(root);
}

bool ownedPrivately(const std::string& path, bool rootToo) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) {
        return false;
    }
    bool owner = st.st_uid == geteuid() || (rootToo && st.st_uid == 0);
    if (owner && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0) {
        return true;
    }
    OSTRA_LOGW("%s refused: owner uid %u, mode %03o; it must be yours and writable by nobody else",
               path.c_str(), st.st_uid, st.st_mode & 0777);
    return false;
}

}  // namespace ostra

extern "C" void ostra_app_set_package_id(const char* package_id) {
    std::lock_guard<std::mutex> lock(ostra::gPackageMutex);
    ostra::gPackageOverride = package_id ? package_id : "";
}
