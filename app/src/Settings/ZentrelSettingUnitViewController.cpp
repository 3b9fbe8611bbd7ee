#include "ZentrelSettingUnitViewController.h"

#include <ZentrelLog.h>
#include <ostra/efl_extension.h>

#include "ZentrelSettingItem.h"
#include "ZentrelSettingUnitItem.h"

ZentrelSettingUnitViewController::ZentrelSettingUnitViewController(
    const char* title, std::vector<const char*> unitTitles)
    : _title(title), _unitTitles(std::move(unitTitles)) {}

Evas_Object* ZentrelSettingUnitViewController::onCreateView(Evas_Object* parent, void*) {
    _genlist = ZentrelSettingItem::createList(parent, &_circleGenlist);
    // The group holds the chosen value; the rows' radios join it as they appear.
    _radioGroup = elm_radio_add(_genlist);
    elm_radio_state_value_set(_radioGroup, 0);
    elm_radio_value_set(_radioGroup, getStoredUnit() + 1);
    evas_object_hide(_radioGroup);

    auto* title = new ZentrelSettingItem(TITLE, _title);
    title->append(_genlist);
    Elm_Object_Item* chosen = nullptr;
    for (size_t i = 0; i < _unitTitles.size(); ++i) {
        const int index = static_cast<int>(i) + 1;
        auto* row = new ZentrelSettingUnitItem(_unitTitles[i], index, _radioGroup);
        row->setSelectedCb([this](int picked) { _onUnitSelected(picked); });
        Elm_Object_Item* item = row->append(_genlist);
        if (!item) {
            ZLOGE("unit row %d is nullptr", index);
            continue;
        }
        _unitItems.push_back(row);
        if (index == getStoredUnit() + 1) {
            chosen = item;
        }
    }
    ZentrelSettingItem::appendPadding(_genlist);
    if (chosen) {
        elm_genlist_item_show(chosen, ELM_GENLIST_ITEM_SCROLLTO_MIDDLE);
    }
    return _genlist;
}

void ZentrelSettingUnitViewController::onPushed(Elm_Object_Item*) {
    ZLOGI("%s shown", getClassName());
    eext_rotary_object_event_activated_set(_circleGenlist, EINA_TRUE);
}

void ZentrelSettingUnitViewController::onBecomeTop() {
    eext_rotary_object_event_activated_set(_circleGenlist, EINA_TRUE);
}

bool ZentrelSettingUnitViewController::onPop() {
    brisa::WUiTimer::destroy(_popTimer);
    return true;
}

void ZentrelSettingUnitViewController::_onUnitSelected(int index) {
    ZLOGI("unit %d picked", index - 1);
    saveUnit(index - 1);
    elm_radio_value_set(_radioGroup, index);
    for (ZentrelSettingUnitItem* row : _unitItems) {
        if (row->getIndex() == index && row->getElmObjectItem()) {
            elm_genlist_item_bring_in(row->getElmObjectItem(), ELM_GENLIST_ITEM_SCROLLTO_MIDDLE);
        }
    }
    // A second pick restarts the delay: the picker closes once, after the last pick.
    brisa::WUiTimer::destroy(_popTimer);
    _popTimer = brisa::WUiTimer::addTimer(
        POP_DELAY,
        [this](void*) {
            popOut();
            return false;
        },
        nullptr, _genlist);
}
