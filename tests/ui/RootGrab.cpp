#include "RootGrab.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace uitest {

bool grabRootRgb(const std::string& display, int w, int h, std::vector<unsigned int>& rgb) {
    Display* dpy = XOpenDisplay(display.c_str());
    if (!dpy) {
        return false;
    }
    XImage* image = XGetImage(dpy, DefaultRootWindow(dpy), 0, 0, static_cast<unsigned>(w),
                              static_cast<unsigned>(h), AllPlanes, ZPixmap);
    if (image) {
        rgb.assign(static_cast<size_t>(w) * h, 0);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                rgb[static_cast<size_t>(y) * w + x] =
                    static_cast<unsigned int>(XGetPixel(image, x, y) & 0xffffff);
            }
        }
        XDestroyImage(image);
    }
    XCloseDisplay(dpy);
    return image != nullptr;
}

}  // namespace uitest
