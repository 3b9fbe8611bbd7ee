#include "TestSupport.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace testsupport {

TempRoot::TempRoot() {
    char pattern[] = "/tmp/zentrel-test-XXXXXX";
    char* dir = mkdtemp(pattern);
    _path = dir ? dir : "/tmp";
    const char* previous = getenv("OSTRA_ROOT");
    if (previous) {
        _hadPrevious = true;
        _previous = previous;
    }
    setenv("OSTRA_ROOT", _path.c_str(), 1);
}

TempRoot::~TempRoot() {
    if (_hadPrevious) {
        setenv("OSTRA_ROOT", _previous.c_str(), 1);
    } else {
        unsetenv("OSTRA_ROOT");
    }
    std::error_code ignored;
    std::filesystem::remove_all(_path, ignored);
}

LogCapture::LogCapture() : _previousLevel(ostra_log_get_level()) {
    ostra_log_set_level(DLOG_DEBUG);
    ostra_log_set_sink(&LogCapture::_sink, this);
}

LogCapture::~LogCapture() {
    ostra_log_set_sink(nullptr, nullptr);
    ostra_log_set_level(_previousLevel);
}

void LogCapture::_sink(log_priority, const char* tag, const char* message, void* self) {
    auto* capture = static_cast<LogCapture*>(self);
    std::lock_guard<std::mutex> lock(capture->_mutex);
    capture->_lines.push_back(std::string(tag) + ": " + message);
}

bool LogCapture::contains(const std::string& text) const {
    return count(text) > 0;
}

int LogCapture::count(const std::string& text) const {
    std::lock_guard<std::mutex> lock(_mutex);
    int n = 0;
    for (const auto& line : _lines) {
        n += line.find(text) != std::string::npos ? 1 : 0;
    }
    return n;
}

std::vector<std::string> LogCapture::lines() const {
    std::lock_guard<std::mutex> lock(_mutex);
    return _lines;
}

void LogCapture::clear() {
    std::lock_guard<std::mutex> lock(_mutex);
    _lines.clear();
}

bool runUntil(const std::function<bool()>& done, int timeoutMs) {
    gint64 deadline = g_get_monotonic_time() + static_cast<gint64>(timeoutMs) * 1000;
    while (!done() && g_get_monotonic_time() < deadline) {
        if (!g_main_context_iteration(nullptr, FALSE)) {
            g_usleep(1000);
        }
    }
    return done();
}

int spawnProgram(const std::vector<std::string>& argv) {
    pid_t pid = fork();
    if (pid == 0) {
        std::vector<char*> args;
        for (const auto& a : argv) {
            args.push_back(const_cast<char*>(a.c_str()));
        }
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    return pid;
}

int waitProgram(int pid) {
    int status = 0;
    if (pid <= 0 || waitpid(pid, &status, 0) != pid) {
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int runProgram(const std::vector<std::string>& argv, std::string* output) {
    if (!output) {
        return waitProgram(spawnProgram(argv));
    }
    std::vector<gchar*> args;
    for (const auto& a : argv) {
        args.push_back(const_cast<gchar*>(a.c_str()));
    }
    args.push_back(nullptr);
    gchar* out = nullptr;
    gint status = 0;
    GError* error = nullptr;
    if (!g_spawn_sync(nullptr, args.data(), nullptr, G_SPAWN_DEFAULT, nullptr, nullptr, &out,
                      nullptr, &status, &error)) {
        g_clear_error(&error);
        return -1;
    }
    *output = out ? out : "";
    g_free(out);
    return g_spawn_check_wait_status(status, nullptr)
               ? 0
               : (WIFEXITED(status) ? WEXITSTATUS(status) : -1);
}

std::string readFile(const std::string& path) {
    gchar* text = nullptr;
    std::string content;
    if (g_file_get_contents(path.c_str(), &text, nullptr, nullptr)) {
        content = text;
    }
    g_free(text);
    return content;
}

}  // namespace testsupport
