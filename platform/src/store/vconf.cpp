#include "ostra/vconf.h"

#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "HostLocale.h"
#include "KeyValueStore.h"
#include "Paths.h"
#include "PlatformLog.h"
#include "ostra/flitter.h"

using ostra::KeyValueStore;
using ostra::StoreStatus;
using ostra::Value;
using ostra::ValueType;

struct _keynode_t {
    std::string name;
    int type = VCONF_TYPE_NONE;
    Value value;
};

namespace {

struct Watcher {
    vconf_callback_fn cb;
    void* data;
};

std::mutex gWatchMutex;
std::map<std::string, std::vector<Watcher>> gWatchers;
KeyValueStore* gWatchedStore = nullptr;

KeyValueStore* store() {
    return KeyValueStore::forPath(ostra::systemDir() + "/vconf.db");
}

// Keys that have a value before anyone writes them, taken from the host.
bool hostDefault(const std::string& key, Value* out) {
    if (key == VCONFKEY_CSC_COUNTRY_ISO) {
        *out = Value::ofString(ostra::hostCountry());
        return true;
    }
    if (key == VCONFKEY_REGIONFORMAT) {
        std::string name = ostra::hostLocaleName();
        *out = Value::ofString(name.empty() ? "en_US.UTF-8" : name);
        return true;
    }
    if (key == VCONFKEY_REGIONFORMAT_TIME1224) {
        std::string name = ostra::hostLocaleName();
        bool twelve = ostra::localeUses12Hour(name.empty() ? "en_US" : name);
        *out = Value::ofInt(twelve ? VCONFKEY_TIME_FORMAT_12 : VCONFKEY_TIME_FORMAT_24);
        return true;
    }
    if (key == VCONFKEY_RETAILMODE_ENABLED) {
        *out = Value::ofInt(0);
        return true;
    }
    // The "host" that shows pages is the desktop: connected while a session runs.
    if (key == "memory/private/qrl/conn_type") {
        *out = Value::ofInt(ostra_flitter_session_available() ? 1 : 0);
        return true;
    }
    // No phone is paired with a Linux machine: it runs on its own.
    if (key == VCONFKEY_SETUP_WIZARD_STANDALONE) {
        *out = Value::ofInt(1);
        return true;
    }
    return false;
}

bool readKey(const char* key, Value* out, bool* isDefault = nullptr) {
    if (!key || !*key) {
        return false;
    }
    StoreStatus status = store()->get(key, out);
    if (isDefault) {
        *isDefault = status == StoreStatus::NotFound;
    }
    if (status == StoreStatus::Ok) {
        return true;
    }
    return status == StoreStatus::NotFound && hostDefault(key, out);
}

int writeKey(const char* key, const Value& value) {
    if (!key || !*key) {
        return VCONF_ERROR;
    }
    if (store()->set(key, value) != StoreStatus::Ok) {
        OSTRA_LOGE("vconf: cannot write %s", key);
        return VCONF_ERROR;
    }
    return VCONF_OK;
}

int typeOf(ValueType type) {
    switch (type) {
        case ValueType::Int:
            return VCONF_TYPE_INT;
        case ValueType::Bool:
            return VCONF_TYPE_BOOL;
        case ValueType::Double:
            return VCONF_TYPE_DOUBLE;
        case ValueType::String:
            return VCONF_TYPE_STRING;
    }
    return VCONF_TYPE_NONE;
}

void onStoreChange(const std::string& key) {
    std::vector<Watcher> watchers;
    {
        std::lock_guard<std::mutex> lock(gWatchMutex);
        auto it = gWatchers.find(key);
        if (it == gWatchers.end()) {
            return;
        }
        watchers = it->second;
    }
    keynode_t node;
    node.name = key;
    if (readKey(key.c_str(), &node.value)) {
        node.type = typeOf(node.value.type);
    }
    for (const auto& w : watchers) {
        bool stillThere = false;
        {
            std::lock_guard<std::mutex> lock(gWatchMutex);
            for (const auto& current : gWatchers[key]) {
                stillThere = stillThere || (current.cb == w.cb && current.data == w.data);
            }
        }
        if (stillThere) {
            w.cb(&node, w.data);
        }
    }
}

}  // namespace

