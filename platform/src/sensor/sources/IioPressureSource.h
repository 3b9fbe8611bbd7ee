// A Linux IIO barometer: in_pressure_input in kPa, or in_pressure_raw with
// in_pressure_scale and an optional in_pressure_offset ((raw + offset) * scale kPa).
#pragma once

#include <memory>
#include <string>

#include "PressureSource.h"

namespace ostra {

class IioPressureSource : public PressureSource {
  public:
    // The device tree root: $OSTRA_IIO_ROOT, else /sys/bus/iio/devices.
    static std::string devicesRoot();
    // The first device below the root that offers pressure; null when none does.
    static std::unique_ptr<IioPressureSource> find();

    explicit IioPressureSource(std::string deviceDir);
    bool read(PressureReading* out) override;
    std::string describe() const override;

  private:
    bool _readKpa(double* kPa);
    std::string _dir;
    std::string _name;
    bool _failing = false;
};

}  // namespace ostra
