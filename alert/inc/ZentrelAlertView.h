// The alert's screen: title, time, body text in a round scroller and the
// close button, with the screen reader's reading order.
#pragma once

#include <Elementary.h>
#include <ostra/efl_extension.h>

#include <string>

#include "ZentrelAlert.h"

class ZentrelAlertView {
  public:
    // Asks the platform to keep the screen for the alert until destroyed.
    explicit ZentrelAlertView(appdata* ad);
    virtual ~ZentrelAlertView();
    ZentrelAlertView(const ZentrelAlertView&) = delete;
    ZentrelAlertView& operator=(const ZentrelAlertView&) = delete;

    // Builds the view on `parent`; null when `parent` is null.
    Evas_Object* create(Evas_Object* parent);

  private:
    void _addGuideText();
    void _setAccessibility();
    static void _exitIconClickedCb(void* data, Evas_Object* obj, const char* emission,
                                   const char* source);
    static Eina_Bool _exitIconActionCb(void* data, Evas_Object* obj, Elm_Access_Action_Info* info);

    Evas_Object* _layout = nullptr;
    appdata* _ad;
    Eext_Circle_Surface* _surface = nullptr;
    std::string _timeText;
};
