// The help list: altimeter, barometer and pressure alerts; a row opens its page.
#pragma once

#include <WContentViewController.h>

class ZentrelHelpListController : public brisa::WContentViewController {
  public:
    ZentrelHelpListController() = default;
    ~ZentrelHelpListController() override = default;

    const char* getClassName() const override { return "ZentrelHelpListController"; }
    Evas_Object* getGenlist() const { return _genlist; }

  protected:
    Evas_Object* onCreateView(Evas_Object* parent, void* viewParam) override;
    void onPushed(Elm_Object_Item* naviItem) override;
    void onBecomeTop() override;

  private:
    Evas_Object* _genlist = nullptr;
    Evas_Object* _circleList = nullptr;
};
