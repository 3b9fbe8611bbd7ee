// Reads the pixels of an X server's root window; kept apart because Xlib's
// macros clash with the test framework's names.
#pragma once

#include <string>
#include <vector>

namespace uitest {

// The top-left w x h of the root window of `display` as 0xRRGGBB, row after
// row. False when the server cannot be reached.
bool grabRootRgb(const std::string& display, int w, int h, std::vector<unsigned int>& rgb);

}  // namespace uitest
