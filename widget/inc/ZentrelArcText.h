// Text written along a circle with cairo, which has no text-on-path call:
// each glyph is placed on the arc at its own advance and turned to the
// tangent, tops outwards, and can carry a soft drop shadow.
#pragma once

#include <cairo.h>

class ZentrelArcText {
  public:
    ZentrelArcText(double centerX, double centerY, double radius);

    // Width of the text in the context's current font, in pixels.
    double measure(cairo_t* cr, const char* text) const;
    // Fills the text with the current source along the clockwise arc that
    // starts at startAngle (radians); offsetX moves along the arc, offsetY
    // across it (negative is outwards).
    void draw(cairo_t* cr, const char* text, double startAngle, double offsetX,
              double offsetY) const;
    // The same text in the current source, blurred by one pixel and moved
    // by (dx, dy): a drop shadow to draw before the text.
    void drawShadow(cairo_t* cr, const char* text, double startAngle, double offsetX,
                    double offsetY, double dx, double dy) const;

  private:
    void _addGlyphPaths(cairo_t* cr, const char* text, double startAngle, double offsetX,
                        double offsetY) const;

    double _centerX;
    double _centerY;
    double _radius;
};
