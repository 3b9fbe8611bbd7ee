#include "ostra/device_display.h"

#include "PlatformLog.h"

extern "C" {

int device_display_get_state(display_state_e* state) {
    if (!state) {
        return DEVICE_ERROR_INVALID_PARAMETER;
    }
    *state = DISPLAY_STATE_NORMAL;
    return DEVICE_ERROR_NONE;
}

int device_display_change_state(display_state_e state) {
    if (state < DISPLAY_STATE_NORMAL || state > DISPLAY_STATE_SCREEN_OFF) {
        return DEVICE_ERROR_INVALID_PARAMETER;
    }
    OSTRA_LOGI("display state %d requested (host screen unchanged)", state);
    return DEVICE_ERROR_NONE;
}

}  // extern "C"
