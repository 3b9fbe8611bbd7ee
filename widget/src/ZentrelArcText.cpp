#include "ZentrelArcText.h"

#include <cmath>

ZentrelArcText::ZentrelArcText(double centerX, double centerY, double radius)
    : _centerX(centerX), _centerY(centerY), _radius(radius) {}

double ZentrelArcText::measure(cairo_t* cr, const char* text) const {
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text, &extents);
    return extents.x_advance;
}

void ZentrelArcText::_addGlyphPaths(cairo_t* cr, const char* text, double startAngle,
                                    double offsetX, double offsetY) const {
    cairo_scaled_font_t* font = cairo_get_scaled_font(cr);
    cairo_glyph_t* glyphs = nullptr;
    int count = 0;
    if (cairo_scaled_font_text_to_glyphs(font, 0, 0, text, -1, &glyphs, &count, nullptr, nullptr,
                                         nullptr) != CAIRO_STATUS_SUCCESS) {
        return;
    }
    for (int i = 0; i < count; ++i) {
        cairo_text_extents_t extents;
        cairo_scaled_font_glyph_extents(font, &glyphs[i], 1, &extents);
        // The glyph's middle sits on the arc; the glyph turns with the tangent.
        const double along = offsetX + glyphs[i].x + extents.x_advance * 0.5;
        const double angle = startAngle + along / _radius;
        cairo_save(cr);
        cairo_translate(cr, _centerX + _radius * cos(angle), _centerY + _radius * sin(angle));
        cairo_rotate(cr, angle + M_PI / 2);
        cairo_glyph_t glyph = glyphs[i];
        glyph.x = -extents.x_advance * 0.5;
        glyph.y = offsetY;
        cairo_glyph_path(cr, &glyph, 1);
        cairo_restore(cr);
    }
    cairo_glyph_free(glyphs);
}

void ZentrelArcText::draw(cairo_t* cr, const char* text, double startAngle, double offsetX,
                          double offsetY) const {
    cairo_new_path(cr);
    _addGlyphPaths(cr, text, startAngle, offsetX, offsetY);
    cairo_fill(cr);
}

void ZentrelArcText::drawShadow(cairo_t* cr, const char* text, double startAngle, double offsetX,
                                double offsetY, double dx, double dy) const {
    cairo_push_group(cr);
    cairo_new_path(cr);
    _addGlyphPaths(cr, text, startAngle, offsetX, offsetY);
    cairo_fill(cr);
    cairo_pattern_t* shape = cairo_pop_group(cr);
    // A 3x3 box blur: nine faint copies around the shadow's offset.
    for (int y = -1; y <= 1; ++y) {
        for (int x = -1; x <= 1; ++x) {
            cairo_save(cr);
            cairo_translate(cr, dx + x, dy + y);
            cairo_set_source(cr, shape);
            cairo_paint_with_alpha(cr, 1.0 / 9.0 * 2.0);
            cairo_restore(cr);
        }
    }
    cairo_pattern_destroy(shape);
}
