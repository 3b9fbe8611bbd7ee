#include <gtest/gtest.h>

#include <cstdlib>

#include "SensorTestUtil.h"
#include "TestSupport.h"
#include "ZentrelSensor.h"

using sensortest::RecordingListener;
using sensortest::writeFile;
using testsupport::LogCapture;
using testsupport::runUntil;
using testsupport::TempRoot;

// Rows half a second off the one-second ticks, so each tick sees exactly one row.
TEST(ZentrelSensorLive, ForwardsOnlyPlausibleReadingsAndReportsFailure) {
    TempRoot root;
    LogCapture log;
    std::string trace = writeFile(root.path() + "/trace.csv",
                                  "0.5,260.0\n"
                                  "1.5,1260.0\n"
                                  "broken line\n"
                                  "2.5,259.9\n"
                                  "3.5,1260.1\n"
                                  "4.5,1013.0,0\n"
                                  "5.0,nan\n");
    setenv("OSTRA_SENSOR", ("replay:" + trace).c_str(), 1);
    RecordingListener listener;
    {
        ZentrelSensor sensor(&listener);
        ASSERT_TRUE(sensor.startSensor());
        EXPECT_TRUE(sensor.startSensor());
        EXPECT_EQ(log.count("Sensor is Already Created Resume it"), 1);
        EXPECT_EQ(log.count("Sensor Start Success"), 1);
        runUntil([&] { return log.contains("has ended"); }, 9000);
        sensor.stopSensor();
    }
    unsetenv("OSTRA_SENSOR");
    EXPECT_EQ(listener.readings, (std::vector<float>{260.0f, 1260.0f, -1.0f}));
    EXPECT_EQ(log.count("SENSOR OVER LIMITATION"), 2);
    EXPECT_EQ(log.count("SENSOR IS NOT WORKING"), 1);
    EXPECT_TRUE(log.contains("line 3 is malformed"));
    EXPECT_TRUE(log.contains("line 7 is malformed"));
    EXPECT_EQ(log.count("Sensor Stop Success"), 1);
}

TEST(ZentrelSensorLive, StopAndPauseWithoutStartDoNothing) {
    TempRoot root;
    RecordingListener listener;
    ZentrelSensor sensor(&listener);
    LogCapture log;
    sensor.stopSensor();
    EXPECT_FALSE(log.contains("Stop Sensor"));
    EXPECT_FALSE(log.contains("Sensor Stop Success"));
    sensor.stopSensorIndicator();
    EXPECT_TRUE(log.contains("stopSonserIndicator is failed!"));
}

TEST(ZentrelSensorLive, PausedSensorIsSilentUntilResumed) {
    TempRoot root;
    setenv("OSTRA_SENSOR", "sim:steady", 1);
    RecordingListener listener;
    ZentrelSensor sensor(&listener);
    ASSERT_TRUE(sensor.startSensor());
    ASSERT_TRUE(runUntil([&] { return !listener.readings.empty(); }, 3000));
    float first = listener.readings.front();
    EXPECT_GT(first, 900.0f);
    EXPECT_LT(first, 1100.0f);
    sensor.pauseSensor();
    size_t heard = listener.readings.size();
    runUntil([] { return false; }, 2200);
    EXPECT_EQ(listener.readings.size(), heard);
    sensor.resumeSensor();
    EXPECT_TRUE(runUntil([&] { return listener.readings.size() > heard; }, 3000));
    // Stopped is silent for good.
    sensor.stopSensor();
    heard = listener.readings.size();
    runUntil([] { return false; }, 2200);
    EXPECT_EQ(listener.readings.size(), heard);
    unsetenv("OSTRA_SENSOR");
}

TEST(ZentrelSensorLive, InjectionReachesRunningSimulationAndFailureScenarioReportsMinusOne) {
    TempRoot root;
    setenv("OSTRA_SENSOR", "sim", 1);
    RecordingListener listener;
    ZentrelSensor sensor(&listener);
    ASSERT_TRUE(sensor.startSensor());
    ASSERT_EQ(testsupport::runProgram({OSTRACTL_PATH, "sensor", "inject", "987.5"}), 0);
    EXPECT_TRUE(runUntil(
        [&] { return !listener.readings.empty() && listener.readings.back() == 987.5f; }, 3000));
    ASSERT_EQ(testsupport::runProgram({OSTRACTL_PATH, "sensor", "inject", "987.5", "0"}), 0);
    EXPECT_TRUE(runUntil([&] { return listener.readings.back() == -1.0f; }, 3000));
    ASSERT_EQ(testsupport::runProgram({OSTRACTL_PATH, "sensor", "inject", "clear"}), 0);
    EXPECT_TRUE(runUntil([&] { return listener.readings.back() > 900.0f; }, 3000));
    EXPECT_NE(listener.readings.back(), 987.5f);
    sensor.stopSensor();

    setenv("OSTRA_SENSOR", "sim:failure", 1);
    RecordingListener failing;
    ZentrelSensor broken(&failing);
    ASSERT_TRUE(broken.startSensor());
    EXPECT_TRUE(runUntil([&] { return !failing.readings.empty(); }, 3000));
    EXPECT_EQ(failing.readings.front(), -1.0f);
    unsetenv("OSTRA_SENSOR");
}

TEST(ZentrelSensorLive, UnopenableSourceFailsTheStart) {
    TempRoot root;
    LogCapture log;
    setenv("OSTRA_SENSOR", ("replay:" + root.path() + "/missing.csv").c_str(), 1);
    RecordingListener listener;
    ZentrelSensor sensor(&listener);
    EXPECT_FALSE(sensor.startSensor());
    EXPECT_TRUE(log.contains("sensor_create_listener failed with error [-5]"));
    unsetenv("OSTRA_SENSOR");
}
