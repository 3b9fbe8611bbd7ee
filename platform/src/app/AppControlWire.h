// The launch-request wire: app controls as framed GVariants on Unix sockets,
// the per-app socket paths and the registry that maps app ids to programs.
#pragma once

#include <gio/gio.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ostra/app_control.h"

struct app_control_s {
    std::optional<std::string> operation;
    std::optional<std::string> uri;
    std::optional<std::string> appId;
    std::string caller;
    int launchMode = APP_CONTROL_LAUNCH_MODE_SINGLE;
    std::vector<std::pair<std::string, std::string>> extras;
    bool wantsReply = false;
    // A received request keeps its connection so that it can be answered.
    GSocketConnection* connection = nullptr;
};

namespace ostra {

// $OSTRA_ROOT/run/<app id>.sock
std::string appSocketPath(const std::string& appId);
// The program registered for the app id, from the registry files
// "<app id>.app" ([App] Exec=...) in $OSTRA_APPS_PATH, $OSTRA_ROOT/registry,
// the build tree and the install prefix.
std::optional<std::string> registeredProgram(const std::string& appId);
// The app id registered for a launch operation (Operation= in its registry
// entry), for requests that name an operation and no app.
std::optional<std::string> registeredAppForOperation(const std::string& operation);

GVariant* encodeAppControl(const app_control_s& control);
bool decodeAppControl(GVariant* variant, app_control_s* out);

// One frame: a 4-byte big-endian length and the serialized variant.
bool writeFrame(GSocketConnection* connection, GVariant* variant);
// Blocks up to the socket's timeout; NULL on failure or end of stream.
GVariant* readFrame(GSocketConnection* connection, const GVariantType* type);
// The variant in a frame's payload; NULL, logged, when it is not well-formed.
GVariant* parseFrame(const void* data, gsize size, const GVariantType* type);
// The largest payload a frame may announce.
guint32 maxFrameSize();

// A connection to the app's socket, or NULL when no instance of this user listens.
GSocketConnection* connectToApp(const std::string& appId);
// The other end of the connection runs as this user (SO_PEERCRED).
bool peerIsUs(GSocketConnection* connection);

const GVariantType* requestVariantType();
const GVariantType* replyVariantType();

}  // namespace ostra
