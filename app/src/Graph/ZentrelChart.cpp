#include "ZentrelChart.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "CairoFunctions.h"
#include "ZentrelLog.h"

namespace {

const char* const CHART_DATA_KEY = "zentrel_chart";
const char* const RENDERING_FINISHED = "rendering,finished";
// Far enough outside any chart to be clipped, small enough for cairo's
// fixed-point coordinates.
const double COORD_LIMIT = 100000.0;

void smartResize(Evas_Object* obj, Evas_Coord w, Evas_Coord h) {
    auto* image = static_cast<Evas_Object*>(evas_object_data_get(obj, "zentrel_chart_image"));
    if (image) {
        evas_object_resize(image, w, h);
    }
}

// A clipped smart object: its members move, show, hide and clip with it.
Evas_Smart* chartSmart() {
    static Evas_Smart* smart = nullptr;
    if (!smart) {
        static Evas_Smart_Class sc;
        std::memset(&sc, 0, sizeof(sc));
        sc.name = "ZentrelChart";
        sc.version = EVAS_SMART_CLASS_VERSION;
        evas_object_smart_clipped_smart_set(&sc);
        sc.resize = smartResize;
        smart = evas_smart_class_new(&sc);
    }
    return smart;
}

void setSource(const CairoFunctions& c, cairo_t* cr, const ZentrelChart::Color& color) {
    c.set_source_rgba(cr, color.r / 255.0, color.g / 255.0, color.b / 255.0, color.a / 255.0);
}

struct Pixel {
    double x;
    double y;
};

// Monotone cubic (Fritsch-Carlson) through the points as Bezier segments: a
// smooth curve that never overshoots between two points.
void curveTo(const CairoFunctions& c, cairo_t* cr, const std::vector<Pixel>& p, bool curved) {
    size_t n = p.size();
    c.move_to(cr, p[0].x, p[0].y);
    if (!curved || n < 3) {
        for (size_t i = 1; i < n; ++i) {
            c.line_to(cr, p[i].x, p[i].y);
        }
        return;
    }
    std::vector<double> slope(n - 1);
    for (size_t i = 0; i + 1 < n; ++i) {
        double dx = p[i + 1].x - p[i].x;
        slope[i] = dx > 0 ? (p[i + 1].y - p[i].y) / dx : 0.0;
    }
    std::vector<double> m(n);
    m[0] = slope[0];
    m[n - 1] = slope[n - 2];
    for (size_t i = 1; i + 1 < n; ++i) {
        m[i] = slope[i - 1] * slope[i] <= 0 ? 0.0 : (slope[i - 1] + slope[i]) / 2.0;
    }
    for (size_t i = 0; i + 1 < n; ++i) {
        if (slope[i] == 0.0) {
            m[i] = 0.0;
            m[i + 1] = 0.0;
            continue;
        }
        double a = m[i] / slope[i];
        double b = m[i + 1] / slope[i];
        double s = a * a + b * b;
        if (s > 9.0) {
            double t = 3.0 / std::sqrt(s);
            m[i] = t * a * slope[i];
            m[i + 1] = t * b * slope[i];
        }
    }
    for (size_t i = 0; i + 1 < n; ++i) {
        double h = (p[i + 1].x - p[i].x) / 3.0;
        c.curve_to(cr, p[i].x + h, p[i].y + m[i] * h, p[i + 1].x - h, p[i + 1].y - m[i + 1] * h,
                   p[i + 1].x, p[i + 1].y);
    }
}

}  // namespace

ZentrelChart::ZentrelChart(Evas_Object* parent) {
    if (!parent) {
        ZLOGE("parent is nullptr");
        return;
    }
    Evas* evas = evas_object_evas_get(parent);
    _obj = evas_object_smart_add(evas, chartSmart());
    _image = evas_object_image_filled_add(evas);
    evas_object_image_alpha_set(_image, EINA_TRUE);
    evas_object_pass_events_set(_image, EINA_TRUE);
    evas_object_smart_member_add(_image, _obj);
    evas_object_show(_image);
    evas_object_data_set(_obj, CHART_DATA_KEY, this);
    evas_object_data_set(_obj, "zentrel_chart_image", _image);
    evas_object_event_callback_add(_obj, EVAS_CALLBACK_DEL, _delCb, this);
    evas_object_event_callback_add(_obj, EVAS_CALLBACK_RESIZE, _resizeCb, this);
}

