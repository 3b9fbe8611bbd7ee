// The desktop's screen saver on the session bus (org.freedesktop.ScreenSaver),
// reached without blocking the caller's loop. A bare X server or a host
// without a session bus has none; the calls then only log.
#pragma once

namespace ostra {

class SessionScreenSaver {
  public:
    // Keeps the desktop from blanking or locking until uninhibit().
    static void inhibit(const char* application, const char* reason);
    static void uninhibit();
    // Wakes a blanked screen, as a key press would.
    static void wake();
};

}  // namespace ostra
