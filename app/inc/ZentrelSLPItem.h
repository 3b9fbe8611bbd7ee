// One calibration of the sea-level pressure history.
#pragma once

#include <cstdint>

struct ZentrelSLPItem {
    int64_t _time = 0;               // seconds since the epoch
    double _seeLevelPressure = 0.0;  // hPa
};
