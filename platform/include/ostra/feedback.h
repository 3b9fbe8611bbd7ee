/* Haptic and sound feedback. A Linux host has no vibrator: calls are logged,
 * and the alert pattern also rings the desktop's event sound or bell. */
#ifndef OSTRA_FEEDBACK_H
#define OSTRA_FEEDBACK_H

#ifdef __cplusplus
extern "C" {
#endif

typedef enum {
    FEEDBACK_ERROR_NONE = 0,
    FEEDBACK_ERROR_INVALID_PARAMETER = -22,
    FEEDBACK_ERROR_NOT_INITIALIZED = -0x01140001,
} feedback_error_e;

typedef enum {
    FEEDBACK_TYPE_NONE = 0,
    FEEDBACK_TYPE_SOUND = 1,
    FEEDBACK_TYPE_VIBRATION = 2,
} feedback_type_e;

typedef enum {
    FEEDBACK_PATTERN_TAP = 0,
    FEEDBACK_PATTERN_SIP = 1,
    FEEDBACK_PATTERN_GENERAL = 33,
    FEEDBACK_PATTERN_WAKEUP = 40,
    FEEDBACK_PATTERN_ACCIDENT_DETECT = 10003,
} feedback_pattern_e;

int feedback_initialize(void);
int feedback_deinitialize(void);
int feedback_play(feedback_pattern_e pattern);
int feedback_play_type(feedback_type_e type, feedback_pattern_e pattern);
int feedback_stop(void);

#ifdef __cplusplus
}
#endif

#endif
