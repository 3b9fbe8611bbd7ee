#include "StormTraces.h"

#include <cmath>

#include "StormWatch.h"

namespace stormtest {

std::vector<ostra::RecorderBucket> record(double hours, const std::function<double(double)>& hPa,
                                          double noise) {
    std::vector<ostra::RecorderBucket> buckets;
    unsigned state = 12345;
    const int count = static_cast<int>(hours * 30);
    for (int i = 0; i < count; ++i) {
        state = state * 1103515245u + 12345u;
        double unit = static_cast<double>((state >> 8) % 20001) / 10000.0 - 1.0;
        ostra::RecorderBucket bucket;
        bucket.start = kStart + i * ostra::RecorderStore::kBucketSeconds;
        bucket.hPa = hPa((i + 0.5) / 30.0) + noise * unit;
        bucket.samples = 120;
        buckets.push_back(bucket);
    }
    return buckets;
}

std::vector<double> alertHours(const std::vector<ostra::RecorderBucket>& buckets) {
    std::vector<double> hours;
    for (long long at : ostra::StormWatch::replay(buckets)) {
        hours.push_back(static_cast<double>(at - kStart) / 3600.0);
    }
    return hours;
}

double atHeight(double hPa, double metres) {
    return hPa * std::pow(1.0 - 2.25577e-5 * metres, 5.25588);
}

}  // namespace stormtest
