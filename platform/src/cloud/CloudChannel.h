// One connection between a program and the cloud backup service: JSON
// objects, one per line, read on the GLib main context.
#pragma once

#include <gio/gio.h>
#include <json-glib/json-glib.h>

#include <functional>
#include <memory>
#include <string>

namespace ostra {

class CloudChannel : public std::enable_shared_from_this<CloudChannel> {
  public:
    // message: a JSON object, borrowed for the call. Called on the main context.
    using MessageFn = std::function<void(JsonObject* message)>;
    using ClosedFn = std::function<void()>;

    // $OSTRA_ROOT/run/korvane-cloud.sock: where the service session listens.
    static std::string servicePath();
    // A channel on a new connection to the service; null when nobody listens.
    static std::shared_ptr<CloudChannel> connectToService();

    // Takes a reference on the connection.
    explicit CloudChannel(GSocketConnection* connection);
    ~CloudChannel();
    CloudChannel(const CloudChannel&) = delete;
    CloudChannel& operator=(const CloudChannel&) = delete;

    // Starts reading: onMessage for each message, onClosed once at the end.
    void start(MessageFn onMessage, ClosedFn onClosed);
    // Sends {"msg": type, ...members of body}; takes body over (may be null).
    bool send(const char* type, JsonObject* body = nullptr);
    void close();
    bool isOpen() const { return _connection != nullptr; }

  private:
    static gboolean _readableCb(GSocket* socket, GIOCondition condition, gpointer self);
    bool _readAvailable();
    void _dispatchLines();
    void _finish();

    GSocketConnection* _connection;
    GSource* _source = nullptr;
    std::string _buffer;
    MessageFn _onMessage;
    ClosedFn _onClosed;
};

}  // namespace ostra
