#include "ZentrelHelpContentController.h"

#include <WWindowController.h>
#include <WeatherCpMgr.h>
#include <ZentrelLog.h>
#include <ZentrelLogging.h>
#include <ostra/efl_extension.h>
#include <ostra/i18n.h>
#include <ostra/uxt_util.h>
#include <ostra/vconf.h>

#include <cstdlib>
#include <string>
#include <utility>

#include "ZentrelBroadCaster.h"
#include "ZentrelUtil.h"

namespace {

// The calibration time the altimeter help shows as an example.
constexpr time_t kSampleCalTime = 1465897500;
constexpr int kScreenWidth = 360;
constexpr int kTitleWrap = 180;
constexpr int kIndicatorLead = 60;
constexpr int kScrollTriesMax = 1000;
constexpr int kAlertsTitleWrap = 232;
constexpr size_t kAlertsTextMax = 1024;

void setText(Evas_Object* layout, const char* part, const char* id) {
    elm_object_part_text_set(layout, part, i18n_get_text(id));
}

// The region's short date and time, 12- or 24-hour as the watch is set.
std::string sampleCalTimeText() {
    char* region = vconf_get_str(VCONFKEY_REGIONFORMAT);
    int time1224 = 0;
    vconf_get_int(VCONFKEY_REGIONFORMAT_TIME1224, &time1224);
    char* text = uxt_util_get_date_time_text_by_locale(region ? region : "en_US",
                                                       time1224 == 1 ? 0x76 : 0x36, kSampleCalTime);
    free(region);
    std::string result = text ? text : "";
    free(text);
    return result;
}

// The catalogue's text holds a number ("%d" or "%1$d") and a unit ("%s" or
// "%2$s"). It is filled by replacing those markers, never used as a printf
// format: a catalogue is data, and a stray marker must not read the stack.
std::string fillPlaceholders(const std::string& format, const std::string& number,
                             const std::string& unit) {
    std::string text = format;
    for (const auto& marker :
         {std::make_pair(std::string("%1$d"), number), std::make_pair(std::string("%d"), number),
          std::make_pair(std::string("%2$s"), unit), std::make_pair(std::string("%s"), unit)}) {
        size_t at = text.find(marker.first);
        if (at != std::string::npos) {
            text.replace(at, marker.first.size(), marker.second);
        }
    }
    return text;
}

}  // namespace

ZentrelHelpContentController::~ZentrelHelpContentController() {
    brisa::WUiTimer::destroy(_scrollIdler);
}

Evas_Object* ZentrelHelpContentController::onCreateView(Evas_Object* parent, void* viewParam) {
    const int requested = static_cast<int>(reinterpret_cast<intptr_t>(viewParam));
    _layout = elm_layout_add(parent);
    if (!elm_layout_file_set(_layout, ZentrelUtil::getAppEdjFilePath(), "help_main")) {
        ZLOGE("help_main is missing in %s", ZentrelUtil::getAppEdjFilePath());
        evas_object_del(_layout);
        _layout = nullptr;
        return nullptr;
    }
    _scroller = elm_scroller_add(_layout);
    elm_object_style_set(_scroller, "effect");
    elm_scroller_loop_set(_scroller, EINA_FALSE, EINA_FALSE);
    elm_scroller_policy_set(_scroller, ELM_SCROLLER_POLICY_OFF, ELM_SCROLLER_POLICY_AUTO);
    elm_scroller_bounce_set(_scroller, EINA_FALSE, EINA_FALSE);
    elm_object_part_content_set(_layout, "content", _scroller);
    brisa::WWindowController* window = getWindowController();
    _circleScroller =
        eext_circle_object_scroller_add(_scroller, window ? window->getCircleSurface() : nullptr);
    eext_circle_object_scroller_policy_set(_circleScroller, ELM_SCROLLER_POLICY_OFF,
                                           ELM_SCROLLER_POLICY_OFF);
    eext_rotary_object_event_activated_set(_circleScroller, EINA_TRUE);
    _box = elm_box_add(_scroller);
    evas_object_size_hint_weight_set(_box, EVAS_HINT_EXPAND, 0.0);
    evas_object_size_hint_align_set(_box, EVAS_HINT_FILL, 0.0);
    elm_object_content_set(_scroller, _box);
    // Nothing in the text takes focus, so the toolkit never scrolls the page
    // back to a focused title after we scrolled it.
    elm_object_tree_focus_allow_set(_box, EINA_FALSE);

    switch (requested) {
        case HELP_ALTIMETER:
            _type = HELP_ALTIMETER;
            ZentrelLogging::getInstance()->sendKorvaneLog(HELP_LIST, "Help_altimeter", nullptr);
            _createAltimeterSection();
            break;
        case HELP_ALERTS:
            _type = HELP_ALERTS;
            ZentrelLogging::getInstance()->sendKorvaneLog(HELP_LIST, "Help_pressure_alerts",
                                                          nullptr);
            _contentLayout =
                _createSection("alert-help", "WDS_ALTI_HEADER_PRESSURE_ALERTS", kAlertsTitleWrap);
            _fillAlertsText();
            break;
        case HELP_INDICATOR:
        case HELP_BAROMETER:
        default:
            _type = HELP_BAROMETER;
            ZentrelLogging::getInstance()->sendKorvaneLog(HELP_LIST, "Help_barometer", nullptr);
            _createBarometerSection();
            if (requested == HELP_INDICATOR) {
                _scrollIdler = brisa::WUiTimer::addIdler(
                    [this](void*) { return !_scrollToIndicator(); }, nullptr, _layout);
            }
            break;
    }
    _fitSection();
    ZentrelBroadCaster::getBroadCaster().addListener(
        [this](const std::string& signal, void*) {
            if (signal != "language,changed") {
                return;
            }
            if (_title) {
                elm_layout_signal_emit(_title, "elm,state,slide,start", "");
            }
            if (_type == HELP_ALERTS) {
                _fillAlertsText();
                _fitSection();
            }
        },
        _layout);
    return _layout;
}

