#include "ZentrelSettingCalibrationViewController.h"

#include <WNaviframeController.h>
#include <WWindowController.h>
#include <ZentrelLog.h>
#include <ZentrelLogging.h>
#include <ZentrelStorageMgr.h>
#include <ostra/efl_extension.h>
#include <ostra/i18n.h>

#include <cmath>

#include "ZentrelSettingAltiViewController.h"
#include "ZentrelSettingCalibItem.h"
#include "ZentrelSettingSLPViewController.h"
#include "ZentrelUtil.h"

namespace {

// Rows take the list text colours of the theme table.
void recolourRow(void*, Evas_Object*, void* eventInfo) {
    auto* item = static_cast<Elm_Object_Item*>(eventInfo);
    Evas_Object* view = elm_object_item_track(item);
    if (!view) {
        return;
    }
    const char* pairs[][2] = {{"T022", "AT0233"}, {"T022P", "AT0233P"}, {"T022D", "AT0233D"}};
    for (const auto& pair : pairs) {
        int r = 0, g = 0, b = 0, a = 0;
        if (edje_color_class_get(pair[1], &r, &g, &b, &a, nullptr, nullptr, nullptr, nullptr,
                                 nullptr, nullptr, nullptr, nullptr)) {
            edje_object_color_class_set(view, pair[0], r, g, b, a, r, g, b, a, r, g, b, a);
        }
    }
    elm_object_item_untrack(item);
}

Elm_Object_Item* append(Evas_Object* genlist, ZentrelSettingCalibItem* row) {
    return row->appendTo(genlist);
}

}  // namespace

std::string ZentrelSettingCalibrationViewController::altitudeText() {
    ZentrelStorageMgr* storage = ZentrelStorageMgr::getInstance();
    const bool feet = storage->getSettingDistance() == 1;
    const int altitude = ZentrelSettingAltiViewController::currentAltitude();
    return ZentrelUtil::getNumberStringFromIcu(altitude) + " " +
           i18n_get_text(feet ? "WDS_ALTI_BODY_FT_M_FEET_UNIT_LC"
                              : "WDS_ALTI_BODY_M_M_METRES_UNIT_LC");
}

std::string ZentrelSettingCalibrationViewController::slpText() {
    const int unit = ZentrelStorageMgr::getInstance()->getSettingPressure();
    const double slp = ZentrelSettingSLPViewController::currentSlp();
    switch (unit) {
        case 1:
            return ZentrelUtil::getDoubleNumberStringFromIcu(slp, 2) + " " +
                   i18n_get_text("WDS_ALTI_BODY_IN_HG_M_UNIT_ABB");
        case 2:
            return ZentrelUtil::getNumberStringFromIcu(static_cast<int>(slp)) + " " +
                   i18n_get_text("WDS_ALTI_BODY_MM_HG_M_UNIT_ABB");
        default:
            return ZentrelUtil::getNumberStringFromIcu(static_cast<int>(slp)) + " " +
                   i18n_get_text("WDS_ALTI_BODY_HPA_ABB2");
    }
}

