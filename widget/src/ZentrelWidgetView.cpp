#include "ZentrelWidgetView.h"

#include <ostra/app_control.h>
#include <ostra/feedback.h>
#include <ostra/i18n.h>

#include <cmath>
#include <cstring>
#include <ctime>

#include "ZentrelBuildConfig.h"
#include "ZentrelLog.h"
#include "ZentrelStorageMgr.h"
#include "ZentrelUtil.h"

namespace {

constexpr const char* kEdjFile = "edje/widget-view.edj";
constexpr const char* kHandsImage = "edje/images/alti_com_hands.png";
constexpr const char* kSignalSource = "widget";
constexpr double kFeetPerMetre = 3.28084;
constexpr double kInhgPerHpa = 0.02953;
constexpr double kMmhgPerHpa = 0.750062;
constexpr double kPi = 3.141592653589793;
constexpr double kLaunchGuardSeconds = 1.0;
constexpr long long kAutoRefreshAgeSeconds = 3600;
constexpr double kDemoPressure = 1003.0;
constexpr double kDemoAltiAngle = 250.59375;
constexpr double kDemoBaroAngle = 445.38751220703125;
constexpr const char* kAccessGap = "   ";

ZentrelStorageMgr* storage() {
    return ZentrelStorageMgr::getInstance();
}

std::string resource(const char* relative) {
    return std::string(ZentrelUtil::getAppResourcePath()) + relative;
}

// The gauge is drawn, not laid out: its altitude arc is on the left in every
// language, so the values, their marks and the tap halves stay beside their
// arcs when the toolkit is mirrored for a right-to-left language.
void keepLeftToRight(Evas_Object* layout) {
    elm_object_mirrored_automatic_set(layout, EINA_FALSE);
    elm_object_mirrored_set(layout, EINA_FALSE);
}

bool demoMode() {
    return storage()->getLDUModeEnable() != 0;
}

const char* distanceUnitText(int unit) {
    return i18n_get_text(unit == 1 ? "WDS_ALTI_SBODY_FT_M_FEET_UNIT_LC"
                                   : "WDS_ALTI_SBODY_M_M_METRES_UNIT_LC");
}

const char* pressureUnitText(int unit) {
    if (unit == 1) {
        return i18n_get_text("WDS_ALTI_BODY_IN_HG_M_UNIT_ABB");
    }
    return i18n_get_text(unit == 2 ? "WDS_ALTI_BODY_MM_HG_M_UNIT_ABB" : "WDS_ALTI_BODY_HPA_ABB2");
}

// The pressure as the whole number the widget shows (inHg in hundredths).
int pressureInteger(double pressure, int unit) {
    if (unit == 1) {
        return static_cast<int>(lround(pressure * kInhgPerHpa * 100));
    }
    if (unit == 2) {
        return static_cast<int>(lround(pressure * kMmhgPerHpa));
    }
    return static_cast<int>(lround(pressure));
}

}  // namespace

ZentrelWidgetView::ZentrelWidgetView() {
    feedback_initialize();
}

ZentrelWidgetView::~ZentrelWidgetView() {
    if (_rotateIdler) {
        ecore_idler_del(_rotateIdler);
    }
    if (_lduTimer) {
        ecore_timer_del(_lduTimer);
    }
    if (_launchTimer) {
        ecore_timer_del(_launchTimer);
    }
    if (_handImgSurface) {
        cairo_surface_destroy(_handImgSurface);
    }
    if (_sensor) {
        _sensor->stopSensor();
        _sensor.reset();
    }
    _calController.reset();
    _gauge.reset();
    if (_layout) {
        evas_object_del(_layout);
        elm_theme_extension_del(nullptr, resource(kEdjFile).c_str());
    }
    storage()->setCurrentPressure(0.0);
    feedback_deinitialize();
}

long long ZentrelWidgetView::_currentTime() const {
    return static_cast<long long>(time(nullptr));
}

