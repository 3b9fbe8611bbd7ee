#include "BucketSampler.h"

#include <cmath>

#include "PlatformLog.h"

BucketSampler::BucketSampler(std::unique_ptr<ostra::PressureSource> source,
                             ostra::RecorderStore* store, int retentionHours)
    : _source(std::move(source)),
      _store(store),
      _retentionSeconds(static_cast<long long>(retentionHours) * 3600) {}

void BucketSampler::sample(long long now) {
    long long bucket = ostra::RecorderStore::bucketStart(now);
    if (bucket != _bucket) {
        flush();
        _bucket = bucket;
        _store->pruneBefore(now - _retentionSeconds);
    }
    ostra::PressureReading reading;
    // A failed or not-working reading leaves a gap rather than a made-up value.
    if (_source->read(&reading) && reading.working && std::isfinite(reading.hPa)) {
        _sum += reading.hPa;
        _count += 1;
    }
}

void BucketSampler::flush() {
    if (_count > 0) {
        ostra::RecorderBucket bucket;
        bucket.start = _bucket;
        bucket.hPa = _sum / _count;
        bucket.samples = _count;
        if (!_store->merge({bucket})) {
            OSTRA_LOGE("bucket %lld lost", _bucket);
        } else if (_stored) {
            _stored(_bucket + ostra::RecorderStore::kBucketSeconds);
        }
    }
    _sum = 0.0;
    _count = 0;
}