Evas_Object* ZentrelHelpContentController::_createSection(const char* group, const char* title,
                                                          int titleWrap) {
    Evas_Object* section = elm_layout_add(_box);
    if (!elm_layout_file_set(section, ZentrelUtil::getAppEdjFilePath(), group)) {
        ZLOGE("%s is missing in %s", group, ZentrelUtil::getAppEdjFilePath());
        evas_object_del(section);
        return nullptr;
    }
    evas_object_size_hint_weight_set(section, EVAS_HINT_EXPAND, 0.0);
    evas_object_size_hint_align_set(section, EVAS_HINT_FILL, 0.0);
    _title = elm_label_add(section);
    elm_object_style_set(_title, "slide_title_text");
    elm_label_wrap_width_set(_title, titleWrap);
    elm_label_slide_mode_set(_title, ELM_LABEL_SLIDE_MODE_AUTO);
    elm_object_text_set(_title, i18n_get_text(title));
    elm_object_part_content_set(section, "title", _title);
    Evas_Object* access =
        elm_access_object_register(const_cast<Evas_Object*>(edje_object_part_object_get(
                                       elm_layout_edje_get(section), "rect_acc")),
                                   section);
    if (!access) {
        ZLOGE("Cannot register bgAcc access obj.");
    } else {
        elm_access_info_set(access, ELM_ACCESS_INFO, i18n_get_text(title));
    }
    elm_box_pack_end(_box, section);
    evas_object_show(section);
    return section;
}

void ZentrelHelpContentController::_createAltimeterSection() {
    _contentLayout = _createSection("alti-help", "WDS_ALTI_HEADER_ALTIMETER_ABB", kTitleWrap);
    if (!_contentLayout) {
        return;
    }
    switch (WeatherCpMgr::GetInstance()->GetWeatherCp()) {
        case WEATHER_CP_TYPE_HUAFENGACCU:
            setText(_contentLayout, "powered_text", "WDS_ALTI_BODY_POWERED_BY_HUAFENG_ACCUWEATHER");
            break;
        case WEATHER_CP_TYPE_TWC:
            setText(_contentLayout, "powered_text",
                    "WDS_ALTI_NPBODY_POWERED_BY_THE_WEATHER_CHANNEL");
            break;
        case WEATHER_CP_TYPE_OPENMETEO:
            setText(_contentLayout, "powered_text", "WDS_ALTI_BODY_POWERED_BY_OPEN_METEO");
            break;
        default:
            elm_layout_signal_emit(_contentLayout, "hide,powered_text", "");
            break;
    }
    setText(_contentLayout, "alti_content_text",
            "WDS_ALTI_BODY_THE_ALTIMETER_MEASURES_ALTITUDE_WITH_AN_INTERNAL_PRESSURE_SENSOR_AND_A_"
            "SEA_LEVEL_AIR_PRESSURE_REFERENCE_IS_TAKEN_EITHER_AUTOMATICALLY_OR_MANUALLY");
    setText(_contentLayout, "cal_sub_title", "WDS_ALTI_BODY_CALIBRATION");
    setText(_contentLayout, "calibrated_text", "WDS_ALTI_BUTTON_CALIBRATED_M_STATIS_ABB");
    elm_object_part_text_set(_contentLayout, "calibrated_time_text", sampleCalTimeText().c_str());
    setText(_contentLayout, "alti_content_text_1st",
            "WDS_ALTI_BODY_CALIBRATE_THE_ALTIMETER_FOR_MORE_ACCURATE_MEASUREMENTS_BE_SURE_YOU_"
            "HAVE_A_STRONG_GPS_SIGNAL_TO_GET_A_READING_MSG");
    setText(_contentLayout, "graph_sub_title", "WDS_ALTI_HEADER_ALTITUDE_CHANGES");
    setText(_contentLayout, "last_6hours_text", "WDS_ALTI_BODY_LAST_6_HOURS_ABB");
    setText(_contentLayout, "alti_content_text_3rd",
            "WDS_ALTI_BODY_CHECK_THE_CHART_TO_SEE_YOUR_ALTITUDE_CHANGES_OVER_THE_LAST_6_HOURS");
}

