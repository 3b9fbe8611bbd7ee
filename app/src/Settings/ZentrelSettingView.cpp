#include "ZentrelSettingView.h"

#include <WNaviframeController.h>
#include <WeatherCpMgr.h>
#include <ZentrelLocationMgr.h>
#include <ZentrelLog.h>
#include <ZentrelLogging.h>
#include <ZentrelStorageMgr.h>
#include <ostra/efl_extension.h>
#include <ostra/flitter.h>
#include <ostra/i18n.h>
#include <ostra/location_manager.h>
#include <ostra/uxt_theme.h>
#include <ostra/vconf.h>

#include <cstdlib>

#include "ZentrelHelpListController.h"
#include "ZentrelPopup.h"
#include "ZentrelSettingCalibrationViewController.h"
#include "ZentrelSettingDistanceUnitViewController.h"
#include "ZentrelSettingPressureUnitViewController.h"
#include "ZentrelUtil.h"

namespace {

constexpr double kToastSeconds = 2.0;
constexpr int kLinkWrapWidth = 262;
constexpr const char* kStandaloneKey = "db/setup_wizard/standalone";
constexpr const char* kProviderHostKey = "db/zentrel/weather/huafeng_host";
constexpr const char* kProviderDefaultHost = "huafeng.invalid";
constexpr const char* kProviderName = "华风爱科气象科技有限公司";
constexpr const char* kLinkMarkup =
    "<link><a href=%s><font_size=28><font color=#FAFAFA><align=center>%s</align></font "
    "color></font_size></a></link>";

// The list texts follow the theme's list colours.
void applyListColours() {
    const char* pairs[][2] = {{"T022", "AT0233"}, {"T022P", "AT0233P"}, {"T022D", "AT0233D"}};
    for (const auto& pair : pairs) {
        int r = 0, g = 0, b = 0, a = 0;
        if (uxt_theme_get_color(pair[1], &r, &g, &b, &a) != UXT_THEME_ERROR_NONE) {
            continue;
        }
        edje_color_class_set(pair[0], r, g, b, a, r, g, b, a, r, g, b, a);
    }
}

// A read-only entry: labels here have no anchors, and the texts need links.
Evas_Object* markupText(Evas_Object* parent, const std::string& markup) {
    Evas_Object* entry = elm_entry_add(parent);
    elm_entry_editable_set(entry, EINA_FALSE);
    elm_entry_single_line_set(entry, EINA_FALSE);
    elm_entry_line_wrap_set(entry, ELM_WRAP_MIXED);
    elm_entry_scrollable_set(entry, EINA_FALSE);
    elm_object_focus_allow_set(entry, EINA_FALSE);
    elm_entry_text_style_user_push(entry,
                                   "DEFAULT='font=Roboto font_size=26 color=#FAFAFA "
                                   "align=center wrap=mixed'");
    elm_object_text_set(entry, markup.c_str());
    evas_object_size_hint_weight_set(entry, EVAS_HINT_EXPAND, EVAS_HINT_EXPAND);
    evas_object_size_hint_align_set(entry, EVAS_HINT_FILL, 0.5);
    evas_object_show(entry);
    return entry;
}

}  // namespace

ZentrelSettingView::~ZentrelSettingView() {
    _cancelLocationRequest();
}

std::string ZentrelSettingView::providerPageUrl(const char* path) {
    char* host = vconf_get_str(kProviderHostKey);
    std::string url =
        std::string("https://") + (host && *host ? host : kProviderDefaultHost) + path;
    free(host);
    return url;
}

bool ZentrelSettingView::_isChinaProvider() const {
    return WeatherCpMgr::GetInstance()->GetWeatherCp() == WEATHER_CP_TYPE_HUAFENGACCU;
}

Evas_Object* ZentrelSettingView::onCreateView(Evas_Object* parent, void*) {
    ZLOG_BEGIN();
    applyListColours();
    _genlist = ZentrelSettingItem::createList(parent, &_circleGenlist);
    _createRows();
    ZLOG_END();
    return _genlist;
}

