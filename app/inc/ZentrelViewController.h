// The protocol every page of the pager implements. A page reports to the page
// controller through viewSignal; the page controller drives the pages through
// the operations below, which do nothing unless a page needs them.
#pragma once

#include <Elementary.h>
#include <WNaviframeController.h>
#include <WSignal.h>
#include <WViewController.h>

#include <memory>
#include <string>

#include "ZentrelGraphItemList.h"

class ZentrelViewController : public brisa::WViewController {
  public:
    ZentrelViewController() = default;
    ~ZentrelViewController() override = default;

    brisa::WSignal<void(const std::string&, void*)> viewSignal;

    void setIndexItem(Elm_Object_Item* item) { _indexItem = item; }
    Elm_Object_Item* getIndexItem() const { return _indexItem; }
    void setNaviframeController(brisa::WNaviframeController* navi) { _navi = navi; }
    brisa::WNaviframeController* getNaviframeController() const { return _navi; }

    virtual void updateValue(double pressure, double altitude) {
        (void)pressure;
        (void)altitude;
    }
    virtual void updateIndicator(double value) { (void)value; }
    virtual void updateCalTimeLine(std::shared_ptr<ZentrelGraphItemList> list) { (void)list; }
    virtual void onBecomeTop() {}
    virtual void scrollEnd() {}
    virtual void setFocusScreenReader() {}
    virtual void onLaunchAnimationStart() {}
    virtual void onLaunchAnimationEnd() {}
    virtual void onBecomeTopPage() {}
    virtual void onBecomeHidePage() {}
    virtual void deleteGraph() {}
    virtual void initGraph() {}
    virtual void createGraph(std::shared_ptr<ZentrelGraphItemList> list) { (void)list; }
    virtual void addGraphItem(std::shared_ptr<ZentrelGraphItemList> list) { (void)list; }

  protected:
    Elm_Object_Item* _indexItem = nullptr;
    brisa::WNaviframeController* _navi = nullptr;
};
