// A GeoClue2 client over the system D-Bus: asynchronous from start to the
// first fix, so the main loop never waits for the bus.
#pragma once

#include <gio/gio.h>

#include <functional>
#include <string>

namespace ostra {

class GeoClueClient {
  public:
    struct Fix {
        double latitude;
        double longitude;
        double altitude;
    };
    // ok false: GeoClue is not reachable (no bus, no service, refused).
    using Callback = std::function<void(bool ok, const Fix& fix)>;

    GeoClueClient(std::string desktopId, Callback callback);
    ~GeoClueClient();
    GeoClueClient(const GeoClueClient&) = delete;
    GeoClueClient& operator=(const GeoClueClient&) = delete;

    void start();

  private:
    static void _onManager(GObject* source, GAsyncResult* result, gpointer self);
    static void _onGetClient(GObject* source, GAsyncResult* result, gpointer self);
    static void _onClient(GObject* source, GAsyncResult* result, gpointer self);
    static void _onStarted(GObject* source, GAsyncResult* result, gpointer self);
    static void _onLocation(GObject* source, GAsyncResult* result, gpointer self);
    static void _onSignal(GDBusProxy* proxy, gchar* sender, gchar* signal, GVariant* parameters,
                          gpointer self);
    void _fail(GError* error, const char* step);
    void _readLocation(const char* path);

    std::string _desktopId;
    Callback _callback;
    GCancellable* _cancellable;
    GDBusProxy* _manager = nullptr;
    GDBusProxy* _client = nullptr;
};

}  // namespace ostra
