#include "ostra/system_info.h"

#include <glib.h>
#include <sys/utsname.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "PlatformLog.h"
#include "ostra/vconf.h"

namespace {

struct Feature {
    const char* path;
    bool value;
};

// What a Linux host offers: no modem, a round screen emulated in a window,
// position from the location service.
constexpr Feature kFeatures[] = {
    {"feature/network.telephony", false},
    {"feature/network.wifi", true},
    {"feature/location", true},
    {"feature/location.gps", false},
    {"feature/screen.shape.circle", true},
    {"feature/sensor.barometer", true},
};

}  // namespace

extern "C" int system_info_get_platform_bool(const char* key, bool* value) {
    if (!key || !value) {
        return SYSTEM_INFO_ERROR_INVALID_PARAMETER;
    }
    const char* path = strstr(key, "feature/");
    if (path) {
        for (const Feature& f : kFeatures) {
            if (!strcmp(path, f.path)) {
                *value = f.value;
                return SYSTEM_INFO_ERROR_NONE;
            }
        }
    }
    OSTRA_LOGW("feature %s is not known here", key);
    return SYSTEM_INFO_ERROR_NOT_SUPPORTED;
}

namespace {

const char* kModelNameKey = "db/ostra/system_info/model_name";

std::string firstLine(const char* path) {
    gchar* text = nullptr;
    std::string line;
    if (g_file_get_contents(path, &text, nullptr, nullptr)) {
        line = text;
        line = line.substr(0, line.find_first_of(std::string("\n\0", 2)));
    }
    g_free(text);
    return g_strstrip(line.data());
}

std::string modelName() {
    char* chosen = vconf_get_str(kModelNameKey);
    std::string model = chosen ? chosen : "";
    free(chosen);
    for (const char* path :
         {"/sys/devices/virtual/dmi/id/product_name", "/proc/device-tree/model"}) {
        if (model.empty()) {
            model = firstLine(path).c_str();
        }
    }
    struct utsname machine;
    if (model.empty() && uname(&machine) == 0) {
        model = machine.machine;
    }
    return model;
}

std::string platformVersion() {
    gchar* version = g_get_os_info(G_OS_INFO_KEY_VERSION_ID);
    std::string text = version ? version : "";
    g_free(version);
    return text;
}

}  // namespace

extern "C" int system_info_get_platform_string(const char* key, char** value) {
    if (!key || !value) {
        return SYSTEM_INFO_ERROR_INVALID_PARAMETER;
    }
    std::string text;
    if (!strcmp(key, SYSTEM_INFO_KEY_MODEL_NAME)) {
        text = modelName();
    } else if (!strcmp(key, SYSTEM_INFO_KEY_PLATFORM_VERSION)) {
        text = platformVersion();
    } else {
        OSTRA_LOGW("system information %s is not known here", key);
        return SYSTEM_INFO_ERROR_NOT_SUPPORTED;
    }
    if (text.empty()) {
        return SYSTEM_INFO_ERROR_NOT_SUPPORTED;
    }
    *value = strdup(text.c_str());
    return SYSTEM_INFO_ERROR_NONE;
}
