#include "ostra/message_port.h"

#include <gio/gunixsocketaddress.h>
#include <glib/gstdio.h>

#include <cstdlib>
#include <map>
#include <string>

#include "AppControlWire.h"
#include "Paths.h"
#include "PlatformLog.h"
#include "ostra/app_common.h"

namespace {

// Sender app id, sender port (empty: none) and the bundle's pairs, the way
// launch requests carry their extra data.
const GVariantType* messageType() {
    return G_VARIANT_TYPE("(ssa{ss})");
}

struct LocalPort {
    std::string name;
    std::string path;
    GSocketService* service = nullptr;
    message_port_message_cb callback = nullptr;
    void* userData = nullptr;
};

std::map<int, LocalPort>& ports() {
    static std::map<int, LocalPort> table;
    return table;
}

bool validName(const std::string& name) {
    if (name.empty() || name.size() > 128) {
        return false;
    }
    for (char c : name) {
        if (!g_ascii_isalnum(c) && c != '.' && c != '-' && c != '_') {
            return false;
        }
    }
    return true;
}

std::string ownAppId() {
    char* id = nullptr;
    app_get_id(&id);
    std::string appId = id ? id : "";
    free(id);
    return appId;
}

std::string portPath(const std::string& appId, const std::string& port) {
    return ostra::rootDir() + "/run/ports/" + appId + "/" + port + ".sock";
}

GVariant* encodeMessage(bundle* message) {
    GVariantBuilder pairs;
    g_variant_builder_init(&pairs, G_VARIANT_TYPE("a{ss}"));
    bundle_iterate(
        message,
        [](const char* key, const char* value, void* data) {
            g_variant_builder_add(static_cast<GVariantBuilder*>(data), "{ss}", key, value);
        },
        &pairs);
    return g_variant_new("(ssa{ss})", ownAppId().c_str(), "", &pairs);
}

void deliver(int id, GVariant* variant) {
    const gchar *sender, *senderPort;
    GVariantIter* pairs;
    g_variant_get(variant, "(&s&sa{ss})", &sender, &senderPort, &pairs);
    bundle* message = bundle_create();
    const gchar *key, *value;
    while (g_variant_iter_next(pairs, "{&s&s}", &key, &value)) {
        bundle_add_str(message, key, value);
    }
    g_variant_iter_free(pairs);
    const LocalPort& port = ports().at(id);
    OSTRA_LOGD("message port %s: message from %s", port.name.c_str(), sender);
    port.callback(id, sender, *senderPort ? senderPort : nullptr, false, message, port.userData);
    bundle_free(message);
}

gboolean onIncoming(GSocketService*, GSocketConnection* connection, GObject*, gpointer data) {
    int id = GPOINTER_TO_INT(data);
    g_socket_set_timeout(g_socket_connection_get_socket(connection), 3);
    GVariant* variant = ostra::readFrame(connection, messageType());
    if (!variant) {
        OSTRA_LOGW("message port %d: unreadable message ignored", id);
        return TRUE;
    }
    if (ports().count(id)) {
        deliver(id, variant);
    }
    g_variant_unref(variant);
    return TRUE;
}

GSocketService* listen(const std::string& path, int id) {
    g_unlink(path.c_str());
    GSocketService* service = g_socket_service_new();
    GSocketAddress* address = g_unix_socket_address_new(path.c_str());
    GError* error = nullptr;
    bool ok =
        g_socket_listener_add_address(G_SOCKET_LISTENER(service), address, G_SOCKET_TYPE_STREAM,
                                      G_SOCKET_PROTOCOL_DEFAULT, nullptr, nullptr, &error);
    g_object_unref(address);
    if (!ok) {
        OSTRA_LOGE("cannot listen on %s: %s", path.c_str(), error ? error->message : "?");
        g_clear_error(&error);
        g_object_unref(service);
        return nullptr;
    }
    g_chmod(path.c_str(), 0600);
    g_signal_connect(service, "incoming", G_CALLBACK(onIncoming), GINT_TO_POINTER(id));
    g_socket_service_start(service);
    return service;
}

void closePort(LocalPort& port) {
    g_socket_service_stop(port.service);
    g_socket_listener_close(G_SOCKET_LISTENER(port.service));
    g_object_unref(port.service);
    g_unlink(port.path.c_str());
}

}  // namespace

extern "C" {

int message_port_register_local_port(const char* local_port, message_port_message_cb callback,
                                     void* user_data) {
    if (!local_port || !callback || !validName(local_port)) {
        return MESSAGE_PORT_ERROR_INVALID_PARAMETER;
    }
    for (auto& [id, port] : ports()) {
        if (port.name == local_port) {
            port.callback = callback;
            port.userData = user_data;
            return id;
        }
    }
    std::string appId = ownAppId();
    std::string dir = ostra::rootDir() + "/run/ports/" + appId;
    if (!ostra::makeDirs(dir)) {
        OSTRA_LOGE("cannot create %s", dir.c_str());
        return MESSAGE_PORT_ERROR_IO_ERROR;
    }
    static int lastId = 0;
    int id = ++lastId;
    LocalPort port{local_port, portPath(appId, local_port), nullptr, callback, user_data};
    port.service = listen(port.path, id);
    if (!port.service) {
        return MESSAGE_PORT_ERROR_IO_ERROR;
    }
    ports()[id] = port;
    OSTRA_LOGI("message port %s of %s registered (%d)", local_port, appId.c_str(), id);
    return id;
}

int message_port_unregister_local_port(int local_port_id) {
    auto it = ports().find(local_port_id);
    if (it == ports().end()) {
        return MESSAGE_PORT_ERROR_PORT_NOT_FOUND;
    }
    closePort(it->second);
    ports().erase(it);
    return MESSAGE_PORT_ERROR_NONE;
}

int message_port_send_message(const char* remote_app_id, const char* remote_port, bundle* message) {
    if (!remote_app_id || !remote_port || !message || !validName(remote_app_id) ||
        !validName(remote_port)) {
        return MESSAGE_PORT_ERROR_INVALID_PARAMETER;
    }
    std::string path = portPath(remote_app_id, remote_port);
    GSocketAddress* address = g_unix_socket_address_new(path.c_str());
    GSocketClient* client = g_socket_client_new();
    g_socket_client_set_timeout(client, 3);
    GSocketConnection* connection =
        g_socket_client_connect(client, G_SOCKET_CONNECTABLE(address), nullptr, nullptr);
    g_object_unref(client);
    g_object_unref(address);
    if (!connection) {
        OSTRA_LOGW("no message port %s of %s", remote_port, remote_app_id);
        return MESSAGE_PORT_ERROR_PORT_NOT_FOUND;
    }
    bool ok = ostra::writeFrame(connection, encodeMessage(message));
    g_io_stream_close(G_IO_STREAM(connection), nullptr, nullptr);
    g_object_unref(connection);
    return ok ? MESSAGE_PORT_ERROR_NONE : MESSAGE_PORT_ERROR_IO_ERROR;
}

}  // extern "C"
