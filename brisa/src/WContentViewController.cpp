#include "WContentViewController.h"

#include <ostra/dlog.h>

#include "WNaviframeController.h"

namespace brisa {

WContentViewController::WContentViewController() = default;

WContentViewController::~WContentViewController() = default;

void WContentViewController::onSetContainerProperties(Elm_Object_Item* naviItem) {
    // Pages draw their own headers on the round screen.
    elm_naviframe_item_title_enabled_set(naviItem, EINA_FALSE, EINA_FALSE);
}

Elm_Object_Item* WContentViewController::onPushToNaviframe(Evas_Object* naviframe) {
    return elm_naviframe_item_push(naviframe, _title.empty() ? nullptr : _title.c_str(), nullptr,
                                   nullptr, getEvasObj(), nullptr);
}

void WContentViewController::onPushed(Elm_Object_Item*) {}

bool WContentViewController::onPop() {
    return true;
}

void WContentViewController::onBecomeTop() {}

void WContentViewController::onSetAsPageContent(Evas_Object*) {}

void WContentViewController::onSetMoreButton(Evas_Object*, Elm_Object_Item*) {}

void WContentViewController::popOut() {
    if (!_naviframe || !_naviItem) {
        dlog_print(DLOG_ERROR, "BRISA", "%s: not in a naviframe", getClassName());
        return;
    }
    _naviframe->pop(this);
}

void WContentViewController::setTitle(const char* title) {
    _title = title ? title : "";
    if (_naviItem)
        elm_object_item_part_text_set(_naviItem, "default", _title.c_str());
}

}  // namespace brisa
