// The line the start-up benchmark waits for: how long after the process
// started its main window was first drawn.
#pragma once

#include <Elementary.h>

namespace ostra {

// Logs "first frame drawn after N ms" once, when win is first rendered.
void logFirstFrame(Evas_Object* win);

}  // namespace ostra
