#include "AppControlWire.h"

#include <gio/gunixsocketaddress.h>
#include <unistd.h>

#include <cstdlib>

#include "Installation.h"
#include "Paths.h"
#include "PlatformLog.h"

namespace ostra {

namespace {

constexpr guint32 kMaxFrame = 1024 * 1024;
constexpr int kSocketTimeoutSeconds = 3;

std::vector<std::string> registryDirs() {
    std::vector<std::string> dirs;
    const char* env = getenv("OSTRA_APPS_PATH");
    if (env && *env) {
        gchar** parts = g_strsplit(env, ":", -1);
        for (gchar** p = parts; *p; ++p) {
            if (**p) {
                dirs.emplace_back(*p);
            }
        }
        g_strfreev(parts);
    }
    dirs.push_back(rootDir() + "/registry");
    dirs.push_back(Installation::inBuildTree() ? OSTRA_BUILD_REGISTRY_DIR
                                               : Installation::path(OSTRA_INSTALL_REGISTRY_DIR));
    return dirs;
}

// Another user's registry entry must never choose what this user runs.
bool trustedEntry(const std::string& dir, const std::string& file) {
    return ownedPrivately(dir, true) && ownedPrivately(file, true);
}

bool validAppId(const std::string& appId) {
    if (appId.empty() || appId.size() > 64) {
        return false;
    }
    for (char c : appId) {
        if (!g_ascii_isalnum(c) && c != '.' && c != '-' && c != '_') {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string appSocketPath(const std::string& appId) {
    return rootDir() + "/run/" + appId + ".sock";
}

std::optional<std::string> registeredProgram(const std::string& appId) {
    if (!validAppId(appId)) {
        OSTRA_LOGE("invalid app id \"%s\"", appId.c_str());
        return std::nullopt;
    }
    for (const std::string& dir : registryDirs()) {
        std::string file = dir + "/" + appId + ".app";
        if (!g_file_test(file.c_str(), G_FILE_TEST_EXISTS) || !trustedEntry(dir, file)) {
            continue;
        }
        GKeyFile* keys = g_key_file_new();
        if (g_key_file_load_from_file(keys, file.c_str(), G_KEY_FILE_NONE, nullptr)) {
            gchar* exec = g_key_file_get_string(keys, "App", "Exec", nullptr);
            g_key_file_free(keys);
            if (exec && g_file_test(exec, G_FILE_TEST_IS_EXECUTABLE)) {
                std::string program = exec;
                g_free(exec);
                return program;
            }
            OSTRA_LOGW("registry entry %s names no executable program", file.c_str());
            g_free(exec);
            continue;
        }
        g_key_file_free(keys);
    }
    return std::nullopt;
}

std::optional<std::string> registeredAppForOperation(const std::string& operation) {
    for (const std::string& dir : registryDirs()) {
        GDir* folder = g_dir_open(dir.c_str(), 0, nullptr);
        if (!folder) {
            continue;
        }
        std::optional<std::string> found;
        while (const gchar* name = g_dir_read_name(folder)) {
            if (!g_str_has_suffix(name, ".app")) {
                continue;
            }
            std::string file = dir + "/" + name;
            if (!trustedEntry(dir, file)) {
                continue;
            }
            GKeyFile* keys = g_key_file_new();
            if (g_key_file_load_from_file(keys, file.c_str(), G_KEY_FILE_NONE, nullptr)) {
                gchar* op = g_key_file_get_string(keys, "App", "Operation", nullptr);
                gchar* id = g_key_file_get_string(keys, "App", "Id", nullptr);
                if (op && id && operation == op) {
                    found = id;
                }
                g_free(op);
                g_free(id);
            }
            g_key_file_free(keys);
            if (found) {
                break;
            }
        }
        g_dir_close(folder);
        if (found) {
            return found;
        }
    }
    return std::nullopt;
}

const GVariantType* requestVariantType() {
    return G_VARIANT_TYPE("(ssssia{ss}b)");
}

const GVariantType* replyVariantType() {
    return G_VARIANT_TYPE("(i(ssssia{ss}b))");
}

// Unset strings travel as empty strings: an empty operation or URI means none.
GVariant* encodeAppControl(const app_control_s& control) {
    GVariantBuilder extras;
    g_variant_builder_init(&extras, G_VARIANT_TYPE("a{ss}"));
    for (const auto& kv : control.extras) {
        g_variant_builder_add(&extras, "{ss}", kv.first.c_str(), kv.second.c_str());
    }
    return g_variant_new("(ssssia{ss}b)", control.operation.value_or("").c_str(),
                         control.uri.value_or("").c_str(), control.appId.value_or("").c_str(),
                         control.caller.c_str(), control.launchMode, &extras, control.wantsReply);
}

bool decodeAppControl(GVariant* variant, app_control_s* out) {
    if (!variant || !g_variant_is_of_type(variant, requestVariantType())) {
        return false;
    }
    const gchar *operation, *uri, *appId, *caller;
    gint mode;
    gboolean wantsReply;
    GVariantIter* extras;
    g_variant_get(variant, "(&s&s&s&sia{ss}b)", &operation, &uri, &appId, &caller, &mode, &extras,
                  &wantsReply);
    if (*operation) {
        out->operation = operation;
    }
    if (*uri) {
        out->uri = uri;
    }
    if (*appId) {
        out->appId = appId;
    }
    out->caller = caller;
    out->launchMode = mode;
    out->wantsReply = wantsReply;
    const gchar *key, *value;
    while (g_variant_iter_next(extras, "{&s&s}", &key, &value)) {
        out->extras.emplace_back(key, value);
    }
    g_variant_iter_free(extras);
    return true;
}

bool writeFrame(GSocketConnection* connection, GVariant* variant) {
    g_variant_ref_sink(variant);
    gsize size = g_variant_get_size(variant);
    guint32 header = GUINT32_TO_BE(static_cast<guint32>(size));
    GOutputStream* out = g_io_stream_get_output_stream(G_IO_STREAM(connection));
    GError* error = nullptr;
    bool ok =
        g_output_stream_write_all(out, &header, sizeof header, nullptr, nullptr, &error) &&
        g_output_stream_write_all(out, g_variant_get_data(variant), size, nullptr, nullptr, &error);
    if (!ok) {
        OSTRA_LOGE("launch request write failed: %s", error ? error->message : "?");
        g_clear_error(&error);
    }
    g_variant_unref(variant);
    return ok;
}

GVariant* readFrame(GSocketConnection* connection, const GVariantType* type) {
    GInputStream* in = g_io_stream_get_input_stream(G_IO_STREAM(connection));
    guint32 header = 0;
    gsize got = 0;
    GError* error = nullptr;
    if (!g_input_stream_read_all(in, &header, sizeof header, &got, nullptr, &error) ||
        got != sizeof header) {
        g_clear_error(&error);
        return nullptr;
    }
    guint32 size = GUINT32_FROM_BE(header);
    if (size > kMaxFrame) {
        OSTRA_LOGE("launch request frame of %u bytes refused", size);
        return nullptr;
    }
    gchar* data = static_cast<gchar*>(g_malloc(size ? size : 1));
    if (!g_input_stream_read_all(in, data, size, &got, nullptr, &error) || got != size) {
        OSTRA_LOGE("launch request truncated");
        g_clear_error(&error);
        g_free(data);
        return nullptr;
    }
    GVariant* variant = parseFrame(data, size, type);
    g_free(data);
    return variant;
}

GVariant* parseFrame(const void* data, gsize size, const GVariantType* type) {
    GBytes* bytes = g_bytes_new(data, size);
    GVariant* variant = g_variant_new_from_bytes(type, bytes, FALSE);
    g_bytes_unref(bytes);
    g_variant_ref_sink(variant);
    // Untrusted bytes: only a well-formed variant goes further; a string that is
    // not UTF-8 makes it malformed.
    if (!g_variant_is_normal_form(variant)) {
        OSTRA_LOGE("launch request is malformed (a string that is not UTF-8?); refused");
        g_variant_unref(variant);
        return nullptr;
    }
    return variant;
}

guint32 maxFrameSize() {
    return kMaxFrame;
}

GSocketConnection* connectToApp(const std::string& appId) {
    std::string path = appSocketPath(appId);
    if (!g_file_test(path.c_str(), G_FILE_TEST_EXISTS)) {
        return nullptr;
    }
    GSocketAddress* address = g_unix_socket_address_new(path.c_str());
    GSocketClient* client = g_socket_client_new();
    g_socket_client_set_timeout(client, kSocketTimeoutSeconds);
    GSocketConnection* connection =
        g_socket_client_connect(client, G_SOCKET_CONNECTABLE(address), nullptr, nullptr);
    g_object_unref(client);
    g_object_unref(address);
    if (connection && !peerIsUs(connection)) {
        OSTRA_LOGE("%s is served by another user; refused", path.c_str());
        g_io_stream_close(G_IO_STREAM(connection), nullptr, nullptr);
        g_clear_object(&connection);
    }
    return connection;
}

bool peerIsUs(GSocketConnection* connection) {
    GSocket* socket = g_socket_connection_get_socket(connection);
    GCredentials* credentials = g_socket_get_credentials(socket, nullptr);
    if (!credentials) {
        return false;
    }
    uid_t uid = g_credentials_get_unix_user(credentials, nullptr);
    g_object_unref(credentials);
    return uid == geteuid();
}

}  // namespace ostra
