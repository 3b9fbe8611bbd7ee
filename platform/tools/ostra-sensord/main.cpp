// ostra-sensord: records the pressure in the background. One instance per
// OSTRA_ROOT (a lock file); it samples the pressure source once a second and
// keeps 2-minute averages in $OSTRA_ROOT/system/sensor-recorder.db. After
// each stored bucket, and once at start, the storm watch looks at the history.
#include <glib-unix.h>
#include <glib.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>

#include "BucketSampler.h"
#include "Paths.h"
#include "PlatformLog.h"
#include "PressureSource.h"
#include "RecorderStore.h"
#include "SensordControl.h"
#include "StormLauncher.h"

namespace {

constexpr unsigned kSampleIntervalMs = 1000;

gboolean sampleTick(gpointer data) {
    static_cast<BucketSampler*>(data)->sample(g_get_real_time() / G_USEC_PER_SEC);
    return G_SOURCE_CONTINUE;
}

gboolean quit(gpointer data) {
    g_main_loop_quit(static_cast<GMainLoop*>(data));
    return G_SOURCE_REMOVE;
}

bool parseRetention(int argc, char** argv, int* hours) {
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--retention") == 0 && i + 1 < argc) {
            char* end = nullptr;
            long value = strtol(argv[++i], &end, 10);
            if (!end || *end != '\0' || value <= 0 || value > 24 * 365 * 10) {
                return false;
            }
            *hours = static_cast<int>(value);
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    int retention = ostra::RecorderStore::kDefaultRetentionHours;
    if (!parseRetention(argc, argv, &retention)) {
        fprintf(stderr, "usage: ostra-sensord [--retention HOURS]\n");
        return 2;
    }
    if (!ostra::makeStateDir(ostra::systemDir())) {
        return 1;
    }
    int lock = ostra::SensordControl::acquireLock();
    if (lock < 0) {
        OSTRA_LOGI("ostra-sensord already runs (pid %d)", ostra::SensordControl::runningPid());
        return 0;
    }
    auto source = ostra::openPressureSource();
    if (!source) {
        OSTRA_LOGE("ostra-sensord: no pressure source, nothing to record");
        close(lock);
        return 1;
    }
    ostra::RecorderStore store;
    if (!store.open()) {
        close(lock);
        return 1;
    }
    OSTRA_LOGI("ostra-sensord %d records %s into %s, retention %d h", getpid(),
               source->describe().c_str(), store.path().c_str(), retention);
    BucketSampler sampler(std::move(source), &store, retention);
    StormLauncher storm(&store, OSTRA_STORM_ALERT_APP_ID);
    sampler.setStoredHook([&storm](long long end) { storm.check(end); });
    storm.check(g_get_real_time() / G_USEC_PER_SEC);
    GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
    g_unix_signal_add(SIGTERM, quit, loop);
    g_unix_signal_add(SIGINT, quit, loop);
    g_unix_signal_add(SIGHUP, quit, loop);
    sampler.sample(g_get_real_time() / G_USEC_PER_SEC);
    g_timeout_add(kSampleIntervalMs, sampleTick, &sampler);
    g_main_loop_run(loop);
    // The last, partial bucket is kept, but nobody is warned on the way out.
    sampler.setStoredHook(nullptr);
    sampler.flush();
    g_main_loop_unref(loop);
    OSTRA_LOGI("ostra-sensord %d finished", getpid());
    close(lock);
    return 0;
}
