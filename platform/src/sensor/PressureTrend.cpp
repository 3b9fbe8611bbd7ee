#include "PressureTrend.h"

#include <algorithm>

namespace ostra {

namespace {

enum Tendency { kUnknown = 0, kFalling = 1, kSteady = 2, kRising = 4 };

constexpr long long kMinimumSpan = 600;

Tendency tendency(const std::vector<RecorderBucket>& buckets, long long from, long long to) {
    double n = 0;
    double sumT = 0;
    double sumP = 0;
    long long first = to;
    long long last = from;
    for (const auto& b : buckets) {
        if (b.start < from || b.start >= to) {
            continue;
        }
        double t = static_cast<double>(b.start - from);
        n += 1;
        sumT += t;
        sumP += b.hPa;
        first = std::min(first, b.start);
        last = std::max(last, b.start);
    }
    if (n < 2 || last - first < kMinimumSpan) {
        return kUnknown;
    }
    double meanT = sumT / n;
    double meanP = sumP / n;
    double covariance = 0;
    double variance = 0;
    for (const auto& b : buckets) {
        if (b.start < from || b.start >= to) {
            continue;
        }
        double dt = static_cast<double>(b.start - from) - meanT;
        covariance += dt * (b.hPa - meanP);
        variance += dt * dt;
    }
    double change = covariance / variance * static_cast<double>(to - from);
    if (change <= -PressureTrend::kThresholdHpa) {
        return kFalling;
    }
    if (change >= PressureTrend::kThresholdHpa) {
        return kRising;
    }
    return kSteady;
}

}  // namespace

int PressureTrend::code(const std::vector<RecorderBucket>& buckets, long long now) {
    Tendency older = tendency(buckets, now - 2 * kHalfSeconds, now - kHalfSeconds);
    Tendency newer = tendency(buckets, now - kHalfSeconds, now);
    if (newer == kUnknown) {
        return kNoData;
    }
    if (older == kUnknown) {
        return 0x80 | newer;
    }
    return (older << 4) | newer;
}

int PressureTrend::current(long long now) {
    RecorderStore store;
    std::vector<RecorderBucket> buckets;
    if (!store.query(now - 2 * kHalfSeconds, now, &buckets)) {
        return kNoData;
    }
    return code(buckets, now);
}

}  // namespace ostra
