#include "ZentrelAltiViewController.h"

#include <WNaviframeController.h>
#include <WeatherCpMgr.h>
#include <ZentrelLocationMgr.h>
#include <ZentrelLog.h>
#include <ZentrelLogging.h>
#include <ZentrelStorageMgr.h>
#include <ostra/app_preference.h>
#include <ostra/efl_extension.h>
#include <ostra/feedback.h>
#include <ostra/flitter.h>
#include <ostra/utils_i18n.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <set>

#include "ZentrelBroadCaster.h"
#include "ZentrelPopup.h"
#include "ZentrelSettingCalibrationViewController.h"
#include "ZentrelUtil.h"

namespace {

using MeasuringState = ZentrelAltiViewController::eMeasuringState;
using PopupState = ZentrelAltiViewController::ePopupState;
using ViewState = ZentrelAltiViewController::_eAltiViewState;

constexpr const char* kManualKey = "ZENTREL_SETTING_MANUAL";
constexpr double kRequestTimeout = 500000.0;
constexpr double kUpdateViewDelay = 0.4;
constexpr double kToastSeconds = 2.0;
constexpr double kLduMeasureSeconds = 2.0;
constexpr double kFeetPerMetre = 3.28084;
// A sea-level pressure outside the dial's pressure range is not a reading.
constexpr double kSlpMin = 350.0;
constexpr double kSlpMax = 1150.0;
constexpr int kChinaProvider = 3;
constexpr int kPageCount = 3;

constexpr const char* kRefreshEvent = "alti_refresh_event";
constexpr const char* kGoEvent = "alti_init_go_event";
constexpr const char* kUnitEvent = "alti_unit_event";
constexpr const char* kRefreshImage = "alti_refresh_and_setting_image";

constexpr const char* kLocationNotAvailable = "WDS_ALTI_TPOP_LOCATION_NOT_AVAILABLE";
constexpr const char* kLocationOffOnPhone =
    "WDS_ALTI_BODY_COULDNT_FIND_YOUR_LOCATION_LOCATION_IS_TURNED_OFF_ON_YOUR_PHONE";
constexpr const char* kPhoneIndoors =
    "WDS_ALTI_BODY_COULDNT_FIND_YOUR_LOCATION_LOCATION_DETECTION_CAN_BE_DIFFICULT_IF_YOUR_PHONE_"
    "IS_INDOORS";
constexpr const char* kWatchIndoors =
    "WDS_ALTI_BODY_COULDNT_FIND_YOUR_LOCATION_LOCATION_DETECTION_CAN_BE_DIFFICULT_IF_YOURE_"
    "INDOORS";
constexpr const char* kEnterManually =
    "WDS_ALTI_POP_CANT_GET_A_SEA_LEVEL_AIR_PRESSURE_READING_FOR_YOUR_LOCATION_ENTER_MANUALLY_Q";

// The China provider's fixed texts: its legal name and its two web pages.
constexpr const char* kProviderLegalName = "Huafeng AccuWeather (Beijing) Co., Ltd.";
constexpr const char* kProviderTermsUrl = "https://www.huafeng-accuweather.cn/terms";
constexpr const char* kProviderPrivacyUrl = "https://www.huafeng-accuweather.cn/privacy";

// Pages alive in this process: a connection reply may arrive after its page died.
std::set<ZentrelAltiViewController*>& livePages() {
    static std::set<ZentrelAltiViewController*> pages;
    return pages;
}

ZentrelStorageMgr* storage() {
    return ZentrelStorageMgr::getInstance();
}

ZentrelLocationMgr* location() {
    return ZentrelLocationMgr::getInstance();
}

const char* text(const char* id) {
    return i18n_get_text(id);
}

bool isLdu() {
    return storage()->getLDUModeEnable() != 0;
}

std::string replaceFirst(std::string textValue, const char* placeholder, const char* value) {
    const size_t at = textValue.find(placeholder);
    if (at != std::string::npos) {
        textValue.replace(at, strlen(placeholder), value);
    }
    return textValue;
}

}  // namespace

ZentrelAltiViewController::ZentrelAltiViewController(std::shared_ptr<ZentrelGraphItemList> list)
    : _graphItemList(std::move(list)) {
    livePages().insert(this);
}

ZentrelAltiViewController::~ZentrelAltiViewController() {
    livePages().erase(this);
    preference_unset_changed_cb(kManualKey);
    if (_layout) {
        evas_object_event_callback_del_full(_layout, EVAS_CALLBACK_MOVE, _layoutMoveCb, this);
    }
    if (_broadCasterListener >= 0) {
        ZentrelBroadCaster::getBroadCaster().removeListener(_broadCasterListener);
    }
    _cancelWatchdog();
    brisa::WUiTimer::destroy(_updateViewTimer);
    brisa::WUiTimer::destroy(_arrowIdler);
    brisa::WUiTimer::destroy(_lduTimer);
    brisa::WUiTimer::destroy(_pressTimer);
    _graph.reset();
    _deleteCurrentPopup();
    // The services keep plain pointers to their listener (also after a request
    // ends): none may outlive the page.
    ZentrelAltitudeMgr::getInstance()->RequestCancel();
    location()->destroyLocationMgr();
}

Evas_Object* ZentrelAltiViewController::onCreateView(Evas_Object* parent, void* viewParam) {
    _circleScroller = static_cast<Evas_Object*>(viewParam);
    _layout = elm_layout_add(parent);
    if (!elm_layout_file_set(_layout, ZentrelUtil::getAppEdjFilePath(), "alti_view")) {
        ZLOGE("alti_view is missing in %s", ZentrelUtil::getAppEdjFilePath());
        evas_object_del(_layout);
        _layout = nullptr;
        return nullptr;
    }
    _createTitle();
    _createValueLayout();
    _registerAccess();
    preference_set_changed_cb(kManualKey, _manualModeChangedCb, this);
    if (isLdu()) {
        updateLDUAltiView();
        elm_layout_signal_callback_add(_layout, "mouse,clicked,1", kRefreshEvent, _lduRefreshCb,
                                       this);
        elm_layout_signal_callback_add(_layout, "mouse,clicked,1", kUnitEvent, _lduUnitCb, this);
    } else {
        updateAltiView();
        evas_object_event_callback_add(_layout, EVAS_CALLBACK_MOVE, _layoutMoveCb, this);
        _registerSignals();
    }
    _broadCasterListener = ZentrelBroadCaster::getBroadCaster().addListener(
        [this](const std::string& signal, void*) {
            if (signal != "language,changed") {
                return;
            }
            elm_object_text_set(_title, text("WDS_ALTI_HEADER_ALTIMETER_ABB"));
            if (isLdu()) {
                updateLDUAltiView();
                return;
            }
            _createValueLayout();
            updateAltiView();
            if (_ePopupState == PopupState::TWOBTN_USE_NETWORK_AGREEMENT) {
                ZentrelPopup::setTitle(_currentPopup, "IDS_ST_HEADER_ALLOW_APP_PERMISSION_ABB");
                ZentrelPopup::setText(_currentPopup, _networkAgreementText());
            } else if (_ePopupState == PopupState::TWOBTN_USER_AGREEMENT &&
                       _userAgreementPopupTextLabel) {
                elm_object_text_set(_userAgreementPopupTextLabel,
                                    WeatherCpMgr::GetInstance()->GetPrivacyPolicyText().c_str());
            }
            if (_lblTC && _lblPP) {
                elm_object_text_set(
                    _lblTC,
                    _linkMarkup(kProviderTermsUrl, "IDS_ST_HEADER_TERMS_AND_CONDITIONS").c_str());
                elm_object_text_set(
                    _lblPP, _linkMarkup(kProviderPrivacyUrl, "IDS_VC_BODY_PRIVACY_POLICY").c_str());
            }
        },
        _layout);
    return _layout;
}

