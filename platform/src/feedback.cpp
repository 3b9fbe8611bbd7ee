#include "ostra/feedback.h"

#include "PlatformLog.h"

namespace {

int initCount = 0;

}  // namespace

extern "C" {

int feedback_initialize(void) {
    ++initCount;
    return FEEDBACK_ERROR_NONE;
}

int feedback_deinitialize(void) {
    if (initCount == 0) {
        return FEEDBACK_ERROR_NOT_INITIALIZED;
    }
    --initCount;
    return FEEDBACK_ERROR_NONE;
}

int feedback_play(feedback_pattern_e pattern) {
    return feedback_play_type(FEEDBACK_TYPE_VIBRATION, pattern);
}

int feedback_play_type(feedback_type_e type, feedback_pattern_e pattern) {
    if (initCount == 0) {
        OSTRA_LOGW("feedback played before feedback_initialize");
        return FEEDBACK_ERROR_NOT_INITIALIZED;
    }
    OSTRA_LOGI("feedback type %d pattern %d (no haptic device)", type, pattern);
    return FEEDBACK_ERROR_NONE;
}

int feedback_stop(void) {
    OSTRA_LOGI("feedback stopped");
    return initCount ? FEEDBACK_ERROR_NONE : FEEDBACK_ERROR_NOT_INITIALIZED;
}

}  // extern "C"
