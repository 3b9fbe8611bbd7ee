#include "ZentrelSensor.h"

#include <cmath>
#include <thread>

#include "ZentrelLog.h"

namespace {

constexpr unsigned kLiveIntervalMs = 1000;
constexpr float kMinPressure = 260.0f;
constexpr float kMaxPressure = 1260.0f;
constexpr float kNotWorking = -1.0f;
constexpr int kRetentionHours = 720;
constexpr long kQuerySpanSeconds = 21600;
constexpr int kQueryIntervalMinutes = 2;
// The trend indicator is a device-specific sensor; its attributes are its type
// shifted left by eight bits plus a register number.
constexpr int kIndicatorType = 8202;
constexpr int kIndicatorAttrStart1 = (kIndicatorType << 8) + 0x81;
constexpr int kIndicatorAttrStop = (kIndicatorType << 8) + 0x82;
constexpr int kIndicatorAttrStart2 = (kIndicatorType << 8) + 0x83;
constexpr unsigned kIndicatorIntervalMs = 0;

// SENSOR_ERROR_NOT_AVAILABLE: it runs already.
int startDaemon() {
    sensor_recorder_option_h option = nullptr;
    if (sensor_recorder_create_option(&option) != SENSOR_ERROR_NONE) {
        ZLOGE("Failed to create option");
        return SENSOR_ERROR_OUT_OF_MEMORY;
    }
    sensor_recorder_option_set_int(option, SENSOR_RECORDER_OPTION_RETENTION_PERIOD,
                                   kRetentionHours);
    int rc = sensor_recorder_start(SENSOR_PRESSURE, option);
    sensor_recorder_destroy_option(option);
    return rc;
}

// Starts the recorder daemon when it is gone (it crashed, say); a running one
// is left alone.
void restartRecorderIfGone() {
    int rc = startDaemon();
    if (rc == SENSOR_ERROR_NONE) {
        ZLOGW("the recorder was gone; started it again");
    } else if (rc != SENSOR_ERROR_NOT_AVAILABLE) {
        ZLOGE("the recorder is gone and cannot be started (%d)", rc);
    }
}

}  // namespace

IZentrelSensorListener* ZentrelSensor::_listener = nullptr;

ZentrelSensor::ZentrelSensor() = default;

ZentrelSensor::ZentrelSensor(IZentrelSensorListener* listener) {
    _listener = listener;
}

ZentrelSensor::~ZentrelSensor() {
    ZLOGI("~ZentrelSensor() start");
    stopSensor();
    if (_startedSensorRecorder) {
        stopSensorRecorder();
        _startedSensorRecorder = false;
    }
    _listener = nullptr;
    ZLOGI("~ZentrelSensor() end");
}

bool ZentrelSensor::startSensor() {
    ZLOGI("Start Sensor");
    if (_sensorHandle && _sensorListener) {
        ZLOGI("Sensor is Already Created Resume it");
        sensor_listener_start(_sensorListener);
        return true;
    }
    sensor_h handle = nullptr;
    int rc = sensor_get_default_sensor(SENSOR_PRESSURE, &handle);
    if (rc != SENSOR_ERROR_NONE) {
        ZLOGE("sensor_get_default_sensor failed with error [%d]", rc);
        return false;
    }
    sensor_listener_h listener = nullptr;
    rc = sensor_create_listener(handle, &listener);
    if (rc != SENSOR_ERROR_NONE) {
        ZLOGE("sensor_create_listener failed with error [%d]", rc);
        return false;
    }
    rc = sensor_listener_set_option(listener, SENSOR_OPTION_DEFAULT);
    if (rc != SENSOR_ERROR_NONE) {
        ZLOGE("sensor_listener_set_option failed with error [%d]", rc);
        sensor_destroy_listener(listener);
        return false;
    }
    rc = sensor_listener_set_event_cb(listener, kLiveIntervalMs, _sensorEventCb, this);
    if (rc != SENSOR_ERROR_NONE) {
        ZLOGE("sensor_listener_set_event_cb failed with error [%d]", rc);
        sensor_destroy_listener(listener);
        return false;
    }
    rc = sensor_listener_start(listener);
    if (rc != SENSOR_ERROR_NONE) {
        ZLOGE("sensor_listener_start failed with error [%d]", rc);
        sensor_listener_unset_event_cb(listener);
        sensor_destroy_listener(listener);
        return false;
    }
    _sensorHandle = handle;
    _sensorListener = listener;
    ZLOGI("Sensor Start Success");
    return true;
}