Evas_Object* ZentrelWidgetView::create(Evas_Object* parent) {
    if (!parent) {
        ZLOGE("Parent object is null");
        return nullptr;
    }
    const std::string edj = resource(kEdjFile);
    elm_theme_extension_add(nullptr, edj.c_str());
    _layout = elm_layout_add(parent);
    if (!elm_layout_file_set(_layout, edj.c_str(), "widget_view")) {
        ZLOGE("cannot load widget_view from %s", edj.c_str());
        evas_object_del(_layout);
        _layout = nullptr;
        return nullptr;
    }
    keepLeftToRight(_layout);
    _createTitleLabel();
    elm_object_part_text_set(_layout, "init_text",
                             i18n_get_text("WDS_ALTI_SBODY_CALIBRATE_TO_SEE_ALTITUDE_ABB"));
    if (storage()->isDataSLPHistoryEmpty()) {
        _state = INIT;
        elm_layout_signal_emit(_layout, "show,init,text", kSignalSource);
    } else {
        _state = MEASURED;
        elm_layout_signal_emit(_layout, "hide,init,text", kSignalSource);
    }
    _setUnitTexts();
    _registerAccess();
    evas_object_show(_layout);
    _altiHandsImage = _addHands("alti_hands");
    _baroHandsImage = _addHands("baro_hands");
    if (_state == MEASURED) {
        elm_layout_signal_emit(_layout, "show,alti,hands", kSignalSource);
    } else {
        elm_object_part_text_set(_layout, "alti_value", "--");
    }
    elm_layout_signal_emit(_layout, "show,baro,hands", kSignalSource);
    _gauge = std::make_unique<ZentrelWidgetGauge>();
    elm_object_part_content_set(_layout, "gauge", _gauge->create(_layout));
    if (demoMode()) {
        _updateViewForLdu();
    } else {
        _sensor = std::make_unique<ZentrelSensor>(this);
        _sensor->startSensor();
    }
    elm_layout_signal_callback_add(_layout, "mouse,clicked,1", "alti_rect", _clickedCb, this);
    elm_layout_signal_callback_add(_layout, "mouse,clicked,1", "baro_rect", _clickedCb, this);
    _calController = std::make_unique<ZentrelWidgetCalController>(this);
    return _layout;
}

void ZentrelWidgetView::_createTitleLabel() {
    if (_titleLabel) {
        evas_object_del(_titleLabel);
    }
    _titleText = i18n_get_text("WDS_ALTI_HEADER_ALTIMETER_ABB");
    _titleLabel = elm_label_add(_layout);
    elm_object_style_set(_titleLabel, "slide_widget_title");
    elm_label_wrap_width_set(_titleLabel, ELM_SCALE_SIZE(210));
    elm_object_text_set(_titleLabel, _titleText.c_str());
    elm_label_slide_mode_set(_titleLabel, ELM_LABEL_SLIDE_MODE_AUTO);
    elm_label_slide_go(_titleLabel);
    elm_object_part_content_set(_layout, "title", _titleLabel);
}

void ZentrelWidgetView::_setUnitTexts() {
    const int distance = storage()->getSettingDistance();
    elm_object_part_text_set(_layout, "alti_unit", distanceUnitText(distance));
    elm_object_part_text_set(_layout, "baro_unit",
                             pressureUnitText(storage()->getSettingPressure()));
    _prevAltiUnit = distance;
}

Evas_Object* ZentrelWidgetView::_addHands(const char* part) {
    const std::string edj = resource(kEdjFile);
    Evas_Object* hands = elm_layout_add(_layout);
    elm_layout_file_set(hands, edj.c_str(), "hands_layout");
    keepLeftToRight(hands);
    Evas_Object* image = evas_object_image_filled_add(evas_object_evas_get(_layout));
    evas_object_image_file_set(image, resource(kHandsImage).c_str(), nullptr);
    if (evas_object_image_load_error_get(image) != EVAS_LOAD_ERROR_NONE) {
        ZLOGE("cannot load %s", kHandsImage);
    }
    evas_object_image_alpha_set(image, EINA_TRUE);
    elm_object_part_content_set(hands, "image", image);
    elm_object_part_content_set(_layout, part, hands);
    return image;
}

void ZentrelWidgetView::_registerAccess() {
    struct {
        const char* part;
        Evas_Object** access;
        const char* failure;
    } const parts[] = {
        {"alti_rect", &_altiAccess, "Cannot register altiRectAcc access obj."},
        {"baro_rect", &_baroAccess, "Cannot register baroRectAcc access obj."},
    };
    for (const auto& p : parts) {
        Evas_Object* partObj = ZentrelUtil::partObject(_layout, p.part);
        *p.access = partObj ? elm_access_object_register(partObj, _layout) : nullptr;
        if (!*p.access) {
            ZLOGE("%s", p.failure);
            continue;
        }
        elm_access_info_cb_set(*p.access, ELM_ACCESS_INFO, _accessInfoCb, this);
        elm_access_activate_cb_set(*p.access, _accessActivateCb, this);
    }
}