void ZentrelAltiViewController::_createTitle() {
    _title = elm_label_add(_layout);
    elm_object_style_set(_title, "slide_title_text");
    elm_label_wrap_width_set(_title, 180);
    elm_label_slide_mode_set(_title, ELM_LABEL_SLIDE_MODE_AUTO);
    elm_object_text_set(_title, text("WDS_ALTI_HEADER_ALTIMETER_ABB"));
    elm_object_part_content_set(_layout, "alti_title", _title);
}

void ZentrelAltiViewController::_createValueLayout() {
    if (_valueLayout) {
        elm_object_part_content_unset(_layout, "alti_value");
        evas_object_del(_valueLayout);
    }
    _valueLayout = elm_layout_add(_layout);
    elm_layout_file_set(_valueLayout, ZentrelUtil::getAppEdjFilePath(), "alti_value_layout");
    elm_object_part_content_set(_layout, "alti_value", _valueLayout);
    if (!isLdu() && storage()->getCurrentPressure() > 0) {
        updateValue(storage()->getCurrentPressure(), 0);
    }
}

void ZentrelAltiViewController::_registerSignals() {
    for (const char* source : {kRefreshEvent, kGoEvent}) {
        elm_layout_signal_callback_add(_layout, "mouse,clicked,1", source, _refreshClickedCb, this);
        elm_layout_signal_callback_add(_layout, "mouse,down,1", source, _refreshPressCb, this);
        elm_layout_signal_callback_add(_layout, "mouse,up,1", source, _refreshPressCb, this);
    }
    elm_layout_signal_callback_add(_layout, "mouse,clicked,1", kUnitEvent, _unitClickedCb, this);
}

ViewState ZentrelAltiViewController::_getAltiViewState() const {
    if (storage()->getSettingManualMode() == 1) {
        return ViewState::MANUAL_NORMAL;
    }
    const bool idle = _eMeasuringState == MeasuringState::IDLE;
    if (!storage()->isDataSLPHistoryEmpty()) {
        return idle ? ViewState::AUTO_NORMAL : ViewState::AUTO_MEASURING;
    }
    return idle ? ViewState::INIT_NORMAL : ViewState::INIT_MEASURING;
}

void ZentrelAltiViewController::_setPartText(const char* part, const char* id) {
    elm_object_part_text_set(_layout, part, text(id));
}

void ZentrelAltiViewController::updateAltiView() {
    if (!_layout) {
        ZLOGE("_layout == nullptr");
        return;
    }
    if (isLdu()) {
        updateLDUAltiView();
        return;
    }
    const ViewState state = _getAltiViewState();
    ZLOGI("_eViewState : %d", static_cast<int>(state));
    _showViewState(state);
    const double pressure = storage()->getCurrentPressure();
    const char* shown = elm_object_part_text_get(_valueLayout, "value");
    const bool initView = state == ViewState::INIT_NORMAL || state == ViewState::INIT_MEASURING;
    if (!initView && pressure > 0 && (!shown || !*shown)) {
        updateValue(pressure, 0);
    }
}

void ZentrelAltiViewController::_showViewState(ViewState state) {
    switch (state) {
        case ViewState::INIT_NORMAL:
            elm_layout_signal_emit(_layout, "stop,button,initview", kRefreshImage);
            elm_layout_signal_emit(_layout, "change,to,initnormal", kGoEvent);
            _setPartText("alti_init_content",
                         "WDS_ALTI_BODY_FIND_A_SEA_LEVEL_AIR_PRESSURE_REFERENCE_FOR_YOUR_LOCATION_"
                         "Q_ABB");
            _setPartText("alti_init_go_text", "WDS_ALTI_ACBUTTON_GO");
            break;
        case ViewState::INIT_MEASURING:
            elm_layout_signal_emit(_layout, "change,to,initmeasuring", kGoEvent);
            elm_layout_signal_emit(_layout, "rotate,refesh,button", kRefreshImage);
            _setPartText("alti_init_content",
                         "WDS_ALTI_BODY_GET_ACCURATE_AND_UP_TO_THE_MINUTE_ALTITUDE_MEASUREMENTS_BY_"
                         "TAPPING_THE_CALIBRATE_BUTTON_ABB");
            _setPartText("alti_measuring_altitude_text",
                         "WDS_ALTI_BODY_MEASURING_ALTITUDE_ING_ABB");
            break;
        case ViewState::AUTO_NORMAL:
            elm_layout_signal_emit(_layout, "change,to,autonormal", kRefreshEvent);
            elm_layout_signal_emit(_layout, "stop,refesh,button", kRefreshImage);
            _setPartText("alti_hour", "WDS_ALTI_BODY_LAST_6_HOURS_ABB");
            _setPartText("alti_calibrated_text", "WDS_ALTI_BUTTON_CALIBRATED_M_STATIS_ABB");
            updateCalTime();
            break;
        case ViewState::AUTO_MEASURING:
            elm_layout_signal_emit(_layout, "change,to,automeasuring", kRefreshEvent);
            elm_layout_signal_emit(_layout, "rotate,refesh,button", kRefreshImage);
            _setPartText("alti_measuring_altitude_text", "WDS_ALTI_BODY_CALIBRATING_ING");
            break;
        case ViewState::MANUAL_NORMAL:
            viewSignal.onEmit("action,manual,setting", nullptr);
            elm_layout_signal_emit(_layout, "change,to,manualnormal", kRefreshEvent);
            _setPartText("alti_hour", "WDS_ALTI_BODY_LAST_6_HOURS_ABB");
            _setPartText("alti_calibrated_time_and_set_ref_text",
                         "WDS_ALTI_BUTTON_SET_REFERENCE_ABB");
            break;
        default:
            break;
    }
}

void ZentrelAltiViewController::updateCalTime() {
    if (!_layout || isLdu() || _getAltiViewState() != ViewState::AUTO_NORMAL) {
        return;
    }
    const long long calTime = storage()->getDataCalTime();
    std::unique_ptr<char, decltype(&free)> timeText(
        ZentrelUtil::getTimeText(static_cast<time_t>(calTime)), &free);
    ZLOGI("%lld, %s", calTime, timeText ? timeText.get() : "");
    elm_object_part_text_set(_layout, "alti_calibrated_time_and_set_ref_text",
                             timeText ? timeText.get() : "");
}

