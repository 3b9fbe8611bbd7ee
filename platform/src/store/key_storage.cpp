#include "ostra/key_storage.h"

#include <glib.h>
#include <cstring>
#include <string>

#include "Paths.h"
#include "PlatformLog.h"

namespace {

const char* kGroup = "keys";

std::string storagePath() {
    return ostra::packageDir(ostra::packageId()) + "/private/keys";
}

// Loads the file; a missing file is an empty storage, a broken one is logged
// and read as empty without being overwritten until the next write.
GKeyFile* load() {
    GKeyFile* file = g_key_file_new();
    GError* error = nullptr;
    if (!g_key_file_load_from_file(file, storagePath().c_str(), G_KEY_FILE_NONE, &error)) {
        if (!g_error_matches(error, G_FILE_ERROR, G_FILE_ERROR_NOENT)) {
            OSTRA_LOGE("key storage %s unreadable: %s", storagePath().c_str(), error->message);
        }
        g_clear_error(&error);
    }
    return file;
}

int save(GKeyFile* file) {
    std::string path = storagePath();
    if (!ostra::makeStateDir(path.substr(0, path.rfind('/')))) {
        return KEY_STORAGE_ERROR_IO_ERROR;
    }
    gsize length = 0;
    gchar* data = g_key_file_to_data(file, &length, nullptr);
    GError* error = nullptr;
    // Replaced atomically, readable by the user only.
    gboolean ok = g_file_set_contents_full(path.c_str(), data, static_cast<gssize>(length),
                                           G_FILE_SET_CONTENTS_CONSISTENT, 0600, &error);
    g_free(data);
    if (!ok) {
        OSTRA_LOGE("key storage %s not written: %s", path.c_str(), error->message);
        g_clear_error(&error);
        return KEY_STORAGE_ERROR_IO_ERROR;
    }
    return KEY_STORAGE_ERROR_NONE;
}

}  // namespace

extern "C" {

int key_storage_get(const char* name, char** value) {
    if (!name || !*name || !value) {
        return KEY_STORAGE_ERROR_INVALID_PARAMETER;
    }
    GKeyFile* file = load();
    gchar* stored = g_key_file_get_string(file, kGroup, name, nullptr);
    g_key_file_free(file);
    if (!stored) {
        return KEY_STORAGE_ERROR_NO_KEY;
    }
    *value = strdup(stored);
    g_free(stored);
    return KEY_STORAGE_ERROR_NONE;
}

int key_storage_set(const char* name, const char* value) {
    if (!name || !*name || !value || strpbrk(name, "[]=\n")) {
        return KEY_STORAGE_ERROR_INVALID_PARAMETER;
    }
    GKeyFile* file = load();
    g_key_file_set_string(file, kGroup, name, value);
    int result = save(file);
    g_key_file_free(file);
    return result;
}

int key_storage_remove(const char* name) {
    if (!name || !*name) {
        return KEY_STORAGE_ERROR_INVALID_PARAMETER;
    }
    GKeyFile* file = load();
    int result = KEY_STORAGE_ERROR_NO_KEY;
    if (g_key_file_remove_key(file, kGroup, name, nullptr)) {
        result = save(file);
    }
    g_key_file_free(file);
    return result;
}

char** ostra_key_storage_list(void) {
    GKeyFile* file = load();
    gchar** keys = g_key_file_get_keys(file, kGroup, nullptr, nullptr);
    g_key_file_free(file);
    return keys ? keys : g_new0(gchar*, 1);
}

}  // extern "C"