std::string ZentrelWidgetView::getAltiAccessText() const {
    const char* value = elm_object_part_text_get(_layout, "alti_value");
    const char* unit =
        storage()->getSettingDistance() == 1 ? "WDS_ALTI_TBOPT_FEET" : "WDS_ALTI_TBOPT_METRES";
    return std::string(i18n_get_text("WDS_ALTI_HEADER_ALTITUDE_ABB2")) + kAccessGap +
           (value ? value : "") + " " + i18n_get_text(unit);
}

std::string ZentrelWidgetView::getBaroAccessText() const {
    const char* value = elm_object_part_text_get(_layout, "baro_value");
    const int unit = storage()->getSettingPressure();
    const char* unitId = unit == 1   ? "WDS_ALTI_TBOPT_INCHES_OF_MERCURY_M_UNIT"
                         : unit == 2 ? "WDS_ALTI_TBOPT_MILLIMETRE_OF_MERCURY_M_UNIT"
                                     : "WDS_ALTI_TBOPT_HECTOPASCALS";
    return std::string(i18n_get_text("WDS_ALTI_HEADER_BAROMETRIC_PRESSURE_ABB")) + kAccessGap +
           (value ? value : "") + " " + i18n_get_text(unitId);
}

char* ZentrelWidgetView::_accessInfoCb(void* data, Evas_Object* obj) {
    auto* self = static_cast<ZentrelWidgetView*>(data);
    if (!self) {
        ZLOGE("data is null.");
        return nullptr;
    }
    const std::string text =
        obj == self->_altiAccess ? self->getAltiAccessText() : self->getBaroAccessText();
    return strdup(text.c_str());
}

void ZentrelWidgetView::_accessActivateCb(void* data, Evas_Object* part, Elm_Object_Item*) {
    auto* self = static_cast<ZentrelWidgetView*>(data);
    if (!self) {
        ZLOGE("data is null.");
        return;
    }
    self->_launchMainApp(part == self->_altiAccess ? 0 : 1);
}

void ZentrelWidgetView::_clickedCb(void* data, Evas_Object*, const char*, const char* source) {
    auto* self = static_cast<ZentrelWidgetView*>(data);
    if (!self) {
        ZLOGE("data is null.");
        return;
    }
    if (!source) {
        ZLOGE("source is null.");
        return;
    }
    int page = -1;
    if (!strcmp(source, "alti_rect")) {
        page = 0;
    } else if (!strcmp(source, "baro_rect")) {
        page = 1;
    } else {
        ZLOGE("Unknown part clicked.");
        return;
    }
    feedback_play(FEEDBACK_PATTERN_TAP);
    self->_launchMainApp(page);
}

void ZentrelWidgetView::_launchMainApp(int page) {
    if (_launching) {
        ZLOGI("App is being launched already.");
        return;
    }
    if (_calController && _calController->stop()) {
        _state = MEASURED;
    }
    app_control_h request = nullptr;
    app_control_create(&request);
    app_control_set_app_id(request, ZENTREL_APP_ID_MAIN);
    app_control_set_operation(request, ZENTREL_OPERATION_WIDGET_OPEN);
    app_control_add_extra_data(request, "page", std::to_string(page).c_str());
    int ret = app_control_send_launch_request(request, nullptr, nullptr);
    app_control_destroy(request);
    if (ret != APP_CONTROL_ERROR_NONE) {
        ZLOGE("app_control_send_launch_request() failed, ret=[%d]", ret);
    }
    _launching = true;
    _launchTimer = ecore_timer_add(kLaunchGuardSeconds, _launchTimerCb, this);
}

Eina_Bool ZentrelWidgetView::_launchTimerCb(void* data) {
    auto* self = static_cast<ZentrelWidgetView*>(data);
    if (!self) {
        ZLOGE("data is null.");
        return ECORE_CALLBACK_CANCEL;
    }
    self->_launchTimer = nullptr;
    self->_launching = false;
    return ECORE_CALLBACK_CANCEL;
}

