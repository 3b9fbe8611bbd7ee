#include "WidgetInstance.h"

#include <Elementary.h>

#include "PlatformLog.h"

namespace ostra {

WidgetInstance::WidgetInstance(widget_context_h handle, widget_class_h widgetClass,
                               Evas_Object* win)
    : _handle(handle), _class(widgetClass), _win(win) {
    _follow();
}

WidgetInstance::~WidgetInstance() {
    if (!_win) {
        return;
    }
    evas_object_smart_callback_del_full(_win, "iconified", _hiddenCb, this);
    evas_object_smart_callback_del_full(_win, "withdrawn", _hiddenCb, this);
    evas_object_smart_callback_del_full(_win, "normal", _shownCb, this);
    evas_object_event_callback_del_full(_win, EVAS_CALLBACK_HIDE, _hideEventCb, this);
    evas_object_event_callback_del_full(_win, EVAS_CALLBACK_SHOW, _showEventCb, this);
    evas_object_event_callback_del_full(_win, EVAS_CALLBACK_RESIZE, _resizeEventCb, this);
    evas_object_event_callback_del_full(_win, EVAS_CALLBACK_DEL, _delEventCb, this);
    evas_object_del(_win);
}

void WidgetInstance::_follow() {
    evas_object_smart_callback_add(_win, "iconified", _hiddenCb, this);
    evas_object_smart_callback_add(_win, "withdrawn", _hiddenCb, this);
    evas_object_smart_callback_add(_win, "normal", _shownCb, this);
    evas_object_event_callback_add(_win, EVAS_CALLBACK_HIDE, _hideEventCb, this);
    evas_object_event_callback_add(_win, EVAS_CALLBACK_SHOW, _showEventCb, this);
    evas_object_event_callback_add(_win, EVAS_CALLBACK_RESIZE, _resizeEventCb, this);
    evas_object_event_callback_add(_win, EVAS_CALLBACK_DEL, _delEventCb, this);
}

bool WidgetInstance::create(int w, int h) {
    const auto& cb = _class->callbacks;
    int ret = cb.create(_handle, nullptr, w, h, _class->userData);
    if (ret != WIDGET_ERROR_NONE) {
        OSTRA_LOGE("widget instance create failed: %d", ret);
        return false;
    }
    _created = true;
    return true;
}

void WidgetInstance::destroy(widget_app_destroy_type_e reason) {
    if (!_created) {
        return;
    }
    // A destroyed instance is not paused or resumed any more.
    setHiddenByHome(true);
    _created = false;
    if (_class->callbacks.destroy) {
        _class->callbacks.destroy(_handle, reason, nullptr, _class->userData);
    }
}

void WidgetInstance::update(bool force) {
    if (_created && _class->callbacks.update) {
        _class->callbacks.update(_handle, nullptr, force ? 1 : 0, _class->userData);
    }
}

void WidgetInstance::setHiddenByHome(bool hidden) {
    _hiddenByHome = hidden;
    _setHiddenByWindow(_hiddenByWindow);
}

void WidgetInstance::_setHiddenByWindow(bool hidden) {
    _hiddenByWindow = hidden;
    const bool pause = _hiddenByHome || _hiddenByWindow;
    if (pause == _paused || !_created) {
        return;
    }
    _paused = pause;
    const auto& cb = _class->callbacks;
    OSTRA_LOGI("widget instance %s", pause ? "paused" : "resumed");
    if (pause && cb.pause) {
        cb.pause(_handle, _class->userData);
    } else if (!pause && cb.resume) {
        cb.resume(_handle, _class->userData);
    }
}

void WidgetInstance::_hiddenCb(void* data, Evas_Object*, void*) {
    static_cast<WidgetInstance*>(data)->_setHiddenByWindow(true);
}

void WidgetInstance::_shownCb(void* data, Evas_Object* obj, void*) {
    static_cast<WidgetInstance*>(data)->_setHiddenByWindow(!evas_object_visible_get(obj));
}

void WidgetInstance::_hideEventCb(void* data, Evas*, Evas_Object*, void*) {
    static_cast<WidgetInstance*>(data)->_setHiddenByWindow(true);
}

void WidgetInstance::_showEventCb(void* data, Evas*, Evas_Object* obj, void*) {
    // Shown but minimised still hides the widget from the user.
    static_cast<WidgetInstance*>(data)->_setHiddenByWindow(elm_win_iconified_get(obj));
}

void WidgetInstance::_resizeEventCb(void* data, Evas*, Evas_Object* obj, void*) {
    auto* self = static_cast<WidgetInstance*>(data);
    if (!self->_created || !self->_class->callbacks.resize) {
        return;
    }
    int w = 0, h = 0;
    evas_object_geometry_get(obj, nullptr, nullptr, &w, &h);
    self->_class->callbacks.resize(self->_handle, w, h, self->_class->userData);
}

void WidgetInstance::_delEventCb(void* data, Evas*, Evas_Object*, void*) {
    // The widget may delete its own window when it is destroyed.
    static_cast<WidgetInstance*>(data)->_win = nullptr;
}

}  // namespace ostra