void ZentrelAltiViewController::updateValue(double pressure, double altitude) {
    if (!_layout || !_valueLayout) {
        ZLOGE("_layout == nullptr");
        return;
    }
    if (isLdu()) {
        return;
    }
    // The count-up hands its numbers in both arguments; 0 is one of them, not
    // a pressure to convert.
    const double a =
        altitude != 0 || pressure == altitude ? altitude : storage()->getAltivalue(pressure);
    const bool feet = storage()->getSettingDistance() == 1;
    const int number =
        storage()->getValidAltiValue(static_cast<int>(std::lround(feet ? a * kFeetPerMetre : a)));
    const std::string value = ZentrelUtil::getNumberStringFromIcu(number, false);
    const char* unitText =
        text(feet ? "WDS_ALTI_BODY_FT_M_FEET_UNIT_LC" : "WDS_ALTI_BODY_M_M_METRES_UNIT_LC");
    const char* shownUnit = elm_object_part_text_get(_valueLayout, "unit");
    if (!shownUnit || std::string(shownUnit) != unitText) {
        elm_object_part_text_set(_valueLayout, "unit", unitText);
    }
    const char* shown = elm_object_part_text_get(_valueLayout, "value");
    if (!shown || value != shown) {
        elm_object_part_text_set(_valueLayout, "value", value.c_str());
    }
}

void ZentrelAltiViewController::tapUnit() {
    if (isLdu()) {
        _lduToggleUnit();
        return;
    }
    _toggleUnit();
}

void ZentrelAltiViewController::_toggleUnit() {
    ZentrelStorageMgr* store = storage();
    const int unit = store->getSettingDistance() == 0 ? 1 : 0;
    store->saveSettingDistance(unit);
    const double pressure = store->getCurrentPressure();
    const double altitude = store->getAltivalue(pressure);
    if (unit == 0) {
        ZLOGI("%d m (P:%lf, A:%lf)", static_cast<int>(std::lround(altitude)), pressure, altitude);
    } else {
        ZLOGI("%d ft (%lf, %lf)", static_cast<int>(std::lround(altitude * kFeetPerMetre)), pressure,
              altitude);
    }
    updateValue(pressure, 0);
    viewSignal.onEmit("set,page,alti", nullptr);
}

void ZentrelAltiViewController::_updateAltiViewLater() {
    brisa::WUiTimer::destroy(_updateViewTimer);
    _updateViewTimer = brisa::WUiTimer::addTimer(
        kUpdateViewDelay,
        [this](void*) {
            updateAltiView();
            return false;
        },
        nullptr, _layout);
}

// ---- calibration by the user -------------------------------------------------

void ZentrelAltiViewController::_refreshBtnCb(bool byTouch) {
    if (byTouch) {
        feedback_play(FEEDBACK_PATTERN_TAP);
    }
    if (_isMeasuring()) {
        ZLOGI("getting SLP is processing");
        return;
    }
    ZentrelStorageMgr* store = storage();
    if (store->getSettingManualMode() == 1) {
        ZentrelLogging::getInstance()->sendKorvaneLog(SET_REFERENCE, nullptr, nullptr);
        _pushManualCalibration();
        return;
    }
    ZentrelLogging::getInstance()->sendKorvaneLog(SET_CALIBRATION, nullptr, nullptr);
    if (!_permissionChecker.checkAccessPermission([this](void*) { _refreshBtnCb(false); },
                                                  nullptr)) {
        ZLOGI("No Access Permission");
        return;
    }
    if (store->getUseNetworkAgreementState() != 1) {
        _showNetworkAgreementPopup();
        return;
    }
    if (store->getUserAgreementState() != 1) {
        _showUserAgreementPopup();
        return;
    }
    if (!_hasNetwork()) {
        _sendConnectionRequest(ZentrelUtil::isNetworkSupportDevice() ? "network_connect"
                                                                     : "wifi_connect");
        return;
    }
    ++_calCount;
    // This system has no diagnostic service, so its diagnostic mode is never on.
    _runCal();
    _updateAltiViewLater();
}

bool ZentrelAltiViewController::_hasNetwork() const {
    return ZentrelUtil::isConnectToMobile() || ZentrelUtil::isConnectedNetwork();
}

void ZentrelAltiViewController::_sendConnectionRequest(const char* type) {
    if (ZentrelUtil::sendLinkraAppcontrol(type, _connectionReplyCb, this)) {
        return;
    }
    // Without the connection screen the user still learns why nothing happens.
    _showOneButtonPopup("IDS_ST_POP_NETWORK_UNAVAILABLE");
}

void ZentrelAltiViewController::_connectionReplyCb(app_control_h, app_control_h,
                                                   app_control_result_e result, void* data) {
    auto* self = static_cast<ZentrelAltiViewController*>(data);
    if (!livePages().count(self)) {
        ZLOGW("connection reply for a page that is gone");
        return;
    }
    ZLOGI("connection screen answered %d", static_cast<int>(result));
    if (result == APP_CONTROL_RESULT_SUCCEEDED) {
        self->_showEnterManuallyPopup();
    }
}

void ZentrelAltiViewController::_runCal() {
    _eMeasuringState = MeasuringState::LOCATION_CALL;
    const int error = location()->createLocationMgr(this);
    if (error != LOCATIONS_ERROR_NONE) {
        _locationErrHandling(error);
        return;
    }
    _mesuringAlti();
}

void ZentrelAltiViewController::_mesuringAlti() {
    ZLOGI("Start measuring ...");
    const locationState state = location()->getLocationState();
    if (state == ENABLED) {
        const int error = _readPositionAndRequest(MeasuringState::CONTENT_PROVIDER_CALL);
        if (error != LOCATIONS_ERROR_NONE) {
            _locationErrHandling(error);
        }
        return;
    }
    if (state == DISABLED) {
        ZLOGI("locationState::NOT_READY, check callback function.");
        _checkLocationResponse();
        return;
    }
    ZLOGE("getLocationState() error case(%d)", static_cast<int>(state));
}

int ZentrelAltiViewController::_readPositionAndRequest(MeasuringState next) {
    double latitude = 0, longitude = 0, altitude = 0;
    const int error = location()->getCurrentPosition(&latitude, &longitude, &altitude);
    if (error != LOCATIONS_ERROR_NONE) {
        return error;
    }
    ZLOGI("latitude : %lf, longitude : %lf, altitude : %lf", latitude, longitude, altitude);
    // The position is known: the wait for the location service is over.
    _cancelWatchdog();
    _eMeasuringState = next;
    ZentrelAltitudeMgr* request = ZentrelAltitudeMgr::getInstance();
    request->SetEventListener(this);
    request->Request(latitude, longitude, kRequestTimeout);
    return LOCATIONS_ERROR_NONE;
}

