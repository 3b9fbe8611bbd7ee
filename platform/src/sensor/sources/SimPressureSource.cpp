#include "SimPressureSource.h"

#include <glib.h>

#include <cmath>

#include "Paths.h"
#include "PlatformLog.h"
#include "PressureTrace.h"

namespace ostra {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kHour = 3600.0;
constexpr double kBaseAltitude = 120.0;  // metres: a town in a lowland valley
constexpr double kHikeClimb = 600.0;     // metres gained on the hike

// Deterministic hash of the seed and a whole second, mapped to [-1, 1].
double unitNoise(unsigned seed, long long second) {
    unsigned long long x = static_cast<unsigned long long>(second) * 0x9E3779B97F4A7C15ULL ^
                           (static_cast<unsigned long long>(seed) << 32 | seed);
    x ^= x >> 33;
    x *= 0xFF51AFD7ED558CCDULL;
    x ^= x >> 33;
    x *= 0xC4CEB9FE1A85EC53ULL;
    x ^= x >> 33;
    return static_cast<double>(x % 2000001ULL) / 1000000.0 - 1.0;
}

// The international barometric formula.
double pressureAtAltitude(double seaLevel, double metres) {
    return seaLevel * std::pow(1.0 - 2.25577e-5 * metres, 5.25588);
}

const char* scenarioName(SimPressureSource::Scenario scenario) {
    switch (scenario) {
        case SimPressureSource::Scenario::Hike:
            return "hike";
        case SimPressureSource::Scenario::Storm:
            return "storm";
        case SimPressureSource::Scenario::Failure:
            return "failure";
        case SimPressureSource::Scenario::Steady:
            break;
    }
    return "steady";
}

}  // namespace

bool SimPressureSource::parseScenario(const std::string& name, Scenario* scenario) {
    const Scenario all[] = {Scenario::Steady, Scenario::Hike, Scenario::Storm, Scenario::Failure};
    for (Scenario s : all) {
        if (name == scenarioName(s)) {
            *scenario = s;
            return true;
        }
    }
    return false;
}

std::string SimPressureSource::injectionPath() {
    return systemDir() + "/sensor-inject";
}

SimPressureSource::SimPressureSource(Scenario scenario, unsigned seed)
    : _scenario(scenario), _seed(seed), _phase(2.0 * kPi * (unitNoise(seed, 0) + 1.0) / 2.0) {}

// Drifts by up to 3 hPa over four days (at most 0.3 hPa per 90 minutes, a
// steady trend). The storm falls 2 hPa per hour for five hours out of every
// twelve and recovers over the other seven.
double SimPressureSource::_seaLevel(double t) const {
    double drift = 1013.25 + 3.0 * std::sin(2.0 * kPi * t / (96.0 * kHour) + _phase);
    if (_scenario != Scenario::Storm) {
        return drift;
    }
    double inCycle = std::fmod(t, 12.0 * kHour) / kHour;
    double storm = inCycle < 5.0 ? -2.0 * inCycle : -10.0 + 10.0 * (inCycle - 5.0) / 7.0;
    return drift + 5.0 + storm;
}

// The hike repeats every eight hours: half an hour at the start, three hours up,
// half an hour at the top, three hours down, an hour of rest.
double SimPressureSource::_altitude(double t) const {
    if (_scenario != Scenario::Hike) {
        return kBaseAltitude;
    }
    double h = std::fmod(t, 8.0 * kHour) / kHour;
    if (h < 0.5) {
        return kBaseAltitude;
    }
    if (h < 3.5) {
        return kBaseAltitude + kHikeClimb * (h - 0.5) / 3.0;
    }
    if (h < 4.0) {
        return kBaseAltitude + kHikeClimb;
    }
    if (h < 7.0) {
        return kBaseAltitude + kHikeClimb * (7.0 - h) / 3.0;
    }
    return kBaseAltitude;
}

double SimPressureSource::_noise(double t) const {
    return 0.05 * unitNoise(_seed, static_cast<long long>(std::floor(t)));
}

PressureReading SimPressureSource::at(double t) const {
    PressureReading reading;
    if (_scenario == Scenario::Failure) {
        reading.hPa = 0.0;
        reading.working = false;
        return reading;
    }
    reading.hPa = pressureAtAltitude(_seaLevel(t), _altitude(t)) + _noise(t);
    reading.working = true;
    return reading;
}

bool SimPressureSource::_injected(PressureReading* out) {
    std::string text;
    if (!readFirstLine(injectionPath(), &text)) {
        _badInjection.clear();
        return false;
    }
    // "HPA [WORKING]", separated by white space.
    gchar** fields = g_strsplit_set(text.c_str(), " \t\r\v\f", -1);
    std::string hPa;
    std::string working = "1";
    for (int i = 0, taken = 0; fields[i] && taken < 2; ++i) {
        if (*fields[i]) {
            (taken++ == 0 ? hPa : working) = fields[i];
        }
    }
    g_strfreev(fields);
    TraceRow row;
    if (!PressureTrace::parseLine("0," + hPa + "," + working, &row)) {
        if (_badInjection != text) {
            OSTRA_LOGW("sensor injection '%s' is malformed, ignored", text.c_str());
            _badInjection = text;
        }
        return false;
    }
    out->hPa = row.hPa;
    out->working = row.working;
    return true;
}

bool SimPressureSource::read(PressureReading* out) {
    if (_injected(out)) {
        return true;
    }
    *out = at(static_cast<double>(g_get_real_time()) / 1e6);
    return true;
}

std::string SimPressureSource::describe() const {
    return std::string("sim:") + scenarioName(_scenario) + " (seed " + std::to_string(_seed) + ")";
}

}  // namespace ostra
