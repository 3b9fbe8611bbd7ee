#include "ostra/app_preference.h"

#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "KeyValueStore.h"
#include "Paths.h"
#include "PlatformLog.h"

using ostra::KeyValueStore;
using ostra::StoreStatus;
using ostra::Value;
using ostra::ValueType;

namespace {

struct Callback {
    preference_changed_cb cb;
    void* data;
};

std::mutex gCallbackMutex;
// Callbacks are kept per store so a process that changes its package id
// (tools, tests) does not mix the stores' notices.
std::map<KeyValueStore*, std::map<std::string, Callback>> gCallbacks;

KeyValueStore* store() {
    return KeyValueStore::forPath(ostra::packageDir(ostra::packageId()) +
                                  "/preference/preference.db");
}

int toError(StoreStatus status) {
    switch (status) {
        case StoreStatus::Ok:
            return PREFERENCE_ERROR_NONE;
        case StoreStatus::NotFound:
            return PREFERENCE_ERROR_NO_KEY;
        case StoreStatus::IoError:
            return PREFERENCE_ERROR_IO_ERROR;
    }
    return PREFERENCE_ERROR_IO_ERROR;
}

int writeValue(const char* key, const Value& value) {
    if (!key || !*key) {
        return PREFERENCE_ERROR_INVALID_PARAMETER;
    }
    return toError(store()->set(key, value));
}

// A stored value of another type is a failed read, never a converted one.
int readValue(const char* key, ValueType type, Value* out) {
    if (!key || !*key) {
        return PREFERENCE_ERROR_INVALID_PARAMETER;
    }
    int error = toError(store()->get(key, out));
    if (error != PREFERENCE_ERROR_NONE) {
        return error;
    }
    if (out->type != type) {
        OSTRA_LOGW("preference %s: stored type %d, read as %d", key, static_cast<int>(out->type),
                   static_cast<int>(type));
        return PREFERENCE_ERROR_INVALID_PARAMETER;
    }
    return PREFERENCE_ERROR_NONE;
}

void onStoreChange(KeyValueStore* owner, const std::string& key) {
    Callback callback{};
    {
        std::lock_guard<std::mutex> lock(gCallbackMutex);
        auto& perKey = gCallbacks[owner];
        auto it = perKey.find(key);
        if (it == perKey.end()) {
            return;
        }
        callback = it->second;
    }
    callback.cb(key.c_str(), callback.data);
}

}  // namespace

extern "C" {

int preference_set_int(const char* key, int value) {
    return writeValue(key, Value::ofInt(value));
}

int preference_get_int(const char* key, int* value) {
    Value v;
    if (!value) {
        return PREFERENCE_ERROR_INVALID_PARAMETER;
    }
    int error = readValue(key, ValueType::Int, &v);
    if (error == PREFERENCE_ERROR_NONE) {
        *value = static_cast<int>(v.integer);
    }
    return error;
}

int preference_set_double(const char* key, double value) {
    return writeValue(key, Value::ofDouble(value));
}

int preference_get_double(const char* key, double* value) {
    Value v;
    if (!value) {
        return PREFERENCE_ERROR_INVALID_PARAMETER;
    }
    int error = readValue(key, ValueType::Double, &v);
    if (error == PREFERENCE_ERROR_NONE) {
        *value = v.real;
    }
    return error;
}

int preference_set_string(const char* key, const char* value) {
    if (!value) {
        return PREFERENCE_ERROR_INVALID_PARAMETER;
    }
    return writeValue(key, Value::ofString(value));
}

int preference_get_string(const char* key, char** value) {
    Value v;
    if (!value) {
        return PREFERENCE_ERROR_INVALID_PARAMETER;
    }
    int error = readValue(key, ValueType::String, &v);
    if (error != PREFERENCE_ERROR_NONE) {
        return error;
    }
    *value = strdup(v.text.c_str());
    return *value ? PREFERENCE_ERROR_NONE : PREFERENCE_ERROR_OUT_OF_MEMORY;
}

int preference_set_boolean(const char* key, bool value) {
    return writeValue(key, Value::ofBool(value));
}

int preference_get_boolean(const char* key, bool* value) {
    Value v;
    if (!value) {
        return PREFERENCE_ERROR_INVALID_PARAMETER;
    }
    int error = readValue(key, ValueType::Bool, &v);
    if (error == PREFERENCE_ERROR_NONE) {
        *value = v.integer != 0;
    }
    return error;
}

int preference_remove(const char* key) {
    if (!key || !*key) {
        return PREFERENCE_ERROR_INVALID_PARAMETER;
    }
    return toError(store()->remove(key));
}

int preference_is_existing(const char* key, bool* existing) {
    if (!key || !*key || !existing) {
        return PREFERENCE_ERROR_INVALID_PARAMETER;
    }
    return toError(store()->exists(key, existing));
}

int preference_remove_all(void) {
    return toError(store()->removeAll());
}

int preference_set_changed_cb(const char* key, preference_changed_cb callback, void* user_data) {
    if (!key || !*key || !callback) {
        return PREFERENCE_ERROR_INVALID_PARAMETER;
    }
    KeyValueStore* current = store();
    std::lock_guard<std::mutex> lock(gCallbackMutex);
    auto& perKey = gCallbacks[current];
    if (perKey.empty() &&
        !current->watch([current](const std::string& k) { onStoreChange(current, k); })) {
        return PREFERENCE_ERROR_IO_ERROR;
    }
    perKey[key] = Callback{callback, user_data};
    return PREFERENCE_ERROR_NONE;
}

int preference_unset_changed_cb(const char* key) {
    if (!key || !*key) {
        return PREFERENCE_ERROR_INVALID_PARAMETER;
    }
    KeyValueStore* current = store();
    std::lock_guard<std::mutex> lock(gCallbackMutex);
    auto& perKey = gCallbacks[current];
    if (perKey.erase(key) == 0) {
        return PREFERENCE_ERROR_NO_KEY;
    }
    if (perKey.empty()) {
        current->unwatch();
    }
    return PREFERENCE_ERROR_NONE;
}

int preference_foreach_item(preference_item_cb callback, void* user_data) {
    if (!callback) {
        return PREFERENCE_ERROR_INVALID_PARAMETER;
    }
    std::vector<std::pair<std::string, Value>> items;
    int error = toError(store()->list(&items));
    if (error != PREFERENCE_ERROR_NONE) {
        return error;
    }
    for (const auto& item : items) {
        if (!callback(item.first.c_str(), user_data)) {
            break;
        }
    }
    return PREFERENCE_ERROR_NONE;
}

char ostra_preference_get_type(const char* key) {
    Value v;
    if (!key || store()->get(key, &v) != StoreStatus::Ok) {
        return 0;
    }
    switch (v.type) {
        case ValueType::Int:
            return 'i';
        case ValueType::Double:
            return 'd';
        case ValueType::String:
            return 's';
        case ValueType::Bool:
            return 'b';
    }
    return 0;
}

}  // extern "C"
