#include <gtest/gtest.h>
#include <ostra/sensor.h>
#include <signal.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "RecorderStore.h"
#include "SensorTestUtil.h"
#include "SensordControl.h"
#include "TestSupport.h"
#include "ZentrelSensor.h"

using sensortest::RecordingListener;
using sensortest::writeFile;
using testsupport::LogCapture;
using testsupport::runProgram;
using testsupport::runUntil;
using testsupport::TempRoot;

namespace {

bool countSample(sensor_type_e, sensor_recorder_data_h, int, sensor_error_e, void* count) {
    ++*static_cast<int*>(count);
    return true;
}

}  // namespace

TEST(SensorRecorder, DeliversEachStoredSampleWithRemainsAndOneCompletion) {
    TempRoot root;
    long long end = 1700000000;  // a multiple of 120: bucket starts equal row times
    std::string trace = writeFile(root.path() + "/three.csv", "0,1001.5\n120,1002.5\n240,1003.5\n");
    ASSERT_EQ(sensortest::importTrace(trace, end), 0);

    RecordingListener listener;
    ZentrelSensor sensor(&listener);
    ASSERT_TRUE(sensor.getSensorRecorder(end + 1));
    // Delivery happens on the main loop, never inside the call.
    EXPECT_TRUE(listener.samples.empty());
    ASSERT_TRUE(runUntil([&] { return listener.completions > 0; }, 3000));
    ASSERT_EQ(listener.samples.size(), 3u);
    EXPECT_EQ(listener.samples[0].remains, 2);
    EXPECT_EQ(listener.samples[1].remains, 1);
    EXPECT_EQ(listener.samples[2].remains, 0);
    EXPECT_DOUBLE_EQ(listener.samples[0].pressure, 1001.5);
    EXPECT_DOUBLE_EQ(listener.samples[2].pressure, 1003.5);
    EXPECT_LT(listener.samples[0].time, listener.samples[1].time);
    EXPECT_EQ(listener.samples[1].time - listener.samples[0].time, 120);
    runUntil([] { return false; }, 100);
    EXPECT_EQ(listener.completions, 1);
}

// With no one listening the read still runs to its end: every sample is
// offered, none stops the delivery.
TEST(SensorRecorder, ReadWithoutListenerStillRunsThroughEverySample) {
    TempRoot root;
    long long end = 1700000000;
    std::string trace = writeFile(root.path() + "/three.csv", "0,1001.5\n120,1002.5\n240,1003.5\n");
    ASSERT_EQ(sensortest::importTrace(trace, end), 0);
    LogCapture log;
    ZentrelSensor sensor(nullptr);
    ASSERT_TRUE(sensor.getSensorRecorder(end + 1));
    runUntil([&] { return log.count("Sensor Listner is nullptr") >= 3; }, 3000);
    EXPECT_EQ(log.count("Sensor Listner is nullptr"), 3);
}

TEST(SensorRecorder, SixHourImportGivesOneSampleEveryTwoMinutes) {
    TempRoot root;
    long long end = sensortest::nowSeconds();
    std::string trace =
        writeFile(root.path() + "/six.csv", sensortest::linearTrace(6.0, 1010, 1004));
    ASSERT_EQ(sensortest::importTrace(trace, end), 0);

    RecordingListener listener;
    ZentrelSensor sensor(&listener);
    ASSERT_TRUE(sensor.getSensorRecorder(end));
    ASSERT_TRUE(runUntil([&] { return listener.completions > 0; }, 3000));
    ASSERT_EQ(listener.samples.size(), 180u);
    EXPECT_EQ(listener.samples.front().remains, 179);
    EXPECT_GE(listener.samples.front().time, end - 21600);
    EXPECT_LT(listener.samples.back().time, end);
    EXPECT_NEAR(listener.samples.front().pressure, 1010.0, 0.1);
    EXPECT_NEAR(listener.samples.back().pressure, 1004.0, 0.1);

    // Ten-minute intervals counted from the anchor group five buckets each.
    sensor_recorder_query_h query = nullptr;
    ASSERT_EQ(sensor_recorder_create_query(&query), SENSOR_ERROR_NONE);
    sensor_recorder_query_set_time(query, SENSOR_RECORDER_QUERY_START_TIME, end - 3600);
    sensor_recorder_query_set_time(query, SENSOR_RECORDER_QUERY_END_TIME, end);
    sensor_recorder_query_set_time(query, SENSOR_RECORDER_QUERY_ANCHOR_TIME, end);
    sensor_recorder_query_set_int(query, SENSOR_RECORDER_QUERY_TIME_INTERVAL, 10);
    int count = 0;
    ASSERT_EQ(sensor_recorder_read(SENSOR_PRESSURE, query, countSample, &count), SENSOR_ERROR_NONE);
    sensor_recorder_destroy_query(query);
    EXPECT_TRUE(runUntil([&] { return count >= 6; }, 3000));
    EXPECT_EQ(count, 6);
}

