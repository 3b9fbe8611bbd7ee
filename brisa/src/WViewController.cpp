#include "WViewController.h"

#include <ostra/dlog.h>

#include "WApp.h"

namespace brisa {

WViewController::WViewController() = default;

WViewController::~WViewController() {
    // Deleted before its view was built, or by the owner of an uncreated controller.
    if (_evasObj && !_destroying) {
        evas_object_event_callback_del_full(_evasObj, EVAS_CALLBACK_DEL, _objDelCb, this);
        evas_object_del(_evasObj);
    }
    destroyPopup();
}

const char* WViewController::getClassName() const {
    return "WViewController";
}

bool WViewController::create(Evas_Object* parent, void* viewParam) {
    if (_evasObj) {
        dlog_print(DLOG_ERROR, "BRISA", "%s: view already created", getClassName());
        return false;
    }
    if (!onCreate(viewParam))
        return false;
    _evasObj = onCreateView(parent, viewParam);
    if (!_evasObj) {
        dlog_print(DLOG_ERROR, "BRISA", "%s: onCreateView gave no object", getClassName());
        return false;
    }
    evas_object_event_callback_add(_evasObj, EVAS_CALLBACK_DEL, _objDelCb, this);
    onCreated();
    return true;
}

void WViewController::destroy() {
    if (!_evasObj) {
        delete this;
        return;
    }
    evas_object_del(_evasObj);
}

WWindowController* WViewController::getWindowController() const {
    WApp* app = WApp::getInstance();
    return app ? app->getWindowController() : nullptr;
}

void WViewController::attachPopup(Evas_Object* popup) {
    destroyPopup();
    _popup = popup;
    if (_popup)
        evas_object_event_callback_add(_popup, EVAS_CALLBACK_DEL, _popupDelCb, this);
}

void WViewController::destroyPopup() {
    if (!_popup)
        return;
    Evas_Object* popup = _popup;
    _popup = nullptr;
    evas_object_event_callback_del_full(popup, EVAS_CALLBACK_DEL, _popupDelCb, this);
    evas_object_del(popup);
}

bool WViewController::onCreate(void*) {
    return true;
}

void WViewController::onCreated() {}

void WViewController::onDestroy() {}

void WViewController::_objDelCb(void* data, Evas*, Evas_Object*, void*) {
    auto* self = static_cast<WViewController*>(data);
    self->_destroying = true;
    self->onDestroy();
    delete self;
}

void WViewController::_popupDelCb(void* data, Evas*, Evas_Object*, void*) {
    static_cast<WViewController*>(data)->_popup = nullptr;
}

}  // namespace brisa