// ---- automatic calibration ---------------------------------------------------

void ZentrelAltiViewController::runAutoCalibration() {
    ZentrelLogging::getInstance()->sendKorvaneLog(SET_CALIBRATION, nullptr, nullptr);
    if (storage()->getUserAgreementState() != 1) {
        ZLOGI("User Agreement is not checked");
        return;
    }
    if (!_hasNetwork()) {
        ZLOGI("not connect network");
        return;
    }
    if (_isMeasuring()) {
        ZLOGI("getting SLP is processing");
        return;
    }
    _runAutoCal();
    _updateAltiViewLater();
}

void ZentrelAltiViewController::_runAutoCal() {
    _eMeasuringState = MeasuringState::LOCATION_CALL_BY_AUTO;
    if (location()->createLocationMgr(this) != LOCATIONS_ERROR_NONE) {
        _setIdle();
        updateAltiView();
        return;
    }
    _measuringAutoCal();
}

void ZentrelAltiViewController::_measuringAutoCal() {
    ZLOGI("Start auto measuring ...");
    const locationState state = location()->getLocationState();
    if (state == ENABLED) {
        if (_readPositionAndRequest(MeasuringState::CONTENT_PROVIDER_CALL_BY_AUTO) !=
            LOCATIONS_ERROR_NONE) {
            _setIdle();
            updateAltiView();
        }
        return;
    }
    if (state == DISABLED) {
        ZLOGI("locationState::NOT_READY during auto refresh, check callback function.");
        _checkLocationResponse();
        return;
    }
    ZLOGE("getLocationState() error case(%d)", static_cast<int>(state));
    _setIdle();
    updateAltiView();
}

bool ZentrelAltiViewController::_isAutoFlow() const {
    return _eMeasuringState == MeasuringState::LOCATION_CALL_BY_AUTO ||
           _eMeasuringState == MeasuringState::CONTENT_PROVIDER_CALL_BY_AUTO;
}

void ZentrelAltiViewController::_setIdle() {
    if (_isMeasuring()) {
        location()->stopLocationMgr();
    }
    _eMeasuringState = MeasuringState::IDLE;
}

// ---- the location service ----------------------------------------------------

void ZentrelAltiViewController::_checkLocationResponse() {
    brisa::WUiTimer::destroy(_popupTimer);
    _popupTimer = brisa::WUiTimer::addTimer(
        _watchdogSeconds,
        [this](void*) {
            ZLOGI("location service timer expired");
            _locationErrorhandle();
            location()->unsetLocationsetting();
            return false;
        },
        nullptr, _layout);
}

void ZentrelAltiViewController::_cancelWatchdog() {
    brisa::WUiTimer::destroy(_popupTimer);
}

void ZentrelAltiViewController::_locationErrorhandle() {
    if (_eMeasuringState == MeasuringState::LOCATION_CALL_BY_AUTO) {
        _setIdle();
        updateAltiView();
        return;
    }
    const char* id = ZentrelUtil::isConnectToMobileByBT() && ZentrelUtil::isKorvanedevice()
                         ? kPhoneIndoors
                         : kWatchIndoors;
    if (_isMeasuring()) {
        _setIdle();
        _showOneButtonPopup(id);
    }
    updateAltiView();
}

bool ZentrelAltiViewController::onStateChanged(int state) {
    ZLOGI("state : %d", state);
    ZLOGI("_eMeasuringState : %d", static_cast<int>(_eMeasuringState));
    const bool waiting = _eMeasuringState == MeasuringState::LOCATION_CALL ||
                         _eMeasuringState == MeasuringState::LOCATION_CALL_BY_AUTO;
    if (state != ENABLED || !waiting) {
        return true;
    }
    const int error = _readPositionAndRequest(_eMeasuringState);
    if (error != LOCATIONS_ERROR_NONE) {
        ZLOGE("Failed to Get GPS");
        _locationErrHandling(error);
    }
    return true;
}

bool ZentrelAltiViewController::onLocationEnabled(bool enabled) {
    if (enabled) {
        return true;
    }
    _cancelWatchdog();
    const bool makersPhone = !ZentrelUtil::isConnectToMobile() || ZentrelUtil::isKorvanedevice();
    _setIdle();
    _showOneButtonPopup(makersPhone ? kLocationNotAvailable : kLocationOffOnPhone);
    updateAltiView();
    return true;
}

void ZentrelAltiViewController::_locationErrHandling(int code) {
    _cancelWatchdog();
    if (_isAutoFlow()) {
        // An automatic calibration never speaks up; it only ends.
        ZLOGE("location error %d during auto refresh", code);
        _setIdle();
        updateAltiView();
        return;
    }
    switch (code) {
        case LOCATIONS_ERROR_OUT_OF_MEMORY:
            ZLOGE("LOCATIONS_ERROR_OUT_OF_MEMORY");
            _showToast(kLocationNotAvailable);
            break;
        case LOCATIONS_ERROR_INVALID_PARAMETER:
            ZLOGE("LOCATIONS_ERROR_INVALID_PARAMETER");
            _showToast(kLocationNotAvailable);
            break;
        case LOCATIONS_ERROR_ACCESSIBILITY_NOT_ALLOWED:
            ZLOGE("LOCATIONS_ERROR_ACCESSIBILITY_NOT_ALLOWED");
            _showToast(kLocationNotAvailable);
            break;
        case LOCATIONS_ERROR_INCORRECT_METHOD:
            ZLOGE("LOCATIONS_ERROR_INCORRECT_METHOD");
            _showToast(kLocationNotAvailable);
            break;
        case LOCATIONS_ERROR_SERVICE_NOT_AVAILABLE:
            ZLOGE("LOCATIONS_ERROR_SERVICE_NOT_AVAILABLE");
            _showToast(kLocationNotAvailable);
            break;
        case LOCATIONS_ERROR_NOT_SUPPORTED:
            ZLOGE("LOCATIONS_ERROR_NOT_SUPPORTED");
            _showOneButtonPopup(kLocationNotAvailable);
            break;
        case LOCATIONS_ERROR_SECURITY_RESTRICTED:
            ZLOGE("LOCATIONS_ERROR_SECURITY_RESTRICTED");
            _showToast(kLocationNotAvailable);
            break;
        case LOCATIONS_ERROR_NETWORK_FAILED:
            ZLOGE("LOCATIONS_ERROR_NETWORK_FAILED");
            _sendConnectionRequest("network_connect");
            break;
        case LOCATIONS_ERROR_GPS_SETTING_OFF:
            ZLOGE("LOCATIONS_ERROR_GPS_SETTING_OFF");
            _gpsSettingOff();
            return;
        default:
            break;
    }
    _setIdle();
    updateAltiView();
}

