// The cloud backup service's side of one session: it listens for the
// program's connection, launches the program with an operation and walks it
// through the requests, each answer awaited with a time limit.
#pragma once

#include <gio/gio.h>
#include <json-glib/json-glib.h>

#include <deque>
#include <memory>
#include <string>

#include "CloudChannel.h"

namespace ostractl {

class CloudSession {
  public:
    CloudSession(std::string appId, int timeoutSeconds);
    ~CloudSession();
    CloudSession(const CloudSession&) = delete;
    CloudSession& operator=(const CloudSession&) = delete;

    // Claims the service socket; fails while another session holds it.
    bool listen(std::string* error);
    // Sends the launch request and waits for its success reply and for the
    // program's connection.
    bool launch(const std::string& operation, std::string* error);
    // Sends a request; takes body over (may be null).
    bool send(const char* type, JsonObject* body = nullptr);
    // Waits for the program's next message, which must be of this type; the
    // caller unrefs it. Null, with the reason, otherwise.
    JsonObject* expect(const char* type, std::string* error);
    // Tells the program the session's outcome and waits for it to end.
    void complete(const char* type, bool success);

  private:
    static gboolean _incomingCb(GSocketService* service, GSocketConnection* connection,
                                GObject* source, gpointer self);
    void _onHello(const std::shared_ptr<ostra::CloudChannel>& channel, JsonObject* message);
    bool _waitFor(const std::function<bool()>& done);

    std::string _appId;
    gint64 _timeoutUs;
    GSocketService* _service = nullptr;
    std::shared_ptr<ostra::CloudChannel> _pending;
    std::shared_ptr<ostra::CloudChannel> _program;
    std::deque<JsonObject*> _messages;
    bool _closed = false;
};

}  // namespace ostractl
