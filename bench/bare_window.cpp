// The start-up and running-cost baseline: the least a program on this
// toolkit can do on the watch screen. A 360x360 window with one label that
// changes once a second, and the same "first frame" line the platform's
// application framework logs, so the driver measures both alike. It uses no
// platform library on purpose: their cost is what the ratio shows.
#include <Elementary.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

// Milliseconds since the kernel started this process, as the platform
// computes it (exact to a clock tick).
double processAgeMs() {
    char line[1024] = {};
    FILE* stat = fopen("/proc/self/stat", "r");
    if (!stat) {
        return -1;
    }
    size_t length = fread(line, 1, sizeof(line) - 1, stat);
    fclose(stat);
    line[length] = '\0';
    const char* rest = strrchr(line, ')');
    unsigned long long startTicks = 0;
    timespec now{};
    if (!rest ||
        sscanf(rest + 1,
               "%*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %llu",
               &startTicks) != 1 ||
        clock_gettime(CLOCK_BOOTTIME, &now) != 0) {
        return -1;
    }
    double nowMs = now.tv_sec * 1000.0 + now.tv_nsec / 1e6;
    return nowMs - startTicks * 1000.0 / sysconf(_SC_CLK_TCK);
}

void firstRenderCb(void*, Evas* evas, void*) {
    evas_event_callback_del(evas, EVAS_CALLBACK_RENDER_POST, firstRenderCb);
    fprintf(stderr, "first frame drawn after %.1f ms\n", processAgeMs());
}

Eina_Bool tickCb(void* data) {
    static int ticks = 0;
    char text[32];
    snprintf(text, sizeof(text), "%d s", ++ticks);
    elm_object_text_set(static_cast<Evas_Object*>(data), text);
    return ECORE_CALLBACK_RENEW;
}

}  // namespace

int main(int argc, char** argv) {
    elm_init(argc, argv);
    elm_policy_set(ELM_POLICY_QUIT, ELM_POLICY_QUIT_LAST_WINDOW_CLOSED);
    Evas_Object* win = elm_win_util_standard_add("bare-window", "bare window");
    evas_object_resize(win, 360, 360);
    Evas_Object* label = elm_label_add(win);
    elm_object_text_set(label, "0 s");
    evas_object_size_hint_weight_set(label, EVAS_HINT_EXPAND, EVAS_HINT_EXPAND);
    elm_win_resize_object_add(win, label);
    evas_object_show(label);
    evas_event_callback_add(evas_object_evas_get(win), EVAS_CALLBACK_RENDER_POST, firstRenderCb,
                            nullptr);
    ecore_timer_add(1.0, tickCb, label);
    evas_object_show(win);
    elm_run();
    elm_shutdown();
    return 0;
}