void ZentrelHelpContentController::_createBarometerSection() {
    _contentLayout = _createSection("baro-help", "WDS_ALTI_HEADER_BAROMETER_ABB", kTitleWrap);
    if (!_contentLayout) {
        return;
    }
    setText(_contentLayout, "baro_content_text",
            "WDS_ALTI_BODY_THE_BAROMETER_MEASURES_ATMOSPHERIC_PRESSURE_WITH_AN_INTERNAL_SENSOR");
    setText(_contentLayout, "graph_sub_title", "WDS_ALTI_HEADER_ATMOSPHERIC_PRESSURE_CHANGES");
    setText(_contentLayout, "last_6hours_text", "WDS_ALTI_BODY_LAST_6_HOURS_ABB");
    setText(_contentLayout, "baro_content_text_2nd",
            "WDS_ALTI_BODY_CHECK_THE_CHART_TO_SEE_ATMOSPHERIC_PRESSURE_CHANGES_OVER_THE_LAST_6_"
            "HOURS");
    setText(_contentLayout, "indicator_sub_title", "WDS_ALTI_BODY_PRESSURE_INDICATOR");
    setText(_contentLayout, "baro_content_text_3rd",
            "WDS_ALTI_BODY_UPCOMING_WEATHER_CONDITIONS_ARE_SHOWN_UNDER_THE_ATMOSPHERIC_PRESSURE_"
            "CHART_THIS_INDICATOR_SHOWS_MSG");
}

void ZentrelHelpContentController::_fillAlertsText() {
    if (!_contentLayout) {
        return;
    }
    std::string text = fillPlaceholders(
        i18n_get_text("WDS_ALTI_BODY_YOU_CAN_GET_PRESSURE_ALERTS_WHEN_ATMOSPHERIC_PRESSURE_LEVELS_"
                      "DROP_MORE_THAN_4_HPA_IN_A_3_HOUR_PERIOD"),
        "4", i18n_get_text("WDS_ALTI_TBOPT_HECTOPASCALS"));
    if (text.size() >= kAlertsTextMax) {
        text.resize(kAlertsTextMax - 1);
    }
    elm_object_part_text_set(_contentLayout, "alert_content_text", text.c_str());
}

// A section is as tall as its paragraphs at the screen's width: the bottom
// of its last part ("foot"). The toolkit does not work that out by itself for
// paragraphs that wrap.
void ZentrelHelpContentController::_fitSection() {
    if (!_contentLayout) {
        return;
    }
    Evas_Object* edje = elm_layout_edje_get(_contentLayout);
    evas_object_resize(edje, kScreenWidth, 1);
    edje_object_calc_force(edje);
    Evas_Coord y = 0, h = 0;
    edje_object_part_geometry_get(edje, "foot", nullptr, &y, nullptr, &h);
    evas_object_size_hint_min_set(_contentLayout, kScreenWidth, y + h);
}

bool ZentrelHelpContentController::_scrollToIndicator() {
    if (!_contentLayout || !_scroller) {
        return true;
    }
    // Until the page has its place on screen the scroller cannot go there.
    Evas_Coord viewport = 0;
    elm_scroller_region_get(_scroller, nullptr, nullptr, nullptr, &viewport);
    if (viewport != kScreenWidth && ++_scrollTries < kScrollTriesMax) {
        return false;
    }
    // The indicator's explanation follows the second barometer paragraph;
    // the paragraphs have their places only once the page is laid out.
    evas_smart_objects_calculate(evas_object_evas_get(_scroller));
    Evas_Coord y = 0, h = 0;
    edje_object_part_geometry_get(elm_layout_edje_get(_contentLayout), "baro_content_text_2nd",
                                  nullptr, &y, nullptr, &h);
    // The end of that paragraph near the top, the indicator's below it.
    elm_scroller_region_show(_scroller, 0, y + h - kIndicatorLead, kScreenWidth, kScreenWidth);
    return true;
}

void ZentrelHelpContentController::onPushed(Elm_Object_Item* naviItem) {
    elm_naviframe_item_title_enabled_set(naviItem, EINA_FALSE, EINA_FALSE);
}
