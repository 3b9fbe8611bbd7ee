// The storm watch: decides from the recorder's buckets whether the weather is
// falling fast enough to warn the wearer (more than 4 hPa within 3 hours),
// and keeps the once-per-storm state. Height changes are taken out first: a
// stretch where the pressure moves faster than weather can (a climb, a drive,
// a lift) does not count, so a level shift that then holds leaves the
// weather flat. The README explains every constant.
#pragma once

#include <vector>

#include "RecorderStore.h"

namespace ostra {

struct StormState {
    bool armed = true;
    long long lastAlert = 0;  // seconds since the epoch, 0 when never
    double drop = 0.0;        // hPa, as last seen
    long long checkedAt = 0;  // when the drop was last computed
};

// What the watch sees in the buckets at one moment.
struct StormView {
    bool enoughData = false;
    double drop = 0.0;      // weather fall within the window, hPa (peak to now)
    double fallRate = 0.0;  // weather trend of the last hour, hPa per hour
    double spanHours = 0.0;
};

class StormWatch {
  public:
    static constexpr long long kWindowSeconds = 3 * 3600;
    static constexpr double kAlertDropHpa = 4.0;
    static constexpr long long kMinSpanSeconds = 30 * 60;
    static constexpr double kMaxWeatherRate = 4.0;  // hPa per hour
    static constexpr long long kRateWindowSeconds = 30 * 60;
    static constexpr long long kLevelWindowSeconds = 20 * 60;
    static constexpr long long kFallWindowSeconds = 3600;
    static constexpr double kStillFallingRate = 0.5;  // hPa per hour
    static constexpr double kRearmDropHpa = 2.0;
    // Buckets a decision reads: the window plus half a rate window before it.
    static constexpr long long kLookbackSeconds = kWindowSeconds + kRateWindowSeconds / 2;

    // The weather fall in `buckets` (oldest first) as seen at `now`.
    static StormView view(const std::vector<RecorderBucket>& buckets, long long now);

    explicit StormWatch(StormState state = StormState()) : _state(state) {}
    // Called after a bucket is stored; true when the wearer is to be warned now.
    bool decide(const std::vector<RecorderBucket>& buckets, long long now);
    const StormState& state() const { return _state; }

    // Runs a fresh watch over a whole recording (oldest first) the way the
    // daemon does, deciding after each bucket; the times the alerts fire.
    static std::vector<long long> replay(const std::vector<RecorderBucket>& buckets);

    // The live watch's state, kept in system keys so a restarted daemon does
    // not warn twice for one storm and ostractl can show it.
    static StormState load();
    static void save(const StormState& state);

  private:
    StormState _state;
};

}  // namespace ostra