TEST(SensorRecorder, EmptyHistoryAndCorruptDatabaseAreReportedNotInvented) {
    TempRoot root;
    LogCapture log;
    RecordingListener listener;
    ZentrelSensor sensor(&listener);
    EXPECT_FALSE(sensor.getSensorRecorder(sensortest::nowSeconds()));
    EXPECT_TRUE(log.contains("Failed to read data"));

    testsupport::runProgram({OSTRACTL_PATH, "sensor"});
    writeFile(root.path() + "/system/sensor-recorder.db", std::string(4096, 'x'));
    long long end = 1700000000;
    std::string trace = writeFile(root.path() + "/one.csv", "0,999.0\n");
    ASSERT_EQ(sensortest::importTrace(trace, end), 0);
    ASSERT_TRUE(sensor.getSensorRecorder(end + 60));
    ASSERT_TRUE(runUntil([&] { return listener.completions > 0; }, 3000));
    ASSERT_EQ(listener.samples.size(), 1u);
    EXPECT_DOUBLE_EQ(listener.samples[0].pressure, 999.0);
    bool setAside = false;
    for (const auto& entry : std::filesystem::directory_iterator(root.path() + "/system")) {
        setAside |= entry.path().filename().string().rfind("sensor-recorder.db.corrupt-", 0) == 0;
    }
    EXPECT_TRUE(setAside);
}

// The daemon is started by another program, which exits; it keeps recording
// and a later start finds it.
TEST(SensorRecorder, DaemonOutlivesItsStarterAndRunsOnce) {
    TempRoot root;
    setenv("OSTRA_SENSOR", "sim", 1);
    ASSERT_EQ(runProgram({OSTRACTL_PATH, "sensor", "inject", "1005.25"}), 0);
    ASSERT_EQ(runProgram({OSTRACTL_PATH, "sensor", "recorder", "start"}), 0);
    int pid = sensortest::daemonPid(root.path());
    ASSERT_GT(pid, 0);
    EXPECT_EQ(kill(pid, 0), 0);

    EXPECT_EQ(sensor_recorder_start(SENSOR_PRESSURE, nullptr), SENSOR_ERROR_NOT_AVAILABLE);
    RecordingListener listener;
    {
        ZentrelSensor sensor(&listener);
        EXPECT_TRUE(sensor.startSensorRecorder());
        EXPECT_EQ(sensortest::daemonPid(root.path()), pid);
        runUntil([] { return false; }, 2500);
    }
    // The sensor that found it running stopped it on destruction; the readings
    // taken so far were stored as a partial bucket.
    bool gone = runUntil([&] { return kill(pid, 0) != 0; }, 3000);
    if (!gone) {
        kill(pid, SIGKILL);
    }
    EXPECT_TRUE(gone);
    ZentrelSensor reader(&listener);
    long long now = sensortest::nowSeconds();
    ASSERT_TRUE(reader.getSensorRecorder(now + 120));
    ASSERT_TRUE(runUntil([&] { return listener.completions > 0; }, 3000));
    ASSERT_FALSE(listener.samples.empty());
    EXPECT_DOUBLE_EQ(listener.samples.back().pressure, 1005.25);
    unsetenv("OSTRA_SENSOR");
}

