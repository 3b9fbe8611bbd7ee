#include "StormWatch.h"

#include <algorithm>
#include <cmath>

#include "ostra/vconf.h"

namespace ostra {

namespace {

constexpr const char* kArmedKey = "db/ostra/storm/armed";
constexpr const char* kLastAlertKey = "db/ostra/storm/last_alert";
constexpr const char* kDropKey = "db/ostra/storm/drop";
constexpr const char* kCheckedAtKey = "db/ostra/storm/checked_at";

struct Point {
    double hours;  // bucket middle, relative to the decision time
    double hPa;
};

constexpr double hoursOf(long long seconds) {
    return static_cast<double>(seconds) / 3600.0;
}

// Least-squares slope in hPa per hour of points[begin, end); NaN with fewer
// than three points, which cannot tell a trend from noise.
double slope(const std::vector<Point>& points, size_t begin, size_t end) {
    if (end < begin + 3) {
        return NAN;
    }
    double n = static_cast<double>(end - begin);
    double meanT = 0.0;
    double meanP = 0.0;
    for (size_t i = begin; i < end; ++i) {
        meanT += points[i].hours / n;
        meanP += points[i].hPa / n;
    }
    double covariance = 0.0;
    double variance = 0.0;
    for (size_t i = begin; i < end; ++i) {
        covariance += (points[i].hours - meanT) * (points[i].hPa - meanP);
        variance += (points[i].hours - meanT) * (points[i].hours - meanT);
    }
    return variance > 0.0 ? covariance / variance : NAN;
}

// Indices [begin, end) of the points within `half` hours of point i.
std::pair<size_t, size_t> around(const std::vector<Point>& points, size_t i, double half) {
    size_t begin = i;
    while (begin > 0 && points[i].hours - points[begin - 1].hours <= half) {
        --begin;
    }
    size_t end = i + 1;
    while (end < points.size() && points[end].hours - points[i].hours <= half) {
        ++end;
    }
    return {begin, end};
}

std::vector<double> localRates(const std::vector<Point>& points) {
    std::vector<double> rates;
    for (size_t i = 0; i < points.size(); ++i) {
        auto range = around(points, i, hoursOf(StormWatch::kRateWindowSeconds) / 2);
        rates.push_back(slope(points, range.first, range.second));
    }
    return rates;
}

bool weatherRate(double rate) {
    return std::fabs(rate) <= StormWatch::kMaxWeatherRate;
}

// A step between neighbouring buckets is weather when the pressure around
// both ends moves no faster than weather does; a step across a gap is judged
// by its own rate. Unknown local rates fall back to the step's rate.
bool weatherStep(const std::vector<Point>& points, const std::vector<double>& rates, size_t i) {
    double dt = points[i].hours - points[i - 1].hours;
    double stepRate = (points[i].hPa - points[i - 1].hPa) / dt;
    if (dt > hoursOf(StormWatch::kRateWindowSeconds) / 2 || std::isnan(rates[i]) ||
        std::isnan(rates[i - 1])) {
        return weatherRate(stepRate);
    }
    return weatherRate(rates[i]) && weatherRate(rates[i - 1]);
}

// The pressure with the height changes taken out: the sum of weather steps.
std::vector<Point> weatherSeries(const std::vector<Point>& points) {
    std::vector<double> rates = localRates(points);
    std::vector<Point> weather{{points[0].hours, 0.0}};
    for (size_t i = 1; i < points.size(); ++i) {
        double step = weatherStep(points, rates, i) ? points[i].hPa - points[i - 1].hPa : 0.0;
        weather.push_back({points[i].hours, weather.back().hPa + step});
    }
    return weather;
}

// The median level around point i: a single wild bucket cannot move it.
double level(const std::vector<Point>& series, size_t i) {
    auto range = around(series, i, hoursOf(StormWatch::kLevelWindowSeconds) / 2);
    std::vector<double> values;
    for (size_t j = range.first; j < range.second; ++j) {
        values.push_back(series[j].hPa);
    }
    std::sort(values.begin(), values.end());
    size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2.0;
}

std::vector<Point> pointsBefore(const std::vector<RecorderBucket>& buckets, long long now) {
    std::vector<Point> points;
    for (const auto& b : buckets) {
        if (b.start >= now - StormWatch::kLookbackSeconds && b.start < now &&
            std::isfinite(b.hPa)) {
            double middle = static_cast<double>(b.start - now) + RecorderStore::kBucketSeconds / 2;
            points.push_back({middle / 3600.0, b.hPa});
        }
    }
    return points;
}

}  // namespace

StormView StormWatch::view(const std::vector<RecorderBucket>& buckets, long long now) {
    StormView view;
    std::vector<Point> points = pointsBefore(buckets, now);
    const double windowStart = -hoursOf(kWindowSeconds);
    auto first = std::find_if(points.begin(), points.end(),
                              [&](const Point& p) { return p.hours >= windowStart; });
    if (first == points.end()) {
        return view;
    }
    view.spanHours = points.back().hours - first->hours;
    if (view.spanHours < hoursOf(kMinSpanSeconds)) {
        return view;
    }
    view.enoughData = true;
    std::vector<Point> weather = weatherSeries(points);
    const size_t last = weather.size() - 1;
    const double current = level(weather, last);
    double peak = current;
    for (size_t i = static_cast<size_t>(first - points.begin()); i < last; ++i) {
        peak = std::max(peak, level(weather, i));
    }
    view.drop = peak - current;
    auto recent = std::find_if(weather.begin(), weather.end(), [&](const Point& p) {
        return p.hours >= weather[last].hours - hoursOf(kFallWindowSeconds);
    });
    double rate = slope(weather, static_cast<size_t>(recent - weather.begin()), weather.size());
    view.fallRate = std::isnan(rate) ? 0.0 : rate;
    return view;
}

bool StormWatch::decide(const std::vector<RecorderBucket>& buckets, long long now) {
    StormView seen = view(buckets, now);
    _state.checkedAt = now;
    _state.drop = seen.enoughData ? seen.drop : 0.0;
    if (!seen.enoughData) {
        return false;
    }
    if (_state.armed && seen.drop > kAlertDropHpa && seen.fallRate <= -kStillFallingRate) {
        _state.armed = false;
        _state.lastAlert = now;
        return true;
    }
    if (!_state.armed && seen.drop < kRearmDropHpa) {
        _state.armed = true;
    }
    return false;
}

std::vector<long long> StormWatch::replay(const std::vector<RecorderBucket>& buckets) {
    std::vector<long long> alerts;
    StormWatch watch;
    size_t begin = 0;
    for (size_t i = 0; i < buckets.size(); ++i) {
        // The daemon stores a bucket, and decides, once its two minutes are over.
        long long now = buckets[i].start + RecorderStore::kBucketSeconds;
        while (buckets[begin].start < now - kLookbackSeconds) {
            ++begin;
        }
        std::vector<RecorderBucket> recent(buckets.begin() + static_cast<long>(begin),
                                           buckets.begin() + static_cast<long>(i) + 1);
        if (watch.decide(recent, now)) {
            alerts.push_back(now);
        }
    }
    return alerts;
}

StormState StormWatch::load() {
    StormState state;
    int armed = 1;
    if (vconf_get_bool(kArmedKey, &armed) == VCONF_OK) {
        state.armed = armed != 0;
    }
    double value = 0.0;
    if (vconf_get_dbl(kLastAlertKey, &value) == VCONF_OK) {
        state.lastAlert = static_cast<long long>(value);
    }
    if (vconf_get_dbl(kDropKey, &value) == VCONF_OK) {
        state.drop = value;
    }
    if (vconf_get_dbl(kCheckedAtKey, &value) == VCONF_OK) {
        state.checkedAt = static_cast<long long>(value);
    }
    return state;
}

void StormWatch::save(const StormState& state) {
    vconf_set_bool(kArmedKey, state.armed ? 1 : 0);
    vconf_set_dbl(kLastAlertKey, static_cast<double>(state.lastAlert));
    vconf_set_dbl(kDropKey, std::round(state.drop * 100.0) / 100.0);
    vconf_set_dbl(kCheckedAtKey, static_cast<double>(state.checkedAt));
}

}  // namespace ostra
