#include "Download.h"

#include <glib.h>
#include <glib/gstdio.h>

#include <cstdio>
#include <cstdlib>

#include "PlatformLog.h"
#include "ostra/connection.h"
#include "ostra/curl_loader.h"

namespace ostra {

namespace {

struct Event {
    int id;
    bool progress;
    download_state_e state;
    unsigned long long received;
};

gboolean dispatchEvent(gpointer data) {
    auto* event = static_cast<Event*>(data);
    auto it = downloads().find(event->id);
    if (it != downloads().end()) {
        if (event->progress) {
            it->second->reportProgress(event->received);
        } else {
            it->second->reportState(event->state);
        }
    }
    delete event;
    return G_SOURCE_REMOVE;
}

void post(const Event& event) {
    g_idle_add(dispatchEvent, new Event(event));
}

std::string proxyAddress() {
    connection_h connection = nullptr;
    if (connection_create(&connection) != CONNECTION_ERROR_NONE) {
        return "";
    }
    char* address = nullptr;
    connection_get_proxy(connection, CONNECTION_ADDRESS_FAMILY_IPV4, &address);
    connection_destroy(connection);
    std::string proxy = address ? address : "";
    free(address);
    return proxy == "0.0.0.0" || proxy == "http://0.0.0.0" ? "" : proxy;
}

}  // namespace

Download::~Download() {
    _stop = true;
    if (_worker.joinable()) {
        _worker.join();
    }
}

int Download::start() {
    if (_state != DOWNLOAD_STATE_READY && _state != DOWNLOAD_STATE_FAILED &&
        _state != DOWNLOAD_STATE_CANCELED) {
        return DOWNLOAD_ERROR_INVALID_STATE;
    }
    if (url.empty()) {
        return DOWNLOAD_ERROR_INVALID_URL;
    }
    if (_worker.joinable()) {
        _worker.join();
    }
    std::string name = fileName;
    if (name.empty()) {
        gchar* base = g_path_get_basename(url.substr(0, url.find('?')).c_str());
        name = base;
        g_free(base);
    }
    if (destination.empty() || name.empty() || name.find('/') != std::string::npos) {
        return DOWNLOAD_ERROR_INVALID_PARAMETER;
    }
    _state = DOWNLOAD_STATE_QUEUED;
    _received = 0;
    _stop = false;
    post({_id, false, DOWNLOAD_STATE_QUEUED, 0});
    _worker = std::thread(&Download::_run, this, destination + "/" + name);
    return DOWNLOAD_ERROR_NONE;
}

void Download::reportState(download_state_e state) {
    _state = state;
    if (stateCb) {
        stateCb(_id, state, stateData);
    }
}

void Download::reportProgress(unsigned long long received) {
    if (progressCb) {
        progressCb(_id, received, progressData);
    }
}

void Download::_post(download_state_e state) {
    post({_id, false, state, 0});
}

size_t Download::_write(char* data, size_t size, size_t count, void* self) {
    auto* download = static_cast<Download*>(self);
    size_t bytes = size * count;
    if (download->_received == 0 && bytes > 0) {
        download->_post(DOWNLOAD_STATE_DOWNLOADING);
    }
    download->_received += bytes;
    post({download->_id, true, DOWNLOAD_STATE_NONE, download->_received});
    return fwrite(data, 1, bytes, download->_file);
}

int Download::_progress(void* self, long long, long long, long long, long long) {
    return static_cast<Download*>(self)->_stop ? 1 : 0;
}

bool Download::_transfer(const std::string& partial) {
    _file = g_fopen(partial.c_str(), "wb");
    if (!_file) {
        OSTRA_LOGE("download %d: cannot write %s", _id, partial.c_str());
        return false;
    }
    const ostra_curl_api* curl = ostra_curl();
    CURL* handle = curl ? curl->easy_init() : nullptr;
    if (!handle) {
        OSTRA_LOGE("download %d: no transfer handle", _id);
        fclose(_file);
        _file = nullptr;
        return false;
    }
    char* caFile = ostra_connection_get_ca_file();
    std::string proxy = proxyAddress();
    curl->easy_setopt(handle, CURLOPT_URL, url.c_str());
    curl->easy_setopt(handle, CURLOPT_PROXY, proxy.c_str());
    curl->easy_setopt(handle, CURLOPT_CAINFO, caFile);
    curl->easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
    curl->easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl->easy_setopt(handle, CURLOPT_WRITEFUNCTION, _write);
    curl->easy_setopt(handle, CURLOPT_WRITEDATA, this);
    curl->easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
    curl->easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, _progress);
    curl->easy_setopt(handle, CURLOPT_XFERINFODATA, this);
    CURLcode result = curl->easy_perform(handle);
    long status = 0;
    curl->easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
    curl->easy_cleanup(handle);
    free(caFile);
    bool closed = fclose(_file) == 0;
    _file = nullptr;
    if (result != CURLE_OK || status != 200 || !closed) {
        OSTRA_LOGW("download %d of %s failed: %s, status %ld", _id, url.c_str(),
                   curl->easy_strerror(result), status);
        return false;
    }
    return true;
}

void Download::_run(std::string target) {
    std::string partial = target + ".part";
    bool ok = _transfer(partial);
    if (_stop) {
        g_unlink(partial.c_str());
        return;
    }
    if (!ok || g_rename(partial.c_str(), target.c_str()) != 0) {
        g_unlink(partial.c_str());
        _post(DOWNLOAD_STATE_FAILED);
        return;
    }
    OSTRA_LOGI("download %d: %llu bytes in %s", _id, _received, target.c_str());
    _post(DOWNLOAD_STATE_COMPLETED);
}

}  // namespace ostra
