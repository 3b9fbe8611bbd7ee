// Calls back on the main loop as soon as a file is written, through one
// inotify descriptor per process. GLib's file monitor holds events back for
// up to 100 ms once a file is busy, which made cross-process notices late.
#pragma once

#include <string>

namespace ostra {

class FileChangeWatch {
  public:
    using Callback = void (*)(void* data);

    // Watches path, which must exist, until remove(); 0 when it cannot.
    static unsigned add(const std::string& path, Callback callback, void* data);
    // After it returns the callback is never called again for id.
    static void remove(unsigned id);
};

}  // namespace ostra