void ZentrelAltiViewController::_gpsSettingOff() {
    const char* id = "WDS_ALTI_POP_TURN_ON_LOCATION_Q";
    if (ZentrelUtil::isConnectToMobileByBT()) {
        if (ZentrelUtil::isKorvanedevice()) {
            id = "WDS_ALTI_POP_TURN_ON_LOCATION_ON_YOUR_PHONE_Q";
        } else if (!location()->isGpsEnabled()) {
            _setIdle();
            _showOneButtonPopup(kLocationOffOnPhone);
            updateAltiView();
            return;
        }
    }
    _showLocationPopup(id);
}

// ---- the sea-level pressure --------------------------------------------------

void ZentrelAltiViewController::OnDataReceived(WeatherDataPtr data) {
    const double slp = data ? data->GetAtmPressure() : 0.0;
    if (!(slp >= kSlpMin && slp <= kSlpMax)) {
        ZLOGE("sea-level pressure %lf is not a reading; nothing stored", slp);
        OnDataReceiveFailed();
        return;
    }
    _cancelWatchdog();
    _setIdle();
    ZentrelStorageMgr* store = storage();
    if (store->isDataSLPHistoryEmpty()) {
        viewSignal.onEmit("action,first,transit", nullptr);
    }
    _previousSLP = store->getDataSLP();
    const long long now = static_cast<long long>(time(nullptr));
    store->addDataSLPHistory(now, slp);
    store->saveDataCalTime(now);
    store->saveDataSLP(slp);
    store->saveTemperature(data->getTemperature());
    const double pressure = store->getCurrentPressure();
    ZLOGI("Received completed - SLP(%.1lf->%.1lf), P(%.1lf), T(%.1lf), A(%.1lf)", _previousSLP, slp,
          pressure, data->getTemperature(), store->getAltivalue(pressure, slp));
    _calCount = 0;
    updateAltiView();
    if (_graphItemList) {
        deleteGraph();
        initGraph();
        createGraph(_graphItemList);
    }
    viewSignal.onEmit("action,show,picker", &_previousSLP);
    if (_graph) {
        _graph->showArrow();
    }
}

void ZentrelAltiViewController::OnDataReceiveFailed() {
    ZLOGE("eMeasuringState State %d", static_cast<int>(_eMeasuringState));
    _cancelWatchdog();
    if (_isAutoFlow()) {
        _setIdle();
        updateAltiView();
        return;
    }
    _setIdle();
    if (!ZentrelUtil::isConnectToMobile()) {
        _sendConnectionRequest("network_connect");
    } else {
        _showOneButtonPopup("IDS_ST_POP_NETWORK_UNAVAILABLE");
    }
    updateAltiView();
}

// ---- popups ------------------------------------------------------------------

ZentrelAltiViewController::ePopupState ZentrelAltiViewController::getPopupState() const {
    ZLOGD("popup state %d", static_cast<int>(_ePopupState));
    return _ePopupState;
}

void ZentrelAltiViewController::setPopupState(ePopupState state) {
    ZLOGD("popup state %d -> %d", static_cast<int>(_ePopupState), static_cast<int>(state));
    _ePopupState = state;
}

void ZentrelAltiViewController::_deleteCurrentPopup() {
    for (Evas_Object** popup : {&_currentSubPopup, &_currentPopup}) {
        if (*popup) {
            evas_object_event_callback_del_full(*popup, EVAS_CALLBACK_DEL, _popupDelCb, this);
            evas_object_del(*popup);
            *popup = nullptr;
        }
    }
    _userAgreementPopupTextLabel = nullptr;
    _lblTC = nullptr;
    _lblPP = nullptr;
}

void ZentrelAltiViewController::_popupDelCb(void* data, Evas*, Evas_Object* obj, void*) {
    auto* self = static_cast<ZentrelAltiViewController*>(data);
    if (!self) {
        ZLOGE("data is null");
        return;
    }
    if (obj == self->_currentPopup) {
        self->_currentPopup = nullptr;
        self->_userAgreementPopupTextLabel = nullptr;
    }
    if (obj == self->_currentSubPopup) {
        self->_currentSubPopup = nullptr;
        self->_lblTC = nullptr;
        self->_lblPP = nullptr;
    }
}

void ZentrelAltiViewController::_trackPopup(Evas_Object* popup, ePopupState state) {
    if (!popup) {
        ZLOGE("popup state error(%d)", static_cast<int>(state));
        return;
    }
    _currentPopup = popup;
    evas_object_event_callback_add(popup, EVAS_CALLBACK_DEL, _popupDelCb, this);
    setPopupState(state);
    if (_graph) {
        _graph->hideArrow();
    }
}

void ZentrelAltiViewController::_popupClosed() {
    if (_circleScroller) {
        eext_rotary_object_event_activated_set(_circleScroller, EINA_TRUE);
    }
    setPopupState(ePopupState::INIT);
    updateAltiView();
}

bool ZentrelAltiViewController::_secondFailure() {
    if (_calCount != 2) {
        return false;
    }
    ZLOGI("Enter Manually popup");
    _showEnterManuallyPopup();
    return true;
}

void ZentrelAltiViewController::_showToast(const char* id) {
    if (_secondFailure()) {
        return;
    }
    _deleteCurrentPopup();
    _trackPopup(ZentrelPopup::toast(_layout, text(id), kToastSeconds, [this] { _popupClosed(); }),
                ePopupState::TOAST);
}

void ZentrelAltiViewController::_showOneButtonPopup(const char* id) {
    if (_secondFailure()) {
        return;
    }
    _deleteCurrentPopup();
    ZLOGI("Popup is opened [%s]", id);
    auto close = [this] {
        _popupClosed();
        if (_graph) {
            _graph->showArrow();
        }
    };
    _trackPopup(ZentrelPopup::oneButton(_layout, nullptr, text(id), "IDS_COM_SK_OK", close, close),
                ePopupState::ONEBTN);
}

void ZentrelAltiViewController::_showLocationPopup(const char* id) {
    _cancelWatchdog();
    _deleteCurrentPopup();
    auto refuse = [this] {
        _popupClosed();
        _setIdle();
        _showToast(kLocationNotAvailable);
        updateAltiView();
    };
    auto agree = [this] {
        _popupClosed();
        if (location()->onLocationsetting(this) != LOCATIONS_ERROR_NONE) {
            _locationErrHandling(LOCATIONS_ERROR_SERVICE_NOT_AVAILABLE);
            return;
        }
        _checkLocationResponse();
    };
    // The back key answers no: the flow must not wait for an answer that never comes.
    _trackPopup(ZentrelPopup::twoButtons(_layout, nullptr, text(id), refuse, agree, refuse),
                ePopupState::TWOBTN_LOCATION);
}

std::string ZentrelAltiViewController::_networkAgreementText() const {
    return replaceFirst(
        text("IDS_IDLE_POP_SOME_OF_PSS_FEATURES_NEED_TO_USE_NETWORK_CONNECTIONS_TO_WORK_NORMALLY_"
             "ALLOW_Q"),
        "%s", text("WDS_ALTI_MBODY_ZENTREL_ABB"));
}

