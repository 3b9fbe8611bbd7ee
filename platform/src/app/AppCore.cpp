#include "AppCore.h"

#include <glib-unix.h>
#include <glib/gstdio.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "AppControlWire.h"
#include "Paths.h"
#include "PlatformLog.h"
#include "ostra/app_common.h"

namespace ostra {

namespace {

constexpr guint kFirstRequestWaitMs = 5000;
constexpr guint kClientTimeoutMs = 2000;
constexpr int kMaxClients = 16;
constexpr int kReplyTimeoutSeconds = 3;
constexpr size_t kFrameHeader = 4;

struct CoreState {
    std::string appId;
    std::string socketPath;
    AppCore::LaunchFn onLaunch;
    // The listening socket is a plain descriptor watched by the main loop:
    // GIO's socket service would load and start much of GIO (types, its
    // worker thread) in every program before its first frame.
    int listenFd = -1;
    guint listenWatch = 0;
    // Set while accepting waits for descriptors or memory to come free.
    guint acceptRetry = 0;
    bool firstDelivered = false;
    guint firstTimer = 0;
};

CoreState& state() {
    static CoreState s;
    return s;
}

void dispatch(app_control_h request) {
    CoreState& s = state();
    const bool first = !s.firstDelivered;
    s.firstDelivered = true;
    if (s.firstTimer) {
        g_source_remove(s.firstTimer);
        s.firstTimer = 0;
    }
    char* operation = nullptr;
    app_control_get_operation(request, &operation);
    OSTRA_LOGI("%s: launch request (%s), first launch %d", s.appId.c_str(),
               operation ? operation : "no operation", first);
    free(operation);
    if (s.onLaunch) {
        s.onLaunch(request, first);
    }
}

app_control_h mainRequest() {
    app_control_h request = nullptr;
    app_control_create(&request);
    app_control_set_operation(request, APP_CONTROL_OPERATION_MAIN);
    app_control_set_app_id(request, state().appId.c_str());
    return request;
}

gboolean deliverMainRequest(gpointer) {
    state().firstTimer = 0;
    if (!state().firstDelivered) {
        app_control_h request = mainRequest();
        dispatch(request);
        app_control_destroy(request);
    }
    return G_SOURCE_REMOVE;
}

void handleFrame(GSocketConnection* connection, const std::string& payload) {
    GVariant* variant = parseFrame(payload.data(), payload.size(), requestVariantType());
    if (!variant) {
        return;
    }
    app_control_h request = new app_control_s;
    bool ok = decodeAppControl(variant, request);
    g_variant_unref(variant);
    if (!ok) {
        app_control_destroy(request);
        return;
    }
    if (request->wantsReply) {
        // The reply is written in one go, with the socket's timeout.
        g_socket_set_blocking(g_socket_connection_get_socket(connection), TRUE);
        request->connection = G_SOCKET_CONNECTION(g_object_ref(connection));
    }
    dispatch(request);
    app_control_destroy(request);
}

// A client's frame is gathered as it arrives, so a slow or idle client never
// holds up the main loop; one that takes too long or announces too much goes.
struct Client {
    GSocketConnection* connection = nullptr;
    GSource* source = nullptr;
    guint timer = 0;
    std::string bytes;
};

int& clientCount() {
    static int count = 0;
    return count;
}

void dropClient(Client* client) {
    g_source_destroy(client->source);
    g_source_unref(client->source);
    if (client->timer) {
        g_source_remove(client->timer);
    }
    g_object_unref(client->connection);
    --clientCount();
    delete client;
}

gboolean onClientTimeout(gpointer data) {
    auto* client = static_cast<Client*>(data);
    client->timer = 0;
    OSTRA_LOGW("%s: launch request not sent within %u ms; client dropped", state().appId.c_str(),
               kClientTimeoutMs);
    dropClient(client);
    return G_SOURCE_REMOVE;
}

// True while more bytes are wanted.
bool takeBytes(Client* client, GSocket* socket) {
    char buffer[4096];
    GError* error = nullptr;
    gssize got;
    while ((got = g_socket_receive(socket, buffer, sizeof buffer, nullptr, &error)) > 0) {
        client->bytes.append(buffer, static_cast<size_t>(got));
        if (client->bytes.size() > kFrameHeader + maxFrameSize()) {
            break;
        }
    }
    bool wouldBlock = got < 0 && g_error_matches(error, G_IO_ERROR, G_IO_ERROR_WOULD_BLOCK);
    g_clear_error(&error);
    return wouldBlock;
}

gboolean onClientReadable(GSocket* socket, GIOCondition, gpointer data) {
    auto* client = static_cast<Client*>(data);
    bool more = takeBytes(client, socket);
    if (client->bytes.size() >= kFrameHeader) {
        guint32 header = 0;
        memcpy(&header, client->bytes.data(), kFrameHeader);
        guint32 size = GUINT32_FROM_BE(header);
        if (size > maxFrameSize()) {
            OSTRA_LOGE("%s: launch request frame of %u bytes refused", state().appId.c_str(), size);
            dropClient(client);
            return G_SOURCE_REMOVE;
        }
        if (client->bytes.size() >= kFrameHeader + size) {
            handleFrame(client->connection, client->bytes.substr(kFrameHeader, size));
            dropClient(client);
            return G_SOURCE_REMOVE;
        }
    }
    if (!more) {
        OSTRA_LOGW("%s: incomplete launch request ignored", state().appId.c_str());
        dropClient(client);
        return G_SOURCE_REMOVE;
    }
    return G_SOURCE_CONTINUE;
}

void takeConnection(GSocketConnection* connection) {
    if (!peerIsUs(connection)) {
        OSTRA_LOGE("%s: launch request from another user refused", state().appId.c_str());
        return;
    }
    if (clientCount() >= kMaxClients) {
        OSTRA_LOGW("%s: too many launch requests at once; one dropped", state().appId.c_str());
        return;
    }
    GSocket* socket = g_socket_connection_get_socket(connection);
    g_socket_set_timeout(socket, kReplyTimeoutSeconds);
    g_socket_set_blocking(socket, FALSE);
    auto* client = new Client;
    ++clientCount();
    client->connection = G_SOCKET_CONNECTION(g_object_ref(connection));
    client->source = g_socket_create_source(socket, G_IO_IN, nullptr);
    g_source_set_callback(client->source, G_SOURCE_FUNC(onClientReadable), client, nullptr);
    g_source_attach(client->source, nullptr);
    client->timer = g_timeout_add(kClientTimeoutMs, onClientTimeout, client);
}

// Out of descriptors or memory, accept fails with the connection still
// waiting, so the listening socket stays readable: watching it again at once
// would spin the main loop. It is watched again after a pause instead.
constexpr guint kAcceptRetryMs = 1000;

gboolean onIncoming(gint listenFd, GIOCondition, gpointer);

gboolean resumeAccepting(gpointer) {
    CoreState& s = state();
    s.acceptRetry = 0;
    s.listenWatch = g_unix_fd_add(s.listenFd, G_IO_IN, onIncoming, nullptr);
    return G_SOURCE_REMOVE;
}

gboolean onIncoming(gint listenFd, GIOCondition, gpointer) {
    int fd;
    while ((fd = accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC)) >= 0) {
        GError* error = nullptr;
        GSocket* socket = g_socket_new_from_fd(fd, &error);
        if (!socket) {
            OSTRA_LOGE("%s: launch connection unusable: %s", state().appId.c_str(),
                       error ? error->message : "?");
            g_clear_error(&error);
            close(fd);
            continue;
        }
        GSocketConnection* connection = g_socket_connection_factory_create_connection(socket);
        g_object_unref(socket);
        takeConnection(connection);
        g_object_unref(connection);
    }
    if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
        CoreState& s = state();
        OSTRA_LOGE("%s: accepting launch requests failed: %s; trying again in %u ms",
                   s.appId.c_str(), g_strerror(errno), kAcceptRetryMs);
        s.listenWatch = 0;
        s.acceptRetry = g_timeout_add(kAcceptRetryMs, resumeAccepting, nullptr);
        return G_SOURCE_REMOVE;
    }
    if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR && errno != ECONNABORTED) {
        OSTRA_LOGE("%s: accepting launch requests failed: %s", state().appId.c_str(),
                   g_strerror(errno));
    }
    return G_SOURCE_CONTINUE;
}

