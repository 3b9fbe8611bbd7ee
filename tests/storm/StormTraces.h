// Pressure recordings for the storm watch: 2-minute buckets made from a
// function of the hour, with deterministic noise.
#pragma once

#include <functional>
#include <vector>

#include "RecorderStore.h"

namespace stormtest {

constexpr long long kStart = 1'800'000'000;  // an even bucket boundary

// Buckets every two minutes over `hours`; `noise` is the half-width of a
// uniform, deterministic noise added to each bucket.
std::vector<ostra::RecorderBucket> record(double hours, const std::function<double(double)>& hPa,
                                          double noise = 0.0);
// Hours after kStart of the alerts a fresh watch gives over the buckets.
std::vector<double> alertHours(const std::vector<ostra::RecorderBucket>& buckets);
// Pressure at a height above the reference, for height changes.
double atHeight(double hPa, double metres);

}  // namespace stormtest
