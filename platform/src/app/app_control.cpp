#include "ostra/app_control.h"

#include <glib.h>

#include <cstdlib>
#include <cstring>

#include "AppControlWire.h"
#include "PlatformLog.h"
#include "ostra/app_common.h"

namespace {

constexpr guint kRetryIntervalMs = 50;
constexpr int kMaxAttempts = 200;  // 10 s for a started program to listen

struct PendingLaunch {
    app_control_h request = nullptr;
    app_control_reply_cb cb = nullptr;
    void* userData = nullptr;
    GSocketConnection* connection = nullptr;
    int attempts = 0;
};

int& pendingCount() {
    static int count = 0;
    return count;
}

char* dupOptional(const std::optional<std::string>& value) {
    return value ? strdup(value->c_str()) : nullptr;
}

void finishLaunch(PendingLaunch* launch) {
    if (launch->connection) {
        g_io_stream_close(G_IO_STREAM(launch->connection), nullptr, nullptr);
        g_object_unref(launch->connection);
    }
    app_control_destroy(launch->request);
    delete launch;
    --pendingCount();
}

void failLaunch(PendingLaunch* launch) {
    if (launch->cb) {
        launch->cb(launch->request, nullptr, APP_CONTROL_RESULT_FAILED, launch->userData);
    }
    finishLaunch(launch);
}

gboolean onReplyReadable(GSocket*, GIOCondition, gpointer data) {
    auto* launch = static_cast<PendingLaunch*>(data);
    GVariant* variant = ostra::readFrame(launch->connection, ostra::replyVariantType());
    if (!variant) {
        OSTRA_LOGW("launch request to %s ended without a reply",
                   launch->request->appId.value_or("").c_str());
        finishLaunch(launch);
        return G_SOURCE_REMOVE;
    }
    gint result = 0;
    GVariant* body = nullptr;
    g_variant_get(variant, "(i@(ssssia{ss}b))", &result, &body);
    app_control_h reply = new app_control_s;
    ostra::decodeAppControl(body, reply);
    g_variant_unref(body);
    g_variant_unref(variant);
    if (launch->cb) {
        launch->cb(launch->request, reply, static_cast<app_control_result_e>(result),
                   launch->userData);
    }
    app_control_destroy(reply);
    finishLaunch(launch);
    return G_SOURCE_REMOVE;
}

// Sends the request on an open connection and, when a reply is wanted, waits
// for it on the main context.
void deliver(PendingLaunch* launch, GSocketConnection* connection) {
    launch->connection = connection;
    if (!ostra::writeFrame(connection, ostra::encodeAppControl(*launch->request))) {
        failLaunch(launch);
        return;
    }
    OSTRA_LOGI("launch request delivered to %s", launch->request->appId->c_str());
    if (!launch->cb) {
        finishLaunch(launch);
        return;
    }
    GSocket* socket = g_socket_connection_get_socket(connection);
    GSource* source = g_socket_create_source(socket, G_IO_IN, nullptr);
    g_source_set_callback(source, G_SOURCE_FUNC(onReplyReadable), launch, nullptr);
    g_source_attach(source, nullptr);
    g_source_unref(source);
}

gboolean retryConnect(gpointer data) {
    auto* launch = static_cast<PendingLaunch*>(data);
    GSocketConnection* connection = ostra::connectToApp(*launch->request->appId);
    if (connection) {
        deliver(launch, connection);
        return G_SOURCE_REMOVE;
    }
    if (++launch->attempts >= kMaxAttempts) {
        OSTRA_LOGE("%s did not start listening; launch request dropped",
                   launch->request->appId->c_str());
        failLaunch(launch);
        return G_SOURCE_REMOVE;
    }
    return G_SOURCE_CONTINUE;
}

bool spawnProgram(const std::string& appId, const std::string& program) {
    gchar** env = g_get_environ();
    env = g_environ_setenv(env, "OSTRA_LAUNCH_PENDING", "1", TRUE);
    env = g_environ_setenv(env, "OSTRA_APP_ID", appId.c_str(), TRUE);
    gchar* argv[] = {const_cast<gchar*>(program.c_str()), nullptr};
    GError* error = nullptr;
    bool ok = g_spawn_async(nullptr, argv, env, G_SPAWN_DEFAULT, nullptr, nullptr, nullptr, &error);
    if (!ok) {
        OSTRA_LOGE("cannot start %s: %s", program.c_str(), error ? error->message : "?");
        g_clear_error(&error);
    } else {
        OSTRA_LOGI("started %s for %s", program.c_str(), appId.c_str());
    }
    g_strfreev(env);
    return ok;
}

// Launch requests travel as UTF-8 strings; anything else is refused here rather
// than lost on the way.
bool utf8(const char* text, const char* what) {
    if (!text || g_utf8_validate(text, -1, nullptr)) {
        return true;
    }
    OSTRA_LOGE("launch request: %s is not UTF-8; refused", what);
    return false;
}

}  // namespace

