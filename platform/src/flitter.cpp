#include "ostra/flitter.h"

#include <gio/gio.h>

#include <cstdlib>
#include <cstring>

#include "PlatformLog.h"

namespace {

bool gConnected = false;

bool desktopSession() {
    const char* display = getenv("DISPLAY");
    const char* wayland = getenv("WAYLAND_DISPLAY");
    return (display && *display) || (wayland && *wayland);
}

// Only web pages: an address from a text must not start local programs or files.
bool webAddress(const char* url) {
    return url && (!strncmp(url, "https://", 8) || !strncmp(url, "http://", 7)) &&
           !strpbrk(url, " \t\r\n");
}

}  // namespace

extern "C" {

int flitter_service_connect(void) {
    if (!desktopSession()) {
        OSTRA_LOGE("flitter: no phone and no desktop session to show pages on");
        return FLITTER_ERROR_NOT_SUPPORTED;
    }
    gConnected = true;
    return FLITTER_ERROR_NONE;
}

int flitter_request_to_browse(const char* caller, const char* url) {
    if (!caller || !webAddress(url)) {
        OSTRA_LOGE("flitter: refused to browse \"%s\" for %s", url ? url : "(null)",
                   caller ? caller : "(null)");
        return FLITTER_ERROR_INVALID_PARAMETER;
    }
    if (!gConnected) {
        OSTRA_LOGE("flitter: browse request from %s without a connection", caller);
        return FLITTER_ERROR_NOT_CONNECTED;
    }
    GError* error = nullptr;
    if (!g_app_info_launch_default_for_uri(url, nullptr, &error)) {
        OSTRA_LOGE("flitter: cannot open %s: %s", url, error ? error->message : "unknown error");
        g_clear_error(&error);
        return FLITTER_ERROR_OPERATION_FAILED;
    }
    OSTRA_LOGI("flitter: %s opened %s", caller, url);
    return FLITTER_ERROR_NONE;
}

int flitter_service_disconnect(void) {
    gConnected = false;
    return FLITTER_ERROR_NONE;
}

}  // extern "C"
