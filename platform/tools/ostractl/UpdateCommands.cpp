// "update check": one app-update check in a small window, its outcome printed.
#include <Elementary.h>
#include <ostra/app_common.h>
#include <ostra/dlog.h>
#include <ostra/ostra_efl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include "Command.h"
#include "ZentrelUpdater.h"

namespace {

// The updater reports through its log only: its lines name the outcome.
struct Outcome {
    const char* line;
    const char* text;
    bool final;
};

constexpr Outcome kOutcomes[] = {
    {"Do not support app updating on LDU mode", "no check: retail demo mode", true},
    {"No app to updating", "up to date: the installed version is the store's", true},
    {"There is app to update", "update available (known from an earlier check)", true},
    {"Don't check for updates", "no query: the last check was less than 96 hours ago", true},
    {"State [Failed]", "query failed: no answer from the update service", true},
    {"No available app to update", "no update offered by the store", false},
    {"is available", "update available: the store has a newer version", false},
    {"Failed document parssing", "answer unreadable: not XML", false},
    {"document of the wrong type", "answer unreadable: root element is not result", false},
    {"Store check time [", nullptr, true},
};

struct CheckState {
    std::mutex mutex;
    std::string outcome;
    std::string url;
    bool done = false;
};

CheckState& check() {
    static CheckState state;
    return state;
}

constexpr const char* kUrlLine = "URL [";

void onLog(log_priority, const char*, const char* message, void*) {
    CheckState& state = check();
    std::lock_guard<std::mutex> lock(state.mutex);
    const char* url = strstr(message, kUrlLine);
    if (url) {
        state.url = url + strlen(kUrlLine);
        state.url.pop_back();  // the closing bracket
    }
    for (const Outcome& o : kOutcomes) {
        if (!strstr(message, o.line)) {
            continue;
        }
        if (o.text) {
            state.outcome = o.text;
        }
        state.done = state.done || o.final;
    }
}

Eina_Bool pollDone(void*) {
    std::lock_guard<std::mutex> lock(check().mutex);
    if (check().done) {
        ecore_main_loop_quit();
        return ECORE_CALLBACK_CANCEL;
    }
    return ECORE_CALLBACK_RENEW;
}

Eina_Bool giveUp(void*) {
    ecore_main_loop_quit();
    return ECORE_CALLBACK_CANCEL;
}

int runCheck(const char* screenshot) {
    if (!getenv("DISPLAY") && !getenv("WAYLAND_DISPLAY")) {
        setenv("ELM_DISPLAY", "buffer", 1);
        setenv("ELM_ACCEL", "none", 1);
    }
    elm_init(0, nullptr);
    ostra_efl_glib_integrate();
    // The program's theme holds the round popup.
    char* resources = app_get_resource_path();
    std::string theme = std::string(resources ? resources : "") + "edje/zentrel.edj";
    free(resources);
    elm_theme_extension_add(nullptr, theme.c_str());
    Evas_Object* win = elm_win_add(nullptr, "ostractl-update", ELM_WIN_BASIC);
    elm_win_title_set(win, "Zentrel update check");
    Evas_Object* background = elm_bg_add(win);
    elm_bg_color_set(background, 0, 0, 0);
    elm_win_resize_object_add(win, background);
    evas_object_show(background);
    evas_object_resize(win, 360, 360);
    evas_object_show(win);
    ostra_log_set_sink(onLog, nullptr);
    int result = 0;
    {
        ZentrelUpdater updater;
        updater.startDownloadManager(win);
        Ecore_Timer* poll = ecore_timer_add(0.05, pollDone, nullptr);
        Ecore_Timer* limit = ecore_timer_add(60.0, giveUp, nullptr);
        ecore_main_loop_begin();
        ecore_timer_del(limit);
        if (!check().done) {
            ecore_timer_del(poll);
            check().outcome = "no outcome within 60 s";
            result = 1;
        }
        if (screenshot) {
            ecore_timer_add(0.5, giveUp, nullptr);
            ecore_main_loop_begin();
            ostra_efl_window_screenshot(win, screenshot);
        }
        ostra_log_set_sink(nullptr, nullptr);
    }
    if (!check().url.empty()) {
        printf("query:   %s\n", check().url.c_str());
    }
    printf("outcome: %s\n", check().outcome.c_str());
    evas_object_del(win);
    elm_shutdown();
    return result;
}

int runUpdate(const std::vector<std::string>& args) {
    if (args.empty() || args[0] != "check" || args.size() > 3 ||
        (args.size() > 1 && (args[1] != "--screenshot" || args.size() != 3))) {
        return ostractl::usageError("update");
    }
    return runCheck(args.size() == 3 ? args[2].c_str() : nullptr);
}

ostractl::Registrar updateVerb({"update", "check [--screenshot PNG]",
                                "run one app-update check in a small window", runUpdate});

}  // namespace