void ZentrelAltiViewController::_showNetworkAgreementPopup() {
    _deleteCurrentPopup();
    auto close = [this] { _popupClosed(); };
    auto agree = [this] {
        _popupClosed();
        storage()->saveUseNetworkAgreementState(1);
        _refreshBtnCb(false);
    };
    _trackPopup(ZentrelPopup::twoButtons(_layout, "IDS_ST_HEADER_ALLOW_APP_PERMISSION_ABB",
                                         _networkAgreementText(), close, agree, close),
                ePopupState::TWOBTN_USE_NETWORK_AGREEMENT);
}

void ZentrelAltiViewController::_showUserAgreementPopup() {
    _deleteCurrentPopup();
    auto close = [this] { _popupClosed(); };
    auto agree = [this] {
        _popupClosed();
        storage()->saveUserAgreementState(1);
        _refreshBtnCb(false);
    };
    WeatherCpMgr* provider = WeatherCpMgr::GetInstance();
    const std::string policy = provider->GetPrivacyPolicyText();
    if (provider->GetWeatherCp() != kChinaProvider) {
        _trackPopup(ZentrelPopup::twoButtons(_layout, nullptr, policy, close, agree, close),
                    ePopupState::TWOBTN_USER_AGREEMENT);
        return;
    }
    Evas_Object* win = elm_object_top_widget_get(_layout);
    Evas_Object* box = elm_box_add(win);
    _userAgreementPopupTextLabel = ZentrelPopup::createTextLabel(box, policy);
    elm_box_pack_end(box, _userAgreementPopupTextLabel);
    Evas_Object* link = _createLink(box);
    elm_object_text_set(link, _linkMarkup("provider", "IDS_ST_MBODY_SERVICE_PROVIDER_CHN").c_str());
    evas_object_smart_callback_add(
        link, "anchor,clicked",
        [](void* data, Evas_Object*, void*) {
            static_cast<ZentrelAltiViewController*>(data)->_showServiceProviderPopup();
        },
        this);
    evas_object_show(link);
    elm_box_pack_end(box, link);
    evas_object_show(box);
    Evas_Object* popup = ZentrelPopup::twoButtonsWithContent(
        _layout, "LDS_ALTI_HEADER_IMPORTANT_NOTICE", box, close, agree, close);
    _trackPopup(popup, ePopupState::TWOBTN_USER_AGREEMENT);
    _userAgreementPopupTextLabel = popup ? _userAgreementPopupTextLabel : nullptr;
}

// Anchors are tappable in a read-only entry, not in a label.
Evas_Object* ZentrelAltiViewController::_createLink(Evas_Object* parent) {
    Evas_Object* link = elm_entry_add(parent);
    elm_entry_editable_set(link, EINA_FALSE);
    elm_entry_scrollable_set(link, EINA_FALSE);
    evas_object_size_hint_weight_set(link, EVAS_HINT_EXPAND, 0.0);
    evas_object_size_hint_align_set(link, EVAS_HINT_FILL, 0.5);
    return link;
}

std::string ZentrelAltiViewController::_linkMarkup(const char* url, const char* id) const {
    char markup[1024];
    snprintf(markup, sizeof(markup),
             "<link><a href=%s><font_size=28><font color=#FAFAFA><align=center>%s</align></font "
             "color></font_size></a></link>",
             url, text(id));
    return markup;
}

void ZentrelAltiViewController::_showServiceProviderPopup() {
    if (_currentSubPopup) {
        return;
    }
    Evas_Object* win = elm_object_top_widget_get(_layout);
    Evas_Object* box = elm_box_add(win);
    const std::string body = std::string(kProviderLegalName) + "\n\n" +
                             text("WDS_OPLATFORM_HEADER_REQUIRED_PERMISSION") + "\n" +
                             text("WDS_ST_OPT_LOCATION_ABB") + "\n\n" +
                             text("KESTO_CLOUD_HEADER_PURPOSE") + "\n" +
                             text("LDS_ALTI_NPBODY_TO_PROVIDE_THE_ALTITUDE_OF_YOUR_LOCATION");
    elm_box_pack_end(box, ZentrelPopup::createTextLabel(box, body));
    _lblTC = _createLink(box);
    elm_object_text_set(
        _lblTC, _linkMarkup(kProviderTermsUrl, "IDS_ST_HEADER_TERMS_AND_CONDITIONS").c_str());
    _lblPP = _createLink(box);
    elm_object_text_set(_lblPP,
                        _linkMarkup(kProviderPrivacyUrl, "IDS_VC_BODY_PRIVACY_POLICY").c_str());
    for (Evas_Object* link : {_lblTC, _lblPP}) {
        evas_object_smart_callback_add(link, "anchor,clicked", _linkClickedCb, this);
        evas_object_show(link);
        elm_box_pack_end(box, link);
    }
    evas_object_show(box);
    Evas_Object* popup = ZentrelPopup::oneButton(_layout, "IDS_ST_MBODY_SERVICE_PROVIDER_CHN", "",
                                                 "IDS_COM_SK_OK", nullptr, nullptr);
    if (!popup) {
        evas_object_del(box);
        _lblTC = _lblPP = nullptr;
        return;
    }
    // Longer than the circle: the page scrolls inside the popup's content area.
    Evas_Object* scroller = elm_scroller_add(popup);
    elm_scroller_bounce_set(scroller, EINA_FALSE, EINA_FALSE);
    elm_scroller_policy_set(scroller, ELM_SCROLLER_POLICY_OFF, ELM_SCROLLER_POLICY_OFF);
    evas_object_size_hint_weight_set(box, EVAS_HINT_EXPAND, 0.0);
    evas_object_size_hint_align_set(box, EVAS_HINT_FILL, 0.0);
    elm_object_content_set(scroller, box);
    elm_object_part_content_set(popup, "elm.swallow.content", scroller);
    evas_object_layer_set(popup, EVAS_LAYER_MAX);
    _currentSubPopup = popup;
    evas_object_event_callback_add(popup, EVAS_CALLBACK_DEL, _popupDelCb, this);
}

void ZentrelAltiViewController::_linkClickedCb(void* data, Evas_Object*, void* eventInfo) {
    auto* self = static_cast<ZentrelAltiViewController*>(data);
    auto* info = static_cast<Elm_Entry_Anchor_Info*>(eventInfo);
    if (!self || !info || !info->name) {
        ZLOGE("data is null");
        return;
    }
    self->_openProviderLink(info->name);
}

void ZentrelAltiViewController::_openProviderLink(const char* url) {
    if (ZentrelUtil::getIntVconf("db/setup_wizard/standalone") == 1) {
        ZLOGI("standalone mode: links stay closed");
        return;
    }
    if (!ZentrelUtil::getHostConnected()) {
        // Only the link's own screen: its answer leads nowhere on this page.
        ZentrelUtil::sendLinkraAppcontrol("bt_connect", nullptr, nullptr);
        return;
    }
    _deleteCurrentPopup();
    _trackPopup(ZentrelPopup::toast(_layout, text("WDS_CLD_OPT_SHOW_ON_PHONE_ABB3"), kToastSeconds,
                                    [this] { _popupClosed(); }),
                ePopupState::TOAST);
    const bool ok = flitter_service_connect() == FLITTER_ERROR_NONE &&
                    flitter_request_to_browse("zentrel", url) == FLITTER_ERROR_NONE;
    flitter_service_disconnect();
    if (!ok) {
        ZLOGE("flitter_request_to_browse failed!!!");
    }
}