// A reader that finds the history busy (another process in a write
// transaction, a user's sqlite3 session) fails this once; the history stays.
TEST(SensorRecorder, BusyHistoryIsWaitedForNeverSetAside) {
    TempRoot root;
    long long end = sensortest::nowSeconds();
    std::string trace =
        writeFile(root.path() + "/six.csv", sensortest::linearTrace(6.0, 1010, 1004));
    ASSERT_EQ(sensortest::importTrace(trace, end), 0);
    std::string path = root.path() + "/system/sensor-recorder.db";
    std::vector<ostra::RecorderBucket> before;
    ASSERT_TRUE(ostra::RecorderStore(path).query(end - 21600, end + 1, &before));
    ASSERT_GT(before.size(), 170u);
    sqlite3* holder = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &holder), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(holder, "BEGIN EXCLUSIVE;", nullptr, nullptr, nullptr), SQLITE_OK);
    std::vector<ostra::RecorderBucket> buckets;
    {
        ostra::RecorderStore reader(path);
        EXPECT_FALSE(reader.query(end - 21600, end + 1, &buckets));
    }
    sqlite3_exec(holder, "COMMIT;", nullptr, nullptr, nullptr);
    sqlite3_close(holder);
    for (const auto& entry : std::filesystem::directory_iterator(root.path() + "/system")) {
        EXPECT_EQ(entry.path().filename().string().find(".corrupt-"), std::string::npos);
    }
    ostra::RecorderStore reader(path);
    ASSERT_TRUE(reader.query(end - 21600, end + 1, &buckets));
    EXPECT_EQ(buckets.size(), before.size());
}

// A recorder that starts while a bucket is open (after a crash, or over an
// imported bucket) adds its readings to the bucket instead of replacing it.
TEST(SensorRecorder, RecorderStartedOverAnOpenBucketMergesIntoIt) {
    TempRoot root;
    long long now = sensortest::nowSeconds();
    if (now % ostra::RecorderStore::kBucketSeconds > ostra::RecorderStore::kBucketSeconds - 8) {
        g_usleep(9 * G_USEC_PER_SEC);
        now = sensortest::nowSeconds();
    }
    long long bucket = ostra::RecorderStore::bucketStart(now);
    ostra::RecorderStore store;
    ASSERT_TRUE(store.store({{bucket, 1000.0, 50}}));
    setenv("OSTRA_SENSOR", "sim", 1);
    ASSERT_EQ(runProgram({OSTRACTL_PATH, "sensor", "inject", "1010"}), 0);
    ASSERT_EQ(sensor_recorder_start(SENSOR_PRESSURE, nullptr), SENSOR_ERROR_NONE);
    runUntil([] { return false; }, 2500);
    ASSERT_EQ(sensor_recorder_stop(SENSOR_PRESSURE), SENSOR_ERROR_NONE);
    unsetenv("OSTRA_SENSOR");
    std::vector<ostra::RecorderBucket> buckets;
    ASSERT_TRUE(store.query(bucket, bucket + 1, &buckets));
    ASSERT_EQ(buckets.size(), 1u);
    int added = buckets[0].samples - 50;
    EXPECT_GE(added, 2);
    EXPECT_NEAR(buckets[0].hPa, (1000.0 * 50 + 1010.0 * added) / buckets[0].samples, 1e-6);
}

// A recorder that died (killed here) is started again when the program that
// needs it comes back to the front.
TEST(SensorRecorder, ResumedSensorStartsAGoneRecorderAgain) {
    TempRoot root;
    setenv("OSTRA_SENSOR", "sim", 1);
    RecordingListener listener;
    ZentrelSensor sensor(&listener);
    ASSERT_TRUE(sensor.startSensorRecorder());
    int first = sensortest::daemonPid(root.path());
    ASSERT_GT(first, 0);
    kill(first, SIGKILL);
    ASSERT_TRUE(runUntil([] { return ostra::SensordControl::runningPid() == 0; }, 5000));
    LogCapture log;
    sensor.resumeSensor();
    // The start runs on a thread of its own; it has finished once it says so.
    EXPECT_TRUE(runUntil([&] { return log.contains("started it again"); }, 8000));
    EXPECT_TRUE(runUntil(
        [&] {
            int pid = ostra::SensordControl::runningPid();
            return pid > 0 && pid != first;
        },
        8000));
    unsetenv("OSTRA_SENSOR");
}
