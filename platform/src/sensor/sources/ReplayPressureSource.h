// Replays a CSV trace from the moment the source is opened: each reading is
// the last row whose offset has passed, held until the next row is due. The
// last row holds for one second; after that the trace has ended and no further
// readings are taken.
#pragma once

#include <string>
#include <vector>

#include "PressureSource.h"
#include "PressureTrace.h"

namespace ostra {

class ReplayPressureSource : public PressureSource {
  public:
    // Null when the file cannot be read or holds no valid row.
    static std::unique_ptr<ReplayPressureSource> open(const std::string& path);

    ReplayPressureSource(std::string path, std::vector<TraceRow> rows);
    bool read(PressureReading* out) override;
    std::string describe() const override;

  private:
    std::string _path;
    std::vector<TraceRow> _rows;
    long long _startUs;
    size_t _next = 0;
    bool _endLogged = false;
};

}  // namespace ostra
