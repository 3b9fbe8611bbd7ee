#include "ZentrelWidgetGauge.h"

#include <ostra/uxt_theme.h>
#include <ostra/vconf.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ZentrelArcText.h"
#include "ZentrelLog.h"
#include "ZentrelStorageMgr.h"

namespace {

constexpr int kSize = 360;
constexpr double kPi = 3.141592653589793;
constexpr const char* kTextPassed = "AT0234";
constexpr const char* kTextAhead = "AT0235";
constexpr const char* kTextAtEnd = "AT0236";
constexpr const char* kFontCode = "AT0234";
// How far inside the stroke the shading reaches, for its anti-aliased edge.
constexpr double kRingMargin = 3.0;
// Pixels around a label's box for its shadow (offset 1, blur 1).
constexpr int kShadowRoom = 3;
// Label offsets from the arc ends, as single-precision values.
constexpr double kNearOffset = static_cast<double>(34.8f);
constexpr double kFarOffset = static_cast<double>(69.6f);
constexpr const char* kAltiLabelsMetres[] = {"1120", "3040", "4960", "6880"};
constexpr const char* kAltiLabelsFeet[] = {"3680", "9980", "16280", "22580"};
constexpr const char* kBaroLabelsHpa[] = {"510", "670", "830", "990"};
constexpr const char* kBaroLabelsInhg[] = {"15.05", "19.77", "24.49", "29.21"};
constexpr const char* kBaroLabelsMmhg[] = {"383", "503", "623", "743"};

double rad(double degrees) {
    return degrees * kPi / 180.0;
}

bool demoMode() {
    int demo = 0;
    return vconf_get_int("db/retailmode/enabled", &demo) == VCONF_OK && demo != 0;
}

}  // namespace

ZentrelWidgetGauge::ZentrelWidgetGauge() = default;

ZentrelWidgetGauge::~ZentrelWidgetGauge() {
    for (auto& label : _labels) {
        cairo_path_destroy(label.second.outline);
        for (auto& image : label.second.images) {
            cairo_surface_destroy(image.second);
        }
    }
    if (_cairoPattern) {
        cairo_pattern_destroy(_cairoPattern);
    }
    if (_tracksImage) {
        cairo_surface_destroy(_tracksImage);
    }
    if (_cairoContext) {
        cairo_destroy(_cairoContext);
    }
    if (_cairoSurface) {
        cairo_surface_destroy(_cairoSurface);
    }
    if (_evasObj) {
        evas_object_del(_evasObj);
    }
}

Evas_Object* ZentrelWidgetGauge::create(Evas_Object* parent) {
    if (!parent) {
        ZLOGE("Parent object is null.");
        return nullptr;
    }
    if (_evasObj) {
        ZLOGW("Guage evas object already created.");
        return _evasObj;
    }
    if (!_initCairo(parent)) {
        return nullptr;
    }
    return _evasObj;
}

Evas_Object* ZentrelWidgetGauge::getEvasObj() {
    if (!_evasObj) {
        ZLOGE("_evasObj is null");
    }
    return _evasObj;
}

bool ZentrelWidgetGauge::_initCairo(Evas_Object* parent) {
    _evasObj = evas_object_image_filled_add(evas_object_evas_get(parent));
    evas_object_image_colorspace_set(_evasObj, EVAS_COLORSPACE_ARGB8888);
    evas_object_image_size_set(_evasObj, kSize, kSize);
    evas_object_image_alpha_set(_evasObj, EINA_TRUE);
    evas_object_move(_evasObj, 0, 0);
    evas_object_resize(_evasObj, kSize, kSize);
    auto* pixels = static_cast<unsigned char*>(evas_object_image_data_get(_evasObj, EINA_TRUE));
    if (!pixels) {
        ZLOGE("the gauge image has no pixels");
        return false;
    }
    const int stride = evas_object_image_stride_get(_evasObj);
    _cairoSurface =
        cairo_image_surface_create_for_data(pixels, CAIRO_FORMAT_ARGB32, kSize, kSize, stride);
    _cairoContext = cairo_create(_cairoSurface);
    return cairo_status(_cairoContext) == CAIRO_STATUS_SUCCESS;
}