ZentrelSettingItem* ZentrelSettingView::_addRow(ZentrelSettingItem* row, const char* name) {
    if (!row->append(_genlist)) {
        // append has released the row.
        ZLOGE("%s is nullptr", name);
        return nullptr;
    }
    return row;
}

void ZentrelSettingView::_createRows() {
    _addRow(new ZentrelSettingItem(TITLE, "WDS_ALTI_HEADER_SETTINGS_ABB2"), "title");
    _settingItemAutoRefresh =
        _addRow(new ZentrelSettingItem(AUTO_REFRESH, 1, "WDS_ALTI_MBODY_AUTO_REFRESH_ABB"),
                "_settingItemAutoRefresh");
    _settingItemCalib =
        _addRow(new ZentrelSettingItem(MANUAL_CALIBRATION, "WDS_ALTI_MBODY_MANUAL_CALIBRATION_ABB",
                                       std::string()),
                "_settingItemCalib");
    _settingItemAlert =
        _addRow(new ZentrelSettingItem(PRESSURE_ALERTS, 1, "WDS_ALTI_HEADER_PRESSURE_ALERTS"),
                "_settingItemAlert");
    _settingItemDist = _addRow(
        new ZentrelSettingItem(ALTITUDE_UNIT, "WDS_ALTI_HEADER_ALTITUDE_UNIT_ABB", std::string()),
        "_settingItemDist");
    _settingItemPressure = _addRow(
        new ZentrelSettingItem(PRESSURE_UNIT, "WDS_ALTI_HEADER_PRESSURE_UNIT", std::string()),
        "_settingItemPressure");
    if (_isChinaProvider()) {
        _settingItemUseCurrentLocation = _addRow(
            new ZentrelSettingItem(CURRENT_LOCATION, 1, "IDS_ST_OPT_USE_CURRENT_LOCATION_ABB"),
            "_settingItemUseCurrentLocation");
    }
    _settingItemHelp =
        _addRow(new ZentrelSettingItem(HELP, "WDS_ALTI_MBODY_HELP", true), "_settingItemHelp");
    ZentrelSettingItem::appendPadding(_genlist);

    if (_settingItemAutoRefresh) {
        _settingItemAutoRefresh->setSelectedCb([this] { _onAutoRefreshSelected(); });
    }
    if (_settingItemCalib) {
        _settingItemCalib->setSelectedCb([this] { _onCalibrationSelected(); });
    }
    if (_settingItemAlert) {
        _settingItemAlert->setSelectedCb([this] { _onAlertSelected(); });
    }
    if (_settingItemDist) {
        _settingItemDist->setSelectedCb([this] {
            getNaviframeController()->push(new ZentrelSettingDistanceUnitViewController());
        });
    }
    if (_settingItemPressure) {
        _settingItemPressure->setSelectedCb([this] {
            getNaviframeController()->push(new ZentrelSettingPressureUnitViewController());
        });
    }
    if (_settingItemUseCurrentLocation) {
        _settingItemUseCurrentLocation->setSelectedCb([this] { _onCurrentLocationSelected(); });
    }
    if (_settingItemHelp) {
        _settingItemHelp->setSelectedCb([this] { _onHelpSelected(); });
    }
    _setCalibrationRowEnabled(ZentrelStorageMgr::getInstance()->getAutoRefresh() != 1);
}

ZentrelSettingItem* ZentrelSettingView::getItem(SETTING_ITEM_INDEX_TYPE kind) const {
    switch (kind) {
        case AUTO_REFRESH:
            return _settingItemAutoRefresh;
        case MANUAL_CALIBRATION:
            return _settingItemCalib;
        case PRESSURE_ALERTS:
            return _settingItemAlert;
        case ALTITUDE_UNIT:
            return _settingItemDist;
        case PRESSURE_UNIT:
            return _settingItemPressure;
        case CURRENT_LOCATION:
            return _settingItemUseCurrentLocation;
        case HELP:
            return _settingItemHelp;
        default:
            return nullptr;
    }
}

