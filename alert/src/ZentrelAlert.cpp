#include "ZentrelAlert.h"

#include <Ecore_Input.h>
#include <ZentrelLog.h>
#include <ZentrelLogging.h>
#include <ostra/app.h>
#include <ostra/app_preference.h>
#include <ostra/device_display.h>
#include <ostra/efl_extension.h>
#include <ostra/feedback.h>
#include <ostra/uxt_util.h>
#include <ostra/vconf.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "ZentrelAlertView.h"

namespace {

constexpr const char* kAlertSettingKey = "ZENTREL_SETTING_ALERT";
constexpr int kFormat12Hour = 118;
constexpr int kFormat24Hour = 54;

Ecore_Event_Handler* keyUpHandler = nullptr;
// Feedback held back because the alert came during a call.
bool bBlocked = false;
bool dismissed = false;
app_event_handler_h eventHandlers[5] = {};

std::string resourcePath(const char* relative) {
    std::unique_ptr<char, decltype(&free)> resources(app_get_resource_path(), free);
    return std::string(resources ? resources.get() : "") + relative;
}

int callState() {
    int state = 0;
    if (vconf_get_int(VCONFKEY_CALL_STATE, &state) != VCONF_OK) {
        return 0;
    }
    return state;
}

void playFeedback() {
    feedback_initialize();
    int rc = feedback_play(FEEDBACK_PATTERN_ACCIDENT_DETECT);
    if (rc != FEEDBACK_ERROR_NONE) {
        ZLOGE("feedback_play failed (%d)", rc);
    }
    feedback_deinitialize();
}

// Plays the alert's feedback unless a call is in progress, in which case it
// waits for the next resume after the call.
bool feedbackWithheldForCall() {
    int state = callState();
    if (state != 0) {
        ZLOGI("Call is Runing, do not make Feedback %d", state);
        return true;
    }
    return false;
}

void winDeleteRequestCb(void*, Evas_Object*, void*) {
    ZentrelAlert::dismiss();
}

void backKeyCb(void*, Evas_Object*, void*) {
    ZentrelAlert::dismiss();
}

Eina_Bool keyUpCb(void*, int, void* event) {
    auto* key = static_cast<Ecore_Event_Key*>(event);
    const char* name = key && key->keyname ? key->keyname : "";
    if (strcmp(name, "XF86PowerOff") != 0) {
        ZLOGI("Key is not PowerKey %s", name);
        return ECORE_CALLBACK_PASS_ON;
    }
    ZentrelAlert::dismiss();
    return ECORE_CALLBACK_DONE;
}

// The wearer covered the screen with the palm.
void palmTouchChangedCb(keynode_t*, void*) {
    ZentrelAlert::dismiss();
}

void languageChangedCb(app_event_info_h event, void*) {
    char* language = nullptr;
    app_event_get_language(event, &language);
    if (language) {
        elm_language_set(language);
        free(language);
    }
}

void hitCb(app_event_info_h, void*) {
    ZLOG_HIT();
}

void addEventHandlers() {
    ui_app_add_event_handler(&eventHandlers[0], APP_EVENT_LOW_BATTERY, hitCb, nullptr);
    ui_app_add_event_handler(&eventHandlers[1], APP_EVENT_LOW_MEMORY, hitCb, nullptr);
    ui_app_add_event_handler(&eventHandlers[2], APP_EVENT_DEVICE_ORIENTATION_CHANGED, hitCb,
                             nullptr);
    ui_app_add_event_handler(&eventHandlers[3], APP_EVENT_LANGUAGE_CHANGED, languageChangedCb,
                             nullptr);
    ui_app_add_event_handler(&eventHandlers[4], APP_EVENT_REGION_FORMAT_CHANGED, hitCb, nullptr);
}

void removeEventHandlers() {
    for (auto& handler : eventHandlers) {
        if (handler) {
            ui_app_remove_event_handler(handler);
            handler = nullptr;
        }
    }
}

void createWindow(appdata* ad) {
    char* appId = nullptr;
    app_get_id(&appId);
    const std::string name = appId ? appId : "zentrel-alert";
    free(appId);
    ad->win = elm_win_util_standard_add(name.c_str(), name.c_str());
    elm_win_conformant_set(ad->win, EINA_TRUE);
    elm_win_autodel_set(ad->win, EINA_TRUE);
    evas_object_resize(ad->win, 360, 360);
    if (elm_win_wm_rotation_supported_get(ad->win)) {
        const int rotations[4] = {0, 90, 180, 270};
        elm_win_wm_rotation_available_rotations_set(ad->win, rotations, 4);
    }
    evas_object_smart_callback_add(ad->win, "delete,request", winDeleteRequestCb, ad);
    elm_win_indicator_mode_set(ad->win, ELM_WIN_INDICATOR_SHOW);
    elm_win_indicator_opacity_set(ad->win, ELM_WIN_INDICATOR_OPAQUE);
    ad->conform = elm_conformant_add(ad->win);
    evas_object_size_hint_weight_set(ad->conform, EVAS_HINT_EXPAND, EVAS_HINT_EXPAND);
    elm_win_resize_object_add(ad->win, ad->conform);
    evas_object_show(ad->conform);
}

void createTables(appdata* ad) {
    if (!ad->colorTable) {
        const std::string color = resourcePath("table/Zentrel_color.xml");
        ZLOGI("color : %s", color.c_str());
        ad->colorTable = uxt_theme_color_table_load(color.c_str());
        uxt_theme_table_apply(ad->colorTable);
    } else {
        ZLOGI("Color table already created.");
    }
    if (!ad->fontTable) {
        const std::string font = resourcePath("table/Zentrel_font.xml");
        ZLOGI("font : %s", font.c_str());
        ad->fontTable = uxt_theme_font_table_load(font.c_str());
        uxt_theme_table_apply(ad->fontTable);
    } else {
        ZLOGI("Font table already created.");
    }
}

}  // namespace

