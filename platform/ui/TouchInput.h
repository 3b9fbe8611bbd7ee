// The watch is a touch screen: a finger (or a pointer standing in for one)
// dragging a scroller scrolls it, and a flick pages it. The toolkit's desktop
// profile, which a Linux machine starts with, scrolls only with wheels and
// bars.
#pragma once

namespace ostra {

// For this process only; the user's toolkit configuration is not written.
void useTouchScrolling();

}  // namespace ostra
