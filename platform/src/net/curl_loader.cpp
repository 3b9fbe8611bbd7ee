#include "ostra/curl_loader.h"

#include "PlatformLog.h"
#include "ostra/library_loader.h"

namespace {

template <typename Function>
bool resolve(void* library, const char* name, Function* out) {
    return ostra::librarySymbol(library, OSTRA_CURL_SONAME, name, out);
}

bool resolveAll(void* library, ostra_curl_api* api) {
    return resolve(library, "curl_easy_init", &api->easy_init) &&
           resolve(library, "curl_easy_setopt", &api->easy_setopt) &&
           resolve(library, "curl_easy_perform", &api->easy_perform) &&
           resolve(library, "curl_easy_getinfo", &api->easy_getinfo) &&
           resolve(library, "curl_easy_cleanup", &api->easy_cleanup) &&
           resolve(library, "curl_easy_strerror", &api->easy_strerror) &&
           resolve(library, "curl_slist_append", &api->slist_append) &&
           resolve(library, "curl_slist_free_all", &api->slist_free_all) &&
           resolve(library, "curl_multi_init", &api->multi_init) &&
           resolve(library, "curl_multi_cleanup", &api->multi_cleanup) &&
           resolve(library, "curl_multi_add_handle", &api->multi_add_handle) &&
           resolve(library, "curl_multi_remove_handle", &api->multi_remove_handle) &&
           resolve(library, "curl_multi_perform", &api->multi_perform) &&
           resolve(library, "curl_multi_poll", &api->multi_poll) &&
           resolve(library, "curl_multi_timeout", &api->multi_timeout) &&
           resolve(library, "curl_multi_wakeup", &api->multi_wakeup) &&
           resolve(library, "curl_multi_info_read", &api->multi_info_read);
}

const ostra_curl_api* load() {
    // Kept loaded for the life of the process: libcurl's global state cannot
    // be cleaned up while another thread may still use it.
    void* library = ostra_library_open(OSTRA_CURL_SONAME);
    if (!library) {
        return nullptr;
    }
    static ostra_curl_api api;
    using GlobalInit = CURLcode (*)(long);
    GlobalInit globalInit = nullptr;
    if (!resolveAll(library, &api) || !resolve(library, "curl_global_init", &globalInit)) {
        return nullptr;
    }
    CURLcode result = globalInit(CURL_GLOBAL_ALL);
    if (result != CURLE_OK) {
        OSTRA_LOGE("curl_global_init failed: %s", api.easy_strerror(result));
        return nullptr;
    }
    return &api;
}

}  // namespace

extern "C" const ostra_curl_api* ostra_curl(void) {
    return ostra::loadedOnce(load);
}
