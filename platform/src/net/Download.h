// One download: a libcurl transfer on its own worker thread into a partial
// file, renamed into place only when the whole answer (status 200) arrived.
// Progress and states travel to the main context by id, so a callback never
// reaches a destroyed download.
#pragma once

#include <atomic>
#include <map>
#include <string>
#include <thread>

#include "ostra/download.h"

namespace ostra {

class Download {
  public:
    explicit Download(int id) : _id(id) {}
    ~Download();
    Download(const Download&) = delete;
    Download& operator=(const Download&) = delete;

    int start();
    download_state_e state() const { return _state; }
    // Called on the main context with a state the worker reached.
    void reportState(download_state_e state);
    void reportProgress(unsigned long long received);

    std::string url;
    std::string destination;
    std::string fileName;
    download_state_changed_cb stateCb = nullptr;
    void* stateData = nullptr;
    download_progress_cb progressCb = nullptr;
    void* progressData = nullptr;

  private:
    void _run(std::string target);
    bool _transfer(const std::string& partial);
    void _post(download_state_e state);
    static size_t _write(char* data, size_t size, size_t count, void* self);
    static int _progress(void* self, long long, long long now, long long, long long);

    int _id;
    download_state_e _state = DOWNLOAD_STATE_READY;
    std::thread _worker;
    std::atomic<bool> _stop{false};
    FILE* _file = nullptr;
    unsigned long long _received = 0;
};

// The live downloads by id; touched on the main context only.
std::map<int, Download*>& downloads();

}  // namespace ostra