void ZentrelSettingView::onDestroy() {
    _cancelLocationRequest();
    // The popups live on the window, not in this view: they must not outlive it.
    for (Evas_Object** popup : {&_currentSubPopup, &_currentPopup, &_toast}) {
        if (*popup) {
            Evas_Object* obj = *popup;
            *popup = nullptr;
            evas_object_event_callback_del(obj, EVAS_CALLBACK_DEL, _popupDelCb);
            evas_object_event_callback_del(obj, EVAS_CALLBACK_DEL, _subPopupDelCb);
            evas_object_event_callback_del(obj, EVAS_CALLBACK_DEL, _toastDelCb);
            evas_object_del(obj);
        }
    }
    _subPopup = false;
    _agreementText = _termsLink = _privacyLink = nullptr;
}

void ZentrelSettingView::onPushed(Elm_Object_Item*) {
    ZLOGI("%s shown", getClassName());
    _returnRotaryToList();
}

void ZentrelSettingView::onBecomeTop() {
    ZLOGI("%s back on top", getClassName());
    _returnRotaryToList();
    // A picker or the calibration screens may have changed what these rows show.
    _setCalibrationRowEnabled(ZentrelStorageMgr::getInstance()->getAutoRefresh() != 1);
    for (ZentrelSettingItem* row : {_settingItemDist, _settingItemCalib, _settingItemPressure}) {
        if (row) {
            row->updateItem();
        }
    }
}

void ZentrelSettingView::_returnRotaryToList() {
    if (_circleGenlist) {
        eext_rotary_object_event_activated_set(_circleGenlist, EINA_TRUE);
    }
}

void ZentrelSettingView::_setCalibrationRowEnabled(bool enabled) {
    if (!_settingItemCalib || !_settingItemCalib->getElmObjectItem()) {
        return;
    }
    elm_object_item_disabled_set(_settingItemCalib->getElmObjectItem(),
                                 enabled ? EINA_FALSE : EINA_TRUE);
    _settingItemCalib->updateItem();
}

void ZentrelSettingView::_setCurrentLocationSwitch(bool on) {
    if (_settingItemUseCurrentLocation) {
        _settingItemUseCurrentLocation->setSwitch(on);
    }
}

void ZentrelSettingView::_onAutoRefreshSelected() {
    ZentrelStorageMgr* storage = ZentrelStorageMgr::getInstance();
    if (storage->getAutoRefresh() == 1) {
        storage->saveAutoRefresh(0);
        _setCalibrationRowEnabled(true);
        _settingItemAutoRefresh->setSwitch(false);
        ZentrelLogging::getInstance()->sendKorvaneLog(SETTINGS_AUTO_REFRESH, "Turn OFF", nullptr);
        return;
    }
    _switchOnFlow(AGREEMENT_AUTO_REFRESH);
    ZentrelLogging::getInstance()->sendKorvaneLog(SETTINGS_AUTO_REFRESH, "Turn ON", nullptr);
}

void ZentrelSettingView::_onCalibrationSelected() {
    ZentrelLogging::getInstance()->sendKorvaneLog(ENTER_MANUAL_VIA_SETTING, nullptr, nullptr);
    getNaviframeController()->push(new ZentrelSettingCalibrationViewController());
}

void ZentrelSettingView::_onAlertSelected() {
    ZentrelStorageMgr* storage = ZentrelStorageMgr::getInstance();
    const bool on = storage->getSettingAlert() == 0;
    ZentrelLogging::getInstance()->sendKorvaneLog(STATE_SET_SUDDEN_WEATHER_CHANGES, "NONE",
                                                  on ? "1000" : "0");
    storage->saveSettingAlert(on ? 1 : 0);
    _settingItemAlert->setSwitch(on);
}

void ZentrelSettingView::_onCurrentLocationSelected() {
    ZentrelStorageMgr* storage = ZentrelStorageMgr::getInstance();
    if (storage->getUserAgreementState() != 1) {
        _switchOnFlow(AGREEMENT_CURRENT_LOCATION);
        return;
    }
    storage->saveAutoRefresh(0);
    storage->saveUserAgreementState(0);
    _setCalibrationRowEnabled(true);
    if (_settingItemAutoRefresh) {
        _settingItemAutoRefresh->setSwitch(false);
    }
    _setCurrentLocationSwitch(false);
}

