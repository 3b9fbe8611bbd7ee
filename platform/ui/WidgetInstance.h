// One widget instance: its window, its tag and its pause state, which
// follows both the window (hidden or minimised) and the home screen's word.
#pragma once

#include <Evas.h>

#include "ostra/widget_app.h"

struct _widget_class {
    widget_instance_lifecycle_callback_s callbacks;
    void* userData;
};

namespace ostra {

class WidgetInstance {
  public:
    WidgetInstance(widget_context_h handle, widget_class_h widgetClass, Evas_Object* win);
    ~WidgetInstance();
    WidgetInstance(const WidgetInstance&) = delete;
    WidgetInstance& operator=(const WidgetInstance&) = delete;

    // The class's create callback; false when it failed.
    bool create(int w, int h);
    void destroy(widget_app_destroy_type_e reason);
    void update(bool force);
    void setHiddenByHome(bool hidden);
    bool paused() const { return _paused; }

    Evas_Object* window() const { return _win; }
    void* tag = nullptr;

  private:
    void _setHiddenByWindow(bool hidden);
    void _follow();
    static void _hiddenCb(void* data, Evas_Object* obj, void* eventInfo);
    static void _shownCb(void* data, Evas_Object* obj, void* eventInfo);
    static void _hideEventCb(void* data, Evas* evas, Evas_Object* obj, void* eventInfo);
    static void _showEventCb(void* data, Evas* evas, Evas_Object* obj, void* eventInfo);
    static void _resizeEventCb(void* data, Evas* evas, Evas_Object* obj, void* eventInfo);
    static void _delEventCb(void* data, Evas* evas, Evas_Object* obj, void* eventInfo);

    widget_context_h _handle;
    widget_class_h _class;
    Evas_Object* _win;
    bool _created = false;
    bool _hiddenByHome = false;
    bool _hiddenByWindow = true;
    bool _paused = true;
};

}  // namespace ostra

struct _widget_context {
    ostra::WidgetInstance* instance;
};
