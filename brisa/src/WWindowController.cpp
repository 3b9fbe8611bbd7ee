#include "WWindowController.h"

#include <ostra/dlog.h>

#include "WViewController.h"

namespace brisa {

namespace {

constexpr int kScreenSize = 360;

}  // namespace

WWindowController::WWindowController(const char* name, Elm_Win_Type winType)
    : _name(name ? name : "") {
    _win = elm_win_add(nullptr, _name.c_str(), winType);
    if (!_win) {
        dlog_print(DLOG_ERROR, "BRISA", "elm_win_add(%s) failed", _name.c_str());
        return;
    }
    elm_win_title_set(_win, _name.c_str());
    elm_win_autodel_set(_win, EINA_FALSE);
    evas_object_resize(_win, kScreenSize, kScreenSize);
    elm_win_size_base_set(_win, kScreenSize, kScreenSize);

    Evas_Object* bg = elm_bg_add(_win);
    elm_bg_color_set(bg, 0, 0, 0);
    evas_object_size_hint_weight_set(bg, EVAS_HINT_EXPAND, EVAS_HINT_EXPAND);
    elm_win_resize_object_add(_win, bg);
    evas_object_show(bg);

    _conform = elm_conformant_add(_win);
    evas_object_size_hint_weight_set(_conform, EVAS_HINT_EXPAND, EVAS_HINT_EXPAND);
    elm_win_resize_object_add(_win, _conform);
    evas_object_show(_conform);
    _circleSurface = eext_circle_surface_conformant_add(_conform);
}

WWindowController::~WWindowController() {
    if (_baseVc && _baseVc->getEvasObj())
        evas_object_event_callback_del_full(_baseVc->getEvasObj(), EVAS_CALLBACK_DEL, _baseDelCb,
                                            this);
    if (_win)
        evas_object_del(_win);
    eext_circle_surface_del(_circleSurface);
}

bool WWindowController::attachBaseViewController(WViewController* vc) {
    if (!vc || !_conform) {
        dlog_print(DLOG_ERROR, "BRISA", "attachBaseViewController: %s",
                   vc ? "no window" : "null controller");
        return false;
    }
    if (!vc->create(_conform, nullptr)) {
        vc->destroy();
        return false;
    }
    if (_baseVc && _baseVc->getEvasObj()) {
        evas_object_event_callback_del_full(_baseVc->getEvasObj(), EVAS_CALLBACK_DEL, _baseDelCb,
                                            this);
        _baseVc->destroy();
    }
    _baseVc = vc;
    evas_object_event_callback_add(vc->getEvasObj(), EVAS_CALLBACK_DEL, _baseDelCb, this);
    elm_object_content_set(_conform, vc->getEvasObj());
    return true;
}

void WWindowController::_baseDelCb(void* data, Evas*, Evas_Object*, void*) {
    static_cast<WWindowController*>(data)->_baseVc = nullptr;
}

}  // namespace brisa
