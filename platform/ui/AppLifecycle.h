// Pause and resume of a toolkit program, following its main window.
#pragma once

#include <Evas.h>

#include <functional>

namespace ostra {

class AppLifecycle {
  public:
    using Hook = std::function<void()>;

    AppLifecycle(Hook onPause, Hook onResume);
    // Follows the window's focus and visibility from now on.
    void follow(Evas_Object* win);
    void resume();
    void pause();
    bool paused() const { return _paused; }

  private:
    static void _pauseCb(void* data, Evas_Object* obj, void* eventInfo);
    static void _resumeCb(void* data, Evas_Object* obj, void* eventInfo);
    static void _winDelCb(void* data, Evas* evas, Evas_Object* obj, void* eventInfo);

    Hook _onPause;
    Hook _onResume;
    Evas_Object* _win = nullptr;
    bool _paused = true;
};

}  // namespace ostra