void ZentrelSensor::_sensorEventCb(sensor_h, sensor_event_s* event, void*) {
    if (!_listener) {
        ZLOGE("Sensor Listner is nullptr");
        return;
    }
    if (!event) {
        return;
    }
    if (event->values[3] == 0.0f) {
        _listener->onCurrentPressure(kNotWorking);
        ZLOGE("SENSOR IS NOT WORKING");
        return;
    }
    float pressure = event->values[0];
    // NaN fails both comparisons and is dropped with the out-of-range values.
    if (pressure >= kMinPressure && pressure <= kMaxPressure) {
        _listener->onCurrentPressure(pressure);
        return;
    }
    ZLOGW("SENSOR OVER LIMITATION %f", pressure);
}

bool ZentrelSensor::stopSensor() {
    if (!_sensorHandle || !_sensorListener) {
        return true;
    }
    ZLOGI("Stop Sensor");
    sensor_listener_unset_event_cb(_sensorListener);
    sensor_destroy_listener(_sensorListener);
    _sensorListener = nullptr;
    _sensorHandle = nullptr;
    ZLOGI("Sensor Stop Success");
    return true;
}

void ZentrelSensor::pauseSensor() {
    ZLOGI("pauseSensor() start");
    if (_sensorHandle && _sensorListener) {
        sensor_listener_stop(_sensorListener);
    }
    if (_sensorIndicatorHandle && _sensorIndicatorListener) {
        sensor_listener_stop(_sensorIndicatorListener);
    }
    ZLOGI("pauseSensor() stop");
}

void ZentrelSensor::resumeSensor() {
    ZLOGI("resumeSensor() start");
    if (_sensorHandle && _sensorListener) {
        sensor_listener_start(_sensorListener);
    }
    if (_sensorIndicatorHandle && _sensorIndicatorListener) {
        sensor_listener_start(_sensorIndicatorListener);
    }
    // Starting it forks and waits for the daemon: off the main loop.
    if (_startedSensorRecorder) {
        std::thread(restartRecorderIfGone).detach();
    }
    ZLOGI("resumeSensor() stop");
}

bool ZentrelSensor::startRecorderDaemon() {
    bool supported = false;
    int rc = sensor_recorder_is_supported(SENSOR_PRESSURE, &supported);
    if (rc != SENSOR_ERROR_NONE) {
        ZLOGE("Failed to call is_supported() API %0x", rc);
        return false;
    }
    if (!supported) {
        ZLOGE("sensor is not supported");
        return false;
    }
    rc = startDaemon();
    // Not available: the recorder is already recording, which is what was asked for.
    if (rc != SENSOR_ERROR_NONE && rc != SENSOR_ERROR_NOT_AVAILABLE) {
        ZLOGE("Failed to start sensor");
        return false;
    }
    ZLOGI("Succeeded to start sensor");
    return true;
}

bool ZentrelSensor::startSensorRecorder() {
    if (!startRecorderDaemon()) {
        return false;
    }
    _startedSensorRecorder = true;
    return true;
}

bool ZentrelSensor::stopSensorRecorder() {
    if (sensor_recorder_stop(SENSOR_PRESSURE) != SENSOR_ERROR_NONE) {
        ZLOGE("Failed to stop sensor");
        return false;
    }
    return true;
}

bool ZentrelSensor::getSensorRecorder(long now) {
    sensor_recorder_query_h query = nullptr;
    int rc = sensor_recorder_create_query(&query);
    if (rc != SENSOR_ERROR_NONE) {
        ZLOGE("Sensor Query Create Error : %d", rc);
        return false;
    }
    sensor_recorder_query_set_time(query, SENSOR_RECORDER_QUERY_START_TIME,
                                   static_cast<time_t>(now - kQuerySpanSeconds));
    sensor_recorder_query_set_time(query, SENSOR_RECORDER_QUERY_END_TIME, static_cast<time_t>(now));
    sensor_recorder_query_set_time(query, SENSOR_RECORDER_QUERY_ANCHOR_TIME,
                                   static_cast<time_t>(now));
    sensor_recorder_query_set_int(query, SENSOR_RECORDER_QUERY_TIME_INTERVAL,
                                  kQueryIntervalMinutes);
    rc = sensor_recorder_read(SENSOR_PRESSURE, query, _recorderCb, nullptr);
    if (rc != SENSOR_ERROR_NONE) {
        ZLOGE("Failed to read data :  %0x", rc);
        sensor_recorder_destroy_query(query);
        return false;
    }
    sensor_recorder_destroy_query(query);
    ZLOGI("Success Read Record Sensor Current Request TIME %lld", static_cast<long long>(now));
    return true;
}

