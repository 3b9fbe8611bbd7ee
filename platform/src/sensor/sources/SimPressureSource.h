// A simulated atmosphere: pressure at a plausible altitude under a slowly
// drifting sea-level pressure, with a little noise. The value is a function of
// the seed and the wall-clock time, so every process sees the same weather.
// A file under $OSTRA_ROOT/system overrides the value for manual tests.
#pragma once

#include <string>

#include "PressureSource.h"

namespace ostra {

class SimPressureSource : public PressureSource {
  public:
    enum class Scenario { Steady, Hike, Storm, Failure };

    // "steady", "hike", "storm" or "failure"; false for anything else.
    static bool parseScenario(const std::string& name, Scenario* scenario);
    // The injection file: "HPA [WORKING]" replaces the simulated reading while it exists.
    static std::string injectionPath();

    SimPressureSource(Scenario scenario, unsigned seed);
    // The simulated reading at a time in seconds since the epoch, without injection.
    PressureReading at(double epochSeconds) const;
    bool read(PressureReading* out) override;
    std::string describe() const override;

  private:
    double _seaLevel(double t) const;
    double _altitude(double t) const;
    double _noise(double t) const;
    bool _injected(PressureReading* out);

    Scenario _scenario;
    unsigned _seed;
    double _phase;
    std::string _badInjection;
};

}  // namespace ostra
