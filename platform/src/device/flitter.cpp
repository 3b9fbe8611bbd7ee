#include "ostra/flitter.h"

#include <gio/gio.h>

#include <cstdlib>
#include <cstring>

#include "PlatformLog.h"

namespace {

bool gConnected = false;

bool nonEmpty(const char* name) {
    const char* value = getenv(name);
    return value && *value;
}

bool webAddress(const char* url) {
    return g_str_has_prefix(url, "https://") || g_str_has_prefix(url, "http://");
}

}  // namespace

extern "C" {

bool ostra_flitter_session_available(void) {
    return nonEmpty("DISPLAY") || nonEmpty("WAYLAND_DISPLAY");
}

int flitter_service_connect(void) {
    if (!ostra_flitter_session_available()) {
        OSTRA_LOGE("flitter: no desktop session to show pages on");
        return FLITTER_ERROR_NOT_CONNECTED;
    }
    gConnected = true;
    return FLITTER_ERROR_NONE;
}

int flitter_request_to_browse(const char* caller, const char* url) {
    if (!caller || !url || !webAddress(url)) {
        OSTRA_LOGE("flitter: refused to open \"%s\"", url ? url : "(null)");
        return FLITTER_ERROR_INVALID_PARAMETER;
    }
    if (!gConnected) {
        OSTRA_LOGE("flitter: not connected; %s not opened", url);
        return FLITTER_ERROR_NOT_CONNECTED;
    }
    GError* error = nullptr;
    if (!g_app_info_launch_default_for_uri(url, nullptr, &error)) {
        OSTRA_LOGE("flitter: %s could not open %s: %s", caller, url,
                   error ? error->message : "no handler");
        g_clear_error(&error);
        return FLITTER_ERROR_IO_ERROR;
    }
    OSTRA_LOGI("flitter: %s opened %s", caller, url);
    return FLITTER_ERROR_NONE;
}

int flitter_service_disconnect(void) {
    gConnected = false;
    return FLITTER_ERROR_NONE;
}

}  // extern "C"