void ZentrelSettingView::_onHelpSelected() {
    ZentrelLogging::getInstance()->sendKorvaneLog(HELP_LIST_VIA_SETTING, nullptr, nullptr);
    getNaviframeController()->push(new ZentrelHelpListController());
}

void ZentrelSettingView::_switchOnFlow(AgreementVariant variant) {
    // A privilege granted later resumes here, as an auto refresh switch-on.
    if (!_permissionChecker.checkAccessPermission(
            [this](void*) { _switchOnFlow(AGREEMENT_AUTO_REFRESH); }, this)) {
        ZLOGE("No Access Permission");
        return;
    }
    if (ZentrelStorageMgr::getInstance()->getUserAgreementState() == 0) {
        _twoBtnUserAgreementPopup(variant);
        return;
    }
    if (ZentrelLocationMgr::getInstance()->isLocationEnabled()) {
        _applyAutoRefreshOn();
        return;
    }
    _twoBtnLocationPopup(_locationPopupText());
}

void ZentrelSettingView::_applyAutoRefreshOn() {
    ZentrelStorageMgr* storage = ZentrelStorageMgr::getInstance();
    storage->saveAutoRefresh(1);
    storage->saveSettingManualMode(0);
    _setCalibrationRowEnabled(false);
    if (_settingItemAutoRefresh) {
        _settingItemAutoRefresh->setSwitch(true);
    }
}

const char* ZentrelSettingView::_locationPopupText() const {
    if (ZentrelUtil::isConnectToMobileByBT() && ZentrelUtil::isKorvanedevice()) {
        return "WDS_ALTI_POP_TURN_ON_LOCATION_ON_YOUR_PHONE_Q";
    }
    return "WDS_ALTI_POP_TURN_ON_LOCATION_Q";
}

void ZentrelSettingView::_setPopup(Evas_Object* popup) {
    // One popup at a time: a late answer replaces what is open.
    if (_currentPopup && _currentPopup != popup) {
        Evas_Object* old = _currentPopup;
        _currentPopup = nullptr;
        evas_object_del(old);
    }
    _currentPopup = popup;
    if (!popup) {
        return;
    }
    eext_rotary_object_event_activated_set(_circleGenlist, EINA_FALSE);
    evas_object_event_callback_add(popup, EVAS_CALLBACK_DEL, _popupDelCb, this);
}

void ZentrelSettingView::_twoBtnUserAgreementPopup(AgreementVariant variant) {
    const bool china = _isChinaProvider();
    std::string text = WeatherCpMgr::GetInstance()->GetPrivacyPolicyText();
    if (!china) {
        // Only the China provider's text carries markup (its link).
        char* markup = elm_entry_utf8_to_markup(text.c_str());
        text = markup ? markup : "";
        free(markup);
    }
    _agreementText = markupText(elm_object_top_widget_get(_genlist), text);
    if (china) {
        evas_object_smart_callback_add(_agreementText, "anchor,clicked", _anchorClickedCb, this);
    }
    _setPopup(ZentrelPopup::twoButtonsWithContent(
        _genlist, china ? "LDS_ALTI_HEADER_IMPORTANT_NOTICE" : nullptr, _agreementText, nullptr,
        [this, variant] { _onAgreementAccepted(variant); }));
}

void ZentrelSettingView::_onAgreementAccepted(AgreementVariant variant) {
    ZentrelStorageMgr* storage = ZentrelStorageMgr::getInstance();
    const bool locationOn = ZentrelLocationMgr::getInstance()->isLocationEnabled();
    if (variant == AGREEMENT_CURRENT_LOCATION) {
        storage->saveUserAgreementState(1);
        if (!locationOn) {
            _twoBtnLocationPopup(_locationPopupText());
            return;
        }
        _setCurrentLocationSwitch(true);
        return;
    }
    const bool china = _isChinaProvider();
    // Other providers ask again at every switch-on: their consent is not stored.
    if (china) {
        storage->saveUserAgreementState(1);
    }
    if (!locationOn) {
        _twoBtnLocationPopup(_locationPopupText());
        return;
    }
    _applyAutoRefreshOn();
    if (china) {
        _setCurrentLocationSwitch(true);
    }
    _returnRotaryToList();
}