Evas_Object* ZentrelSettingCalibrationViewController::onCreateView(Evas_Object* parent, void*) {
    _genlist = elm_genlist_add(parent);
    elm_genlist_mode_set(_genlist, ELM_LIST_COMPRESS);
    elm_genlist_homogeneous_set(_genlist, EINA_FALSE);
    evas_object_smart_callback_add(_genlist, "realized", recolourRow, nullptr);
    brisa::WWindowController* window = getWindowController();
    _circle_genlist =
        eext_circle_object_genlist_add(_genlist, window ? window->getCircleSurface() : nullptr);
    eext_circle_object_genlist_scroller_policy_set(_circle_genlist, ELM_SCROLLER_POLICY_OFF,
                                                   ELM_SCROLLER_POLICY_OFF);
    eext_rotary_object_event_activated_set(_circle_genlist, EINA_TRUE);

    const bool manual = ZentrelStorageMgr::getInstance()->getSettingManualMode() == 1;
    append(_genlist, new ZentrelSettingCalibItem(ZentrelSettingCalibItem::LIST_TITLE,
                                                 "WDS_ALTI_MBODY_MANUAL_CALIBRATION_ABB"));
    _calibItemSwitch = new ZentrelSettingCalibItem(ZentrelSettingCalibItem::LIST_SWITCH, 1,
                                                   "WDS_ALTI_MBODY_MANUAL_CALIBRATION_ABB");
    append(_genlist, _calibItemSwitch);
    _calibItemAlti = new ZentrelSettingCalibItem(ZentrelSettingCalibItem::LIST_ALTITUDE,
                                                 "WDS_ALTI_HEADER_ALTITUDE_ABB2", altitudeText());
    _calibItemAlti->setSelectedCb([this]() { _pushAltiSetter(); });
    Elm_Object_Item* altiItem = append(_genlist, _calibItemAlti);
    _calibItemSLP = new ZentrelSettingCalibItem(
        ZentrelSettingCalibItem::LIST_SLP, "WDS_ALTI_HEADER_SEA_LEVEL_PRESSURE_ABB", slpText());
    _calibItemSLP->setSelectedCb([this]() { _pushSlpSetter(); });
    Elm_Object_Item* slpItem = append(_genlist, _calibItemSLP);
    _calibItemSwitch->setValueItems(altiItem, slpItem);
    if (!manual) {
        elm_object_item_disabled_set(altiItem, EINA_TRUE);
        elm_object_item_disabled_set(slpItem, EINA_TRUE);
    }
    // Bottom margin, so the last row can reach the middle of the circle.
    Elm_Genlist_Item_Class* padding = elm_genlist_item_class_new();
    padding->item_style = "padding";
    elm_genlist_item_append(_genlist, padding, nullptr, nullptr, ELM_GENLIST_ITEM_NONE, nullptr,
                            nullptr);
    elm_genlist_item_class_free(padding);
    return _genlist;
}

void ZentrelSettingCalibrationViewController::onCreated() {
    if (_genlist) {
        elm_access_info_set(_genlist, ELM_ACCESS_INFO,
                            i18n_get_text("WDS_ALTI_MBODY_MANUAL_CALIBRATION_ABB"));
    }
}

void ZentrelSettingCalibrationViewController::onPushed(Elm_Object_Item* naviItem) {
    elm_naviframe_item_title_enabled_set(naviItem, EINA_FALSE, EINA_FALSE);
}

void ZentrelSettingCalibrationViewController::onBecomeTop() {
    if (_circle_genlist) {
        eext_rotary_object_event_activated_set(_circle_genlist, EINA_TRUE);
    }
    if (!_calibItemAlti) {
        ZLOGE("_calibItemAlti is null!!!!");
        return;
    }
    _calibItemAlti->updateTitle(altitudeText());
    elm_genlist_item_update(_calibItemAlti->getElmObjectItem());
    if (_calibItemSLP) {
        _calibItemSLP->updateTitle(slpText());
        elm_genlist_item_update(_calibItemSLP->getElmObjectItem());
    }
}

void ZentrelSettingCalibrationViewController::_pushAltiSetter() {
    ZentrelLogging::getInstance()->sendKorvaneLog(SET_MANUAL_INFO, "Altitude", nullptr);
    if (getNaviframeController()) {
        getNaviframeController()->push(new ZentrelSettingAltiViewController(), "alti setter");
    }
}

void ZentrelSettingCalibrationViewController::_pushSlpSetter() {
    ZentrelLogging::getInstance()->sendKorvaneLog(SET_MANUAL_INFO, "Sea_level_pressure", nullptr);
    if (getNaviframeController()) {
        getNaviframeController()->push(new ZentrelSettingSLPViewController(), "slp setter");
    }
}