extern "C" {

int vconf_set_int(const char* key, int value) {
    return writeKey(key, Value::ofInt(value));
}
int vconf_set_bool(const char* key, int value) {
    return writeKey(key, Value::ofBool(value != 0));
}
int vconf_set_dbl(const char* key, double value) {
    return writeKey(key, Value::ofDouble(value));
}
int vconf_set_str(const char* key, const char* value) {
    if (!value) {
        return VCONF_ERROR;
    }
    return writeKey(key, Value::ofString(value));
}

int vconf_get_int(const char* key, int* value) {
    Value v;
    if (!value || !readKey(key, &v) || (v.type != ValueType::Int && v.type != ValueType::Bool)) {
        return VCONF_ERROR;
    }
    *value = static_cast<int>(v.integer);
    return VCONF_OK;
}

int vconf_get_bool(const char* key, int* value) {
    Value v;
    if (!value || !readKey(key, &v) || (v.type != ValueType::Int && v.type != ValueType::Bool)) {
        return VCONF_ERROR;
    }
    *value = v.integer != 0;
    return VCONF_OK;
}

int vconf_get_dbl(const char* key, double* value) {
    Value v;
    if (!value || !readKey(key, &v) || v.type != ValueType::Double) {
        return VCONF_ERROR;
    }
    *value = v.real;
    return VCONF_OK;
}

char* vconf_get_str(const char* key) {
    Value v;
    if (!readKey(key, &v) || v.type != ValueType::String) {
        return nullptr;
    }
    return strdup(v.text.c_str());
}

int vconf_unset(const char* key) {
    if (!key || !*key) {
        return VCONF_ERROR;
    }
    StoreStatus status = store()->remove(key);
    return status == StoreStatus::IoError ? VCONF_ERROR : VCONF_OK;
}

int vconf_notify_key_changed(const char* key, vconf_callback_fn cb, void* user_data) {
    if (!key || !*key || !cb) {
        return VCONF_ERROR;
    }
    KeyValueStore* current = store();
    std::lock_guard<std::mutex> lock(gWatchMutex);
    if (gWatchedStore != current) {
        if (gWatchedStore) {
            gWatchedStore->unwatch();
        }
        if (!current->watch(onStoreChange)) {
            gWatchedStore = nullptr;
            return VCONF_ERROR;
        }
        gWatchedStore = current;
    }
    gWatchers[key].push_back(Watcher{cb, user_data});
    return VCONF_OK;
}

int vconf_ignore_key_changed(const char* key, vconf_callback_fn cb) {
    if (!key || !cb) {
        return VCONF_ERROR;
    }
    std::lock_guard<std::mutex> lock(gWatchMutex);
    auto it = gWatchers.find(key);
    if (it == gWatchers.end()) {
        return VCONF_ERROR;
    }
    auto& list = it->second;
    for (auto w = list.begin(); w != list.end(); ++w) {
        if (w->cb == cb) {
            list.erase(w);
            if (list.empty()) {
                gWatchers.erase(it);
            }
            return VCONF_OK;
        }
    }
    return VCONF_ERROR;
}

const char* vconf_keynode_get_name(keynode_t* node) {
    return node ? node->name.c_str() : nullptr;
}
int vconf_keynode_get_type(keynode_t* node) {
    return node ? node->type : VCONF_TYPE_NONE;
}
int vconf_keynode_get_int(keynode_t* node) {
    return node ? static_cast<int>(node->value.integer) : 0;
}
int vconf_keynode_get_bool(keynode_t* node) {
    return node ? node->value.integer != 0 : 0;
}
double vconf_keynode_get_dbl(keynode_t* node) {
    return node ? node->value.real : 0.0;
}
const char* vconf_keynode_get_str(keynode_t* node) {
    return node && node->type == VCONF_TYPE_STRING ? node->value.text.c_str() : nullptr;
}

void ostra_vconf_foreach(ostra_vconf_item_cb cb, void* user_data) {
    if (!cb) {
        return;
    }
    std::vector<std::pair<std::string, Value>> items;
    store()->list(&items);
    std::map<std::string, std::pair<Value, bool>> all;
    for (const char* key :
         {VCONFKEY_CSC_COUNTRY_ISO, VCONFKEY_REGIONFORMAT, VCONFKEY_REGIONFORMAT_TIME1224,
          VCONFKEY_RETAILMODE_ENABLED, VCONFKEY_SETUP_WIZARD_STANDALONE}) {
        Value v;
        hostDefault(key, &v);
        all[key] = {v, true};
    }
    for (auto& item : items) {
        all[item.first] = {item.second, false};
    }
    for (const auto& entry : all) {
        const Value& v = entry.second.first;
        std::string text;
        switch (v.type) {
            case ValueType::Int:
            case ValueType::Bool:
                text = std::to_string(v.integer);
                break;
            case ValueType::Double:
                text = std::to_string(v.real);
                break;
            case ValueType::String:
                text = v.text;
                break;
        }
        cb(entry.first.c_str(), typeOf(v.type), text.c_str(), entry.second.second, user_data);
    }
}

}  // extern "C"