// A socket listening on path, or -1 (logged).
int listenOn(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        OSTRA_LOGE("cannot listen on %s: path too long", path.c_str());
        return -1;
    }
    memcpy(address.sun_path, path.c_str(), path.size() + 1);
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(fd, SOMAXCONN) != 0) {
        OSTRA_LOGE("cannot listen on %s: %s", path.c_str(), g_strerror(errno));
        if (fd >= 0) {
            close(fd);
        }
        return -1;
    }
    return fd;
}

bool handToRunningInstance() {
    GSocketConnection* connection = connectToApp(state().appId);
    if (!connection) {
        return false;
    }
    // A launcher that started us delivers its own request to the running
    // instance; a start from the shell is a main-menu launch.
    if (!getenv("OSTRA_LAUNCH_PENDING")) {
        app_control_h request = mainRequest();
        writeFrame(connection, encodeAppControl(*request));
        app_control_destroy(request);
    }
    g_io_stream_close(G_IO_STREAM(connection), nullptr, nullptr);
    g_object_unref(connection);
    OSTRA_LOGI("%s already runs; the launch went to it", state().appId.c_str());
    return true;
}

}  // namespace

AppCore::Start AppCore::start(LaunchFn onLaunch) {
    CoreState& s = state();
    char* id = nullptr;
    app_get_id(&id);
    s.appId = id ? id : "";
    free(id);
    s.onLaunch = std::move(onLaunch);
    s.socketPath = appSocketPath(s.appId);
    if (!makeStateDir(rootDir() + "/run")) {
        return Start::Failed;
    }
    if (handToRunningInstance()) {
        return Start::HandedToRunning;
    }
    // Nobody answers on the socket: a file left there is stale.
    g_unlink(s.socketPath.c_str());
    s.listenFd = listenOn(s.socketPath);
    if (s.listenFd < 0) {
        return Start::Failed;
    }
    g_chmod(s.socketPath.c_str(), 0600);
    s.listenWatch = g_unix_fd_add(s.listenFd, G_IO_IN, onIncoming, nullptr);
    return Start::Listening;
}

void AppCore::deliverFirstRequest() {
    CoreState& s = state();
    if (getenv("OSTRA_LAUNCH_PENDING")) {
        // Our children are not launched on our behalf.
        unsetenv("OSTRA_LAUNCH_PENDING");
        s.firstTimer = g_timeout_add(kFirstRequestWaitMs, deliverMainRequest, nullptr);
        return;
    }
    // At once, not from the loop: a turn of the loop first would lay out and
    // draw the program's window before its content, a frame nobody needs.
    deliverMainRequest(nullptr);
}

void AppCore::stop() {
    CoreState& s = state();
    if (s.firstTimer) {
        g_source_remove(s.firstTimer);
        s.firstTimer = 0;
    }
    if (s.listenFd >= 0) {
        if (s.listenWatch) {
            g_source_remove(s.listenWatch);
            s.listenWatch = 0;
        }
        if (s.acceptRetry) {
            g_source_remove(s.acceptRetry);
            s.acceptRetry = 0;
        }
        close(s.listenFd);
        s.listenFd = -1;
        g_unlink(s.socketPath.c_str());
    }
}

const std::string& AppCore::appId() {
    return state().appId;
}

}  // namespace ostra
