// Toolkit fixtures: Elementary on the buffer engine, and a main loop runner
// for the EFL loop.
#pragma once

#include <Elementary.h>

#include <functional>
#include <string>

#include "TestSupport.h"
#include "XvfbSupport.h"

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

// On the settings page of the main program running on server: taps Edit,
// turns the menu down to its end and taps the pressure unit row. logHas
// reads the program's log; shot(name) is offered a screenshot on the way.
// Returns "" once the unit picker is shown, else the line the log never got.
std::string openPressureUnitPicker(testsupport::XvfbServer& server,
                                   const std::function<bool(const std::string&)>& logHas,
                                   const std::function<void(const char*)>& shot);

// ARGB of one pixel of a PNG file (0 when it cannot be read).
unsigned int pngPixel(const char* path, int x, int y, int* width = nullptr, int* height = nullptr);

}  // namespace uitest