ZentrelChart::~ZentrelChart() {
    if (_slide) {
        ecore_animator_del(_slide);
        _slide = nullptr;
    }
    if (_job) {
        ecore_job_del(_job);
        _job = nullptr;
    }
    if (_obj) {
        evas_object_event_callback_del_full(_obj, EVAS_CALLBACK_DEL, _delCb, this);
        evas_object_event_callback_del_full(_obj, EVAS_CALLBACK_RESIZE, _resizeCb, this);
        evas_object_data_del(_obj, CHART_DATA_KEY);
        evas_object_del(_obj);
        _obj = nullptr;
        _image = nullptr;
    }
    if (_bgSurface) {
        cairoFunctions()->surface_destroy(_bgSurface);
        _bgSurface = nullptr;
    }
}

void ZentrelChart::_delCb(void* data, Evas*, Evas_Object*, void*) {
    auto* self = static_cast<ZentrelChart*>(data);
    self->_obj = nullptr;
    self->_image = nullptr;
    if (self->_slide) {
        ecore_animator_del(self->_slide);
        self->_slide = nullptr;
    }
    if (self->_job) {
        ecore_job_del(self->_job);
        self->_job = nullptr;
    }
}

void ZentrelChart::_resizeCb(void* data, Evas*, Evas_Object*, void*) {
    static_cast<ZentrelChart*>(data)->update();
}

void ZentrelChart::_jobCb(void* data) {
    auto* self = static_cast<ZentrelChart*>(data);
    self->_job = nullptr;
    self->render();
}

void ZentrelChart::addTimeData(int64_t timeMs, float value) {
    if (_data.empty() || _data.back().timeMs <= timeMs) {
        _data.push_back({timeMs, value});
        return;
    }
    insertTimeData(timeMs, value);
}

void ZentrelChart::insertTimeData(int64_t timeMs, float value) {
    auto pos = std::upper_bound(_data.begin(), _data.end(), timeMs,
                                [](int64_t t, const Point& p) { return t < p.timeMs; });
    _data.insert(pos, {timeMs, value});
}

bool ZentrelChart::deleteTimeData(int64_t timeMs) {
    auto pos = std::find_if(_data.begin(), _data.end(),
                            [timeMs](const Point& p) { return p.timeMs == timeMs; });
    if (pos == _data.end()) {
        return false;
    }
    _data.erase(pos);
    return true;
}

void ZentrelChart::clearData() {
    _data.clear();
}

void ZentrelChart::setVisibleRange(float min, float max) {
    _min = min;
    _max = max;
}

void ZentrelChart::setAnimation(bool enabled, double duration) {
    // With animation on, a scroll slides the drawn region over the duration.
    _animation = enabled;
    _animationDuration = duration;
}

void ZentrelChart::setValueMarker(bool visible, int radius) {
    _markerVisible = visible;
    _markerRadius = std::max(radius, 0);
}

void ZentrelChart::setGridLine(int width, bool visible, int count) {
    _gridWidth = std::max(width, 0);
    _gridVisible = visible;
    _gridCount = std::max(count, 0);
}

void ZentrelChart::setBackgroundImageFile(const std::string& path) {
    if (path == _bgFile) {
        return;
    }
    _bgFile = path;
    // A surface is only ever made with cairo loaded.
    if (_bgSurface) {
        cairoFunctions()->surface_destroy(_bgSurface);
        _bgSurface = nullptr;
    }
    if (path.empty()) {
        return;
    }
    const CairoFunctions* cairo = cairoFunctions();
    if (!cairo) {
        ZLOGE("Background image %s cannot be read without cairo", path.c_str());
        return;
    }
    cairo_surface_t* surface = cairo->image_surface_create_from_png(path.c_str());
    if (cairo->surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        ZLOGE("Background image cannot be read: %s", path.c_str());
        cairo->surface_destroy(surface);
        return;
    }
    _bgSurface = surface;
}

void ZentrelChart::setMargins(int left, int top, int right, int bottom) {
    _marginL = std::max(left, 0);
    _marginT = std::max(top, 0);
    _marginR = std::max(right, 0);
    _marginB = std::max(bottom, 0);
}

void ZentrelChart::setVisibleTimeSpan(int64_t ms) {
    if (ms > 0) {
        _spanMs = ms;
    }
}

void ZentrelChart::setStartShowRegionByTime(int64_t timeMs) {
    _stopSlide();
    _regionStartMs = static_cast<double>(timeMs);
    _shownStartMs = _regionStartMs;
}

