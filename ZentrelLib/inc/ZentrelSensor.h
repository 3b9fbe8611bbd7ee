// The pressure sensor service: live readings once a second, the recorded
// history of the last six hours and the barometric trend indicator, all handed
// to one listener per process.
//
// Trend codes: 0x10/0x20/0x40 give the first part (falling/steady/rising), 1/2/4
// the second part, 0x80 marks the dimmed set and 0x88 means no data.
#pragma once

#include <ostra/sensor.h>

#include "IZentrelSensorListener.h"

class ZentrelSensor {
  public:
    ZentrelSensor();
    explicit ZentrelSensor(IZentrelSensorListener* listener);
    virtual ~ZentrelSensor();
    ZentrelSensor(const ZentrelSensor&) = delete;
    ZentrelSensor& operator=(const ZentrelSensor&) = delete;

    bool startSensor();
    bool stopSensor();
    void pauseSensor();
    void resumeSensor();
    // Starts the recorder daemon unless it runs. It forks and waits for the
    // daemon: not for the main loop.
    static bool startRecorderDaemon();
    bool startSensorRecorder();
    bool stopSensorRecorder();
    bool getSensorRecorder(long now);
    int startSensorIndicator();
    void stopSensorIndicator();

  private:
    static void _sensorEventCb(sensor_h sensor, sensor_event_s* event, void* userData);
    static void _indicatorEventCb(sensor_h sensor, sensor_event_s* event, void* userData);
    static bool _recorderCb(sensor_type_e type, sensor_recorder_data_h data, int remains,
                            sensor_error_e error, void* userData);

    sensor_h _sensorHandle = nullptr;
    sensor_h _sensorIndicatorHandle = nullptr;
    sensor_listener_h _sensorListener = nullptr;
    sensor_listener_h _sensorIndicatorListener = nullptr;
    static IZentrelSensorListener* _listener;
    bool _startedSensorRecorder = false;
};