void ZentrelAltiViewController::_showEnterManuallyPopup() {
    _calCount = 0;
    _deleteCurrentPopup();
    auto close = [this] { _popupClosed(); };
    auto enter = [this] {
        _popupClosed();
        _pushManualCalibration();
    };
    _trackPopup(
        ZentrelPopup::twoButtons(_layout, nullptr, text(kEnterManually), close, enter, close),
        ePopupState::TWOBTN);
}

void ZentrelAltiViewController::_pushManualCalibration() {
    brisa::WNaviframeController* navi = getNaviframeController();
    if (!navi) {
        ZLOGE("no naviframe for the calibration screen");
        return;
    }
    navi->push(new ZentrelSettingCalibrationViewController());
}

// ---- page protocol -----------------------------------------------------------

void ZentrelAltiViewController::onBecomeTop() {
    ZLOGI("_deleteCurrentPopup");
    _deleteCurrentPopup();
    setPopupState(ePopupState::INIT);
    _showArrowLater();
    if (_getAltiViewState() == ViewState::AUTO_NORMAL) {
        updateCalTime();
    }
}

void ZentrelAltiViewController::onBecomeTopPage() {
    _showArrowLater();
    _setAccessReadable(true);
    if (_accessRect && elm_config_access_get()) {
        elm_access_highlight_set(_accessRect);
    }
}

void ZentrelAltiViewController::onBecomeHidePage() {
    _setAccessReadable(false);
}

void ZentrelAltiViewController::scrollEnd() {
    if (_title) {
        elm_layout_signal_emit(_title, "elm,state,slide,start", "");
    }
}

void ZentrelAltiViewController::onLaunchAnimationStart() {
    if (_layout) {
        elm_layout_signal_emit(_layout, "block,unit,event", kUnitEvent);
    }
}

void ZentrelAltiViewController::onLaunchAnimationEnd() {
    if (!_layout) {
        return;
    }
    const ViewState state = _getAltiViewState();
    if (isLdu() || state == ViewState::AUTO_NORMAL || state == ViewState::MANUAL_NORMAL) {
        elm_layout_signal_emit(_layout, "unblock,unit,event", kUnitEvent);
    }
}

void ZentrelAltiViewController::_showArrowLater() {
    brisa::WUiTimer::destroy(_arrowIdler);
    _arrowIdler = brisa::WUiTimer::addIdler(
        [this](void*) {
            if (_graph && !_currentPopup) {
                _graph->showArrow();
            }
            return false;
        },
        nullptr, _layout);
}

void ZentrelAltiViewController::deleteGraph() {
    if (_graph) {
        _graph->destroyGraph();
    }
}

void ZentrelAltiViewController::initGraph() {
    _graph.reset();
}

void ZentrelAltiViewController::createGraph(std::shared_ptr<ZentrelGraphItemList> list) {
    _graphItemList = list;
    if (!_layout) {
        ZLOGW("_Layout not created yet");
        return;
    }
    if (storage()->isDataSLPHistoryEmpty() && storage()->getSettingManualMode() != 1) {
        return;
    }
    if (!_graph) {
        _graph = std::make_unique<ZentrelGraph>("ZentrelAltiView::createGraph");
    }
    _graph->createGraph(_layout, "alti_graph", _graphItemList, ALTI_GRAPH);
    _graph->updateCalTimeLine(_graphItemList);
}

void ZentrelAltiViewController::addGraphItem(std::shared_ptr<ZentrelGraphItemList> list) {
    _graphItemList = list;
    if (!_graph) {
        ZLOGD("Graph is nullptr");
        return;
    }
    _graph->updateGraph(list);
}

void ZentrelAltiViewController::_layoutMoveCb(void* data, Evas*, Evas_Object*, void*) {
    auto* self = static_cast<ZentrelAltiViewController*>(data);
    if (!self || !self->_graph) {
        return;
    }
    const bool empty = storage()->isDataSLPHistoryEmpty();
    if (self->_ePopupState != ePopupState::INIT || empty) {
        ZLOGD("Do not move nowmark. _ePopupState [%d] isDataSLPHistoryEmpty[%d]",
              static_cast<int>(self->_ePopupState), empty);
        return;
    }
    self->_graph->moveNowMark();
}

void ZentrelAltiViewController::_manualModeChangedCb(const char*, void* data) {
    auto* self = static_cast<ZentrelAltiViewController*>(data);
    if (!self || !livePages().count(self)) {
        return;
    }
    if (isLdu()) {
        self->updateLDUAltiView();
        return;
    }
    self->updateAltiView();
    if (self->_getAltiViewState() != ViewState::INIT_NORMAL &&
        (!self->_graph || !self->_graph->getChartObject())) {
        self->createGraph(self->_graphItemList);
    }
}

// ---- screen reader -----------------------------------------------------------

std::string ZentrelAltiViewController::getScreenReaderText() const {
    if (!_layout) {
        return "";
    }
    auto part = [this](Evas_Object* layout, const char* name) {
        const char* value = elm_object_part_text_get(layout, name);
        return std::string(value ? value : "");
    };
    std::string reading = text("WDS_ALTI_HEADER_ALTIMETER_ABB");
    auto add = [&reading](const std::string& piece) {
        if (!piece.empty()) {
            reading += ", " + piece;
        }
    };
    // The catalogue's text is not trusted as a format string.
    add(replaceFirst(replaceFirst(text("WDS_ACCS_TBOPT_PAGE_P1SD_OF_P2SD"), "%1$d", "1"), "%2$d",
                     std::to_string(kPageCount).c_str()));
    const ViewState state = isLdu() ? ViewState::LDU_MODE : _getAltiViewState();
    switch (state) {
        case ViewState::INIT_NORMAL:
            add(part(_layout, "alti_init_content"));
            add(part(_layout, "alti_init_go_text"));
            add(text("WDS_ALTI_TBBODY_DOUBLE_TAP_TO_CALIBRATE_ALTITUDE"));
            break;
        case ViewState::INIT_MEASURING:
            add(part(_layout, "alti_init_content"));
            add(part(_layout, "alti_measuring_altitude_text"));
            break;
        case ViewState::AUTO_MEASURING:
            add(part(_valueLayout, "value") + " " + part(_valueLayout, "unit"));
            add(part(_layout, "alti_hour"));
            add(part(_layout, "alti_measuring_altitude_text"));
            break;
        default:
            add(part(_valueLayout, "value") + " " + part(_valueLayout, "unit"));
            add(part(_layout, "alti_hour"));
            add(part(_layout, "alti_calibrated_text"));
            add(part(_layout, "alti_calibrated_time_and_set_ref_text"));
            add(text("WDS_ALTI_TBBODY_DOUBLE_TAP_TO_CALIBRATE_ALTITUDE"));
            break;
    }
    return reading;
}

