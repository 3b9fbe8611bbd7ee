// The barometric trend code, computed from the recorder's buckets of the last
// three hours. Each half (older: 3 h to 1.5 h ago, newer: the last 1.5 h) has a
// tendency from the least-squares slope of its buckets, scaled to the half's 90
// minutes: a change of 0.5 hPa or more downwards is falling, upwards rising,
// anything smaller steady. A half needs two buckets at least 10 minutes apart.
// Code: older tendency in 0x10/0x20/0x40 (falling/steady/rising), newer in
// 1/2/4; 0x80 plus the newer tendency when only the newer half has data; 0x88
// when the newer half has none.
#pragma once

#include <vector>

#include "RecorderStore.h"

namespace ostra {

class PressureTrend {
  public:
    static constexpr int kNoData = 0x88;
    static constexpr double kThresholdHpa = 0.5;
    static constexpr long long kHalfSeconds = 5400;

    static int code(const std::vector<RecorderBucket>& buckets, long long now);
    // Reads the recorder's file and computes the code for now.
    static int current(long long now);
};

}  // namespace ostra
