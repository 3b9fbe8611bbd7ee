// Averages the readings of each 2-minute bucket and stores a bucket once the
// clock has moved past it, dropping what is older than the retention period.
#pragma once

#include <functional>
#include <memory>

#include "PressureSource.h"
#include "RecorderStore.h"

class BucketSampler {
  public:
    BucketSampler(std::unique_ptr<ostra::PressureSource> source, ostra::RecorderStore* store,
                  int retentionHours);
    // Takes one reading at the given time (seconds since the epoch).
    void sample(long long now);
    // Stores the bucket in progress; called when the daemon finishes.
    void flush();
    // Called with the bucket's end time after each bucket is stored.
    void setStoredHook(std::function<void(long long)> hook) { _stored = std::move(hook); }

  private:
    std::unique_ptr<ostra::PressureSource> _source;
    ostra::RecorderStore* _store;
    long long _retentionSeconds;
    long long _bucket = -1;
    double _sum = 0.0;
    int _count = 0;
    std::function<void(long long)> _stored;
};