// The page reads as one: its title, page number and what the state shows.
void ZentrelAltiViewController::_registerAccess() {
    Evas_Object* target = ZentrelUtil::partObject(_layout, "rect_acc");
    _accessRect = target ? elm_access_object_register(target, _layout) : nullptr;
    if (!_accessRect) {
        ZLOGE("Cannot register rect_acc access obj.");
        return;
    }
    elm_access_info_cb_set(
        _accessRect, ELM_ACCESS_INFO,
        [](void* data, Evas_Object*) -> char* {
            auto* self = static_cast<ZentrelAltiViewController*>(data);
            return self ? strdup(self->getScreenReaderText().c_str()) : nullptr;
        },
        this);
}

void ZentrelAltiViewController::_setAccessReadable(bool readable) {
    const Efl_Access_Type type = readable ? EFL_ACCESS_TYPE_REGULAR : EFL_ACCESS_TYPE_SKIPPED;
    for (Evas_Object* obj : {_accessRect, _title}) {
        if (obj) {
            efl_access_object_access_type_set(obj, type);
        }
    }
}

// ---- demo (LDU) view ---------------------------------------------------------

void ZentrelAltiViewController::updateLDUAltiView() {
    if (!_layout || !_valueLayout) {
        return;
    }
    const bool manual = storage()->getSettingManualMode() == 1;
    if (!manual) {
        elm_layout_signal_emit(_layout, "change,to,lduauto", kRefreshEvent);
        elm_layout_signal_emit(_layout, "stop,refesh,button", kRefreshImage);
        _setPartText("alti_hour", "WDS_ALTI_BODY_LAST_6_HOURS_ABB");
        _setPartText("alti_calibrated_text", "WDS_ALTI_BUTTON_CALIBRATED_M_STATIS_ABB");
        std::unique_ptr<char, decltype(&free)> now(ZentrelUtil::getTimeText(time(nullptr)), &free);
        elm_object_part_text_set(_layout, "alti_calibrated_time_and_set_ref_text",
                                 now ? now.get() : "");
    } else {
        elm_layout_signal_emit(_layout, "change,to,ldumanual", kRefreshEvent);
        _setPartText("alti_hour", "WDS_ALTI_BODY_LAST_6_HOURS_ABB");
        _setPartText("alti_calibrated_time_and_set_ref_text", "WDS_ALTI_BUTTON_SET_REFERENCE_ABB");
    }
    const bool feet = storage()->getSettingDistance() == 1;
    const char* shown = elm_object_part_text_get(_valueLayout, "value");
    const std::string current = shown ? shown : "";
    const int value = feet ? (current == "364" ? 361 : 364) : (current == "111" ? 110 : 111);
    elm_object_part_text_set(_valueLayout, "value", std::to_string(value).c_str());
    elm_object_part_text_set(
        _valueLayout, "unit",
        text(feet ? "WDS_ALTI_BODY_FT_M_FEET_UNIT_LC" : "WDS_ALTI_BODY_M_M_METRES_UNIT_LC"));
}

void ZentrelAltiViewController::_lduRefresh() {
    feedback_play(FEEDBACK_PATTERN_TAP);
    if (storage()->getSettingManualMode() == 1) {
        _pushManualCalibration();
        return;
    }
    elm_layout_signal_emit(_layout, "change,to,lduautomeasure", kRefreshEvent);
    elm_layout_signal_emit(_layout, "rotate,refesh,button", kRefreshImage);
    _setPartText("alti_measuring_altitude_text", "WDS_ALTI_BODY_CALIBRATING_ING");
    brisa::WUiTimer::destroy(_lduTimer);
    _lduTimer = brisa::WUiTimer::addTimer(
        kLduMeasureSeconds,
        [this](void*) {
            updateLDUAltiView();
            return false;
        },
        nullptr, _layout);
}

void ZentrelAltiViewController::_lduToggleUnit() {
    ZentrelStorageMgr* store = storage();
    const int unit = store->getSettingDistance() == 0 ? 1 : 0;
    store->saveSettingDistance(unit);
    const char* shown = elm_object_part_text_get(_valueLayout, "value");
    const double number = shown ? atof(shown) : 0.0;
    const long converted = std::lround(unit == 1 ? number * kFeetPerMetre : number / kFeetPerMetre);
    elm_object_part_text_set(_valueLayout, "value", std::to_string(converted).c_str());
    elm_object_part_text_set(
        _valueLayout, "unit",
        text(unit == 1 ? "WDS_ALTI_BODY_FT_M_FEET_UNIT_LC" : "WDS_ALTI_BODY_M_M_METRES_UNIT_LC"));
    viewSignal.onEmit("set,page,alti", nullptr);
}

// ---- toolkit callbacks -------------------------------------------------------

void ZentrelAltiViewController::_refreshClickedCb(void* data, Evas_Object*, const char*,
                                                  const char*) {
    auto* self = static_cast<ZentrelAltiViewController*>(data);
    if (!self) {
        ZLOGE("data is null");
        return;
    }
    self->_refreshBtnCb(true);
}

void ZentrelAltiViewController::_refreshPressCb(void* data, Evas_Object*, const char* emission,
                                                const char*) {
    auto* self = static_cast<ZentrelAltiViewController*>(data);
    if (!self || !emission) {
        ZLOGE("data is null");
        return;
    }
    const char* target = storage()->isDataSLPHistoryEmpty() ? kGoEvent : kRefreshEvent;
    if (std::string(emission) == "mouse,down,1") {
        elm_layout_signal_emit(self->_layout, "mouse,down,code,1", target);
        return;
    }
    brisa::WUiTimer::destroy(self->_pressTimer);
    self->_pressTimer = brisa::WUiTimer::addTimer(
        kUpdateViewDelay,
        [self, target](void*) {
            elm_layout_signal_emit(self->_layout, "mouse,up,code,1", target);
            return false;
        },
        nullptr, self->_layout);
}

void ZentrelAltiViewController::_unitClickedCb(void* data, Evas_Object*, const char*, const char*) {
    auto* self = static_cast<ZentrelAltiViewController*>(data);
    if (!self) {
        ZLOGE("data is null");
        return;
    }
    self->_toggleUnit();
}

void ZentrelAltiViewController::_lduRefreshCb(void* data, Evas_Object*, const char*, const char*) {
    auto* self = static_cast<ZentrelAltiViewController*>(data);
    if (self) {
        self->_lduRefresh();
    }
}

void ZentrelAltiViewController::_lduUnitCb(void* data, Evas_Object*, const char*, const char*) {
    auto* self = static_cast<ZentrelAltiViewController*>(data);
    if (self) {
        self->_lduToggleUnit();
    }
}
