// Toolkit fixtures: Elementary on the buffer engine, and a main loop runner
// for the EFL loop.
#pragma once

#include <Elementary.h>

#include <functional>

#include "TestSupport.h"

namespace uitest {

// Elementary initialised headless for the test's lifetime.
class ElmBuffer {
  public:
    ElmBuffer();
    ~ElmBuffer();
    ElmBuffer(const ElmBuffer&) = delete;
    ElmBuffer& operator=(const ElmBuffer&) = delete;
};

// Runs the EFL main loop until done() holds or timeoutMs passes; returns done().
bool runLoopUntil(const std::function<bool()>& done, int timeoutMs);

// A 360x360 window on the buffer engine, shown.
Evas_Object* addWindow(const char* name);

// ARGB of one pixel of a PNG file (0 when it cannot be read).
unsigned int pngPixel(const char* path, int x, int y, int* width = nullptr, int* height = nullptr);

}  // namespace uitest
