/* Display state. The state asked for is kept in the system key
 * "memory/ostra/display/state"; turning the display on wakes the desktop's
 * screen saver where one runs. */
#ifndef OSTRA_DEVICE_DISPLAY_H
#define OSTRA_DEVICE_DISPLAY_H

#ifdef __cplusplus
extern "C" {
#endif

typedef enum {
    DISPLAY_STATE_NORMAL = 0,
    DISPLAY_STATE_SCREEN_DIM = 1,
    DISPLAY_STATE_SCREEN_OFF = 2,
} display_state_e;

enum { DEVICE_ERROR_NONE = 0, DEVICE_ERROR_INVALID_PARAMETER = -22 };

int device_display_get_state(display_state_e* state);
int device_display_change_state(display_state_e state);

#ifdef __cplusplus
}
#endif

#endif
