// Shared pieces of the sensor tests: a listener that records what it hears,
// trace files and the recorder daemon's pid.
#pragma once

#include <string>
#include <vector>

#include "IZentrelSensorListener.h"

namespace sensortest {

struct RecordedSample {
    long long time;
    double pressure;
    int remains;
};

class RecordingListener : public IZentrelSensorListener {
  public:
    ~RecordingListener() override = default;
    bool onCurrentPressure(float pressure) override;
    bool onRecordedPressure(long long time, double pressure, int remains) override;
    bool onRecorderCBComplete() override;
    bool onBarometricTrendIndicator(float value) override;

    std::vector<float> readings;
    std::vector<RecordedSample> samples;
    int completions = 0;
    std::vector<float> trends;
};

// Writes a file and returns its path.
std::string writeFile(const std::string& path, const std::string& text);
// A trace of rows every 60 s over the given hours, linear from `from` to `to` hPa.
std::string linearTrace(double hours, double from, double to);
// Imports a trace into the recorder with ostractl; the exit status.
int importTrace(const std::string& path, long long end);
// The pid the recorder daemon wrote into its lock file, 0 when there is none.
int daemonPid(const std::string& root);
long long nowSeconds();

}  // namespace sensortest