bool ZentrelWidgetGauge::_altiVisible() const {
    return !ZentrelStorageMgr::getInstance()->isDataSLPHistoryEmpty() || demoMode();
}

void ZentrelWidgetGauge::updateValue(double pressure, const std::string&, const std::string&) {
    if (!_cairoContext) {
        ZLOGE("_cairoContext is null");
        return;
    }
    cairo_t* cr = _cairoContext;
    cairo_save(cr);
    // The tracks replace the last picture: a clear and two strokes in one copy.
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, _tracks(), 0, 0);
    cairo_paint(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    cairo_set_source_rgba(cr, 0, 0, 0, 0);
    _drawLine(pressure);
    _drawText();
    cairo_restore(cr);
    cairo_surface_flush(_cairoSurface);
    evas_object_image_data_set(_evasObj, cairo_image_surface_get_data(_cairoSurface));
    evas_object_image_data_update_add(_evasObj, 0, 0, kSize, kSize);
}

double ZentrelWidgetGauge::altiSectorAngle(double altitude) {
    const double perMetre =
        (_ALTI_END_ANGLE - _ALTI_START_ANGLE) / (_ALTI_END_VALUE - _ALTI_START_VALUE);
    const double angle = _ALTI_START_ANGLE + perMetre * (altitude - _ALTI_START_VALUE);
    if (angle <= _ALTI_START_ANGLE + 5) {
        ZLOGE("invalid altimeter angle (%lf)", angle);
        return _ALTI_START_ANGLE + 5;
    }
    if (angle >= _ALTI_END_ANGLE) {
        ZLOGE("invalid altimeter angle (%lf)", angle);
        return _ALTI_END_ANGLE;
    }
    return angle;
}

double ZentrelWidgetGauge::baroSectorAngle(double pressure) {
    const double offset = _BARO_START_ANGLE * 2 / (_BARO_END_VALUE - _BARO_START_VALUE) *
                          (pressure - _BARO_START_VALUE);
    const double angle = _BARO_START_ANGLE - offset;
    if (angle >= _BARO_START_ANGLE - 5) {
        ZLOGE("invalid baro angle (%lf)", angle);
        return _BARO_START_ANGLE - 5;
    }
    if (angle <= _BARO_END_ANGLE - 360) {
        ZLOGE("invalid baro angle (%lf)", angle);
        return _BARO_END_ANGLE - 360;
    }
    return angle;
}

ZentrelWidgetGauge::Color ZentrelWidgetGauge::_themeColor(const char* code) {
    int r = 0, g = 0, b = 0, a = 255;
    if (uxt_theme_get_color(code, &r, &g, &b, &a) != UXT_THEME_ERROR_NONE) {
        ZLOGE("no theme colour %s", code);
    }
    return {r / 255.0, g / 255.0, b / 255.0};
}

ZentrelWidgetGauge::Color ZentrelWidgetGauge::_average(const Color& x, const Color& y) {
    return {(x.r + y.r) / 2, (x.g + y.g) / 2, (x.b + y.b) / 2};
}

// The angle a round line cap adds at each end of an arc.
double ZentrelWidgetGauge::_capAngle() const {
    const double a = _LINE_WIDTH * 0.5;
    const double d = _LINE_RADIUS - a;
    return acos((2 * d * d - a * a) / (2 * d * d));
}

void ZentrelWidgetGauge::_drawLine(double pressure) {
    cairo_t* cr = _cairoContext;
    const double capAngle = _capAngle();
    ZLOGD("capAngle = %lf", capAngle);
    cairo_set_line_width(cr, _LINE_WIDTH);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    // A fresh pattern per redraw: patches added to a kept one would pile up
    // without bound, in memory and in drawing time.
    if (_cairoPattern) {
        cairo_pattern_destroy(_cairoPattern);
    }
    _cairoPattern = cairo_pattern_create_mesh();
    if (_altiVisible()) {
        _drawAltiSector(pressure);
    }
    _drawBaroSector(pressure);
}

