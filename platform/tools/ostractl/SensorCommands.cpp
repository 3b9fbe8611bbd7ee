// "ostractl sensor": the pressure source and reading, the recorder, the trend,
// injected readings for a running simulation and trace imports.
#include <glib.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <fstream>

#include "Command.h"
#include "Paths.h"
#include "PressureSource.h"
#include "PressureTrace.h"
#include "PressureTrend.h"
#include "RecorderStore.h"
#include "SensordControl.h"
#include "SimPressureSource.h"
#include "ostra/sensor.h"
#include "ostra/vconf.h"

namespace {

long long nowSeconds() {
    return g_get_real_time() / G_USEC_PER_SEC;
}

int show() {
    std::string choice = ostra::pressureSourceChoice();
    auto source = ostra::openPressureSource(choice);
    printf("source:   %s -> %s\n", choice.c_str(),
           source ? source->describe().c_str() : "(cannot be opened)");
    ostra::PressureReading reading;
    if (source && source->read(&reading)) {
        printf("reading:  %.2f hPa%s\n", reading.hPa, reading.working ? "" : " (not working)");
    } else {
        printf("reading:  none\n");
    }
    int pid = ostra::SensordControl::runningPid();
    printf("recorder: %s", pid ? "running, pid " : "not running\n");
    if (pid) {
        printf("%d\n", pid);
    }
    ostra::RecorderStore store;
    std::vector<ostra::RecorderBucket> buckets;
    long long now = nowSeconds();
    if (store.query(now - 6 * 3600, now + 1, &buckets)) {
        printf("history:  %zu buckets in the last six hours", buckets.size());
        if (!buckets.empty()) {
            printf(", latest %.2f hPa", buckets.back().hPa);
        }
        printf("\n");
    }
    printf("trend:    0x%02x\n", ostra::PressureTrend::current(now));
    return 0;
}

int setSource(const std::string& choice) {
    if (choice == "auto") {
        return vconf_unset(ostra::kSensorSourceKey) == VCONF_OK ? 0 : 1;
    }
    if (!ostra::openPressureSource(choice)) {
        fprintf(stderr, "ostractl: source '%s' cannot be opened\n", choice.c_str());
        return 1;
    }
    return vconf_set_str(ostra::kSensorSourceKey, choice.c_str()) == VCONF_OK ? 0 : 1;
}

int inject(const std::vector<std::string>& args) {
    std::string path = ostra::SimPressureSource::injectionPath();
    if (args.size() == 2 && args[1] == "clear") {
        return unlink(path.c_str()) == 0 || errno == ENOENT ? 0 : 1;
    }
    double hPa = 0;
    bool working = true;
    if (args.size() < 2 || args.size() > 3 || !ostractl::parseDouble(args[1], &hPa) ||
        (args.size() == 3 && !ostractl::parseBool(args[2], &working))) {
        return ostractl::usageError("sensor");
    }
    ostra::makeDirs(ostra::systemDir());
    // Written aside and renamed, so the simulation never reads half a line.
    std::string temp = path + ".tmp";
    {
        std::ofstream out(temp, std::ios::trunc);
        out << hPa << " " << (working ? 1 : 0) << "\n";
        if (!out) {
            fprintf(stderr, "ostractl: %s cannot be written\n", temp.c_str());
            return 1;
        }
    }
    return rename(temp.c_str(), path.c_str()) == 0 ? 0 : 1;
}

int import(const std::vector<std::string>& args) {
    long long end = nowSeconds();
    if (args.size() == 4 && args[2] == "--end") {
        if (args[3] != "now" && !ostractl::parseInt(args[3], &end)) {
            return ostractl::usageError("sensor");
        }
    } else if (args.size() != 2) {
        return ostractl::usageError("sensor");
    }
    std::vector<ostra::TraceRow> rows;
    if (!ostra::PressureTrace::load(args[1], &rows)) {
        fprintf(stderr, "ostractl: %s cannot be read\n", args[1].c_str());
        return 1;
    }
    auto buckets = ostra::PressureTrace::toBuckets(rows, end);
    ostra::RecorderStore store;
    if (!store.store(buckets)) {
        return 1;
    }
    printf("imported %zu rows into %zu buckets ending %lld\n", rows.size(), buckets.size(), end);
    return 0;
}

// Writes the recorder's buckets in the import format, one row per bucket at
// its offset from the first, so an import puts every bucket back.
int exportTrace(const std::vector<std::string>& args) {
    long long hours = ostra::RecorderStore::kDefaultRetentionHours;
    if (args.size() == 4 && args[2] == "--hours") {
        if (!ostractl::parseInt(args[3], &hours) || hours <= 0) {
            return ostractl::usageError("sensor");
        }
        // More than a century back is everything; the clamp keeps the arithmetic sound.
        hours = std::min(hours, 24LL * 365 * 100);
    } else if (args.size() != 2) {
        return ostractl::usageError("sensor");
    }
    long long now = nowSeconds();
    ostra::RecorderStore store;
    std::vector<ostra::RecorderBucket> buckets;
    if (!store.query(now - hours * 3600, now + 1, &buckets)) {
        return 1;
    }
    FILE* out = fopen(args[1].c_str(), "w");
    if (!out) {
        fprintf(stderr, "ostractl: %s cannot be written\n", args[1].c_str());
        return 1;
    }
    long long first = buckets.empty() ? now : buckets.front().start;
    fprintf(out, "# recorder export: offset 0 is %lld\n", first);
    for (const auto& bucket : buckets) {
        fprintf(out, "%lld,%.6f\n", bucket.start - first, bucket.hPa);
    }
    bool written = fclose(out) == 0;
    if (!written) {
        fprintf(stderr, "ostractl: %s cannot be written\n", args[1].c_str());
        return 1;
    }
    printf("exported %zu buckets, last one at offset %lld\n", buckets.size(),
           buckets.empty() ? 0 : buckets.back().start - first);
    return 0;
}

int recorder(const std::vector<std::string>& args) {
    if (args.size() != 2) {
        return ostractl::usageError("sensor");
    }
    if (args[1] == "start") {
        int rc = sensor_recorder_start(SENSOR_PRESSURE, nullptr);
        if (rc == SENSOR_ERROR_NOT_AVAILABLE) {
            printf("recorder already running, pid %d\n", ostra::SensordControl::runningPid());
            return 0;
        }
        if (rc == SENSOR_ERROR_NONE) {
            printf("recorder started, pid %d\n", ostra::SensordControl::runningPid());
        }
        return rc == SENSOR_ERROR_NONE ? 0 : 1;
    }
    if (args[1] == "stop") {
        return sensor_recorder_stop(SENSOR_PRESSURE) == SENSOR_ERROR_NONE ? 0 : 1;
    }
    return ostractl::usageError("sensor");
}

int runSensor(const std::vector<std::string>& args) {
    if (args.empty() || (args[0] == "show" && args.size() == 1)) {
        return show();
    }
    if (args[0] == "source" && args.size() == 2) {
        return setSource(args[1]);
    }
    if (args[0] == "inject") {
        return inject(args);
    }
    if (args[0] == "import") {
        return import(args);
    }
    if (args[0] == "export") {
        return exportTrace(args);
    }
    if (args[0] == "recorder") {
        return recorder(args);
    }
    if (args[0] == "trend" && args.size() == 1) {
        printf("%d\n", ostra::PressureTrend::current(nowSeconds()));
        return 0;
    }
    return ostractl::usageError("sensor");
}

ostractl::Registrar sensorVerb(
    {"sensor",
     "[show | source iio|sim[:SCENARIO]|replay:FILE|auto | "
     "inject HPA [WORKING] | inject clear | import FILE [--end "
     "now|EPOCH] | export FILE [--hours N] | recorder start|stop | trend]",
     "pressure source, reading, recorder and trend", runSensor});

}  // namespace
