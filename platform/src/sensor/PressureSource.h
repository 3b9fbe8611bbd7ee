// One interface in front of every pressure backend: an IIO barometer, the
// simulated atmosphere and a replayed trace.
#pragma once

#include <memory>
#include <string>

namespace ostra {

struct PressureReading {
    double hPa = 0.0;
    bool working = true;
};

class PressureSource {
  public:
    virtual ~PressureSource() = default;
    // Takes a reading now; false when none could be taken (the reason is logged).
    virtual bool read(PressureReading* out) = 0;
    // "iio:<device> (<name>)", "sim:<scenario>", "replay:<file>".
    virtual std::string describe() const = 0;
};

// The first line of a small file (a sysfs attribute, an injected reading),
// without its line end; false when the file cannot be read. Read once a
// second, so without a C++ stream and the locale machinery it brings along.
bool readFirstLine(const std::string& path, std::string* line);

// The system key that selects the source when OSTRA_SENSOR is not set.
extern const char* const kSensorSourceKey;

// Chooses by OSTRA_SENSOR, then the system key, then an IIO barometer when one
// exists, else the simulation. Null when the chosen source cannot be opened.
std::unique_ptr<PressureSource> openPressureSource();
// Opens "iio", "sim[:scenario]" or "replay:FILE"; null when that fails.
std::unique_ptr<PressureSource> openPressureSource(const std::string& choice);
// The choice openPressureSource() would use, before opening it.
std::string pressureSourceChoice();

}  // namespace ostra