void ZentrelChart::scroll(double dx) {
    if (!_scrollEnabled || !_obj) {
        return;
    }
    int w = 0;
    evas_object_geometry_get(_obj, nullptr, nullptr, &w, nullptr);
    int plotW = w - _marginL - _marginR;
    if (plotW <= 0) {
        return;
    }
    // A slide still running jumps to its end; the new one starts there.
    _stopSlide();
    _slideFromMs = _regionStartMs;
    _regionStartMs += dx * static_cast<double>(_spanMs) / plotW;
    if (!_animation || _animationDuration <= 0.0) {
        _shownStartMs = _regionStartMs;
        return;
    }
    _slide = ecore_animator_timeline_add(_animationDuration, _slideCb, this);
}

Eina_Bool ZentrelChart::_slideCb(void* data, double pos) {
    auto* self = static_cast<ZentrelChart*>(data);
    const double eased = ecore_animator_pos_map(pos, ECORE_POS_MAP_DECELERATE, 0.0, 0.0);
    self->_shownStartMs = self->_slideFromMs + (self->_regionStartMs - self->_slideFromMs) * eased;
    if (pos >= 1.0) {
        self->_shownStartMs = self->_regionStartMs;
        self->_slide = nullptr;
    }
    self->render();
    return self->_slide ? ECORE_CALLBACK_RENEW : ECORE_CALLBACK_CANCEL;
}

void ZentrelChart::_stopSlide() {
    if (_slide) {
        ecore_animator_del(_slide);
        _slide = nullptr;
    }
    _shownStartMs = _regionStartMs;
}

double ZentrelChart::getXForTime(int64_t timeMs) const {
    int w = 0;
    if (_obj) {
        evas_object_geometry_get(_obj, nullptr, nullptr, &w, nullptr);
    }
    int plotW = std::max(w - _marginL - _marginR, 0);
    return _marginL + (timeMs - _shownStartMs) * plotW / static_cast<double>(_spanMs);
}

double ZentrelChart::_valueToY(double value, int plotH) const {
    double range = static_cast<double>(_max) - _min;
    if (range <= 0.0) {
        return _marginT + plotH;
    }
    double y = _marginT + plotH * (1.0 - (value - _min) / range);
    return std::clamp(y, -COORD_LIMIT, COORD_LIMIT);
}

int ZentrelChart::getGridLinePosY(float offset) const {
    int h = 0;
    if (_obj) {
        evas_object_geometry_get(_obj, nullptr, nullptr, nullptr, &h);
    }
    int plotH = std::max(h - _marginT - _marginB, 0);
    return static_cast<int>(std::lround(_valueToY(static_cast<double>(_min) + offset, plotH)));
}

void ZentrelChart::update() {
    if (_obj && !_job) {
        _job = ecore_job_add(_jobCb, this);
    }
}

void ZentrelChart::render() {
    if (_job) {
        ecore_job_del(_job);
        _job = nullptr;
    }
    if (!_obj || !_image) {
        return;
    }
    // Without cairo (its loading said why, once) the chart stays empty.
    const CairoFunctions* cairo = cairoFunctions();
    if (!cairo) {
        return;
    }
    int w = 0, h = 0;
    evas_object_geometry_get(_obj, nullptr, nullptr, &w, &h);
    if (w <= 0 || h <= 0) {
        return;
    }
    evas_object_image_size_set(_image, w, h);
    auto* pixels = static_cast<unsigned char*>(evas_object_image_data_get(_image, EINA_TRUE));
    if (!pixels) {
        ZLOGE("Chart image has no pixels (%d x %d)", w, h);
        return;
    }
    int stride = evas_object_image_stride_get(_image);
    _draw(*cairo, pixels, w, h, stride);
    evas_object_image_data_set(_image, pixels);
    evas_object_image_data_update_add(_image, 0, 0, w, h);
    ++_renderCount;
    evas_object_smart_callback_call(_obj, RENDERING_FINISHED, nullptr);
}

