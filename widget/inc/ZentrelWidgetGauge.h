// The widget's dial: an altitude arc on the left half (clockwise from the
// bottom at 93 degrees to the top at 267) and a pressure arc on the right
// half (counter-clockwise from 87 to -87), each a track with a shaded value
// sector and four scale labels written along the circle. Drawn with cairo
// into one 360x360 image. Angles: 0 at 3 o'clock, growing clockwise.
#pragma once

#include <Evas.h>
#include <cairo.h>

#include <map>
#include <string>

class ZentrelWidgetGauge {
  public:
    ZentrelWidgetGauge();
    ~ZentrelWidgetGauge();
    ZentrelWidgetGauge(const ZentrelWidgetGauge&) = delete;
    ZentrelWidgetGauge& operator=(const ZentrelWidgetGauge&) = delete;

    Evas_Object* create(Evas_Object* parent);
    Evas_Object* getEvasObj();
    // Redraws the whole dial for a pressure in hPa. The texts are the
    // view's; the dial's own labels are fixed.
    void updateValue(double pressure, const std::string& altiText, const std::string& baroText);

    // End angles (radians) of the last drawn sectors.
    double getCurAltiAngle() const { return _curAltiAngle; }
    double getCurBaroAngle() const { return _curBaroAngle; }

    // Sector end angles in degrees, clamped to the arcs.
    static double altiSectorAngle(double altitude);
    static double baroSectorAngle(double pressure);
    // Colour code of a label centred at t covering t - half .. t + half
    // (radians) when the sector ends at v; "AT0236" wants the shadow.
    static const char* altiLabelColorCode(double t, double half, double v);
    static const char* baroLabelColorCode(double t, double half, double v);

  private:
    struct Color {
        double r, g, b;
    };
    struct Label {
        double half = 0;  // half the angle the text covers
        cairo_path_t* outline = nullptr;
        int x = 0, y = 0, w = 0, h = 0;                  // its box on the dial
        std::map<std::string, cairo_surface_t*> images;  // drawn, by colour
    };
    static Color _themeColor(const char* code);
    static Color _average(const Color& x, const Color& y);
    double _capAngle() const;

    bool _initCairo(Evas_Object* parent);
    void _drawLine(double pressure);
    void _drawAltiSector(double pressure);
    void _drawBaroSector(double pressure);
    cairo_surface_t* _tracks();
    void _strokeTrack(cairo_t* cr, const Color& c, double from, double to, bool negative);
    void _sectorPatch(double a, const Color& colorA, double b, const Color& colorB);
    void _arcSide(double from, double to, double r, double k);
    void _setCorner(unsigned int corner, double u, double v, const Color& colorA,
                    const Color& colorB);
    void _drawSector(double endDeg, double startDeg, const char* startCode, const char* endCode);
    void _drawText();
    void _drawLabel(const char* text, double centerDeg, bool alti);
    Label& _label(const char* text, double t);
    cairo_surface_t* _labelImage(Label& label, const char* code);
    bool _altiVisible() const;

    Evas_Object* _evasObj = nullptr;
    cairo_t* _cairoContext = nullptr;
    cairo_surface_t* _cairoSurface = nullptr;
    cairo_pattern_t* _cairoPattern = nullptr;
    double _curAltiAngle = 0.0;
    double _curBaroAngle = 0.0;
    std::map<std::string, Label> _labels;
    std::string _fontKey;
    cairo_surface_t* _tracksImage = nullptr;
    std::string _tracksKey;

    static constexpr double _ALTI_START_VALUE = -800.0;
    static constexpr double _ALTI_END_VALUE = 8800.0;
    static constexpr double _ALTI_START_ANGLE = 93.0;
    static constexpr double _ALTI_END_ANGLE = 267.0;
    static constexpr double _BARO_START_VALUE = 350.0;
    static constexpr double _BARO_END_VALUE = 1150.0;
    static constexpr double _BARO_START_ANGLE = 87.0;
    static constexpr double _BARO_END_ANGLE = 273.0;
    static constexpr double _CENTER_X = 180.0;
    static constexpr double _CENTER_Y = 180.0;
    static constexpr double _LINE_WIDTH = 15.0;
    static constexpr double _LINE_RADIUS = 180.0;
    static constexpr const char* _ALTI_IN_LINE_COLOR_CODE = "AO1561";
    static constexpr const char* _ALTI_OUT_LINE_START_COLOR_CODE = "AO1562";
    static constexpr const char* _ALTI_OUT_LINE_END_COLOR_CODE = "AO1563";
    static constexpr const char* _BARO_IN_LINE_COLOR_CODE = "AO1551";
    static constexpr const char* _BARO_OUT_LINE_START_COLOR_CODE = "AO1552";
    static constexpr const char* _BARO_OUT_LINE_END_COLOR_CODE = "AO1553";
};
