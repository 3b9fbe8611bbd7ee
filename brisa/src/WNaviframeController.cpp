#include "WNaviframeController.h"

#include <ostra/dlog.h>
#include <ostra/efl_extension.h>

#include "WContentViewController.h"

namespace brisa {

WNaviframeController::WNaviframeController() = default;

WNaviframeController::~WNaviframeController() = default;

const char* WNaviframeController::getClassName() const {
    return "WNaviframeController";
}

Evas_Object* WNaviframeController::onCreateView(Evas_Object* parent, void*) {
    Evas_Object* navi = elm_naviframe_add(parent);
    if (!navi)
        return nullptr;
    elm_naviframe_prev_btn_auto_pushed_set(navi, EINA_FALSE);
    evas_object_size_hint_weight_set(navi, EVAS_HINT_EXPAND, EVAS_HINT_EXPAND);
    evas_object_size_hint_align_set(navi, EVAS_HINT_FILL, EVAS_HINT_FILL);
    evas_object_smart_callback_add(navi, "transition,finished", _transitionFinishedCb, this);
    eext_object_event_callback_add(navi, EEXT_CALLBACK_BACK, _backCb, this);
    evas_object_show(navi);
    return navi;
}

bool WNaviframeController::push(WContentViewController* vc, const char* name, void* viewParam) {
    Evas_Object* navi = getEvasObj();
    if (!vc || !navi) {
        dlog_print(DLOG_ERROR, "BRISA", "push: %s",
                   vc ? "naviframe not created" : "null controller");
        if (vc)
            vc->destroy();
        return false;
    }
    if (name)
        vc->setName(name);
    if (!vc->create(navi, viewParam)) {
        vc->destroy();
        return false;
    }
    vc->_naviframe = this;
    Elm_Object_Item* item = vc->onPushToNaviframe(navi);
    if (!item) {
        dlog_print(DLOG_ERROR, "BRISA", "%s: naviframe refused the page", vc->getClassName());
        vc->destroy();
        return false;
    }
    vc->_naviItem = item;
    elm_object_item_data_set(item, vc);
    elm_naviframe_item_pop_cb_set(item, _popCb, vc);
    vc->onSetContainerProperties(item);
    vc->onPushed(item);
    _lastTop = vc;
    return true;
}

bool WNaviframeController::isTopContentViewController(const WContentViewController* vc) const {
    return vc && getTopContentViewController() == vc;
}

WContentViewController* WNaviframeController::getTopContentViewController() const {
    if (!getEvasObj())
        return nullptr;
    Elm_Object_Item* top = elm_naviframe_top_item_get(getEvasObj());
    return top ? static_cast<WContentViewController*>(elm_object_item_data_get(top)) : nullptr;
}

void WNaviframeController::pop(WContentViewController* vc) {
    if (!vc || vc->_naviframe != this || !vc->_naviItem)
        return;
    if (isTopContentViewController(vc)) {
        elm_naviframe_item_pop(getEvasObj());
        return;
    }
    // Not on top: nothing moves on screen, the page just goes.
    elm_object_item_del(vc->_naviItem);
}

int WNaviframeController::getItemCount() const {
    if (!getEvasObj())
        return 0;
    Eina_List* items = elm_naviframe_items_get(getEvasObj());
    int count = static_cast<int>(eina_list_count(items));
    eina_list_free(items);
    return count;
}

Eina_Bool WNaviframeController::_popCb(void* data, Elm_Object_Item*) {
    auto* vc = static_cast<WContentViewController*>(data);
    if (!vc->onPop())
        return EINA_FALSE;
    if (vc->_naviframe && vc->_naviframe->_lastTop == vc)
        vc->_naviframe->_lastTop = nullptr;
    vc->_naviItem = nullptr;
    return EINA_TRUE;
}

void WNaviframeController::_notifyTop() {
    WContentViewController* top = getTopContentViewController();
    if (top && top != _lastTop) {
        _lastTop = top;
        top->onBecomeTop();
    }
}

void WNaviframeController::_transitionFinishedCb(void* data, Evas_Object*, void*) {
    static_cast<WNaviframeController*>(data)->_notifyTop();
}

void WNaviframeController::_backCb(void* data, Evas_Object* navi, void*) {
    auto* self = static_cast<WNaviframeController*>(data);
    if (self->getItemCount() <= 1) {
        elm_win_lower(elm_object_top_widget_get(navi));
        return;
    }
    WContentViewController* top = self->getTopContentViewController();
    if (top)
        self->pop(top);
}

}  // namespace brisa
