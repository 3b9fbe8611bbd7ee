#include "ReplayPressureSource.h"

#include <glib.h>

#include <algorithm>

#include "PlatformLog.h"

namespace ostra {

namespace {
// How long the last row of a trace stays the current reading.
constexpr double kLastRowSeconds = 1.0;
}  // namespace

std::unique_ptr<ReplayPressureSource> ReplayPressureSource::open(const std::string& path) {
    std::vector<TraceRow> rows;
    if (!PressureTrace::load(path, &rows)) {
        return nullptr;
    }
    if (rows.empty()) {
        OSTRA_LOGE("pressure trace %s holds no valid row", path.c_str());
        return nullptr;
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [](const TraceRow& a, const TraceRow& b) { return a.offset < b.offset; });
    return std::make_unique<ReplayPressureSource>(path, std::move(rows));
}

ReplayPressureSource::ReplayPressureSource(std::string path, std::vector<TraceRow> rows)
    : _path(std::move(path)), _rows(std::move(rows)), _startUs(g_get_monotonic_time()) {}

bool ReplayPressureSource::read(PressureReading* out) {
    double elapsed = static_cast<double>(g_get_monotonic_time() - _startUs) / 1e6;
    while (_next < _rows.size() && _rows[_next].offset <= elapsed) {
        ++_next;
    }
    if (_next == 0) {
        return false;
    }
    const TraceRow& row = _rows[_next - 1];
    if (_next == _rows.size() && elapsed >= row.offset + kLastRowSeconds) {
        if (!_endLogged) {
            OSTRA_LOGI("pressure trace %s has ended", _path.c_str());
            _endLogged = true;
        }
        return false;
    }
    out->hPa = row.hPa;
    out->working = row.working;
    return true;
}

std::string ReplayPressureSource::describe() const {
    return "replay:" + _path;
}

}  // namespace ostra
