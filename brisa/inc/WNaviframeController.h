#ifndef BRISA_WNAVIFRAME_CONTROLLER_H
#define BRISA_WNAVIFRAME_CONTROLLER_H

#include <Elementary.h>

#include "WViewController.h"

namespace brisa {

class WContentViewController;

// The page stack (an elm_naviframe). Pushed controllers belong to the stack.
// The back key pops the top page; on the bottom page it lowers the window.
class WNaviframeController : public WViewController {
  public:
    WNaviframeController();
    ~WNaviframeController() override;

    const char* getClassName() const override;

    // Creates the controller's view and pushes it; false (and the controller
    // deleted) when the view cannot be built.
    bool push(WContentViewController* vc, const char* name = nullptr, void* viewParam = nullptr);
    bool isTopContentViewController(const WContentViewController* vc) const;
    WContentViewController* getTopContentViewController() const;
    // Removes the page; the one below becomes top.
    void pop(WContentViewController* vc);
    int getItemCount() const;

  protected:
    Evas_Object* onCreateView(Evas_Object* parent, void* viewParam) override;

  private:
    static Eina_Bool _popCb(void* data, Elm_Object_Item* item);
    static void _transitionFinishedCb(void* data, Evas_Object* obj, void* eventInfo);
    static void _backCb(void* data, Evas_Object* obj, void* eventInfo);
    void _notifyTop();

    WContentViewController* _lastTop = nullptr;
};

}  // namespace brisa

#endif
