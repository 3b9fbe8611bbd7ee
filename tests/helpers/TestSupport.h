// Shared test fixtures: a private OSTRA_ROOT per test, log capture, and a
// main loop runner for callbacks that arrive through GLib.
#pragma once

#include <glib.h>
#include <ostra/dlog.h>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace testsupport {

// Points OSTRA_ROOT at a fresh temporary directory for its lifetime.
class TempRoot {
  public:
    TempRoot();
    ~TempRoot();
    TempRoot(const TempRoot&) = delete;
    TempRoot& operator=(const TempRoot&) = delete;
    const std::string& path() const { return _path; }

  private:
    std::string _path;
    std::string _previous;
    bool _hadPrevious = false;
};

// Records every log line (colours stripped) while it lives; debug included.
class LogCapture {
  public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    bool contains(const std::string& text) const;
    int count(const std::string& text) const;
    std::vector<std::string> lines() const;
    void clear();

  private:
    static void _sink(log_priority prio, const char* tag, const char* message, void* self);
    mutable std::mutex _mutex;
    std::vector<std::string> _lines;
    log_priority _previousLevel;
};

// Iterates the default main context until done() holds or the timeout passes.
// Returns done().
bool runUntil(const std::function<bool()>& done, int timeoutMs);

// Runs a program to completion and returns its exit status (-1 when it cannot run).
int runProgram(const std::vector<std::string>& argv, std::string* output = nullptr);

// Starts a program without waiting; returns its pid.
int spawnProgram(const std::vector<std::string>& argv);
// Waits for a spawned program and returns its exit status.
int waitProgram(int pid);

// The whole file, or the empty string when it cannot be read.
std::string readFile(const std::string& path);

}  // namespace testsupport
