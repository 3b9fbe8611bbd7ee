#ifndef BRISA_WCONTENT_VIEW_CONTROLLER_H
#define BRISA_WCONTENT_VIEW_CONTROLLER_H

#include <Elementary.h>

#include "WViewController.h"

namespace brisa {

class WNaviframeController;

// A view that lives in a naviframe as one page of the stack.
class WContentViewController : public WViewController {
  public:
    WContentViewController();
    ~WContentViewController() override;

    // Called by the naviframe: properties of the new item (title shown, ...).
    virtual void onSetContainerProperties(Elm_Object_Item* naviItem);
    // Pushes the view into the naviframe object; returns the new item.
    virtual Elm_Object_Item* onPushToNaviframe(Evas_Object* naviframe);
    virtual void onPushed(Elm_Object_Item* naviItem);
    // Returns false to keep the page when the user goes back.
    virtual bool onPop();
    // The page is on top again after the pages above it went.
    virtual void onBecomeTop();
    virtual void onSetAsPageContent(Evas_Object* parent);
    virtual void onSetMoreButton(Evas_Object* naviframe, Elm_Object_Item* naviItem);

    WNaviframeController* getNaviframeController() const { return _naviframe; }
    Elm_Object_Item* getNaviItem() const { return _naviItem; }
    // Leaves the naviframe (with the transition when on top).
    void popOut();
    void setTitle(const char* title);
    const char* getTitle() const { return _title.c_str(); }

  private:
    friend class WNaviframeController;
    WNaviframeController* _naviframe = nullptr;
    Elm_Object_Item* _naviItem = nullptr;
    std::string _title;
};

}  // namespace brisa

#endif