bool ZentrelWidgetView::onCurrentPressure(float reading) {
    // A sensor that is not working reports -1; nothing sensible can be shown.
    if (!(reading > 0.0f)) {
        ZLOGW("no usable pressure (%f)", reading);
        return true;
    }
    const double pressure = reading;
    const int distance = storage()->getSettingDistance();
    double altitude = storage()->getAltivalue(pressure);
    if (distance == 1) {
        altitude *= kFeetPerMetre;
    }
    const int alt = storage()->getValidAltiValue(static_cast<int>(lround(altitude)));
    const int baro = pressureInteger(pressure, storage()->getSettingPressure());
    if (!_isChanged(alt, baro)) {
        return true;
    }
    if (!_isForeGroundState && !_isExistingPressureData && _sensor) {
        // One reading is enough for a widget nobody sees.
        _sensor->pauseSensor();
    }
    _isExistingPressureData = true;
    _setUnitTexts();
    if (storage()->isDataSLPHistoryEmpty()) {
        _state = INIT;
        elm_object_part_text_set(_layout, "alti_value", "--");
    } else {
        if (_state == INIT) {
            _state = MEASURED;
            elm_layout_signal_emit(_layout, "hide,init,text", kSignalSource);
            elm_layout_signal_emit(_layout, "show,alti,hands", kSignalSource);
        }
        elm_object_part_text_set(_layout, "alti_value",
                                 ZentrelUtil::getNumberStringFromIcu(alt, false).c_str());
        _prevAltiValue = alt;
    }
    _setPressureTexts(pressure, baro);
    _queueRotation();
    _gauge->updateValue(pressure, elm_object_part_text_get(_layout, "alti_value"),
                        elm_object_part_text_get(_layout, "baro_value"));
    return true;
}

void ZentrelWidgetView::_setPressureTexts(double pressure, int baro) {
    const std::string text = storage()->getSettingPressure() == 1
                                 ? ZentrelUtil::getDoubleNumberStringFromIcu(baro / 100.0, 2, false)
                                 : ZentrelUtil::getNumberStringFromIcu(baro, false);
    elm_object_part_text_set(_layout, "baro_value", text.c_str());
    _prevBaroValue = baro;
    _pressure = pressure;
}

bool ZentrelWidgetView::_isChanged(int alt, int baro) {
    const bool historyEmpty = storage()->isDataSLPHistoryEmpty();
    if (historyEmpty && _state == INIT) {
        if (storage()->getSettingDistance() != _prevAltiUnit) {
            ZLOGI("alti unit changed.");
            return true;
        }
        if (baro != _prevBaroValue) {
            ZLOGI("Baro value changed.");
            return true;
        }
        return false;
    }
    if (!historyEmpty && _state == MEASURED) {
        if (baro != _prevBaroValue || alt != _prevAltiValue) {
            ZLOGI("Value changed.");
            return true;
        }
        return false;
    }
    ZLOGI("State changed INIT->MEASURED");
    return true;
}

double ZentrelWidgetView::_calcAngle(double pressure, valueType type) const {
    if (demoMode()) {
        return type == ALTI ? kDemoAltiAngle : kDemoBaroAngle;
    }
    if (type == ALTI) {
        double x = std::trunc(storage()->getAltivalue(pressure)) + 800.0;
        x = x < 0 ? 0 : x;
        return 225 + static_cast<float>(x) * 0.028125f;
    }
    double x = std::trunc(pressure - 350.0);
    x = x < 0 ? 0 : x;
    return 225 + static_cast<float>(x) * 0.3375f;
}

void ZentrelWidgetView::_queueRotation() {
    if (!_rotateIdler) {
        _rotateIdler = ecore_idler_add(_rotateIdlerCb, this);
    }
}

Eina_Bool ZentrelWidgetView::_rotateIdlerCb(void* data) {
    auto* self = static_cast<ZentrelWidgetView*>(data);
    self->_rotateIdler = nullptr;
    self->_rotatePickerMark(self->_pressure);
    return ECORE_CALLBACK_CANCEL;
}

void ZentrelWidgetView::_rotatePickerMark(double pressure) {
    if (!_handImgSurface) {
        _handImgSurface = cairo_image_surface_create_from_png(resource(kHandsImage).c_str());
    }
    if (cairo_surface_status(_handImgSurface) != CAIRO_STATUS_SUCCESS) {
        ZLOGE("cannot read the picker mark %s", kHandsImage);
        return;
    }
    if (_state == MEASURED) {
        _rotateImage(_altiHandsImage, _calcAngle(pressure, ALTI));
    }
    _rotateImage(_baroHandsImage, _calcAngle(pressure, BARO));
    ZLOGD("picker marks turned for %f hPa", pressure);
}

