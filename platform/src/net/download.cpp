#include "ostra/download.h"

#include <cstdlib>
#include <mutex>

#include "Download.h"
#include "ostra/app_common.h"

namespace ostra {

std::map<int, Download*>& downloads() {
    static std::map<int, Download*> table;
    return table;
}

}  // namespace ostra

namespace {

ostra::Download* find(int id) {
    auto it = ostra::downloads().find(id);
    return it == ostra::downloads().end() ? nullptr : it->second;
}

std::string dataPath() {
    char* path = app_get_data_path();
    std::string dir = path ? path : "";
    free(path);
    while (dir.size() > 1 && dir.back() == '/') {
        dir.pop_back();
    }
    return dir;
}

}  // namespace

#define OSTRA_FIND_DOWNLOAD(id, name)       \
    ostra::Download* name = find(id);       \
    if (!name) {                            \
        return DOWNLOAD_ERROR_ID_NOT_FOUND; \
    }

extern "C" {

int download_create(int* download_id) {
    if (!download_id) {
        return DOWNLOAD_ERROR_INVALID_PARAMETER;
    }
    static int lastId = 0;
    *download_id = ++lastId;
    auto* download = new ostra::Download(*download_id);
    download->destination = dataPath();
    ostra::downloads()[*download_id] = download;
    return DOWNLOAD_ERROR_NONE;
}

int download_destroy(int download_id) {
    OSTRA_FIND_DOWNLOAD(download_id, download);
    ostra::downloads().erase(download_id);
    delete download;
    return DOWNLOAD_ERROR_NONE;
}

int download_set_url(int download_id, const char* url) {
    OSTRA_FIND_DOWNLOAD(download_id, download);
    if (!url || !*url) {
        return DOWNLOAD_ERROR_INVALID_URL;
    }
    download->url = url;
    return DOWNLOAD_ERROR_NONE;
}

int download_set_destination(int download_id, const char* path) {
    OSTRA_FIND_DOWNLOAD(download_id, download);
    if (!path || !*path) {
        return DOWNLOAD_ERROR_INVALID_PARAMETER;
    }
    download->destination = path;
    while (download->destination.size() > 1 && download->destination.back() == '/') {
        download->destination.pop_back();
    }
    return DOWNLOAD_ERROR_NONE;
}

int download_set_file_name(int download_id, const char* file_name) {
    OSTRA_FIND_DOWNLOAD(download_id, download);
    if (!file_name || !*file_name) {
        return DOWNLOAD_ERROR_INVALID_PARAMETER;
    }
    download->fileName = file_name;
    return DOWNLOAD_ERROR_NONE;
}

int download_set_state_changed_cb(int download_id, download_state_changed_cb callback,
                                  void* user_data) {
    OSTRA_FIND_DOWNLOAD(download_id, download);
    if (!callback) {
        return DOWNLOAD_ERROR_INVALID_PARAMETER;
    }
    download->stateCb = callback;
    download->stateData = user_data;
    return DOWNLOAD_ERROR_NONE;
}

int download_unset_state_changed_cb(int download_id) {
    OSTRA_FIND_DOWNLOAD(download_id, download);
    download->stateCb = nullptr;
    download->stateData = nullptr;
    return DOWNLOAD_ERROR_NONE;
}

int download_set_progress_cb(int download_id, download_progress_cb callback, void* user_data) {
    OSTRA_FIND_DOWNLOAD(download_id, download);
    if (!callback) {
        return DOWNLOAD_ERROR_INVALID_PARAMETER;
    }
    download->progressCb = callback;
    download->progressData = user_data;
    return DOWNLOAD_ERROR_NONE;
}

int download_unset_progress_cb(int download_id) {
    OSTRA_FIND_DOWNLOAD(download_id, download);
    download->progressCb = nullptr;
    download->progressData = nullptr;
    return DOWNLOAD_ERROR_NONE;
}

int download_start(int download_id) {
    OSTRA_FIND_DOWNLOAD(download_id, download);
    return download->start();
}

int download_get_state(int download_id, download_state_e* state) {
    OSTRA_FIND_DOWNLOAD(download_id, download);
    if (!state) {
        return DOWNLOAD_ERROR_INVALID_PARAMETER;
    }
    *state = download->state();
    return DOWNLOAD_ERROR_NONE;
}

}  // extern "C"
