#include "FirstFrameLog.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <ctime>

#include "PlatformLog.h"

namespace ostra {

namespace {

// Milliseconds since the kernel started this process (exact to a clock tick),
// so the figure includes loading and linking, not just our own start-up.
double processAgeMs() {
    char line[1024] = {};
    FILE* stat = fopen("/proc/self/stat", "r");
    if (!stat) {
        return -1;
    }
    size_t length = fread(line, 1, sizeof(line) - 1, stat);
    fclose(stat);
    line[length] = '\0';
    // The command name (field 2) may hold anything; the fields after it start
    // at its last ')'. Start time is field 22, the 20th after the name.
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

// The start-up benchmark waits for this line.
void firstRenderCb(void*, Evas* evas, void*) {
    evas_event_callback_del(evas, EVAS_CALLBACK_RENDER_POST, firstRenderCb);
    OSTRA_LOGI("first frame drawn after %.1f ms", processAgeMs());
}

}  // namespace

void logFirstFrame(Evas_Object* win) {
    evas_event_callback_add(evas_object_evas_get(win), EVAS_CALLBACK_RENDER_POST, firstRenderCb,
                            nullptr);
}

}  // namespace ostra