void ZentrelSettingView::_anchorClickedCb(void* data, Evas_Object*, void*) {
    auto* self = static_cast<ZentrelSettingView*>(data);
    if (!self) {
        ZLOGE("data is null");
        return;
    }
    self->_serviceProviderPopup();
}

void ZentrelSettingView::_serviceProviderPopup() {
    if (_subPopup) {
        return;
    }
    Evas_Object* win = elm_object_top_widget_get(_genlist);
    Evas_Object* layout = elm_layout_add(win);
    if (!elm_layout_file_set(layout, ZentrelUtil::getAppEdjFilePath(), "service.provider")) {
        ZLOGE("service.provider is missing in %s", ZentrelUtil::getAppEdjFilePath());
        evas_object_del(layout);
        return;
    }
    elm_object_part_text_set(layout, "text.provider", kProviderName);
    elm_object_part_text_set(layout, "text.permission",
                             i18n_get_text("WDS_OPLATFORM_HEADER_REQUIRED_PERMISSION"));
    elm_object_part_text_set(layout, "sub.text.permission",
                             i18n_get_text("WDS_ST_OPT_LOCATION_ABB"));
    elm_object_part_text_set(layout, "text.purpose", i18n_get_text("KESTO_CLOUD_HEADER_PURPOSE"));
    elm_object_part_text_set(
        layout, "sub.text.purpose",
        i18n_get_text("LDS_ALTI_NPBODY_TO_PROVIDE_THE_ALTITUDE_OF_YOUR_LOCATION"));
    _termsLink =
        _createLink(layout, providerPageUrl("/legal.do"), "IDS_ST_HEADER_TERMS_AND_CONDITIONS");
    _privacyLink =
        _createLink(layout, providerPageUrl("/privacy.do"), "IDS_VC_BODY_PRIVACY_POLICY");
    elm_object_part_content_set(layout, "elm.swallow.TC", _termsLink);
    elm_object_part_content_set(layout, "elm.swallow.PP", _privacyLink);
    evas_object_show(layout);

    _currentSubPopup = ZentrelPopup::oneButtonWithContent(
        _genlist, "IDS_ST_MBODY_SERVICE_PROVIDER_CHN", layout, "IDS_COM_SK_OK", nullptr);
    if (!_currentSubPopup) {
        _termsLink = _privacyLink = nullptr;
        return;
    }
    _subPopup = true;
    // The consent waits below, hidden: it neither shows through nor takes the back key.
    if (_currentPopup) {
        evas_object_hide(_currentPopup);
    }
    evas_object_event_callback_add(_currentSubPopup, EVAS_CALLBACK_DEL, _subPopupDelCb, this);
}

Evas_Object* ZentrelSettingView::_createLink(Evas_Object* parent, const std::string& url,
                                             const char* text) {
    char* escapedText = elm_entry_utf8_to_markup(i18n_get_text(text));
    std::string markup = kLinkMarkup;
    markup.replace(markup.find("%s"), 2, url);
    markup.replace(markup.find("%s"), 2, escapedText ? escapedText : "");
    free(escapedText);
    Evas_Object* link = markupText(parent, markup);
    evas_object_size_hint_min_set(link, kLinkWrapWidth, 0);
    evas_object_smart_callback_add(link, "anchor,clicked", _linkClickedCb, this);
    return link;
}

void ZentrelSettingView::_linkClickedCb(void* data, Evas_Object*, void* eventInfo) {
    auto* self = static_cast<ZentrelSettingView*>(data);
    auto* info = static_cast<Elm_Entry_Anchor_Info*>(eventInfo);
    if (!self || !info || !info->name) {
        ZLOGE("data is null");
        return;
    }
    self->_openLink(info->name);
}

void ZentrelSettingView::_openLink(const char* url) {
    if (ZentrelUtil::getIntVconf(kStandaloneKey) == 1) {
        ZLOGI("WPC MODE,prevent all of operation");
        return;
    }
    if (!ZentrelUtil::getHostConnected()) {
        ZentrelUtil::sendLinkraAppcontrol("bt_connect", nullptr, nullptr);
        return;
    }
    _toastPopup("WDS_CLD_OPT_SHOW_ON_PHONE_ABB3");
    if (flitter_service_connect() != 0 || flitter_request_to_browse("zentrel", url) != 0) {
        ZLOGE("flitter_request_to_browse failed!!!");
    }
    flitter_service_disconnect();
}

