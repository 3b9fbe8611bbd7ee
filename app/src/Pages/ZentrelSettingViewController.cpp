#include "ZentrelSettingViewController.h"

#include <ZentrelLog.h>
#include <ZentrelLogging.h>
#include <ZentrelStorageMgr.h>
#include <ostra/app_preference.h>
#include <ostra/feedback.h>
#include <ostra/i18n.h>

#include <cstring>
#include <string>

#include "ZentrelBroadCaster.h"
#include "ZentrelHelpListController.h"
#include "ZentrelSettingView.h"
#include "ZentrelUtil.h"

namespace {

constexpr const char* kRestoreKey = "ZENTREL_SETTING_RESTORE_COMPLETED";
constexpr const char* kRowSource = "setting_content_manual_layout";
constexpr const char* kAccessParts[] = {"rect_acc", "setting_title", "setting_edit_event_acc",
                                        "setting_help_event"};

struct SummaryRow {
    const char* part;
    const char* name;
};

constexpr SummaryRow kSummaryRows[] = {
    {"setting_content_auto_refresh", "WDS_ALTI_MBODY_AUTO_REFRESH_ABB"},
    {"setting_content_manual", "WDS_ALTI_BODY_MANUAL_CALIBRATION_ABB"},
    {"setting_content_alerts", "WDS_ALTI_BODY_PRESSURE_ALERTS_ABB"},
};

std::string unitText() {
    ZentrelStorageMgr* storage = ZentrelStorageMgr::getInstance();
    const int pressure = storage->getSettingPressure();
    return std::string(i18n_get_text(storage->getSettingDistance() == 0
                                         ? "WDS_ALTI_SBODY_M_M_METRES_UNIT_LC"
                                         : "WDS_ALTI_SBODY_FT_M_FEET_UNIT_LC")) +
           ", " +
           i18n_get_text(pressure == 0   ? "WDS_ALTI_BODY_HPA_ABB2"
                         : pressure == 1 ? "WDS_ALTI_BODY_IN_HG_M_UNIT_ABB"
                                         : "WDS_ALTI_BODY_MM_HG_M_UNIT_ABB");
}

}  // namespace

ZentrelSettingViewController::~ZentrelSettingViewController() {
    if (_restoreCbSet) {
        preference_unset_changed_cb(kRestoreKey);
    }
}

Evas_Object* ZentrelSettingViewController::onCreateView(Evas_Object* parent, void*) {
    _layout = elm_layout_add(parent);
    if (!elm_layout_file_set(_layout, ZentrelUtil::getAppEdjFilePath(), "setting_view")) {
        ZLOGE("setting_view is missing in %s", ZentrelUtil::getAppEdjFilePath());
        evas_object_del(_layout);
        _layout = nullptr;
        return nullptr;
    }
    // Right-to-left scripts other than Hebrew read the help mark mirrored.
    const bool rtl = ZentrelUtil::isReverseLanguage() && !ZentrelUtil::isHebrewLanguage();
    elm_layout_signal_emit(_layout, rtl ? "setting,help,img,RTL" : "setting,help,img,normal",
                           "setting_view_controller");
    elm_layout_signal_callback_add(_layout, "mouse,clicked,1", "setting_edit_event", _editClickedCb,
                                   this);
    elm_layout_signal_callback_add(_layout, "mouse,clicked,1", "setting_help_event", _helpClickedCb,
                                   this);
    _buildRows();
    if (preference_set_changed_cb(kRestoreKey, _restoreCompletedCb, this) ==
        PREFERENCE_ERROR_NONE) {
        _restoreCbSet = true;
    } else {
        ZLOGE("preference_set_changed_cb(%s) failed", kRestoreKey);
    }
    // Tied to the layout: the listener goes with the page.
    ZentrelBroadCaster::getBroadCaster().addListener(
        [this](const std::string& signal, void*) {
            if (signal == "language,changed") {
                _buildRows();
            }
        },
        _layout);
    return _layout;
}

Evas_Object* ZentrelSettingViewController::_createRow(const char* part, const char* group) {
    Evas_Object* old = elm_object_part_content_unset(_layout, part);
    if (old) {
        evas_object_del(old);
    }
    Evas_Object* row = elm_layout_add(_layout);
    if (!elm_layout_file_set(row, ZentrelUtil::getAppEdjFilePath(), group)) {
        ZLOGE("%s is missing in %s", group, ZentrelUtil::getAppEdjFilePath());
        evas_object_del(row);
        return nullptr;
    }
    elm_object_part_content_set(_layout, part, row);
    return row;
}

void ZentrelSettingViewController::_buildRows() {
    ++_rebuildCount;
    elm_object_part_text_set(_layout, "setting_title",
                             i18n_get_text("WDS_ALTI_HEADER_SETTINGS_ABB2"));
    for (const SummaryRow& summary : kSummaryRows) {
        Evas_Object* row = _createRow(summary.part, "setting_content_manual_layout");
        if (row) {
            elm_object_part_text_set(row, "type",
                                     (std::string(i18n_get_text(summary.name)) + ":").c_str());
        }
    }
    Evas_Object* unit = _createRow("setting_content_unit", "setting_content_unit_layout");
    if (unit) {
        elm_object_part_text_set(unit, "type", i18n_get_text("WDS_ALTI_BODY_UNIT_C_ABB"));
    }
    _updateUnitText();
    elm_object_part_text_set(_layout, "setting_edit",
                             (std::string(i18n_get_text("WDS_ALTI_OPT_EDIT")) + " >").c_str());
    _sendStates();
}

Evas_Object* ZentrelSettingViewController::getRow(const char* part) const {
    return _layout ? elm_object_part_content_get(_layout, part) : nullptr;
}

