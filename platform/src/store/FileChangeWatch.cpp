#include "FileChangeWatch.h"

#include <errno.h>
#include <fcntl.h>
#include <glib-unix.h>
#include <string.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <map>
#include <mutex>
#include <set>
#include <vector>

#include "PlatformLog.h"

namespace ostra {

namespace {

constexpr uint32_t kEvents = IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_DELETE_SELF | IN_MOVE_SELF;

struct Entry {
    unsigned id;
    int wd;
    std::string path;
    FileChangeWatch::Callback callback;
    void* data;
};

struct State {
    std::mutex mutex;
    int fd = -1;
    unsigned nextId = 1;
    std::map<unsigned, Entry> entries;
};

State& state() {
    static State* instance = new State();  // outlives every static destructor
    return *instance;
}

bool watchedLocked(State& s, int wd) {
    for (const auto& item : s.entries) {
        if (item.second.wd == wd) {
            return true;
        }
    }
    return false;
}

// A file replaced or deleted loses its watch: follow the path to the new one.
void rewatchLocked(State& s, int oldWd) {
    for (auto& item : s.entries) {
        Entry& entry = item.second;
        if (entry.wd != oldWd) {
            continue;
        }
        int fd = open(entry.path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
        if (fd >= 0) {
            close(fd);
        }
        entry.wd = inotify_add_watch(s.fd, entry.path.c_str(), kEvents);
        if (entry.wd < 0) {
            OSTRA_LOGW("cannot watch %s again: %s", entry.path.c_str(), strerror(errno));
        }
    }
}

gboolean onReadable(gint fd, GIOCondition, gpointer) {
    alignas(struct inotify_event) char buffer[4096];
    std::set<int> changed;
    std::set<int> lost;
    ssize_t length;
    while ((length = read(fd, buffer, sizeof(buffer))) > 0) {
        for (char* at = buffer; at < buffer + length;) {
            auto* event = reinterpret_cast<struct inotify_event*>(at);
            changed.insert(event->wd);
            if (event->mask & (IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF)) {
                lost.insert(event->wd);
            }
            at += sizeof(struct inotify_event) + event->len;
        }
    }
    std::vector<Entry> due;
    {
        State& s = state();
        std::lock_guard<std::mutex> lock(s.mutex);
        // Picked before a lost watch is renewed: renewing gives the entry a new wd.
        for (const auto& item : s.entries) {
            if (changed.count(item.second.wd)) {
                due.push_back(item.second);
            }
        }
        for (int wd : lost) {
            if (wd >= 0) {
                inotify_rm_watch(s.fd, wd);
            }
            rewatchLocked(s, wd);
        }
    }
    for (const Entry& entry : due) {
        bool stillWatched;
        {
            State& s = state();
            std::lock_guard<std::mutex> lock(s.mutex);
            stillWatched = s.entries.count(entry.id) > 0;
        }
        if (stillWatched) {
            entry.callback(entry.data);
        }
    }
    return G_SOURCE_CONTINUE;
}

}  // namespace

unsigned FileChangeWatch::add(const std::string& path, Callback callback, void* data) {
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (s.fd < 0) {
        s.fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (s.fd < 0) {
            OSTRA_LOGW("no inotify: %s", strerror(errno));
            return 0;
        }
        g_unix_fd_add(s.fd, G_IO_IN, onReadable, nullptr);
    }
    int wd = inotify_add_watch(s.fd, path.c_str(), kEvents);
    if (wd < 0) {
        OSTRA_LOGW("cannot watch %s: %s", path.c_str(), strerror(errno));
        return 0;
    }
    unsigned id = s.nextId++;
    s.entries[id] = Entry{id, wd, path, callback, data};
    return id;
}

void FileChangeWatch::remove(unsigned id) {
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    auto found = s.entries.find(id);
    if (found == s.entries.end()) {
        return;
    }
    int wd = found->second.wd;
    s.entries.erase(found);
    if (wd >= 0 && !watchedLocked(s, wd)) {
        inotify_rm_watch(s.fd, wd);
    }
}

}  // namespace ostra
