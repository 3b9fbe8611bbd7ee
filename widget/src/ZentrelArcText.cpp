#include "ZentrelArcText.h"

#include <cmath>

ZentrelArcText::ZentrelArcText(double centerX, double centerY, double radius)
    : _centerX(centerX), _centerY(centerY), _radius(radius) {}

double ZentrelArcText::measure(cairo_t* cr, const char* text) const {
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text, &extents);
    return extents.x_advance;
}

cairo_path_t* ZentrelArcText::path(cairo_t* cr, const char* text, double startAngle, double offsetX,
                                   double offsetY) const {
    cairo_new_path(cr);
    cairo_scaled_font_t* font = cairo_get_scaled_font(cr);
    cairo_glyph_t* glyphs = nullptr;
    int count = 0;
    if (cairo_scaled_font_text_to_glyphs(font, 0, 0, text, -1, &glyphs, &count, nullptr, nullptr,
                                         nullptr) == CAIRO_STATUS_SUCCESS) {
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
    cairo_path_t* outline = cairo_copy_path(cr);
    cairo_new_path(cr);
    return outline;
}

void ZentrelArcText::fillShadow(cairo_t* cr, const cairo_path_t* outline, double dx, double dy) {
    cairo_save(cr);
    cairo_new_path(cr);
    cairo_append_path(cr, outline);
    // Only the text's own box is blurred, not the whole surface.
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    cairo_fill_extents(cr, &x1, &y1, &x2, &y2);
    cairo_new_path(cr);
    cairo_rectangle(cr, floor(x1) - 2, floor(y1) - 2, ceil(x2 - x1) + 4 + dx,
                    ceil(y2 - y1) + 4 + dy);
    cairo_clip(cr);
    cairo_push_group(cr);
    cairo_append_path(cr, outline);
    cairo_fill(cr);
    cairo_pattern_t* shape = cairo_pop_group(cr);
    // A 3x3 box blur: nine faint copies around the shadow's offset.
    for (int y = -1; y <= 1; ++y) {
        for (int x = -1; x <= 1; ++x) {
            cairo_save(cr);
            cairo_translate(cr, dx + x, dy + y);
            cairo_set_source(cr, shape);
            cairo_paint_with_alpha(cr, 2.0 / 9.0);
            cairo_restore(cr);
        }
    }
    cairo_pattern_destroy(shape);
    cairo_restore(cr);
}
