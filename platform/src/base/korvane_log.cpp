#include "ostra/korvane_log.h"

#include <fcntl.h>
#include <json-glib/json-glib.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "PlatformLog.h"
#include "ostra/app_common.h"

struct korvane_log_manager_s {
    std::string path;
};

namespace {

void addMember(const char* key, const char* value, void* user_data) {
    json_builder_set_member_name(static_cast<JsonBuilder*>(user_data), key);
    json_builder_add_string_value(static_cast<JsonBuilder*>(user_data), value);
}

std::string isoNow() {
    time_t now = time(nullptr);
    struct tm utc;
    gmtime_r(&now, &utc);
    char text[32];
    strftime(text, sizeof(text), "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

}  // namespace

extern "C" {

int korvane_log_manager_create(korvane_log_manager_h* handle) {
    if (!handle) {
        return KORVANE_LOG_ERROR_INVALID_PARAMETER;
    }
    char* data = app_get_data_path();
    if (!data) {
        return KORVANE_LOG_ERROR_IO_ERROR;
    }
    *handle = new korvane_log_manager_s{std::string(data) + KORVANE_LOG_FILE_NAME};
    free(data);
    return KORVANE_LOG_ERROR_NONE;
}

int korvane_log_manager_destroy(korvane_log_manager_h handle) {
    if (!handle) {
        return KORVANE_LOG_ERROR_INVALID_PARAMETER;
    }
    delete handle;
    return KORVANE_LOG_ERROR_NONE;
}

int korvane_log_manager_insert(korvane_log_manager_h handle, const char* uri, bundle* data) {
    if (!handle || !uri || !data) {
        return KORVANE_LOG_ERROR_INVALID_PARAMETER;
    }
    const size_t prefixLen = strlen(KORVANE_LOG_URI_PREFIX);
    const char* channel =
        strncmp(uri, KORVANE_LOG_URI_PREFIX, prefixLen) == 0 ? uri + prefixLen : uri;
    JsonBuilder* builder = json_builder_new();
    json_builder_begin_object(builder);
    addMember("time", isoNow().c_str(), builder);
    addMember("channel", channel, builder);
    bundle_iterate(data, addMember, builder);
    json_builder_end_object(builder);
    JsonNode* root = json_builder_get_root(builder);
    gchar* text = json_to_string(root, FALSE);
    std::string line = std::string(text) + "\n";
    g_free(text);
    json_node_unref(root);
    g_object_unref(builder);

    // One write per line on an O_APPEND descriptor keeps lines of concurrent
    // writers whole.
    int fd = open(handle->path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0) {
        OSTRA_LOGE("usage log %s: %s", handle->path.c_str(), strerror(errno));
        return KORVANE_LOG_ERROR_IO_ERROR;
    }
    ssize_t written = write(fd, line.data(), line.size());
    close(fd);
    if (written != static_cast<ssize_t>(line.size())) {
        OSTRA_LOGE("usage log %s: short write", handle->path.c_str());
        return KORVANE_LOG_ERROR_IO_ERROR;
    }
    return KORVANE_LOG_ERROR_NONE;
}

}  // extern "C"
