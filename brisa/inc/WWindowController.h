#ifndef BRISA_WWINDOW_CONTROLLER_H
#define BRISA_WWINDOW_CONTROLLER_H

#include <Elementary.h>
#include <ostra/efl_extension.h>

#include <string>

namespace brisa {

class WViewController;

// The main window: a 360x360 window with a black background and a
// conformant; the base controller's view fills the conformant.
class WWindowController {
  public:
    WWindowController(const char* name, Elm_Win_Type winType);
    virtual ~WWindowController();

    // Builds the controller's view in the conformant; the view then belongs
    // to the window.
    bool attachBaseViewController(WViewController* vc);
    WViewController* getBaseViewController() const { return _baseVc; }

    Evas_Object* getEvasObj() const { return _win; }
    Evas_Object* getConformantEvasObj() const { return _conform; }
    // The round-screen surface of the conformant, for circle widgets.
    Eext_Circle_Surface* getCircleSurface() const { return _circleSurface; }
    const std::string& getName() const { return _name; }

    WWindowController(const WWindowController&) = delete;
    WWindowController& operator=(const WWindowController&) = delete;

  private:
    static void _baseDelCb(void* data, Evas* evas, Evas_Object* obj, void* eventInfo);

    std::string _name;
    Evas_Object* _win = nullptr;
    Evas_Object* _conform = nullptr;
    Eext_Circle_Surface* _circleSurface = nullptr;
    WViewController* _baseVc = nullptr;
};

}  // namespace brisa

#endif
