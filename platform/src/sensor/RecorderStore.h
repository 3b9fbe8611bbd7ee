// The recorder's SQLite file: one row per 2-minute bucket (the average of the
// working readings in it). A file that is not a sound database is set aside
// and a fresh one started; a busy one is waited for, never set aside.
#pragma once

#include <sqlite3.h>

#include <string>
#include <vector>

namespace ostra {

struct RecorderBucket {
    long long start = 0;  // seconds since the epoch, a multiple of kBucketSeconds
    double hPa = 0.0;
    int samples = 0;
};

class RecorderStore {
  public:
    static constexpr int kBucketSeconds = 120;
    static constexpr int kDefaultRetentionHours = 720;

    // $OSTRA_ROOT/system/sensor-recorder.db
    static std::string defaultPath();
    static long long bucketStart(long long t) {
        return t - ((t % kBucketSeconds) + kBucketSeconds) % kBucketSeconds;
    }

    explicit RecorderStore(std::string path = defaultPath());
    ~RecorderStore();
    RecorderStore(const RecorderStore&) = delete;
    RecorderStore& operator=(const RecorderStore&) = delete;

    bool open();
    // Inserts or replaces buckets in one transaction.
    bool store(const std::vector<RecorderBucket>& buckets);
    // Adds the buckets' samples to the buckets already stored (a restarted
    // recorder, an imported bucket), weighted by their sample counts.
    bool merge(const std::vector<RecorderBucket>& buckets);
    // Drops buckets that started before the given time.
    bool pruneBefore(long long t);
    // Buckets whose start lies in [from, to), oldest first.
    bool query(long long from, long long to, std::vector<RecorderBucket>* out);
    const std::string& path() const { return _path; }

  private:
    int _openFile();
    void _setAside();
    bool _storeOnce(const std::vector<RecorderBucket>& buckets, const char* sql);
    bool _exec(const char* sql);
    void _close();

    std::string _path;
    sqlite3* _db = nullptr;
    unsigned long long _inode = 0;
};

}  // namespace ostra
