// The privacy guide: a round screen asking whether the app may use a
// privilege. It answers its launch request with the "selected" extra ("yes"
// or "no") and changes the privilege's state the way the user chose.
// OSTRA_PRIVACY_GUIDE_ANSWER=yes|no answers by itself after a short look
// (headless runs and tests).
#include <Elementary.h>
#include <ostra/app.h>
#include <ostra/dlog.h>
#include <ostra/efl_extension.h>
#include <ostra/privacy_privilege_manager.h>
#include <ostra/vconf.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "../ToolTexts.h"
#include "../ToolWindow.h"

namespace {

using ostra_tools::text;

constexpr const char* kTag = "OSTRA_PRIVACY_GUIDE";
constexpr const char* kExtraName = "http://ostra.org/appcontrol/data/name";
constexpr const char* kExtraFeature = "http://ostra.org/appcontrol/data/feature";
constexpr const char* kExtraPrivileges = "http://ostra.org/appcontrol/data/privileges";
constexpr const char* kExtraSelected = "http://ostra.org/appcontrol/data/selected";
constexpr double kAutoAnswerSeconds = 0.5;

struct Guide {
    Evas_Object* win = nullptr;
    Evas_Object* label = nullptr;
    app_control_h request = nullptr;
    std::string privilege;
};

Guide guide;

std::string extra(app_control_h request, const char* key) {
    char* value = nullptr;
    app_control_get_extra_data(request, key, &value);
    std::string text = value ? value : "";
    free(value);
    return text;
}

void answer(bool yes) {
    if (!guide.request) {
        return;
    }
    // "Yes" opens the privilege for good, as the settings screen would.
    if (yes && !guide.privilege.empty()) {
        const char* slash = strrchr(guide.privilege.c_str(), '/');
        if (slash && slash[1]) {
            std::string key = std::string(OSTRA_PRIVILEGE_KEY_PREFIX) + (slash + 1);
            vconf_set_str(key.c_str(), "allow");
        }
    }
    app_control_h reply = nullptr;
    app_control_create(&reply);
    app_control_add_extra_data(reply, kExtraSelected, yes ? "yes" : "no");
    int ret =
        app_control_reply_to_launch_request(reply, guide.request, APP_CONTROL_RESULT_SUCCEEDED);
    dlog_print(DLOG_INFO, kTag, "answered %s (%d)", yes ? "yes" : "no", ret);
    app_control_destroy(reply);
    app_control_destroy(guide.request);
    guide.request = nullptr;
    ui_app_exit();
}

Evas_Object* addButton(Evas_Object* box, const char* text, bool yes) {
    Evas_Object* button = elm_button_add(box);
    elm_object_text_set(button, text);
    evas_object_size_hint_min_set(button, 110, 56);
    evas_object_smart_callback_add(
        button, "clicked", [](void* data, Evas_Object*, void*) { answer(data != nullptr); },
        yes ? &guide : nullptr);
    elm_box_pack_end(box, button);
    evas_object_show(button);
    return button;
}

bool create(void*) {
    ostra_tools::bindTexts();
    ostra_tools::QuestionWindow window = ostra_tools::addQuestionWindow(
        "ostra-privacy-guide", text("IDS_ST_HEADER_PRIVACY"), {24, ELM_WRAP_MIXED, 120});
    guide.win = window.win;
    guide.label = window.label;
    Evas_Object* box = window.box;
    Evas_Object* buttons = elm_box_add(box);
    elm_box_horizontal_set(buttons, EINA_TRUE);
    elm_box_padding_set(buttons, 16, 0);
    addButton(buttons, text("IDS_COM_SK_NO"), false);
    addButton(buttons, text("IDS_COM_SK_YES"), true);
    elm_box_pack_end(box, buttons);
    evas_object_show(buttons);
    evas_object_show(box);
    // Escape (the back key) closes the guide as a "no".
    eext_object_event_callback_add(
        guide.win, EEXT_CALLBACK_BACK, [](void*, Evas_Object*, void*) { answer(false); }, nullptr);
    evas_object_show(guide.win);
    return true;
}

// "Allow NAME to use FEATURE?" as markup, the names escaped.
std::string question(const std::string& name, const std::string& feature) {
    char buffer[512];
    snprintf(buffer, sizeof buffer, text("IDS_ST_POP_ALLOW_P1SS_TO_USE_P2SS_Q"),
             name.empty() ? text("IDS_ST_BODY_THIS_APP") : name.c_str(),
             feature.empty() ? text("IDS_ST_BODY_THIS_FEATURE") : feature.c_str());
    char* escaped = elm_entry_utf8_to_markup(buffer);
    std::string markup = std::string("<align=center><font_size=26 color=#FAFAFA>") +
                         (escaped ? escaped : "") + "</font_size></align>";
    free(escaped);
    return markup;
}

void launched(app_control_h request, void*) {
    if (guide.request) {
        app_control_destroy(guide.request);
    }
    app_control_clone(&guide.request, request);
    std::string name = extra(request, kExtraName);
    std::string feature = extra(request, kExtraFeature);
    guide.privilege = extra(request, kExtraPrivileges);
    elm_object_text_set(guide.label, question(name, feature).c_str());
    dlog_print(DLOG_INFO, kTag, "asking about %s for %s", guide.privilege.c_str(), name.c_str());
    const char* automatic = getenv("OSTRA_PRIVACY_GUIDE_ANSWER");
    if (automatic && (strcmp(automatic, "yes") == 0 || strcmp(automatic, "no") == 0)) {
        ecore_timer_add(
            kAutoAnswerSeconds,
            [](void* yes) -> Eina_Bool {
                answer(yes != nullptr);
                return ECORE_CALLBACK_CANCEL;
            },
            strcmp(automatic, "yes") == 0 ? &guide : nullptr);
    }
}

void terminate(void*) {
    if (guide.request) {
        // Closed without an answer: the caller still hears "no".
        answer(false);
    }
}

}  // namespace

int main(int argc, char** argv) {
    ui_app_lifecycle_callback_s callbacks = {};
    callbacks.create = create;
    callbacks.app_control = launched;
    callbacks.terminate = terminate;
    return ui_app_main(argc, argv, &callbacks, nullptr);
}
