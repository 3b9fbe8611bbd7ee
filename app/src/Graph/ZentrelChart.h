// The product's own chart component on Evas: one filled, optionally curved
// series of (time, value) points, drawn with cairo into an image inside a
// clipped smart object. It stands in for the platform chart library: hidden
// axis and legend, horizontal grid lines, a goal line, a visible value range,
// a background image, a scrollable time region and a vertical handler line.
// After every redraw the object emits the smart event "rendering,finished".
#pragma once

#include <Ecore.h>
#include <Evas.h>
#include <cairo.h>

#include <cstdint>
#include <string>
#include <vector>

struct CairoFunctions;

class ZentrelChart {
  public:
    struct Color {
        int r = 0, g = 0, b = 0, a = 0;  // straight (not premultiplied), 0..255
    };
    struct Point {
        int64_t timeMs = 0;
        float value = 0.0f;
    };

    // The chart object is created on the parent's canvas; it is deleted with
    // the chart (or earlier by its parent, which the chart notices).
    explicit ZentrelChart(Evas_Object* parent);
    ~ZentrelChart();
    ZentrelChart(const ZentrelChart&) = delete;
    ZentrelChart& operator=(const ZentrelChart&) = delete;

    Evas_Object* getEvasObject() const { return _obj; }

    // Series data, kept in time order.
    void addTimeData(int64_t timeMs, float value);
    void insertTimeData(int64_t timeMs, float value);
    // False when no point has that time.
    bool deleteTimeData(int64_t timeMs);
    void clearData();
    const std::vector<Point>& getData() const { return _data; }

    // Series properties.
    void setVisibleRange(float min, float max);
    float getVisibleMin() const { return _min; }
    float getVisibleMax() const { return _max; }
    void setAreaCurved(bool curved) { _curved = curved; }
    void setAreaColor(const Color& color) { _areaColor = color; }
    void setAnimation(bool enabled, double duration);
    void setGoalLineVisible(bool visible) { _goalVisible = visible; }
    void setGoalLineValue(float value) { _goalValue = value; }
    void setGoalLineWidth(int width) { _goalWidth = width; }
    void setGoalLineColor(const Color& color) { _goalColor = color; }
    void setColorOverGoalLine(const Color& color) { _overGoalColor = color; }
    void setValueMarker(bool visible, int radius);
    // Holds the newest value flat for this long after the newest point, so a
    // window of N points spaced by the hold fills N slots of the width.
    void setLastValueHold(int64_t ms) { _holdMs = ms; }

    // Chart properties.
    void setAxisVisible(bool visible) { _axisVisible = visible; }
    void setLegendVisible(bool visible) { _legendVisible = visible; }
    void setHandlerVisible(bool visible) { _handlerVisible = visible; }
    void setHandlerStartTime(int64_t timeMs) { _handlerTimeMs = timeMs; }
    void setHandlerLineWidth(int width) { _handlerWidth = width; }
    void setHandlerLineColor(const Color& color) { _handlerColor = color; }
    void setHandlerThumbVisible(bool visible) { _handlerThumb = visible; }
    void setHandlerTooltipVisible(bool visible) { _handlerTooltip = visible; }
    bool isHandlerVisible() const { return _handlerVisible; }
    int64_t getHandlerTime() const { return _handlerTimeMs; }
    void setGridLine(int width, bool visible, int count);
    int getGridLineCount() const { return _gridCount; }
    // An absolute PNG path; empty for none. Drawn stretched over the chart.
    void setBackgroundImageFile(const std::string& path);
    void setScrollEnabled(bool enabled) { _scrollEnabled = enabled; }
    void setMargins(int left, int top, int right, int bottom);

    // The time span that the chart's width shows (default six hours).
    void setVisibleTimeSpan(int64_t ms);
    int64_t getVisibleTimeSpan() const { return _spanMs; }
    void setStartShowRegionByTime(int64_t timeMs);
    // Where the region goes, and where it is drawn now (they differ while it slides).
    double getShowRegionStart() const { return _regionStartMs; }
    double getShownRegionStart() const { return _shownStartMs; }
    // Moves the shown region later by dx pixels of the current width.
    void scroll(double dx);

    // Offsets within the chart object (margins included) of a time and of
    // the value `offset` above the visible minimum.
    double getXForTime(int64_t timeMs) const;
    int getGridLinePosY(float offset) const;

    // Redraws on the next main-loop turn (several calls draw once).
    void update();
    // Draws at once and emits "rendering,finished".
    void render();
    int getRenderCount() const { return _renderCount; }

  private:
    static void _delCb(void* data, Evas* e, Evas_Object* obj, void* info);
    static void _resizeCb(void* data, Evas* e, Evas_Object* obj, void* info);
    static void _jobCb(void* data);
    static Eina_Bool _slideCb(void* data, double pos);
    void _stopSlide();
    void _draw(const CairoFunctions& c, unsigned char* pixels, int w, int h, int stride);
    double _valueToY(double value, int plotH) const;

    Evas_Object* _obj = nullptr;
    Evas_Object* _image = nullptr;
    Ecore_Job* _job = nullptr;
    int _renderCount = 0;

    std::vector<Point> _data;
    float _min = 0.0f;
    float _max = 1.0f;
    bool _curved = false;
    Color _areaColor{47, 167, 255, 115};
    bool _animation = false;
    double _animationDuration = 0.0;
    bool _goalVisible = false;
    float _goalValue = 0.0f;
    int _goalWidth = 1;
    Color _goalColor{60, 60, 60, 255};
    Color _overGoalColor{47, 167, 255, 255};
    bool _markerVisible = false;
    int _markerRadius = 0;
    int64_t _holdMs = 0;

    bool _axisVisible = false;
    bool _legendVisible = false;
    bool _handlerVisible = false;
    int64_t _handlerTimeMs = 0;
    int _handlerWidth = 1;
    Color _handlerColor{255, 179, 0, 255};
    bool _handlerThumb = false;
    bool _handlerTooltip = false;
    int _gridWidth = 0;
    bool _gridVisible = false;
    int _gridCount = 0;
    std::string _bgFile;
    cairo_surface_t* _bgSurface = nullptr;
    bool _scrollEnabled = false;
    int _marginL = 0, _marginT = 0, _marginR = 0, _marginB = 0;

    int64_t _spanMs = 6LL * 3600 * 1000;
    double _regionStartMs = 0.0;
    double _shownStartMs = 0.0;
    double _slideFromMs = 0.0;
    Ecore_Animator* _slide = nullptr;
};
