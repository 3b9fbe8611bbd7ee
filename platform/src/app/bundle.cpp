#include "ostra/bundle.h"

#include <list>
#include <string>
#include <utility>

// A list, so that a string handed out by bundle_get_str stays where it is
// while other keys are added or deleted.
struct _bundle_t {
    std::list<std::pair<std::string, std::string>> items;
};

namespace {
std::pair<std::string, std::string>* findItem(bundle* b, const char* key) {
    for (auto& item : b->items) {
        if (item.first == key) {
            return &item;
        }
    }
    return nullptr;
}
}  // namespace

extern "C" {

bundle* bundle_create(void) {
    return new bundle();
}

int bundle_free(bundle* b) {
    if (!b) {
        return BUNDLE_ERROR_INVALID_PARAMETER;
    }
    delete b;
    return BUNDLE_ERROR_NONE;
}

bundle* bundle_dup(bundle* b) {
    return b ? new bundle(*b) : nullptr;
}

int bundle_add_str(bundle* b, const char* key, const char* value) {
    if (!b || !key || !*key || !value) {
        return BUNDLE_ERROR_INVALID_PARAMETER;
    }
    if (findItem(b, key)) {
        return BUNDLE_ERROR_KEY_EXISTS;
    }
    b->items.emplace_back(key, value);
    return BUNDLE_ERROR_NONE;
}

int bundle_get_str(bundle* b, const char* key, char** value) {
    if (!b || !key || !value) {
        return BUNDLE_ERROR_INVALID_PARAMETER;
    }
    auto* item = findItem(b, key);
    if (!item) {
        return BUNDLE_ERROR_KEY_NOT_AVAILABLE;
    }
    *value = item->second.data();
    return BUNDLE_ERROR_NONE;
}

int bundle_del(bundle* b, const char* key) {
    if (!b || !key) {
        return BUNDLE_ERROR_INVALID_PARAMETER;
    }
    for (auto it = b->items.begin(); it != b->items.end(); ++it) {
        if (it->first == key) {
            b->items.erase(it);
            return BUNDLE_ERROR_NONE;
        }
    }
    return BUNDLE_ERROR_KEY_NOT_AVAILABLE;
}

int bundle_get_count(bundle* b) {
    return b ? static_cast<int>(b->items.size()) : 0;
}

void bundle_iterate(bundle* b, bundle_iterate_cb_t cb, void* user_data) {
    if (!b || !cb) {
        return;
    }
    for (const auto& item : b->items) {
        cb(item.first.c_str(), item.second.c_str(), user_data);
    }
}

}  // extern "C"
