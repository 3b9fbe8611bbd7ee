// Receives the pressure sensor's readings, the recorded history and the trend code.
#pragma once

class IZentrelSensorListener {
  public:
    // A live reading in hPa, or -1.0 when the sensor reports that it is not working.
    virtual bool onCurrentPressure(float pressure) = 0;
    // One recorded sample (start time, hPa) with the number of samples still to come.
    virtual bool onRecordedPressure(long long time, double pressure, int remains) {
        (void)time;
        (void)pressure;
        (void)remains;
        return true;
    }
    // After the last recorded sample.
    virtual bool onRecorderCBComplete() { return true; }
    // The trend code, a whole number (see ZentrelSensor.h).
    virtual bool onBarometricTrendIndicator(float value) {
        (void)value;
        return true;
    }

  protected:
    virtual ~IZentrelSensorListener() = default;
};
