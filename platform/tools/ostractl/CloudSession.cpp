#include "CloudSession.h"

#include <gio/gunixsocketaddress.h>
#include <glib/gstdio.h>

#include <functional>

#include "Paths.h"
#include "ostra/app_control.h"

namespace ostractl {

namespace {

struct LaunchState {
    bool answered = false;
    app_control_result_e result = APP_CONTROL_RESULT_FAILED;
};

void onLaunchReply(app_control_h, app_control_h, app_control_result_e result, void* data) {
    auto* state = static_cast<LaunchState*>(data);
    state->answered = true;
    state->result = result;
}

}  // namespace

CloudSession::CloudSession(std::string appId, int timeoutSeconds)
    : _appId(std::move(appId)), _timeoutUs(static_cast<gint64>(timeoutSeconds) * G_USEC_PER_SEC) {}

CloudSession::~CloudSession() {
    for (JsonObject* message : _messages) {
        json_object_unref(message);
    }
    _program.reset();
    _pending.reset();
    if (_service) {
        g_socket_service_stop(_service);
        g_socket_listener_close(G_SOCKET_LISTENER(_service));
        g_clear_object(&_service);
        g_unlink(ostra::CloudChannel::servicePath().c_str());
    }
}

bool CloudSession::listen(std::string* error) {
    const std::string path = ostra::CloudChannel::servicePath();
    if (!ostra::makeDirs(ostra::rootDir() + "/run")) {
        *error = "cannot create " + ostra::rootDir() + "/run";
        return false;
    }
    if (ostra::CloudChannel::connectToService()) {
        *error = "another cloud session runs (" + path + ")";
        return false;
    }
    // Nobody answers: a socket file there is stale.
    g_unlink(path.c_str());
    _service = g_socket_service_new();
    GSocketAddress* address = g_unix_socket_address_new(path.c_str());
    GError* failure = nullptr;
    bool ok =
        g_socket_listener_add_address(G_SOCKET_LISTENER(_service), address, G_SOCKET_TYPE_STREAM,
                                      G_SOCKET_PROTOCOL_DEFAULT, nullptr, nullptr, &failure);
    g_object_unref(address);
    if (!ok) {
        *error = "cannot listen on " + path + ": " + (failure ? failure->message : "?");
        g_clear_error(&failure);
        g_clear_object(&_service);
        return false;
    }
    g_chmod(path.c_str(), 0600);
    g_signal_connect(_service, "incoming", G_CALLBACK(_incomingCb), this);
    g_socket_service_start(_service);
    return true;
}

gboolean CloudSession::_incomingCb(GSocketService*, GSocketConnection* connection, GObject*,
                                   gpointer self) {
    auto* session = static_cast<CloudSession*>(self);
    if (session->_program || session->_pending) {
        // One program per session; a late caller is shut out.
        g_io_stream_close(G_IO_STREAM(connection), nullptr, nullptr);
        return TRUE;
    }
    auto channel = std::make_shared<ostra::CloudChannel>(connection);
    session->_pending = channel;
    std::weak_ptr<ostra::CloudChannel> weak = channel;
    channel->start(
        [session, weak](JsonObject* message) {
            if (auto ch = weak.lock()) {
                session->_onHello(ch, message);
            }
        },
        [session, weak] {
            auto ch = weak.lock();
            if (ch == session->_program) {
                session->_closed = true;
            } else if (ch == session->_pending) {
                session->_pending.reset();
            }
        });
    return TRUE;
}

// The first message names the program; later ones are its answers.
void CloudSession::_onHello(const std::shared_ptr<ostra::CloudChannel>& channel,
                            JsonObject* message) {
    if (channel == _program) {
        _messages.push_back(json_object_ref(message));
        return;
    }
    std::string type = json_object_get_string_member_with_default(message, "msg", "");
    std::string appId = json_object_get_string_member_with_default(message, "app_id", "");
    if (type != "hello" || appId != _appId) {
        fprintf(stderr, "ostractl: a connection from \"%s\" was not the launched program\n",
                appId.c_str());
        _pending.reset();
        channel->close();
        return;
    }
    _program = channel;
    _pending.reset();
}

bool CloudSession::_waitFor(const std::function<bool()>& done) {
    gint64 deadline = g_get_monotonic_time() + _timeoutUs;
    while (!done() && g_get_monotonic_time() < deadline) {
        // Wake at least every 100 ms to look at the clock.
        GSource* tick = g_timeout_source_new(100);
        g_source_set_callback(
            tick, [](gpointer) { return G_SOURCE_REMOVE; }, nullptr, nullptr);
        g_source_attach(tick, nullptr);
        g_main_context_iteration(nullptr, TRUE);
        g_source_destroy(tick);
        g_source_unref(tick);
    }
    return done();
}

bool CloudSession::launch(const std::string& operation, std::string* error) {
    app_control_h request = nullptr;
    app_control_create(&request);
    app_control_set_app_id(request, _appId.c_str());
    app_control_set_operation(request, operation.c_str());
    LaunchState state;
    int ret = app_control_send_launch_request(request, onLaunchReply, &state);
    app_control_destroy(request);
    if (ret != APP_CONTROL_ERROR_NONE) {
        *error = "cannot launch " + _appId + " (error " + std::to_string(ret) + ")";
        return false;
    }
    bool ended = _waitFor([&] { return state.answered || ostra_app_control_pending_count() == 0; });
    if (!ended) {
        *error = _appId + " did not answer the launch request in time";
        return false;
    }
    if (!state.answered) {
        *error = _appId + " ended the launch request without a reply";
        return false;
    }
    if (state.result != APP_CONTROL_RESULT_SUCCEEDED) {
        *error =
            _appId + " refused the launch request (result " + std::to_string(state.result) + ")";
        return false;
    }
    if (!_waitFor([this] { return _program != nullptr; })) {
        *error = _appId + " answered but did not connect to the cloud service";
        return false;
    }
    return true;
}

bool CloudSession::send(const char* type, JsonObject* body) {
    if (!_program || _closed) {
        if (body) {
            json_object_unref(body);
        }
        return false;
    }
    return _program->send(type, body);
}

JsonObject* CloudSession::expect(const char* type, std::string* error) {
    if (!_waitFor([this] { return !_messages.empty() || _closed; })) {
        *error = _appId + " did not answer \"" + type + "\" in time";
        return nullptr;
    }
    if (_messages.empty()) {
        *error = _appId + " closed the session instead of answering \"" + type + "\"";
        return nullptr;
    }
    JsonObject* message = _messages.front();
    _messages.pop_front();
    std::string got = json_object_get_string_member_with_default(message, "msg", "");
    if (got != type) {
        *error = _appId + " answered \"" + got + "\" where \"" + type + "\" was due";
        json_object_unref(message);
        return nullptr;
    }
    return message;
}

void CloudSession::complete(const char* type, bool success) {
    JsonObject* body = json_object_new();
    json_object_set_boolean_member(body, "success", success);
    if (!send(type, body)) {
        return;
    }
    if (!_waitFor([this] { return _closed; })) {
        fprintf(stderr, "ostractl: %s still runs after the session ended\n", _appId.c_str());
    }
}

}  // namespace ostractl