// Both tracks, which never move, drawn once per pair of track colours.
cairo_surface_t* ZentrelWidgetGauge::_tracks() {
    const Color alti = _themeColor(_ALTI_IN_LINE_COLOR_CODE);
    const Color baro = _themeColor(_BARO_IN_LINE_COLOR_CODE);
    char key[128];
    snprintf(key, sizeof key, "%.4f %.4f %.4f %.4f %.4f %.4f", alti.r, alti.g, alti.b, baro.r,
             baro.g, baro.b);
    if (_tracksImage && _tracksKey == key) {
        return _tracksImage;
    }
    if (_tracksImage) {
        cairo_surface_destroy(_tracksImage);
    }
    _tracksKey = key;
    _tracksImage = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kSize, kSize);
    cairo_t* cr = cairo_create(_tracksImage);
    cairo_set_line_width(cr, _LINE_WIDTH);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    const double capAngle = _capAngle();
    _strokeTrack(cr, alti, rad(_ALTI_START_ANGLE) + capAngle, rad(_ALTI_END_ANGLE) - capAngle,
                 false);
    _strokeTrack(cr, baro, rad(_BARO_START_ANGLE) - capAngle, rad(_BARO_END_ANGLE) + capAngle,
                 true);
    cairo_destroy(cr);
    return _tracksImage;
}

void ZentrelWidgetGauge::_strokeTrack(cairo_t* cr, const Color& c, double from, double to,
                                      bool negative) {
    cairo_set_source_rgb(cr, c.r, c.g, c.b);
    cairo_new_path(cr);
    const double radius = _LINE_RADIUS - _LINE_WIDTH * 0.5;
    if (negative) {
        cairo_arc_negative(cr, _CENTER_X, _CENTER_Y, radius, from, to);
    } else {
        cairo_arc(cr, _CENTER_X, _CENTER_Y, radius, from, to);
    }
    cairo_stroke(cr);
}

// Shades startDeg..endDeg from the start colour through their average to
// the end colour, and strokes the sector with that shading.
void ZentrelWidgetGauge::_drawSector(double endDeg, double startDeg, const char* startCode,
                                     const char* endCode) {
    const Color start = _themeColor(startCode);
    const Color end = _themeColor(endCode);
    const Color middle = _average(start, end);
    const double half = (endDeg + startDeg) / 2;
    _sectorPatch(startDeg, start, half, middle);
    _sectorPatch(half, middle, endDeg, end);
    cairo_t* cr = _cairoContext;
    const double capAngle = _capAngle();
    const double radius = _LINE_RADIUS - _LINE_WIDTH * 0.5;
    cairo_set_source(cr, _cairoPattern);
    cairo_new_path(cr);
    if (endDeg > startDeg) {
        cairo_arc(cr, _CENTER_X, _CENTER_Y, radius, rad(startDeg) + capAngle,
                  rad(endDeg) - capAngle);
    } else {
        cairo_arc_negative(cr, _CENTER_X, _CENTER_Y, radius, rad(startDeg) - capAngle,
                           rad(endDeg) + capAngle);
    }
    cairo_stroke(cr);
}

void ZentrelWidgetGauge::_drawAltiSector(double pressure) {
    ZentrelStorageMgr* storage = ZentrelStorageMgr::getInstance();
    const double altitude = storage->getAltivalue(pressure);
    const double h = altiSectorAngle(altitude);
    ZLOGD("SLP:%lf, B:%lf, A:%lf, A Angle:%lf", storage->getDataSLP(), pressure, altitude, h);
    _drawSector(h, _ALTI_START_ANGLE, _ALTI_OUT_LINE_START_COLOR_CODE,
                _ALTI_OUT_LINE_END_COLOR_CODE);
    _curAltiAngle = rad(h);
}

void ZentrelWidgetGauge::_drawBaroSector(double pressure) {
    const double m = baroSectorAngle(pressure);
    ZLOGD("baroAngleAb:%lf, baroAngle:%lf", pressure, m);
    _drawSector(m, _BARO_START_ANGLE, _BARO_OUT_LINE_START_COLOR_CODE,
                _BARO_OUT_LINE_END_COLOR_CODE);
    _curBaroAngle = rad(m);
}

