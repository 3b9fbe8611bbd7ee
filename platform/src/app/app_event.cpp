#include "ostra/app_event.h"

#include <cstdlib>
#include <cstring>
#include <list>
#include <string>

#include "PlatformLog.h"
#include "ostra/vconf.h"

struct app_event_info {
    app_event_type_e type;
    std::string value;
};

struct app_event_handler {
    app_event_type_e type;
    app_event_cb cb;
    void* userData;
    bool removed = false;
};

namespace {

// Handlers removed while events are delivered are freed after the delivery.
int dispatching = 0;

std::list<app_event_handler*>& handlers() {
    static std::list<app_event_handler*> list;
    return list;
}

const char* keyOf(app_event_type_e type) {
    switch (type) {
        case APP_EVENT_LANGUAGE_CHANGED:
            return VCONFKEY_LANGSET;
        case APP_EVENT_REGION_FORMAT_CHANGED:
            return VCONFKEY_REGIONFORMAT;
        default:
            return nullptr;
    }
}

int countOf(app_event_type_e type) {
    int n = 0;
    for (auto* h : handlers()) {
        n += h->type == type && !h->removed;
    }
    return n;
}

void onKeyChanged(keynode_t* node, void* data) {
    auto type = static_cast<app_event_type_e>(reinterpret_cast<intptr_t>(data));
    const char* value = vconf_keynode_get_str(node);
    app_event_info info{type, value ? value : ""};
    OSTRA_LOGI("app event %d: %s", type, info.value.c_str());
    // Handlers may remove themselves from inside the call.
    std::list<app_event_handler*> snapshot = handlers();
    ++dispatching;
    for (auto* h : snapshot) {
        if (h->type == type && !h->removed) {
            h->cb(&info, h->userData);
        }
    }
    --dispatching;
    handlers().remove_if([](app_event_handler* h) {
        if (h->removed) {
            delete h;
            return true;
        }
        return false;
    });
}

int getValue(app_event_info_h info, app_event_type_e type, char** out) {
    if (!info || !out || info->type != type) {
        return APP_ERROR_INVALID_PARAMETER;
    }
    std::string value = info->value;
    // "en_US.UTF-8" style keys; the event carries the bare locale.
    size_t dot = value.find('.');
    if (type == APP_EVENT_LANGUAGE_CHANGED && dot != std::string::npos) {
        value.erase(dot);
    }
    *out = strdup(value.c_str());
    return *out ? APP_ERROR_NONE : APP_ERROR_OUT_OF_MEMORY;
}

}  // namespace

extern "C" {

int app_event_get_language(app_event_info_h event_info, char** lang) {
    return getValue(event_info, APP_EVENT_LANGUAGE_CHANGED, lang);
}

int app_event_get_region_format(app_event_info_h event_info, char** region) {
    return getValue(event_info, APP_EVENT_REGION_FORMAT_CHANGED, region);
}

int ostra_app_add_event_handler(app_event_handler_h* handler, app_event_type_e type,
                                app_event_cb callback, void* user_data) {
    if (!handler || !callback || type < APP_EVENT_LOW_MEMORY ||
        type > APP_EVENT_SUSPENDED_STATE_CHANGED) {
        return APP_ERROR_INVALID_PARAMETER;
    }
    const char* key = keyOf(type);
    if (key && countOf(type) == 0) {
        vconf_notify_key_changed(key, onKeyChanged,
                                 reinterpret_cast<void*>(static_cast<intptr_t>(type)));
    }
    // Memory, battery, orientation and suspend events have no source here;
    // their handlers are kept and never called.
    *handler = new app_event_handler{type, callback, user_data};
    handlers().push_back(*handler);
    return APP_ERROR_NONE;
}

int ostra_app_remove_event_handler(app_event_handler_h handler) {
    auto& list = handlers();
    bool known = false;
    for (auto* h : list) {
        known |= h == handler && !h->removed;
    }
    if (!known) {
        OSTRA_LOGE("unknown app event handler");
        return APP_ERROR_INVALID_PARAMETER;
    }
    handler->removed = true;
    const char* key = keyOf(handler->type);
    if (key && countOf(handler->type) == 0) {
        vconf_ignore_key_changed(key, onKeyChanged);
    }
    if (dispatching == 0) {
        list.remove(handler);
        delete handler;
    }
    return APP_ERROR_NONE;
}

}  // extern "C"
