#include "ZentrelAlertView.h"

#include <ZentrelLog.h>
#include <ZentrelLogging.h>
#include <ostra/app_common.h>
#include <ostra/i18n.h>
#include <ostra/reserved_screen.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>

namespace {

constexpr const char* kThemeFile = "edje/zentrelalert.edj";
constexpr const char* kTitleId = "WDS_ALTI_HEADER_PRESSURE_ALERT";
constexpr const char* kBodyId =
    "WDS_ALTI_BODY_THE_RAPID_DROP_IN_AIR_PRESSURE_MIGHT_MEAN_THAT_BAD_WEATHER_IS_ON_THE_WAY";
constexpr const char* kButtonId = "IDS_ACCS_BODY_BUTTON_TTS";
constexpr const char* kCloseHintId = "WDS_ALTI_TBBODY_DOUBLE_TAP_TO_CLOSE_THIS_SCREEN";
constexpr size_t kAccessTextMax = 1024;

std::string themePath() {
    std::unique_ptr<char, decltype(&free)> resources(app_get_resource_path(), free);
    return std::string(resources ? resources.get() : "") + kThemeFile;
}

Evas_Object* partObject(Evas_Object* layout, const char* part) {
    return const_cast<Evas_Object*>(edje_object_part_object_get(elm_layout_edje_get(layout), part));
}

}  // namespace

ZentrelAlertView::ZentrelAlertView(appdata* ad) : _ad(ad) {
    reserved_screen_request();
}

ZentrelAlertView::~ZentrelAlertView() {
    eext_circle_surface_del(_surface);
    reserved_screen_release();
}

Evas_Object* ZentrelAlertView::create(Evas_Object* parent) {
    ZLOG_HIT();
    if (!parent) {
        ZLOGE("Parent object is null");
        return nullptr;
    }
    const std::string theme = themePath();
    elm_theme_extension_add(nullptr, theme.c_str());
    _layout = elm_layout_add(parent);
    evas_object_size_hint_weight_set(_layout, EVAS_HINT_EXPAND, EVAS_HINT_EXPAND);
    if (!elm_layout_file_set(_layout, theme.c_str(), "alert_view")) {
        ZLOGE("alert_view cannot be loaded from %s", theme.c_str());
    }
    elm_object_content_set(parent, _layout);
    elm_object_part_text_set(_layout, "alert_title", i18n_get_text(kTitleId));
    _addGuideText();
    std::unique_ptr<char, decltype(&free)> timeText(ZentrelAlert::_getTimeText(time(nullptr)),
                                                    free);
    _timeText = timeText ? timeText.get() : "";
    elm_object_part_text_set(_layout, "alert_time", _timeText.c_str());
    elm_layout_signal_callback_add(_layout, "mouse,clicked,1", "alert_button_icon",
                                   _exitIconClickedCb, this);
    evas_object_show(_layout);
    _setAccessibility();
    ZentrelLogging::getInstance()->sendKorvaneLog(PRESSURE_ALERT, nullptr, nullptr);
    return _layout;
}

void ZentrelAlertView::_addGuideText() {
    Evas_Object* scroller = elm_scroller_add(_layout);
    elm_scroller_loop_set(scroller, EINA_FALSE, EINA_FALSE);
    elm_scroller_policy_set(scroller, ELM_SCROLLER_POLICY_OFF, ELM_SCROLLER_POLICY_AUTO);
    elm_object_part_content_set(_layout, "alert_guide_text", scroller);
    _surface = eext_circle_surface_layout_add(_layout);
    Evas_Object* circle = eext_circle_object_scroller_add(scroller, _surface);
    eext_circle_object_scroller_policy_set(circle, ELM_SCROLLER_POLICY_OFF,
                                           ELM_SCROLLER_POLICY_AUTO);
    eext_rotary_object_event_activated_set(circle, EINA_TRUE);

    Evas_Object* label = elm_label_add(scroller);
    elm_object_style_set(label, "guide");
    elm_label_line_wrap_set(label, ELM_WRAP_MIXED);
    evas_object_size_hint_weight_set(label, EVAS_HINT_EXPAND, 0.0);
    evas_object_size_hint_align_set(label, EVAS_HINT_FILL, 0.0);
    elm_object_text_set(label, i18n_get_text(kBodyId));
    elm_object_content_set(scroller, label);
    evas_object_show(label);
}

void ZentrelAlertView::_setAccessibility() {
    const char* title = i18n_get_text(kTitleId);
    if (_ad && _ad->win) {
        efl_access_object_i18n_name_set(_ad->win, title);
        efl_access_object_reading_info_type_set(_ad->win, EFL_ACCESS_READING_INFO_TYPE_NAME);
    }
    Evas_Object* background = elm_access_object_register(partObject(_layout, "rect_acc"), _layout);
    if (!background) {
        ZLOGE("Cannot register BG access obj.");
    } else {
        char text[kAccessTextMax];
        snprintf(text, sizeof text, "%s %s %s", title, _timeText.c_str(), i18n_get_text(kBodyId));
        elm_access_info_set(background, ELM_ACCESS_INFO, text);
        efl_access_object_reading_info_type_set(background, EFL_ACCESS_READING_INFO_TYPE_NAME);
    }
    Evas_Object* exitIcon =
        elm_access_object_register(partObject(_layout, "alert_button_icon"), _layout);
    if (!exitIcon) {
        ZLOGE("Cannot register exitIcon access obj.");
        return;
    }
    elm_access_info_set(exitIcon, ELM_ACCESS_INFO, i18n_get_text(kButtonId));
    elm_access_info_set(exitIcon, ELM_ACCESS_CONTEXT_INFO, i18n_get_text(kCloseHintId));
    // The reader's double tap arrives as the activate action.
    elm_access_action_cb_set(exitIcon, ELM_ACCESS_ACTION_ACTIVATE, _exitIconActionCb, this);
    if (background) {
        efl_access_object_relationship_append(background, EFL_ACCESS_RELATION_TYPE_FLOWS_TO,
                                              exitIcon);
        efl_access_object_relationship_append(exitIcon, EFL_ACCESS_RELATION_TYPE_FLOWS_FROM,
                                              background);
    }
}

void ZentrelAlertView::_exitIconClickedCb(void* data, Evas_Object* obj, const char* emission,
                                          const char* source) {
    ZLOGI("emission : %s,source : %s", emission, source);
    elm_layout_signal_callback_del(obj, "mouse,clicked,1", "alert_button_icon", _exitIconClickedCb);
    if (!data) {
        ZLOGE("data is null");
        return;
    }
    ZentrelAlert::dismiss();
}

Eina_Bool ZentrelAlertView::_exitIconActionCb(void* data, Evas_Object*, Elm_Access_Action_Info*) {
    if (!data) {
        ZLOGE("data is null");
        return EINA_FALSE;
    }
    ZentrelAlert::exitQuietly();
    return EINA_TRUE;
}
