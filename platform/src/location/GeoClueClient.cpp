#include "GeoClueClient.h"

#include "PlatformLog.h"

namespace ostra {

namespace {
const char* kService = "org.freedesktop.GeoClue2";
constexpr guint32 kAccuracyExact = 8;

double doubleProperty(GDBusProxy* proxy, const char* name) {
    GVariant* value = g_dbus_proxy_get_cached_property(proxy, name);
    double result = value ? g_variant_get_double(value) : 0.0;
    if (value) {
        g_variant_unref(value);
    }
    return result;
}
}  // namespace

GeoClueClient::GeoClueClient(std::string desktopId, Callback callback)
    : _desktopId(std::move(desktopId)),
      _callback(std::move(callback)),
      _cancellable(g_cancellable_new()) {}

GeoClueClient::~GeoClueClient() {
    g_cancellable_cancel(_cancellable);
    if (_client) {
        g_signal_handlers_disconnect_by_data(_client, this);
        g_dbus_proxy_call(_client, "Stop", nullptr, G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr,
                          nullptr);
        g_object_unref(_client);
    }
    if (_manager) {
        g_object_unref(_manager);
    }
    g_object_unref(_cancellable);
}

void GeoClueClient::start() {
    g_dbus_proxy_new_for_bus(G_BUS_TYPE_SYSTEM, G_DBUS_PROXY_FLAGS_DO_NOT_LOAD_PROPERTIES, nullptr,
                             kService, "/org/freedesktop/GeoClue2/Manager",
                             "org.freedesktop.GeoClue2.Manager", _cancellable, _onManager, this);
}

void GeoClueClient::_fail(GError* error, const char* step) {
    if (g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED)) {
        g_error_free(error);
        return;  // this client is gone; touch nothing
    }
    OSTRA_LOGW("GeoClue2 %s failed: %s", step, error ? error->message : "unknown");
    g_clear_error(&error);
    _callback(false, Fix{0, 0, 0});
}

void GeoClueClient::_onManager(GObject*, GAsyncResult* result, gpointer data) {
    GError* error = nullptr;
    GDBusProxy* manager = g_dbus_proxy_new_for_bus_finish(result, &error);
    if (!manager) {
        static_cast<GeoClueClient*>(data)->_fail(error, "connection");
        return;
    }
    auto* self = static_cast<GeoClueClient*>(data);
    self->_manager = manager;
    g_dbus_proxy_call(manager, "GetClient", nullptr, G_DBUS_CALL_FLAGS_NONE, -1, self->_cancellable,
                      _onGetClient, self);
}

void GeoClueClient::_onGetClient(GObject* source, GAsyncResult* result, gpointer data) {
    GError* error = nullptr;
    GVariant* reply = g_dbus_proxy_call_finish(G_DBUS_PROXY(source), result, &error);
    if (!reply) {
        static_cast<GeoClueClient*>(data)->_fail(error, "GetClient");
        return;
    }
    auto* self = static_cast<GeoClueClient*>(data);
    const gchar* path = nullptr;
    g_variant_get(reply, "(&o)", &path);
    g_dbus_proxy_new_for_bus(G_BUS_TYPE_SYSTEM, G_DBUS_PROXY_FLAGS_NONE, nullptr, kService, path,
                             "org.freedesktop.GeoClue2.Client", self->_cancellable, _onClient,
                             self);
    g_variant_unref(reply);
}

void GeoClueClient::_onClient(GObject*, GAsyncResult* result, gpointer data) {
    GError* error = nullptr;
    GDBusProxy* client = g_dbus_proxy_new_for_bus_finish(result, &error);
    if (!client) {
        static_cast<GeoClueClient*>(data)->_fail(error, "client");
        return;
    }
    auto* self = static_cast<GeoClueClient*>(data);
    self->_client = client;
    GDBusConnection* bus = g_dbus_proxy_get_connection(client);
    const char* path = g_dbus_proxy_get_object_path(client);
    // Properties first (fire and forget, in order on the same connection), then Start.
    g_dbus_connection_call(bus, kService, path, "org.freedesktop.DBus.Properties", "Set",
                           g_variant_new("(ssv)", "org.freedesktop.GeoClue2.Client", "DesktopId",
                                         g_variant_new_string(self->_desktopId.c_str())),
                           nullptr, G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr, nullptr);
    g_dbus_connection_call(
        bus, kService, path, "org.freedesktop.DBus.Properties", "Set",
        g_variant_new("(ssv)", "org.freedesktop.GeoClue2.Client", "RequestedAccuracyLevel",
                      g_variant_new_uint32(kAccuracyExact)),
        nullptr, G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr, nullptr);
    g_signal_connect(client, "g-signal", G_CALLBACK(_onSignal), self);
    g_dbus_proxy_call(client, "Start", nullptr, G_DBUS_CALL_FLAGS_NONE, -1, self->_cancellable,
                      _onStarted, self);
}

void GeoClueClient::_onStarted(GObject* source, GAsyncResult* result, gpointer data) {
    GError* error = nullptr;
    GVariant* reply = g_dbus_proxy_call_finish(G_DBUS_PROXY(source), result, &error);
    if (!reply) {
        static_cast<GeoClueClient*>(data)->_fail(error, "Start");
        return;
    }
    g_variant_unref(reply);
    OSTRA_LOGI("GeoClue2 client started");
}

void GeoClueClient::_onSignal(GDBusProxy*, gchar*, gchar* signal, GVariant* parameters,
                              gpointer data) {
    if (g_strcmp0(signal, "LocationUpdated") != 0) {
        return;
    }
    const gchar* oldPath = nullptr;
    const gchar* newPath = nullptr;
    g_variant_get(parameters, "(&o&o)", &oldPath, &newPath);
    static_cast<GeoClueClient*>(data)->_readLocation(newPath);
}

void GeoClueClient::_readLocation(const char* path) {
    g_dbus_proxy_new(g_dbus_proxy_get_connection(_client),
                     G_DBUS_PROXY_FLAGS_DO_NOT_CONNECT_SIGNALS, nullptr, kService, path,
                     "org.freedesktop.GeoClue2.Location", _cancellable, _onLocation, this);
}

void GeoClueClient::_onLocation(GObject*, GAsyncResult* result, gpointer data) {
    GError* error = nullptr;
    GDBusProxy* location = g_dbus_proxy_new_finish(result, &error);
    if (!location) {
        static_cast<GeoClueClient*>(data)->_fail(error, "location");
        return;
    }
    Fix fix{doubleProperty(location, "Latitude"), doubleProperty(location, "Longitude"),
            doubleProperty(location, "Altitude")};
    g_object_unref(location);
    static_cast<GeoClueClient*>(data)->_callback(true, fix);
}

}  // namespace ostra
