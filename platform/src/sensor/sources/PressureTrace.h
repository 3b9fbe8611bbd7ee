// A pressure trace in CSV: "offset seconds, hPa[, working]" per line. Empty
// lines and lines starting with '#' are ignored; a first line that does not
// start with a number is taken as a header.
#pragma once

#include <string>
#include <vector>

#include "RecorderStore.h"

namespace ostra {

struct TraceRow {
    double offset = 0.0;
    double hPa = 0.0;
    bool working = true;
};

class PressureTrace {
  public:
    // Reads a trace file; malformed lines are skipped and logged with their
    // line number. False when the file cannot be read.
    static bool load(const std::string& path, std::vector<TraceRow>* rows);
    // Parses one line; false when it is malformed.
    static bool parseLine(const std::string& line, TraceRow* row);
    // Averages the working rows into recorder buckets, placing the last row at
    // the given end time.
    static std::vector<RecorderBucket> toBuckets(const std::vector<TraceRow>& rows,
                                                 long long endTime);
};

}  // namespace ostra
