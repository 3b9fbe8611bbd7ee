#include "Installation.h"

#include <dlfcn.h>
#include <glib.h>

#include <cstdlib>

#include "PlatformLog.h"

namespace ostra {

namespace {

std::string realDir(const char* file) {
    char* real = realpath(file, nullptr);
    if (!real) {
        return std::string();
    }
    gchar* dir = g_path_get_dirname(real);
    std::string result = dir;
    g_free(dir);
    free(real);
    return result;
}

std::string realPath(const char* path) {
    char* real = realpath(path, nullptr);
    std::string result = real ? real : "";
    free(real);
    return result;
}

}  // namespace

const std::string& Installation::libraryDir() {
    static const std::string dir = [] {
        Dl_info info;
        if (dladdr(reinterpret_cast<void*>(&Installation::inBuildTree), &info) == 0 ||
            !info.dli_fname) {
            OSTRA_LOGE("cannot tell where libostra was loaded from; using the build tree's paths");
            return std::string();
        }
        return realDir(info.dli_fname);
    }();
    return dir;
}

bool Installation::inBuildTree() {
    static const bool built = [] {
        if (libraryDir().empty() || libraryDir() == realPath(OSTRA_BUILD_LIBRARY_DIR)) {
            return true;
        }
        OSTRA_LOGI("libostra runs installed below %s", path("").c_str());
        return false;
    }();
    return built;
}

std::string Installation::path(const std::string& relative) {
    std::string joined = libraryDir() + "/" OSTRA_LIBRARY_TO_PREFIX "/" + relative;
    gchar* canonical = g_canonicalize_filename(joined.c_str(), nullptr);
    std::string result = canonical;
    g_free(canonical);
    return result;
}

}  // namespace ostra