void ZentrelSettingView::_twoBtnLocationPopup(const char* text) {
    _setPopup(ZentrelPopup::twoButtons(
        _genlist, nullptr, i18n_get_text(text),
        [this] { _toastPopup("WDS_ALTI_TPOP_LOCATION_NOT_AVAILABLE"); },
        [this] { _enableLocation(); }));
}

void ZentrelSettingView::_enableLocation() {
    // The platform asks the user; the answer comes back through the callback.
    location_manager_set_enabling_method_result_cb(_locationEnabledCb, this);
    _locationRequestPending = true;
    const int ret = location_manager_enable_method(LOCATIONS_METHOD_HYBRID, true);
    if (ret != LOCATIONS_ERROR_NONE) {
        _cancelLocationRequest();
        _onLocationNotEnabled(ret);
    }
}

void ZentrelSettingView::_cancelLocationRequest() {
    if (!_locationRequestPending) {
        return;
    }
    _locationRequestPending = false;
    location_manager_unset_enabling_method_result_cb();
}

void ZentrelSettingView::_locationEnabledCb(int result, void* data) {
    auto* self = static_cast<ZentrelSettingView*>(data);
    if (!self) {
        ZLOGE("data is null");
        return;
    }
    self->_cancelLocationRequest();
    if (result == LOCATIONS_ENABLE_METHOD_RESULT_DONE) {
        self->_onLocationEnabled();
        return;
    }
    self->_onLocationNotEnabled(result);
}

void ZentrelSettingView::_onLocationEnabled() {
    ZentrelStorageMgr* storage = ZentrelStorageMgr::getInstance();
    storage->saveAutoRefresh(1);
    storage->saveUserAgreementState(1);
    storage->saveSettingManualMode(0);
    _setCalibrationRowEnabled(false);
    if (_settingItemAutoRefresh) {
        _settingItemAutoRefresh->setSwitch(true);
    }
    _setCurrentLocationSwitch(true);
    _returnRotaryToList();
}

void ZentrelSettingView::_onLocationNotEnabled(int ret) {
    ZLOGE("Location cannot enabled. ret = %d", ret);
    _setPopup(ZentrelPopup::oneButton(_genlist, nullptr,
                                      i18n_get_text("WDS_ALTI_TPOP_LOCATION_NOT_AVAILABLE"),
                                      "IDS_COM_SK_OK", nullptr));
}

void ZentrelSettingView::_toastPopup(const char* text) {
    if (_toast) {
        evas_object_del(_toast);
    }
    _toast = ZentrelPopup::toast(_genlist, i18n_get_text(text), kToastSeconds);
    if (_toast) {
        evas_object_event_callback_add(_toast, EVAS_CALLBACK_DEL, _toastDelCb, this);
    }
}

void ZentrelSettingView::_popupDelCb(void* data, Evas*, Evas_Object* obj, void*) {
    auto* self = static_cast<ZentrelSettingView*>(data);
    if (self->_currentPopup != obj) {
        return;
    }
    self->_currentPopup = nullptr;
    self->_agreementText = nullptr;
    self->_returnRotaryToList();
}

void ZentrelSettingView::_subPopupDelCb(void* data, Evas*, Evas_Object* obj, void*) {
    auto* self = static_cast<ZentrelSettingView*>(data);
    if (self->_currentSubPopup != obj) {
        return;
    }
    self->_currentSubPopup = nullptr;
    self->_subPopup = false;
    self->_termsLink = self->_privacyLink = nullptr;
    // The consent comes back, and the bezel with it.
    if (self->_currentPopup) {
        evas_object_show(self->_currentPopup);
        eext_rotary_object_event_activated_set(self->_currentPopup, EINA_TRUE);
    }
}

void ZentrelSettingView::_toastDelCb(void* data, Evas*, Evas_Object* obj, void*) {
    auto* self = static_cast<ZentrelSettingView*>(data);
    if (self->_toast == obj) {
        self->_toast = nullptr;
    }
}
