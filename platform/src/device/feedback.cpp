#include "ostra/feedback.h"

#include <glib.h>

#include <cstdlib>
#include <memory>

#include "PlatformLog.h"

namespace {

int initCount = 0;

// The desktop's event sound when libcanberra's player is there, else the X
// keyboard bell on the program's display; nothing on a host with neither.
void ringBell() {
    std::unique_ptr<gchar, decltype(&g_free)> player(g_find_program_in_path("canberra-gtk-play"),
                                                     g_free);
    std::unique_ptr<gchar, decltype(&g_free)> bell(g_find_program_in_path("xkbbell"), g_free);
    const char* display = getenv("DISPLAY");
    gchar* argv[4] = {};
    if (player) {
        argv[0] = player.get();
        argv[1] = const_cast<gchar*>("--id=bell");
    } else if (bell && display && *display) {
        argv[0] = bell.get();
    } else {
        OSTRA_LOGI("no event sound or bell on this host");
        return;
    }
    GError* error = nullptr;
    auto flags = static_cast<GSpawnFlags>(G_SPAWN_STDOUT_TO_DEV_NULL | G_SPAWN_STDERR_TO_DEV_NULL);
    if (!g_spawn_async(nullptr, argv, nullptr, flags, nullptr, nullptr, nullptr, &error)) {
        OSTRA_LOGW("bell %s: %s", argv[0], error ? error->message : "not started");
        g_clear_error(&error);
        return;
    }
    OSTRA_LOGI("rang %s", argv[0]);
}

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
    if (pattern == FEEDBACK_PATTERN_ACCIDENT_DETECT) {
        ringBell();
    }
    return FEEDBACK_ERROR_NONE;
}

int feedback_stop(void) {
    OSTRA_LOGI("feedback stopped");
    return initCount ? FEEDBACK_ERROR_NONE : FEEDBACK_ERROR_NOT_INITIALIZED;
}

}  // extern "C"