extern "C" {

int app_control_create(app_control_h* app_control) {
    if (!app_control) {
        return APP_CONTROL_ERROR_INVALID_PARAMETER;
    }
    *app_control = new app_control_s;
    return APP_CONTROL_ERROR_NONE;
}

int app_control_destroy(app_control_h app_control) {
    if (!app_control) {
        return APP_CONTROL_ERROR_INVALID_PARAMETER;
    }
    if (app_control->connection) {
        g_object_unref(app_control->connection);
    }
    delete app_control;
    return APP_CONTROL_ERROR_NONE;
}

int app_control_clone(app_control_h* clone, app_control_h app_control) {
    if (!clone || !app_control) {
        return APP_CONTROL_ERROR_INVALID_PARAMETER;
    }
    *clone = new app_control_s(*app_control);
    if ((*clone)->connection) {
        g_object_ref((*clone)->connection);
    }
    return APP_CONTROL_ERROR_NONE;
}

#define OSTRA_AC_SETTER(name, field)                                  \
    int app_control_set_##name(app_control_h ac, const char* value) { \
        if (!ac || !utf8(value, #name)) {                             \
            return APP_CONTROL_ERROR_INVALID_PARAMETER;               \
        }                                                             \
        if (value) {                                                  \
            ac->field = value;                                        \
        } else {                                                      \
            ac->field.reset();                                        \
        }                                                             \
        return APP_CONTROL_ERROR_NONE;                                \
    }                                                                 \
    int app_control_get_##name(app_control_h ac, char** value) {      \
        if (!ac || !value) {                                          \
            return APP_CONTROL_ERROR_INVALID_PARAMETER;               \
        }                                                             \
        *value = dupOptional(ac->field);                              \
        return APP_CONTROL_ERROR_NONE;                                \
    }

OSTRA_AC_SETTER(operation, operation)
OSTRA_AC_SETTER(uri, uri)
OSTRA_AC_SETTER(app_id, appId)

int app_control_get_caller(app_control_h ac, char** app_id) {
    if (!ac || !app_id) {
        return APP_CONTROL_ERROR_INVALID_PARAMETER;
    }
    *app_id = ac->caller.empty() ? nullptr : strdup(ac->caller.c_str());
    return APP_CONTROL_ERROR_NONE;
}

int app_control_set_launch_mode(app_control_h ac, app_control_launch_mode_e mode) {
    if (!ac || (mode != APP_CONTROL_LAUNCH_MODE_SINGLE && mode != APP_CONTROL_LAUNCH_MODE_GROUP)) {
        return APP_CONTROL_ERROR_INVALID_PARAMETER;
    }
    ac->launchMode = mode;
    return APP_CONTROL_ERROR_NONE;
}

int app_control_get_launch_mode(app_control_h ac, app_control_launch_mode_e* mode) {
    if (!ac || !mode) {
        return APP_CONTROL_ERROR_INVALID_PARAMETER;
    }
    *mode = static_cast<app_control_launch_mode_e>(ac->launchMode);
    return APP_CONTROL_ERROR_NONE;
}

int app_control_add_extra_data(app_control_h ac, const char* key, const char* value) {
    if (!ac || !key || !*key || !value || !utf8(key, "extra key") || !utf8(value, key)) {
        return APP_CONTROL_ERROR_INVALID_PARAMETER;
    }
    for (auto& kv : ac->extras) {
        if (kv.first == key) {
            kv.second = value;
            return APP_CONTROL_ERROR_NONE;
        }
    }
    ac->extras.emplace_back(key, value);
    return APP_CONTROL_ERROR_NONE;
}