// The shading is the patch from the centre (white) out to the circle (colour
// A at angle a, colour B at angle b), with its fourth corner, the centre
// again, transparent. Only the ring the arc is stroked on is ever seen, so
// just that ring of the patch is built: the same colours at the same places
// (the patch is polar and its colours bilinear in radius and angle), at a
// fraction of the rasterising cost of the whole wedge.
void ZentrelWidgetGauge::_sectorPatch(double a, const Color& colorA, double b,
                                      const Color& colorB) {
    const double r = _LINE_RADIUS;
    const double inner = _LINE_RADIUS - _LINE_WIDTH - kRingMargin;
    const double u = inner / r;
    const double ra = rad(a);
    const double rb = rad(b);
    const double k = tan((rb - ra) / 4) * 4 / 3;
    cairo_pattern_t* mesh = _cairoPattern;
    cairo_mesh_pattern_begin_patch(mesh);
    cairo_mesh_pattern_move_to(mesh, _CENTER_X + inner * cos(ra), _CENTER_Y + inner * sin(ra));
    _arcSide(ra, rb, r, k);
    _arcSide(rb, ra, inner, -k);
    _setCorner(0, u, 0, colorA, colorB);
    _setCorner(1, 1, 0, colorA, colorB);
    _setCorner(2, 1, 1, colorA, colorB);
    _setCorner(3, u, 1, colorA, colorB);
    cairo_mesh_pattern_end_patch(mesh);
}

// A side along the circle of radius r from angle from to angle to (the
// standard cubic approximation of a circular arc), after a line to its start.
void ZentrelWidgetGauge::_arcSide(double from, double to, double r, double k) {
    const double p1x = _CENTER_X + r * cos(from);
    const double p1y = _CENTER_Y + r * sin(from);
    const double p2x = _CENTER_X + r * cos(to);
    const double p2y = _CENTER_Y + r * sin(to);
    cairo_mesh_pattern_line_to(_cairoPattern, p1x, p1y);
    cairo_mesh_pattern_curve_to(_cairoPattern, p1x - r * sin(from) * k, p1y + r * cos(from) * k,
                                p2x + r * sin(to) * k, p2y - r * cos(to) * k, p2x, p2y);
}

// The whole patch's colour at radius fraction u and angle fraction v:
// bilinear, premultiplied, between white at the centre, A and B on the
// circle and transparent at the centre's second corner.
void ZentrelWidgetGauge::_setCorner(unsigned int corner, double u, double v, const Color& colorA,
                                    const Color& colorB) {
    const double white = (1 - u) * (1 - v);
    const double wa = u * (1 - v);
    const double wb = u * v;
    const double alpha = white + wa + wb;
    auto channel = [&](double ca, double cb) {
        return static_cast<float>((white + wa * ca + wb * cb) / alpha);
    };
    cairo_mesh_pattern_set_corner_color_rgba(_cairoPattern, corner, channel(colorA.r, colorB.r),
                                             channel(colorA.g, colorB.g),
                                             channel(colorA.b, colorB.b), alpha);
}

const char* ZentrelWidgetGauge::altiLabelColorCode(double t, double half, double v) {
    if (t + half < v) {
        return kTextPassed;
    }
    if (v < t - half) {
        return kTextAhead;
    }
    return kTextAtEnd;
}

const char* ZentrelWidgetGauge::baroLabelColorCode(double t, double half, double v) {
    if (t > rad(_BARO_END_ANGLE)) {
        // Beyond 273 degrees the sector end counts from 0 to 2 pi.
        const double end = v < 0 ? v + 2 * kPi : v;
        if (end > rad(_BARO_END_ANGLE) && t - half > end) {
            return kTextPassed;
        }
        if (end < rad(_BARO_START_ANGLE) || t + half < end) {
            return kTextAhead;
        }
        return kTextAtEnd;
    }
    if (v < t - half) {
        return kTextPassed;
    }
    if (t + half < v) {
        return kTextAhead;
    }
    return kTextAtEnd;
}

