// Real X server tests: a bare Xvfb on a display number of its own choosing,
// synthetic input through xdotool, and child programs that are stopped and
// reaped when the test ends, however it ends.
#pragma once

#include <glib.h>

#include <string>
#include <utility>
#include <vector>

namespace testsupport {

class ChildProcess {
  public:
    explicit ChildProcess(GPid pid = 0, int output = -1) : _pid(pid), _output(output) {}
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    // The output pipe stays open while the child runs: a write to a closed
    // pipe would end it.
    void reset(GPid pid, int output = -1);

  private:
    GPid _pid;
    int _output;
};

// True when Xvfb and xdotool are installed.
bool xvfbToolsInstalled();

class XvfbServer {
  public:
    // Starts a 640x480x24 screen without TCP; ok() tells whether it came up.
    XvfbServer();
    bool ok() const { return _number >= 0; }
    int number() const { return _number; }
    // ":N", for DISPLAY.
    std::string display() const { return ":" + std::to_string(_number); }
    // Runs xdotool on this display; its exit status.
    int xdotool(const std::vector<std::string>& args) const;
    // A click of the first button at a point of the screen.
    bool click(int x, int y) const;
    // Starts program on this display (software engine, no other display)
    // with the extra environment, its output in logPath; its pid, 0 on failure.
    GPid start(const std::string& program,
               const std::vector<std::pair<std::string, std::string>>& env,
               const std::string& logPath) const;

  private:
    GPid _spawn(const std::string& program,
                const std::vector<std::pair<std::string, std::string>>& env,
                const std::string& logPath) const;

    ChildProcess _server;
    int _number = -1;
};

}  // namespace testsupport