int app_control_remove_extra_data(app_control_h ac, const char* key) {
    if (!ac || !key) {
        return APP_CONTROL_ERROR_INVALID_PARAMETER;
    }
    for (auto it = ac->extras.begin(); it != ac->extras.end(); ++it) {
        if (it->first == key) {
            ac->extras.erase(it);
            return APP_CONTROL_ERROR_NONE;
        }
    }
    return APP_CONTROL_ERROR_KEY_NOT_FOUND;
}

int app_control_get_extra_data(app_control_h ac, const char* key, char** value) {
    if (!ac || !key || !value) {
        return APP_CONTROL_ERROR_INVALID_PARAMETER;
    }
    for (const auto& kv : ac->extras) {
        if (kv.first == key) {
            *value = strdup(kv.second.c_str());
            return APP_CONTROL_ERROR_NONE;
        }
    }
    *value = nullptr;
    return APP_CONTROL_ERROR_KEY_NOT_FOUND;
}

int app_control_foreach_extra_data(app_control_h ac, app_control_extra_data_cb cb,
                                   void* user_data) {
    if (!ac || !cb) {
        return APP_CONTROL_ERROR_INVALID_PARAMETER;
    }
    // A copy, so the callback may change the request.
    auto extras = ac->extras;
    for (const auto& kv : extras) {
        if (!cb(ac, kv.first.c_str(), user_data)) {
            break;
        }
    }
    return APP_CONTROL_ERROR_NONE;
}

int app_control_send_launch_request(app_control_h ac, app_control_reply_cb cb, void* user_data) {
    if (!ac) {
        return APP_CONTROL_ERROR_INVALID_PARAMETER;
    }
    std::string appId = ac->appId.value_or("");
    if (appId.empty() && ac->operation) {
        appId = ostra::registeredAppForOperation(*ac->operation).value_or("");
    }
    if (appId.empty()) {
        OSTRA_LOGE("launch request without app id");
        return APP_CONTROL_ERROR_INVALID_PARAMETER;
    }
    GSocketConnection* connection = ostra::connectToApp(appId);
    std::optional<std::string> program;
    if (!connection) {
        program = ostra::registeredProgram(appId);
        if (!program) {
            OSTRA_LOGE("no application \"%s\" is running or registered", appId.c_str());
            return APP_CONTROL_ERROR_APP_NOT_FOUND;
        }
    }
    auto* launch = new PendingLaunch;
    app_control_clone(&launch->request, ac);
    launch->request->appId = appId;
    if (launch->request->connection) {
        g_object_unref(launch->request->connection);
        launch->request->connection = nullptr;
    }
    char* self = nullptr;
    app_get_id(&self);
    launch->request->caller = self ? self : "";
    free(self);
    launch->request->wantsReply = cb != nullptr;
    launch->cb = cb;
    launch->userData = user_data;
    ++pendingCount();
    if (connection) {
        deliver(launch, connection);
        return APP_CONTROL_ERROR_NONE;
    }
    if (!spawnProgram(appId, *program)) {
        app_control_destroy(launch->request);
        delete launch;
        --pendingCount();
        return APP_CONTROL_ERROR_LAUNCH_FAILED;
    }
    g_timeout_add(kRetryIntervalMs, retryConnect, launch);
    return APP_CONTROL_ERROR_NONE;
}

int app_control_reply_to_launch_request(app_control_h reply, app_control_h request,
                                        app_control_result_e result) {
    if (!reply || !request) {
        return APP_CONTROL_ERROR_INVALID_PARAMETER;
    }
    if (!request->wantsReply || !request->connection) {
        OSTRA_LOGW("reply to a launch request that waits for none");
        return APP_CONTROL_ERROR_INVALID_PARAMETER;
    }
    GVariant* body = ostra::encodeAppControl(*reply);
    bool ok = ostra::writeFrame(
        request->connection, g_variant_new("(i@(ssssia{ss}b))", static_cast<gint>(result), body));
    // One reply per request.
    request->wantsReply = false;
    return ok ? APP_CONTROL_ERROR_NONE : APP_CONTROL_ERROR_IO_ERROR;
}

int ostra_app_control_pending_count(void) {
    return pendingCount();
}

}  // extern "C"
