#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

#include "SensorTestUtil.h"
#include "TestSupport.h"
#include "ZentrelSensor.h"

using sensortest::RecordingListener;
using sensortest::writeFile;
using testsupport::runProgram;
using testsupport::runUntil;
using testsupport::TempRoot;

namespace {

int trendFor(const TempRoot& root, const std::string& trace) {
    std::string path = writeFile(root.path() + "/trend.csv", trace);
    EXPECT_EQ(sensortest::importTrace(path, sensortest::nowSeconds()), 0);
    std::string out;
    EXPECT_EQ(runProgram({OSTRACTL_PATH, "sensor", "trend"}, &out), 0);
    return std::stoi(out);
}

// A three-hour trace, each half falling, steady or rising by the given change.
std::string twoHalves(double olderChange, double newerChange) {
    std::string trace;
    double p = 1010.0;
    for (int minute = 0; minute <= 180; ++minute) {
        trace += std::to_string(minute * 60) + "," + std::to_string(p) + "\n";
        p += (minute < 90 ? olderChange : newerChange) / 90.0;
    }
    return trace;
}

}  // namespace

TEST(PressureTrend, IndicatorStartsWithNoDataAndFollowsNewBuckets) {
    TempRoot root;
    RecordingListener listener;
    ZentrelSensor sensor(&listener);
    ASSERT_EQ(sensor.startSensorIndicator(), 0);
    ASSERT_TRUE(runUntil([&] { return !listener.trends.empty(); }, 3000));
    EXPECT_EQ(listener.trends.back(), 136.0f);

    std::string path = writeFile(root.path() + "/fall.csv", twoHalves(-2.0, -2.0));
    ASSERT_EQ(sensortest::importTrace(path, sensortest::nowSeconds()), 0);
    ASSERT_TRUE(runUntil([&] { return listener.trends.back() != 136.0f; }, 5000));
    EXPECT_EQ(listener.trends.back(), 17.0f);
    sensor.stopSensorIndicator();
}

// The indicator reads the recorder when the daemon writes it; its own reading
// must not count as a write, or it reads the file again and again.
TEST(PressureTrend, IndicatorLeavesAnUnchangedRecorderAlone) {
    TempRoot root;
    std::string path = writeFile(root.path() + "/fall.csv", twoHalves(-2.0, -2.0));
    ASSERT_EQ(sensortest::importTrace(path, sensortest::nowSeconds()), 0);
    RecordingListener listener;
    ZentrelSensor sensor(&listener);
    ASSERT_EQ(sensor.startSensorIndicator(), 0);
    ASSERT_TRUE(runUntil([&] { return !listener.trends.empty(); }, 3000));
    EXPECT_EQ(listener.trends.back(), 17.0f);

    int watcher = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watcher, 0);
    // Closes are watched too: the kernel merges repeated identical events.
    ASSERT_GE(inotify_add_watch(watcher, (root.path() + "/system/sensor-recorder.db").c_str(),
                                IN_OPEN | IN_CLOSE),
              0);
    runUntil([] { return false; }, 1500);
    int opens = 0;
    alignas(inotify_event) char buffer[4096];
    ssize_t got;
    while ((got = read(watcher, buffer, sizeof buffer)) > 0) {
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            opens += (event->mask & IN_OPEN) ? 1 : 0;
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    close(watcher);
    EXPECT_EQ(opens, 0);
    sensor.stopSensorIndicator();
}

TEST(PressureTrend, CodesForFallingSteadyRisingAndMixedTraces) {
    TempRoot root;
    EXPECT_EQ(trendFor(root, twoHalves(-1.0, -1.0)), 0x11);
    EXPECT_EQ(trendFor(root, twoHalves(0.2, -0.2)), 0x22);
    EXPECT_EQ(trendFor(root, twoHalves(1.0, 1.0)), 0x44);
    EXPECT_EQ(trendFor(root, twoHalves(0.0, 1.5)), 0x24);
    EXPECT_EQ(trendFor(root, twoHalves(1.5, -1.5)), 0x41);
}

TEST(PressureTrend, OnlyTheNewerHalfGivesTheDimmedSetAndNothingGivesNoData) {
    TempRoot root;
    std::string out;
    ASSERT_EQ(runProgram({OSTRACTL_PATH, "sensor", "trend"}, &out), 0);
    EXPECT_EQ(std::stoi(out), 0x88);
    EXPECT_EQ(trendFor(root, sensortest::linearTrace(1.0, 1012.0, 1011.0)), 0x81);
}
