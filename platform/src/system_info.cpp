#include "ostra/system_info.h"

#include <cstring>

#include "PlatformLog.h"

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