namespace ZentrelAlert {

int _getAlertSettingValue() {
    int value = 0;
    if (preference_get_int(kAlertSettingKey, &value) != PREFERENCE_ERROR_NONE) {
        ZLOGW("No Correct Data");
        return 0;
    }
    return value;
}

char* _getTimeText(long time) {
    int format = 0;
    vconf_get_int(VCONFKEY_REGIONFORMAT_TIME1224, &format);
    std::unique_ptr<char, decltype(&free)> locale(vconf_get_str(VCONFKEY_REGIONFORMAT), free);
    return uxt_util_get_date_time_text_by_locale(
        locale ? locale.get() : nullptr,
        format == VCONFKEY_TIME_FORMAT_12 ? kFormat12Hour : kFormat24Hour,
        static_cast<time_t>(time));
}

bool create(void* data) {
    auto* ad = static_cast<appdata*>(data);
    if (!ad) {
        ZLOGE("appdata is null");
        return false;
    }
    dismissed = false;
    createWindow(ad);
    createTables(ad);
    ad->view = new ZentrelAlertView(ad);
    ad->layout = ad->view->create(ad->conform);
    if (ad->layout) {
        eext_object_event_callback_add(ad->layout, EEXT_CALLBACK_BACK, backKeyCb, ad);
    }
    keyUpHandler = ecore_event_handler_add(ECORE_EVENT_KEY_UP, keyUpCb, ad);
    vconf_notify_key_changed(VCONFKEY_SHOT_OSTRA_PALM_TOUCH_MUTE, palmTouchChangedCb, ad);
    bBlocked = feedbackWithheldForCall();
    if (!bBlocked) {
        playFeedback();
    }
    device_display_change_state(DISPLAY_STATE_NORMAL);
    evas_object_show(ad->win);
    return true;
}

void resume(void*) {
    ZLOG_HIT();
    if (feedbackWithheldForCall()) {
        return;
    }
    if (bBlocked) {
        playFeedback();
        bBlocked = false;
    }
}

void pause(void*) {
    ZLOG_HIT();
}

void appControl(app_control_h, void*) {
    ZLOG_HIT();
}

void terminate(void* data) {
    auto* ad = static_cast<appdata*>(data);
    if (!ad) {
        return;
    }
    uxt_theme_table_free(ad->colorTable);
    uxt_theme_table_free(ad->fontTable);
    ad->colorTable = nullptr;
    ad->fontTable = nullptr;
    delete ad->view;
    ad->view = nullptr;
    if (keyUpHandler) {
        ecore_event_handler_del(keyUpHandler);
        keyUpHandler = nullptr;
    }
    vconf_ignore_key_changed(VCONFKEY_SHOT_OSTRA_PALM_TOUCH_MUTE, palmTouchChangedCb);
}

void dismiss() {
    if (dismissed) {
        return;
    }
    dismissed = true;
    ZentrelLogging::getInstance()->sendKorvaneLog(DELETE_PRESSURE_ALERT, nullptr, nullptr);
    ui_app_exit();
}

void exitQuietly() {
    dismissed = true;
    ui_app_exit();
}

int run(int argc, char** argv) {
    if (_getAlertSettingValue() == 0) {
        ZLOGI("Alert setting is off. App cannot launched.");
        return APP_ERROR_INVALID_CONTEXT;
    }
    ZentrelLogging::getInstance();
    appdata ad;
    ui_app_lifecycle_callback_s callbacks = {};
    callbacks.create = create;
    callbacks.terminate = terminate;
    callbacks.pause = pause;
    callbacks.resume = resume;
    callbacks.app_control = appControl;
    addEventHandlers();
    setenv("ELM_PROD_THEME", "pulse", 1);
    int ret = ui_app_main(argc, argv, &callbacks, &ad);
    if (ret != APP_ERROR_NONE) {
        ZLOGE("ui_app_main() is failed. err = %d", ret);
    }
    removeEventHandlers();
    return ret;
}

}  // namespace ZentrelAlert
