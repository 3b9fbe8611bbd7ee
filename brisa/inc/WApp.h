#ifndef BRISA_WAPP_H
#define BRISA_WAPP_H

#include <ostra/app.h>

#include <memory>

namespace brisa {

class WWindowController;

// The application object: one per process, driven by the platform's UI
// application life cycle.
class WApp {
  public:
    WApp();
    virtual ~WApp();

    // Runs the main loop; returns the platform's result.
    int start(int argc, char* argv[]);
    // The window controller belongs to the application from now on.
    void attachWindowController(WWindowController* win);
    WWindowController* getWindowController() const { return _win.get(); }

    static WApp* getInstance();

  protected:
    virtual void onStart(int argc, char* argv[]);
    virtual bool onCreate();
    virtual void onTerminate();
    virtual void onPause();
    virtual void onResume();
    virtual void onAppControl(app_control_h request, bool firstLaunch);

  private:
    static bool _createCb(void* data);
    static void _terminateCb(void* data);
    static void _pauseCb(void* data);
    static void _resumeCb(void* data);
    static void _appControlCb(app_control_h request, void* data);

    std::unique_ptr<WWindowController> _win;
    bool _firstLaunch = true;
};

}  // namespace brisa

#endif
