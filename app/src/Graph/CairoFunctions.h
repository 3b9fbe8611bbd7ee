// cairo, loaded when the first chart is made instead of linked: the charts
// come with the first reading, after the main program's first frame, and
// cairo with the libraries it brings (pixman, two X protocol extensions) cost
// every start about 1 ms.
#pragma once

#include <cairo.h>

// The functions the chart draws with; each member is named after the cairo
// function without its prefix and has that function's type.
#define ZENTREL_CAIRO_FUNCTIONS(X)   \
    X(arc)                           \
    X(clip)                          \
    X(close_path)                    \
    X(create)                        \
    X(curve_to)                      \
    X(destroy)                       \
    X(fill)                          \
    X(get_source)                    \
    X(image_surface_create_for_data) \
    X(image_surface_create_from_png) \
    X(image_surface_get_height)      \
    X(image_surface_get_width)       \
    X(line_to)                       \
    X(move_to)                       \
    X(new_sub_path)                  \
    X(paint)                         \
    X(pattern_set_filter)            \
    X(rectangle)                     \
    X(restore)                       \
    X(save)                          \
    X(scale)                         \
    X(set_line_join)                 \
    X(set_line_width)                \
    X(set_source_rgba)               \
    X(set_source_surface)            \
    X(stroke)                        \
    X(surface_destroy)               \
    X(surface_flush)                 \
    X(surface_status)                \
    X(translate)

struct CairoFunctions {
#define ZENTREL_CAIRO_MEMBER(name) decltype(&::cairo_##name) name = nullptr;
    ZENTREL_CAIRO_FUNCTIONS(ZENTREL_CAIRO_MEMBER)
#undef ZENTREL_CAIRO_MEMBER
};

// The functions, or null (logged once) when cairo cannot be loaded.
const CairoFunctions* cairoFunctions();
