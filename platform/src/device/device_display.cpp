#include "ostra/device_display.h"

#include "PlatformLog.h"
#include "SessionScreenSaver.h"
#include "ostra/vconf.h"

namespace {

// The state last asked for, shared by every process through the system keys.
constexpr const char* kStateKey = "memory/ostra/display/state";

}  // namespace

extern "C" {

int device_display_get_state(display_state_e* state) {
    if (!state) {
        return DEVICE_ERROR_INVALID_PARAMETER;
    }
    int value = DISPLAY_STATE_NORMAL;
    if (vconf_get_int(kStateKey, &value) != VCONF_OK || value < DISPLAY_STATE_NORMAL ||
        value > DISPLAY_STATE_SCREEN_OFF) {
        value = DISPLAY_STATE_NORMAL;
    }
    *state = static_cast<display_state_e>(value);
    return DEVICE_ERROR_NONE;
}

int device_display_change_state(display_state_e state) {
    if (state < DISPLAY_STATE_NORMAL || state > DISPLAY_STATE_SCREEN_OFF) {
        return DEVICE_ERROR_INVALID_PARAMETER;
    }
    OSTRA_LOGI("display state %d requested", state);
    vconf_set_int(kStateKey, state);
    // Turning the display on wakes a blanked desktop screen; dimming and
    // switching off are left to the desktop's own power settings.
    if (state == DISPLAY_STATE_NORMAL) {
        ostra::SessionScreenSaver::wake();
    }
    return DEVICE_ERROR_NONE;
}

}  // extern "C"