void ZentrelSettingViewController::_setRowState(const char* part, bool on) {
    Evas_Object* row = getRow(part);
    if (row) {
        elm_layout_signal_emit(row, on ? "set,on" : "set,off", kRowSource);
    }
}

bool ZentrelSettingViewController::isRowOn(const char* part) const {
    Evas_Object* row = getRow(part);
    if (!row) {
        return false;
    }
    Evas_Object* edje = elm_layout_edje_get(row);
    edje_object_message_signal_process(edje);
    const char* state = edje_object_part_state_get(edje, "state", nullptr);
    return state && !strcmp(state, "on");
}

void ZentrelSettingViewController::_sendStates() {
    ZentrelStorageMgr* storage = ZentrelStorageMgr::getInstance();
    _setRowState("setting_content_auto_refresh", storage->getAutoRefresh() == 1);
    _setRowState("setting_content_manual", storage->getSettingManualMode() == 1);
    _setRowState("setting_content_alerts", storage->getSettingAlert() != 0);
}

void ZentrelSettingViewController::_updateUnitText() {
    Evas_Object* unit = getRow("setting_content_unit");
    if (!unit) {
        return;
    }
    const std::string text = unitText();
    const char* shown = elm_object_part_text_get(unit, "value");
    if (!shown || text != shown) {
        elm_object_part_text_set(unit, "value", text.c_str());
    }
}

void ZentrelSettingViewController::updateValue(double, double) {
    if (!_layout) {
        return;
    }
    _sendStates();
    // The barometer page changes the pressure unit with a tap; the row follows.
    _updateUnitText();
}

void ZentrelSettingViewController::onBecomeTop() {
    if (_layout) {
        _buildRows();
    }
}

void ZentrelSettingViewController::_registerAccessObjects() {
    for (size_t i = 0; i < sizeof(kAccessParts) / sizeof(kAccessParts[0]); ++i) {
        if (_accessObjects[i]) {
            continue;
        }
        Evas_Object* part = ZentrelUtil::partObject(_layout, kAccessParts[i]);
        if (!part) {
            ZLOGE("%s is missing", kAccessParts[i]);
            continue;
        }
        _accessObjects[i] = elm_access_object_register(part, _layout);
    }
    const char* title = i18n_get_text("WDS_ALTI_HEADER_SETTINGS_ABB2");
    if (_accessObjects[0]) {
        elm_access_info_set(_accessObjects[0], ELM_ACCESS_INFO, title);
    }
    if (_accessObjects[1]) {
        elm_access_info_set(_accessObjects[1], ELM_ACCESS_INFO, title);
    }
    if (_accessObjects[2]) {
        elm_access_info_set(_accessObjects[2], ELM_ACCESS_INFO, i18n_get_text("WDS_ALTI_OPT_EDIT"));
    }
    if (_accessObjects[3]) {
        elm_access_info_set(_accessObjects[3], ELM_ACCESS_INFO,
                            i18n_get_text("WDS_ALTI_MBODY_HELP"));
    }
}

void ZentrelSettingViewController::_setAccessEnabled(bool enabled) {
    if (!_layout) {
        return;
    }
    if (enabled) {
        _registerAccessObjects();
        if (_accessObjects[0]) {
            elm_access_highlight_set(_accessObjects[0]);
        }
        return;
    }
    // Hidden pages take no highlight: their objects go until the page is shown again.
    for (size_t i = 0; i < sizeof(kAccessParts) / sizeof(kAccessParts[0]); ++i) {
        if (!_accessObjects[i]) {
            continue;
        }
        elm_access_object_unregister(ZentrelUtil::partObject(_layout, kAccessParts[i]));
        _accessObjects[i] = nullptr;
    }
}

Evas_Object* ZentrelSettingViewController::getAccessObject(const char* part) const {
    for (size_t i = 0; i < sizeof(kAccessParts) / sizeof(kAccessParts[0]); ++i) {
        if (!strcmp(kAccessParts[i], part)) {
            return _accessObjects[i];
        }
    }
    return nullptr;
}

void ZentrelSettingViewController::onBecomeTopPage() {
    _setAccessEnabled(true);
}

void ZentrelSettingViewController::onBecomeHidePage() {
    _setAccessEnabled(false);
}

void ZentrelSettingViewController::_openMenu() {
    feedback_play(FEEDBACK_PATTERN_TAP);
    if (!_navi) {
        ZLOGE("no naviframe for the settings menu");
        return;
    }
    _navi->push(new ZentrelSettingView());
}

void ZentrelSettingViewController::_openHelp() {
    feedback_play(FEEDBACK_PATTERN_TAP);
    ZentrelLogging::getInstance()->sendKorvaneLog(HELP_LIST_VIA_ICON, nullptr, nullptr);
    if (!_navi) {
        ZLOGE("no naviframe for the help list");
        return;
    }
    _navi->push(new ZentrelHelpListController());
}

void ZentrelSettingViewController::_editClickedCb(void* data, Evas_Object*, const char*,
                                                  const char*) {
    auto* self = static_cast<ZentrelSettingViewController*>(data);
    if (!self) {
        ZLOGE("data is null");
        return;
    }
    self->_openMenu();
}

void ZentrelSettingViewController::_helpClickedCb(void* data, Evas_Object*, const char*,
                                                  const char*) {
    auto* self = static_cast<ZentrelSettingViewController*>(data);
    if (!self) {
        ZLOGE("data is null");
        return;
    }
    self->_openHelp();
}

void ZentrelSettingViewController::_restoreCompletedCb(const char*, void* data) {
    auto* self = static_cast<ZentrelSettingViewController*>(data);
    if (!self || !self->_layout) {
        ZLOGE("data is null");
        return;
    }
    ZLOGI("Restore completed");
    self->_buildRows();
}