bool ZentrelSensor::_recorderCb(sensor_type_e, sensor_recorder_data_h data, int remains,
                                sensor_error_e error, void*) {
    if (!_listener) {
        // Nobody to tell, but the read goes on: a listener may be set before its end.
        ZLOGE("Sensor Listner is nullptr");
        return true;
    }
    time_t start = 0;
    time_t end = 0;
    double pressure = 0.0;
    // A sample that cannot be read is skipped, but the completion still comes.
    bool readable = error == SENSOR_ERROR_NONE &&
                    sensor_recorder_data_get_time(data, &start, &end) == SENSOR_ERROR_NONE &&
                    sensor_recorder_data_get_double(data, SENSOR_RECORDER_DATA_PRESSURE,
                                                    &pressure) == SENSOR_ERROR_NONE;
    if (readable) {
        _listener->onRecordedPressure(static_cast<long long>(start), pressure, remains);
    } else {
        ZLOGE("Recorded data unreadable, error %d", error);
    }
    if (remains == 0) {
        _listener->onRecorderCBComplete();
        ZLOGI("The Last Recorded Data :  %lld, %lf", static_cast<long long>(start), pressure);
    }
    return true;
}

int ZentrelSensor::startSensorIndicator() {
    const auto type = static_cast<sensor_type_e>(kIndicatorType);
    bool supported = false;
    int rc = sensor_is_supported(type, &supported);
    if (rc != SENSOR_ERROR_NONE) {
        ZLOGE("sensor_is_supported is failed");
        return rc;
    }
    if (!supported) {
        ZLOGW("Not supported");
        return 0;
    }
    sensor_h handle = nullptr;
    rc = sensor_get_default_sensor(type, &handle);
    if (rc != SENSOR_ERROR_NONE) {
        ZLOGE("sensor_get_default_sensor failed with error [%d]", rc);
        return rc;
    }
    sensor_listener_h listener = nullptr;
    rc = sensor_create_listener(handle, &listener);
    if (rc != SENSOR_ERROR_NONE) {
        ZLOGE("sensor_create_listener failed with error [%d]", rc);
        return rc;
    }
    rc = sensor_listener_set_option(listener, SENSOR_OPTION_DEFAULT);
    if (rc != SENSOR_ERROR_NONE) {
        ZLOGE("sensor_listener_set_option failed with error [%d]", rc);
        sensor_destroy_listener(listener);
        return rc;
    }
    rc = sensor_listener_set_event_cb(listener, kIndicatorIntervalMs, _indicatorEventCb, this);
    if (rc != SENSOR_ERROR_NONE) {
        ZLOGE("sensor_listener_set_event_cb failed with error [%d]", rc);
        sensor_destroy_listener(listener);
        return rc;
    }
    rc = sensor_listener_start(listener);
    if (rc != SENSOR_ERROR_NONE) {
        ZLOGE("sensor_listener_start is failed");
        sensor_listener_unset_event_cb(listener);
        sensor_destroy_listener(listener);
        return rc;
    }
    ZLOGD("Success start");
    sensor_listener_set_attribute_int(listener, kIndicatorAttrStart1, 0);
    sensor_listener_set_attribute_int(listener, kIndicatorAttrStart2, 0);
    _sensorIndicatorHandle = handle;
    _sensorIndicatorListener = listener;
    return 0;
}

void ZentrelSensor::_indicatorEventCb(sensor_h, sensor_event_s* event, void*) {
    ZLOG_BEGIN();
    if (!event) {
        return;
    }
    ZLOGD("event->values[MAX_VALUE_SIZE] : %f", event->values[0]);
    if (!_listener) {
        return;
    }
    _listener->onBarometricTrendIndicator(event->values[0]);
}

void ZentrelSensor::stopSensorIndicator() {
    ZLOG_BEGIN();
    if (!_sensorIndicatorListener) {
        ZLOGE("stopSonserIndicator is failed!");
        return;
    }
    sensor_listener_set_attribute_int(_sensorIndicatorListener, kIndicatorAttrStop, 0);
    sensor_listener_unset_event_cb(_sensorIndicatorListener);
    sensor_listener_stop(_sensorIndicatorListener);
    sensor_destroy_listener(_sensorIndicatorListener);
    _sensorIndicatorListener = nullptr;
    _sensorIndicatorHandle = nullptr;
}
