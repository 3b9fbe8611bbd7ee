// Pause and resume of a toolkit program, following its main window.
#pragma once

#include <Ecore.h>
#include <Evas.h>

#include <functional>

namespace ostra {

class AppLifecycle {
  public:
    using Hook = std::function<void()>;

    AppLifecycle(Hook onPause, Hook onResume);
    ~AppLifecycle();
    AppLifecycle(const AppLifecycle&) = delete;
    AppLifecycle& operator=(const AppLifecycle&) = delete;
    // Follows the window's focus and visibility from now on.
    void follow(Evas_Object* win);
    void resume();
    // Resumes once the followed window has drawn its first frame: what a
    // program does on resume (sensors, history, graphs) then never delays
    // the first picture. A focus or visibility change may resume it sooner.
    void resumeAfterFirstFrame();
    void pause();
    bool paused() const { return _paused; }

  private:
    static void _pauseCb(void* data, Evas_Object* obj, void* eventInfo);
    static void _resumeCb(void* data, Evas_Object* obj, void* eventInfo);
    static void _winDelCb(void* data, Evas* evas, Evas_Object* obj, void* eventInfo);
    static void _firstFrameCb(void* data, Evas* evas, void* eventInfo);
    static void _resumeJobCb(void* data);
    void _stopWaitingForFirstFrame();

    Hook _onPause;
    Hook _onResume;
    Evas_Object* _win = nullptr;
    bool _paused = true;
    bool _waitingForFirstFrame = false;
    Ecore_Job* _resumeJob = nullptr;
};

}  // namespace ostra
