// A window on an X server that no window manager runs (Xvfb, a bare X
// session).
#pragma once

#include <Evas.h>

namespace ostra {

// Elementary stops drawing a window for as long as it is withdrawn, and it is
// withdrawn until a window manager marks it Normal when it maps it. With no
// window manager nobody ever does, and the window stays black; this marks a
// shown window Normal itself then. Returns whether it did; it does nothing
// under a window manager or on any engine but X11.
bool markShownUnmanagedWindowNormal(Evas_Object* win);

}  // namespace ostra
