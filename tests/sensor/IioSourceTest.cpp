#include <gtest/gtest.h>
#include <ostra/sensor.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

#include "SensorTestUtil.h"
#include "TestSupport.h"

using sensortest::writeFile;
using testsupport::LogCapture;
using testsupport::TempRoot;

namespace {

class IioSource : public ::testing::Test {
  protected:
    void SetUp() override {
        _devices = _root.path() + "/iio";
        std::filesystem::create_directories(_devices + "/iio:device0");
        std::filesystem::create_directories(_devices + "/iio:device1");
        // A device without pressure comes first and must be passed over.
        writeFile(_devices + "/iio:device0/in_temp_input", "21500\n");
        setenv("OSTRA_IIO_ROOT", _devices.c_str(), 1);
        setenv("OSTRA_SENSOR", "iio", 1);
    }
    void TearDown() override {
        unsetenv("OSTRA_IIO_ROOT");
        unsetenv("OSTRA_SENSOR");
    }
    // One reading through the public API; the status.
    int read(float* hPa) {
        sensor_h sensor = nullptr;
        sensor_listener_h listener = nullptr;
        EXPECT_EQ(sensor_get_default_sensor(SENSOR_PRESSURE, &sensor), SENSOR_ERROR_NONE);
        int rc = sensor_create_listener(sensor, &listener);
        if (rc != SENSOR_ERROR_NONE) {
            return rc;
        }
        sensor_event_s event{};
        rc = sensor_listener_read_data(listener, &event);
        sensor_destroy_listener(listener);
        *hPa = event.values[0];
        return rc;
    }
    std::string device(const std::string& file) { return _devices + "/iio:device1/" + file; }

    TempRoot _root;
    std::string _devices;
};

}  // namespace

TEST_F(IioSource, ProcessedInputInKilopascals) {
    writeFile(device("in_pressure_input"), "101.325000\n");
    float hPa = 0;
    ASSERT_EQ(read(&hPa), SENSOR_ERROR_NONE);
    EXPECT_NEAR(hPa, 1013.25f, 0.001f);
}

TEST_F(IioSource, RawScaleAndOffset) {
    writeFile(device("in_pressure_raw"), "8000\n");
    writeFile(device("in_pressure_scale"), "0.0125\n");
    writeFile(device("in_pressure_offset"), "106\n");
    float hPa = 0;
    ASSERT_EQ(read(&hPa), SENSOR_ERROR_NONE);
    EXPECT_NEAR(hPa, (8000 + 106) * 0.0125f * 10.0f, 0.001f);

    std::filesystem::remove(device("in_pressure_offset"));
    ASSERT_EQ(read(&hPa), SENSOR_ERROR_NONE);
    EXPECT_NEAR(hPa, 1000.0f, 0.001f);
}

TEST_F(IioSource, GarbageAndVanishedDeviceSkipTheReading) {
    LogCapture log;
    writeFile(device("in_pressure_input"), "garbage\n");
    float hPa = 0;
    EXPECT_EQ(read(&hPa), SENSOR_ERROR_IO_ERROR);
    EXPECT_TRUE(log.contains("holds no number"));

    writeFile(device("in_pressure_input"), "nan\n");
    EXPECT_EQ(read(&hPa), SENSOR_ERROR_IO_ERROR);

    // The device goes away while a listener holds it.
    writeFile(device("in_pressure_input"), "95.0\n");
    sensor_h sensor = nullptr;
    sensor_listener_h listener = nullptr;
    ASSERT_EQ(sensor_get_default_sensor(SENSOR_PRESSURE, &sensor), SENSOR_ERROR_NONE);
    ASSERT_EQ(sensor_create_listener(sensor, &listener), SENSOR_ERROR_NONE);
    sensor_event_s event{};
    ASSERT_EQ(sensor_listener_read_data(listener, &event), SENSOR_ERROR_NONE);
    EXPECT_NEAR(event.values[0], 950.0f, 0.001f);
    std::filesystem::remove_all(_devices + "/iio:device1");
    EXPECT_EQ(sensor_listener_read_data(listener, &event), SENSOR_ERROR_IO_ERROR);
    EXPECT_TRUE(log.contains("pressure files missing or unreadable"));
    sensor_destroy_listener(listener);

    // With no barometer at all, an explicit IIO choice cannot be opened.
    EXPECT_EQ(read(&hPa), SENSOR_ERROR_IO_ERROR);
}
