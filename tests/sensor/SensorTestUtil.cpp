#include "SensorTestUtil.h"

#include <glib.h>

#include <fstream>
#include <sstream>

#include "TestSupport.h"

namespace sensortest {

bool RecordingListener::onCurrentPressure(float pressure) {
    readings.push_back(pressure);
    return true;
}

bool RecordingListener::onRecordedPressure(long long time, double pressure, int remains) {
    samples.push_back({time, pressure, remains});
    return true;
}

bool RecordingListener::onRecorderCBComplete() {
    ++completions;
    return true;
}

bool RecordingListener::onBarometricTrendIndicator(float value) {
    trends.push_back(value);
    return true;
}

std::string writeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::trunc) << text;
    return path;
}

std::string linearTrace(double hours, double from, double to) {
    std::ostringstream out;
    out.precision(10);
    int steps = static_cast<int>(hours * 60);
    for (int i = 0; i <= steps; ++i) {
        out << i * 60 << "," << from + (to - from) * i / steps << "\n";
    }
    return out.str();
}

int importTrace(const std::string& path, long long end) {
    return testsupport::runProgram(
        {OSTRACTL_PATH, "sensor", "import", path, "--end", std::to_string(end)});
}

int daemonPid(const std::string& root) {
    std::ifstream in(root + "/system/ostra-sensord.lock");
    int pid = 0;
    in >> pid;
    return pid;
}

long long nowSeconds() {
    return g_get_real_time() / G_USEC_PER_SEC;
}

}  // namespace sensortest