void ZentrelWidgetGauge::_drawText() {
    cairo_t* cr = _cairoContext;
    char* family = nullptr;
    char* style = nullptr;
    int size = 11;
    if (uxt_theme_get_font(kFontCode, &family, &style, &size) != UXT_THEME_ERROR_NONE) {
        ZLOGE("no theme font %s", kFontCode);
    }
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
    cairo_select_font_face(cr, family ? family : "Roboto", CAIRO_FONT_SLANT_NORMAL,
                           CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, size);
    _fontKey = std::string(family ? family : "Roboto") + " " + std::to_string(size);
    free(family);
    free(style);

    ZentrelStorageMgr* storage = ZentrelStorageMgr::getInstance();
    if (_altiVisible()) {
        const char* const* labels =
            storage->getSettingDistance() == 1 ? kAltiLabelsFeet : kAltiLabelsMetres;
        const double at[] = {_ALTI_START_ANGLE + kNearOffset, _ALTI_START_ANGLE + kFarOffset,
                             _ALTI_END_ANGLE - kFarOffset, _ALTI_END_ANGLE - kNearOffset};
        for (int i = 0; i < 4; ++i) {
            _drawLabel(labels[i], at[i], true);
        }
    }
    const int unit = storage->getSettingPressure();
    const char* const* labels =
        unit == 1 ? kBaroLabelsInhg : (unit == 2 ? kBaroLabelsMmhg : kBaroLabelsHpa);
    const double at[] = {_BARO_START_ANGLE - kNearOffset, _BARO_START_ANGLE - kFarOffset,
                         _BARO_END_ANGLE + kFarOffset, _BARO_END_ANGLE + kNearOffset};
    for (int i = 0; i < 4; ++i) {
        _drawLabel(labels[i], at[i], false);
    }
}

void ZentrelWidgetGauge::_drawLabel(const char* text, double centerDeg, bool alti) {
    cairo_t* cr = _cairoContext;
    const double t = rad(centerDeg);
    Label& label = _label(text, t);
    const char* code = alti ? altiLabelColorCode(t, label.half, _curAltiAngle)
                            : baroLabelColorCode(t, label.half, _curBaroAngle);
    cairo_surface_t* image = _labelImage(label, code);
    cairo_set_source_surface(cr, image, label.x, label.y);
    cairo_paint(cr);
}

// The label drawn in one colour (with the shadow at the sector end) into an
// image of its own box, once per colour: later redraws only copy it.
cairo_surface_t* ZentrelWidgetGauge::_labelImage(Label& label, const char* code) {
    const Color c = _themeColor(code);
    char key[64];
    snprintf(key, sizeof key, "%s %.4f %.4f %.4f", code, c.r, c.g, c.b);
    auto found = label.images.find(key);
    if (found != label.images.end()) {
        return found->second;
    }
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, label.w, label.h);
    cairo_t* cr = cairo_create(image);
    cairo_translate(cr, -label.x, -label.y);
    if (!strcmp(code, kTextAtEnd)) {
        cairo_set_source_rgb(cr, 0, 0, 0);
        ZentrelArcText::fillShadow(cr, label.outline, 1, 1);
    }
    cairo_set_source_rgb(cr, c.r, c.g, c.b);
    cairo_append_path(cr, label.outline);
    cairo_fill(cr);
    cairo_destroy(cr);
    label.images.emplace(key, image);
    return image;
}

// A label's outline depends only on its font, text and place: made once.
ZentrelWidgetGauge::Label& ZentrelWidgetGauge::_label(const char* text, double t) {
    const std::string key = _fontKey + "/" + text + "@" + std::to_string(t);
    auto found = _labels.find(key);
    if (found != _labels.end()) {
        return found->second;
    }
    cairo_t* cr = _cairoContext;
    const double labelRadius = _LINE_RADIUS - _LINE_WIDTH;
    ZentrelArcText arcText(_CENTER_X, _CENTER_Y, labelRadius);
    Label label;
    label.half = arcText.measure(cr, text) / labelRadius * 0.5;
    label.outline = arcText.path(cr, text, t - label.half, 0.0, -1.0);
    // The box on whole pixels, with room for the shadow's offset and blur.
    cairo_new_path(cr);
    cairo_append_path(cr, label.outline);
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    cairo_fill_extents(cr, &x1, &y1, &x2, &y2);
    cairo_new_path(cr);
    label.x = static_cast<int>(floor(x1)) - kShadowRoom;
    label.y = static_cast<int>(floor(y1)) - kShadowRoom;
    label.w = static_cast<int>(ceil(x2)) + 2 * kShadowRoom - label.x;
    label.h = static_cast<int>(ceil(y2)) + 2 * kShadowRoom - label.y;
    return _labels.emplace(key, label).first->second;
}