bool ZentrelWidgetView::_rotateImage(Evas_Object* image, double angle) {
    int w = 0, h = 0;
    evas_object_image_size_get(image, &w, &h);
    const int stride = evas_object_image_stride_get(image);
    auto* pixels = static_cast<unsigned char*>(evas_object_image_data_get(image, EINA_TRUE));
    if (!pixels || w <= 0 || h <= 0) {
        ZLOGE("the picker mark image has no pixels");
        return false;
    }
    cairo_surface_t* surface =
        cairo_image_surface_create_for_data(pixels, CAIRO_FORMAT_ARGB32, w, h, stride);
    cairo_t* cr = cairo_create(surface);
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_paint(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    if (angle > 360) {
        angle -= 360;
    }
    cairo_translate(cr, w / 2.0, h / 2.0);
    cairo_rotate(cr, angle * kPi / 180.0);
    cairo_translate(cr, -w / 2.0, -h / 2.0);
    cairo_set_source_surface(cr, _handImgSurface, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    cairo_surface_destroy(surface);
    evas_object_image_data_set(image, pixels);
    evas_object_image_data_update_add(image, 0, 0, w, h);
    return true;
}

void ZentrelWidgetView::resumed() {
    _isForeGroundState = true;
    if (demoMode()) {
        _updateViewForLdu();
    }
    if (_sensor) {
        _sensor->resumeSensor();
    }
    if (_fontChanged) {
        _fontChanged = false;
        _createTitleLabel();
    } else if (_titleLabel) {
        elm_layout_signal_emit(_titleLabel, "elm,state,slide,start", "");
    }
    const long long calTime = storage()->getDataCalTime();
    if (storage()->getAutoRefresh() == 1 && calTime > 0 &&
        _currentTime() - calTime > kAutoRefreshAgeSeconds) {
        _calibrate();
    }
}

void ZentrelWidgetView::_calibrate() {
    if (_state != MEASURED) {
        ZLOGI("Cannot start to calibrate .");
        return;
    }
    if (_calController->calibrate()) {
        ZLOGI("Auto refresh started.");
    } else {
        ZLOGW("Auto refresh failed.");
    }
}

void ZentrelWidgetView::onCalEvent(calEvent event) {
    if (event == STARTED) {
        _state = MEASURING;
    } else {
        _state = MEASURED;
    }
}

void ZentrelWidgetView::paused() {
    _isForeGroundState = false;
    if (_sensor) {
        _sensor->pauseSensor();
    }
}

void ZentrelWidgetView::onLanguageChanged() {
    _createTitleLabel();
    _setUnitTexts();
}

void ZentrelWidgetView::onFontChanged() {
    _fontChanged = true;
}

void ZentrelWidgetView::_updateViewForLdu() {
    if (!_layout) {
        ZLOGE("_layout is nullptr.");
        return;
    }
    elm_layout_signal_emit(_layout, "hide,init,text", kSignalSource);
    elm_layout_signal_emit(_layout, "show,alti,hands", kSignalSource);
    _state = MEASURED;
    const int distance = storage()->getSettingDistance();
    const int unit = storage()->getSettingPressure();
    const int baro = unit == 1 ? 29 : (unit == 2 ? 752 : 1003);
    elm_object_part_text_set(_layout, "alti_value",
                             std::to_string(distance == 1 ? 361 : 110).c_str());
    elm_object_part_text_set(_layout, "baro_value", std::to_string(baro).c_str());
    _setUnitTexts();
    _pressure = kDemoPressure;
    if (!_lduTimer) {
        _lduTimer = ecore_timer_add(0.0, _lduTimerCb, this);
    }
    _gauge->updateValue(kDemoPressure, elm_object_part_text_get(_layout, "alti_value"),
                        elm_object_part_text_get(_layout, "baro_value"));
}

Eina_Bool ZentrelWidgetView::_lduTimerCb(void* data) {
    auto* self = static_cast<ZentrelWidgetView*>(data);
    self->_lduTimer = nullptr;
    self->_rotatePickerMark(kDemoPressure);
    return ECORE_CALLBACK_CANCEL;
}
