// "ostractl storm": the storm watch of the recorder daemon, now or replayed
// over a pressure trace.
#include <glib.h>

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "Command.h"
#include "PressureTrace.h"
#include "RecorderStore.h"
#include "StormWatch.h"

namespace {

std::string localTime(long long t) {
    if (t <= 0) {
        return "never";
    }
    time_t seconds = static_cast<time_t>(t);
    struct tm parts;
    char text[64] = {};
    localtime_r(&seconds, &parts);
    strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &parts);
    return std::string(text) + " (" + std::to_string(t) + ")";
}

int show() {
    ostra::StormState state = ostra::StormWatch::load();
    long long now = g_get_real_time() / G_USEC_PER_SEC;
    ostra::RecorderStore store;
    std::vector<ostra::RecorderBucket> buckets;
    if (!store.query(now - ostra::StormWatch::kLookbackSeconds, now + 1, &buckets)) {
        return 1;
    }
    ostra::StormView view = ostra::StormWatch::view(buckets, now + 1);
    printf("watch:      %s\n", state.armed ? "armed" : "alerted, waiting for the fall to end");
    printf("last alert: %s\n", localTime(state.lastAlert).c_str());
    printf("daemon saw: %.2f hPa at %s\n", state.drop, localTime(state.checkedAt).c_str());
    if (!view.enoughData) {
        printf("now:        not enough data (%.0f min of the last 3 hours, 30 needed)\n",
               view.spanHours * 60);
        return 0;
    }
    printf("now:        drop %.2f hPa within 3 hours (alert above %.1f), trend %+.2f hPa/h\n",
           view.drop, ostra::StormWatch::kAlertDropHpa, view.fallRate);
    return 0;
}

int replay(const std::string& path) {
    std::vector<ostra::TraceRow> rows;
    if (!ostra::PressureTrace::load(path, &rows)) {
        fprintf(stderr, "ostractl: %s cannot be read\n", path.c_str());
        return 1;
    }
    double last = 0.0;
    for (const auto& row : rows) {
        last = std::max(last, row.offset);
    }
    // Ending the trace at its own last offset keeps bucket times equal to offsets.
    auto buckets = ostra::PressureTrace::toBuckets(rows, static_cast<long long>(last));
    for (long long at : ostra::StormWatch::replay(buckets)) {
        printf("alert %lld\n", at);
    }
    return 0;
}

int runStorm(const std::vector<std::string>& args) {
    if (args.empty()) {
        return show();
    }
    if (args[0] == "replay" && args.size() == 2) {
        return replay(args[1]);
    }
    return ostractl::usageError("storm");
}

ostractl::Registrar stormVerb({"storm", "[replay FILE]",
                               "the storm watch's state, or its alerts over a trace", runStorm});

}  // namespace
