// The connection popup: a round screen telling the user that the watch needs
// a connection. On Linux there is no phone, so it speaks about this
// computer's own network (as the connection API sees it) or, for
// "bt_connect", about the missing phone link. OK answers the launch request
// with "succeeded", the back key with "failed".
// OSTRA_CONNECTION_POPUP_ANSWER=ok|back answers by itself after a short look
// (headless runs and tests).
#include <Elementary.h>
#include <ostra/app.h>
#include <ostra/connection.h>
#include <ostra/dlog.h>
#include <ostra/efl_extension.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "../ToolTexts.h"
#include "../ToolWindow.h"

namespace {

using ostra_tools::text;

constexpr const char* kTag = "OSTRA_CONNECTION_POPUP";
constexpr const char* kExtraType = "http://korvane.com/appcontrol/data/connection_type";
constexpr double kAutoAnswerSeconds = 0.5;

struct Popup {
    Evas_Object* win = nullptr;
    Evas_Object* label = nullptr;
    app_control_h request = nullptr;
};

Popup popup;

std::string requestedType(app_control_h request) {
    char* value = nullptr;
    app_control_get_extra_data(request, kExtraType, &value);
    std::string type = value ? value : "";
    free(value);
    return type;
}

// One whole sentence per network, so each language words it its own way.
const char* onlineMessageId(connection_type_e type) {
    switch (type) {
        case CONNECTION_TYPE_WIFI:
            return "IDS_ST_POP_ONLINE_OVER_WIFI_BUT_THE_WEATHER_SERVICE_DID_NOT_ANSWER";
        case CONNECTION_TYPE_CELLULAR:
            return "IDS_ST_POP_ONLINE_OVER_A_METERED_NETWORK_BUT_THE_WEATHER_SERVICE_DID_NOT_"
                   "ANSWER";
        case CONNECTION_TYPE_ETHERNET:
            return "IDS_ST_POP_ONLINE_OVER_A_WIRED_NETWORK_BUT_THE_WEATHER_SERVICE_DID_NOT_ANSWER";
        case CONNECTION_TYPE_BT:
            return "IDS_ST_POP_ONLINE_OVER_BLUETOOTH_BUT_THE_WEATHER_SERVICE_DID_NOT_ANSWER";
        default:
            return "IDS_ST_POP_ONLINE_BUT_THE_WEATHER_SERVICE_DID_NOT_ANSWER";
    }
}

connection_type_e currentNetwork() {
    connection_h connection = nullptr;
    connection_type_e type = CONNECTION_TYPE_DISCONNECTED;
    if (connection_create(&connection) == CONNECTION_ERROR_NONE) {
        connection_get_type(connection, &type);
        connection_destroy(connection);
    }
    return type;
}

const char* message(const std::string& type) {
    if (type == "bt_connect") {
        return text(
            "IDS_ST_POP_NO_PHONE_IS_LINKED_TO_THIS_COMPUTER_PAGES_OPEN_IN_THE_DESKTOPS_BROWSER");
    }
    const connection_type_e network = currentNetwork();
    if (network == CONNECTION_TYPE_DISCONNECTED) {
        return text("IDS_ST_POP_THIS_COMPUTER_HAS_NO_NETWORK_CONNECTION_CONNECT_IT_AND_TRY_AGAIN");
    }
    return text(onlineMessageId(network));
}

void answer(bool ok) {
    if (!popup.request) {
        return;
    }
    app_control_h reply = nullptr;
    app_control_create(&reply);
    int ret = app_control_reply_to_launch_request(
        reply, popup.request, ok ? APP_CONTROL_RESULT_SUCCEEDED : APP_CONTROL_RESULT_FAILED);
    dlog_print(DLOG_INFO, kTag, "answered %s (%d)", ok ? "succeeded" : "failed", ret);
    app_control_destroy(reply);
    app_control_destroy(popup.request);
    popup.request = nullptr;
    ui_app_exit();
}

bool create(void*) {
    ostra_tools::bindTexts();
    ostra_tools::QuestionWindow window = ostra_tools::addQuestionWindow(
        "ostra-connection-popup", text("IDS_ST_HEADER_CONNECTION"), {28, ELM_WRAP_WORD, 150});
    popup.win = window.win;
    popup.label = window.label;
    Evas_Object* box = window.box;
    Evas_Object* button = elm_button_add(box);
    elm_object_text_set(button, text("IDS_COM_SK_OK"));
    evas_object_size_hint_min_set(button, 140, 56);
    evas_object_smart_callback_add(
        button, "clicked", [](void*, Evas_Object*, void*) { answer(true); }, nullptr);
    elm_box_pack_end(box, button);
    evas_object_show(button);
    evas_object_show(box);
    eext_object_event_callback_add(
        popup.win, EEXT_CALLBACK_BACK, [](void*, Evas_Object*, void*) { answer(false); }, nullptr);
    evas_object_show(popup.win);
    return true;
}

void launched(app_control_h request, void*) {
    if (popup.request) {
        answer(false);
    }
    app_control_clone(&popup.request, request);
    const std::string type = requestedType(request);
    char* escaped = elm_entry_utf8_to_markup(message(type));
    std::string text = std::string("<align=center><font_size=24 color=#FAFAFA>") +
                       (escaped ? escaped : "") + "</font_size></align>";
    free(escaped);
    elm_object_text_set(popup.label, text.c_str());
    dlog_print(DLOG_INFO, kTag, "asked for %s", type.empty() ? "(no type)" : type.c_str());
    const char* automatic = getenv("OSTRA_CONNECTION_POPUP_ANSWER");
    if (automatic && (strcmp(automatic, "ok") == 0 || strcmp(automatic, "back") == 0)) {
        ecore_timer_add(
            kAutoAnswerSeconds,
            [](void* ok) -> Eina_Bool {
                answer(ok != nullptr);
                return ECORE_CALLBACK_CANCEL;
            },
            strcmp(automatic, "ok") == 0 ? &popup : nullptr);
    }
}

void terminate(void*) {
    // Closed without an answer: the caller hears "failed".
    answer(false);
}

}  // namespace

int main(int argc, char** argv) {
    ui_app_lifecycle_callback_s callbacks = {};
    callbacks.create = create;
    callbacks.app_control = launched;
    callbacks.terminate = terminate;
    return ui_app_main(argc, argv, &callbacks, nullptr);
}
