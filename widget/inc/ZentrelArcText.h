// Text written along a circle with cairo, which has no text-on-path call:
// each glyph is placed on the arc at its own advance and turned to the
// tangent, tops outwards. Also a soft drop shadow for such text.
#pragma once

#include <cairo.h>

class ZentrelArcText {
  public:
    ZentrelArcText(double centerX, double centerY, double radius);

    // Width of the text in the context's current font, in pixels.
    double measure(cairo_t* cr, const char* text) const;
    // The outlines of the text in the current font along the clockwise arc
    // that starts at startAngle (radians); offsetX moves along the arc,
    // offsetY across it (negative is outwards). The caller destroys it.
    cairo_path_t* path(cairo_t* cr, const char* text, double startAngle, double offsetX,
                       double offsetY) const;
    // Fills a text outline in the current source, blurred by one pixel and
    // moved by (dx, dy): a drop shadow to draw before the text.
    static void fillShadow(cairo_t* cr, const cairo_path_t* outline, double dx, double dy);

  private:
    double _centerX;
    double _centerY;
    double _radius;
};