void ZentrelChart::_draw(const CairoFunctions& c, unsigned char* pixels, int w, int h, int stride) {
    std::memset(pixels, 0, static_cast<size_t>(stride) * h);
    cairo_surface_t* surface =
        c.image_surface_create_for_data(pixels, CAIRO_FORMAT_ARGB32, w, h, stride);
    cairo_t* cr = c.create(surface);

    const int plotX = _marginL, plotY = _marginT;
    const int plotW = w - _marginL - _marginR, plotH = h - _marginT - _marginB;
    if (plotW <= 0 || plotH <= 0) {
        c.destroy(cr);
        c.surface_flush(surface);
        c.surface_destroy(surface);
        return;
    }
    c.rectangle(cr, plotX, plotY, plotW, plotH);
    c.clip(cr);

    if (_bgSurface) {
        int iw = c.image_surface_get_width(_bgSurface);
        int ih = c.image_surface_get_height(_bgSurface);
        if (iw > 0 && ih > 0) {
            c.save(cr);
            c.translate(cr, plotX, plotY);
            c.scale(cr, static_cast<double>(plotW) / iw, static_cast<double>(plotH) / ih);
            c.set_source_surface(cr, _bgSurface, 0, 0);
            c.pattern_set_filter(c.get_source(cr), CAIRO_FILTER_GOOD);
            c.paint(cr);
            c.restore(cr);
        }
    }

    if (_gridVisible && _gridWidth > 0 && _gridCount > 1 && _gridCount <= plotH) {
        c.set_line_width(cr, _gridWidth);
        c.set_source_rgba(cr, 1, 1, 1, 0.12);
        for (int i = 1; i < _gridCount; ++i) {
            double y =
                std::floor(plotY + plotH * (1.0 - static_cast<double>(i) / _gridCount)) + 0.5;
            c.move_to(cr, plotX, y);
            c.line_to(cr, plotX + plotW, y);
        }
        c.stroke(cr);
    }

    // The points in pixels, with the newest value held flat for _holdMs.
    std::vector<Pixel> pts;
    pts.reserve(_data.size() + 1);
    for (const Point& p : _data) {
        pts.push_back({getXForTime(p.timeMs), _valueToY(p.value, plotH)});
    }
    if (!_data.empty() && _holdMs > 0) {
        pts.push_back({getXForTime(_data.back().timeMs + _holdMs), pts.back().y});
    }
    for (Pixel& p : pts) {
        p.x = std::clamp(p.x, -COORD_LIMIT, COORD_LIMIT);
    }
    const double bottom = plotY + plotH;
    const double goalY = std::floor(_valueToY(_goalValue, plotH)) + 0.5;

    if (pts.size() >= 2) {
        curveTo(c, cr, pts, _curved);
        c.line_to(cr, pts.back().x, bottom + 1);
        c.line_to(cr, pts.front().x, bottom + 1);
        c.close_path(cr);
        setSource(c, cr, _areaColor);
        c.fill(cr);
    }

    if (_goalVisible && _goalWidth > 0) {
        c.set_line_width(cr, _goalWidth);
        setSource(c, cr, _goalColor);
        c.move_to(cr, plotX, goalY);
        c.line_to(cr, plotX + plotW, goalY);
        c.stroke(cr);
    }

    if (pts.size() >= 2) {
        // The curve's edge: the over-goal colour above the goal line, the
        // area colour below it.
        c.set_line_width(cr, 2.0);
        c.set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        double split = _goalVisible ? goalY : bottom + 2;
        c.save(cr);
        c.rectangle(cr, plotX, plotY - 2, plotW, std::max(split - plotY + 2, 0.0));
        c.clip(cr);
        curveTo(c, cr, pts, _curved);
        setSource(c, cr, _overGoalColor);
        c.stroke(cr);
        c.restore(cr);
        if (_goalVisible) {
            c.save(cr);
            c.rectangle(cr, plotX, split, plotW, std::max(bottom + 2 - split, 0.0));
            c.clip(cr);
            curveTo(c, cr, pts, _curved);
            setSource(c, cr, _areaColor);
            c.stroke(cr);
            c.restore(cr);
        }
    }

    if (_markerVisible && _markerRadius > 0) {
        setSource(c, cr, _overGoalColor);
        for (size_t i = 0; i < _data.size(); ++i) {
            c.new_sub_path(cr);
            c.arc(cr, pts[i].x, pts[i].y, _markerRadius, 0, 2 * M_PI);
        }
        c.fill(cr);
    }

    if (_handlerVisible && _handlerWidth > 0) {
        double x = getXForTime(_handlerTimeMs);
        if (_handlerWidth % 2) {
            x = std::floor(x) + 0.5;
        }
        c.set_line_width(cr, _handlerWidth);
        setSource(c, cr, _handlerColor);
        c.move_to(cr, x, plotY);
        c.line_to(cr, x, plotY + plotH);
        c.stroke(cr);
    }

    c.destroy(cr);
    c.surface_flush(surface);
    c.surface_destroy(surface);
}
