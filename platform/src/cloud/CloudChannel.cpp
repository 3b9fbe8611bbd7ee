#include "CloudChannel.h"

#include <gio/gunixsocketaddress.h>

#include "Paths.h"
#include "PlatformLog.h"
#include "ostra/json_guard.h"

namespace ostra {

namespace {

constexpr gsize kReadChunk = 4096;
// A message is a handful of records; anything longer is not ours.
constexpr size_t kMaxLineBytes = 1 << 20;

// A message is a flat object with a record list: a few levels at most.
constexpr int kMaxDepth = 16;

JsonObject* parseObject(const std::string& line) {
    if (!ostra_json_within_limits(line.data(), line.size(), kMaxLineBytes, kMaxDepth)) {
        OSTRA_LOGE("cloud message of %zu bytes refused: too long or nested too deep", line.size());
        return nullptr;
    }
    JsonParser* parser = json_parser_new();
    JsonObject* object = nullptr;
    if (json_parser_load_from_data(parser, line.c_str(), static_cast<gssize>(line.size()),
                                   nullptr)) {
        JsonNode* root = json_parser_get_root(parser);
        if (root && JSON_NODE_HOLDS_OBJECT(root)) {
            object = json_object_ref(json_node_get_object(root));
        }
    }
    g_object_unref(parser);
    return object;
}

}  // namespace

std::string CloudChannel::servicePath() {
    return rootDir() + "/run/korvane-cloud.sock";
}

std::shared_ptr<CloudChannel> CloudChannel::connectToService() {
    GSocketClient* client = g_socket_client_new();
    GSocketAddress* address = g_unix_socket_address_new(servicePath().c_str());
    GSocketConnection* connection =
        g_socket_client_connect(client, G_SOCKET_CONNECTABLE(address), nullptr, nullptr);
    g_object_unref(address);
    g_object_unref(client);
    if (!connection) {
        return nullptr;
    }
    auto channel = std::make_shared<CloudChannel>(connection);
    g_object_unref(connection);
    return channel;
}

CloudChannel::CloudChannel(GSocketConnection* connection)
    : _connection(G_SOCKET_CONNECTION(g_object_ref(connection))) {}

CloudChannel::~CloudChannel() {
    _onClosed = nullptr;
    close();
}

void CloudChannel::start(MessageFn onMessage, ClosedFn onClosed) {
    _onMessage = std::move(onMessage);
    _onClosed = std::move(onClosed);
    if (!_connection || _source) {
        return;
    }
    GSocket* socket = g_socket_connection_get_socket(_connection);
    _source = g_socket_create_source(
        socket, static_cast<GIOCondition>(G_IO_IN | G_IO_HUP | G_IO_ERR), nullptr);
    g_source_set_callback(_source, G_SOURCE_FUNC(_readableCb), this, nullptr);
    g_source_attach(_source, nullptr);
}

bool CloudChannel::send(const char* type, JsonObject* body) {
    JsonObject* object = body ? body : json_object_new();
    json_object_set_string_member(object, "msg", type);
    JsonNode* node = json_node_new(JSON_NODE_OBJECT);
    json_node_take_object(node, object);
    gchar* text = json_to_string(node, FALSE);
    json_node_unref(node);
    std::string line = std::string(text) + "\n";
    g_free(text);
    if (!_connection) {
        return false;
    }
    GOutputStream* out = g_io_stream_get_output_stream(G_IO_STREAM(_connection));
    GError* error = nullptr;
    if (!g_output_stream_write_all(out, line.data(), line.size(), nullptr, nullptr, &error)) {
        OSTRA_LOGW("cloud: cannot send \"%s\": %s", type, error ? error->message : "?");
        g_clear_error(&error);
        return false;
    }
    return true;
}

void CloudChannel::close() {
    if (_source) {
        g_source_destroy(_source);
        g_source_unref(_source);
        _source = nullptr;
    }
    if (_connection) {
        g_io_stream_close(G_IO_STREAM(_connection), nullptr, nullptr);
        g_clear_object(&_connection);
    }
}

gboolean CloudChannel::_readableCb(GSocket*, GIOCondition, gpointer self) {
    // The handlers may drop the last owner of the channel; keep it alive until we return.
    std::shared_ptr<CloudChannel> channel = static_cast<CloudChannel*>(self)->shared_from_this();
    if (!channel->_readAvailable()) {
        channel->_dispatchLines();
        channel->_finish();
        return G_SOURCE_REMOVE;
    }
    channel->_dispatchLines();
    return channel->_source ? G_SOURCE_CONTINUE : G_SOURCE_REMOVE;
}

// False at the end of the stream or on an error.
bool CloudChannel::_readAvailable() {
    GSocket* socket = g_socket_connection_get_socket(_connection);
    char chunk[kReadChunk];
    GError* error = nullptr;
    gssize got =
        g_socket_receive_with_blocking(socket, chunk, sizeof(chunk), FALSE, nullptr, &error);
    if (got < 0 && g_error_matches(error, G_IO_ERROR, G_IO_ERROR_WOULD_BLOCK)) {
        g_clear_error(&error);
        return true;
    }
    g_clear_error(&error);
    if (got <= 0) {
        return false;
    }
    _buffer.append(chunk, static_cast<size_t>(got));
    return _buffer.size() <= kMaxLineBytes || _buffer.find('\n') != std::string::npos;
}

void CloudChannel::_dispatchLines() {
    size_t end;
    while (_connection && (end = _buffer.find('\n')) != std::string::npos) {
        std::string line = _buffer.substr(0, end);
        _buffer.erase(0, end + 1);
        JsonObject* message = parseObject(line);
        if (!message || !json_object_has_member(message, "msg")) {
            OSTRA_LOGW("cloud: message that is not ours ignored");
        } else if (_onMessage) {
            _onMessage(message);
        }
        if (message) {
            json_object_unref(message);
        }
    }
}

void CloudChannel::_finish() {
    ClosedFn onClosed = std::move(_onClosed);
    _onClosed = nullptr;
    close();
    if (onClosed) {
        onClosed();
    }
}

}  // namespace ostra
