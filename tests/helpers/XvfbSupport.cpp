#include "XvfbSupport.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "TestSupport.h"

namespace testsupport {

namespace {

constexpr int kStartAttempts = 3;
constexpr int kEarlyExitMs = 1500;

}  // namespace

ChildProcess::~ChildProcess() {
    reset(0);
}

void ChildProcess::reset(GPid pid, int output) {
    if (_pid > 0) {
        kill(_pid, SIGTERM);
        waitProgram(_pid);
    }
    if (_output >= 0) {
        close(_output);
    }
    _pid = pid;
    _output = output;
}

bool xvfbToolsInstalled() {
    std::unique_ptr<gchar, decltype(&g_free)> xvfb(g_find_program_in_path("Xvfb"), g_free);
    std::unique_ptr<gchar, decltype(&g_free)> xdotool(g_find_program_in_path("xdotool"), g_free);
    return xvfb && xdotool;
}

XvfbServer::XvfbServer() {
    std::unique_ptr<gchar, decltype(&g_free)> xvfb(g_find_program_in_path("Xvfb"), g_free);
    if (!xvfb) {
        return;
    }
    const gchar* argv[] = {xvfb.get(),   "-displayfd", "1",   "-screen", "0",
                           "640x480x24", "-nolisten",  "tcp", nullptr};
    GPid pid = 0;
    gint out = -1;
    if (!g_spawn_async_with_pipes(
            nullptr, const_cast<gchar**>(argv), nullptr,
            static_cast<GSpawnFlags>(G_SPAWN_DO_NOT_REAP_CHILD | G_SPAWN_STDERR_TO_DEV_NULL),
            nullptr, nullptr, &pid, nullptr, &out, nullptr, nullptr)) {
        return;
    }
    _server.reset(pid, out);
    // Xvfb writes the display number it took once it accepts clients.
    std::string number;
    pollfd pfd{out, POLLIN, 0};
    char c = 0;
    while (poll(&pfd, 1, 5000) > 0 && read(out, &c, 1) == 1 && c != '\n') {
        number += c;
    }
    _number = number.empty() ? -1 : atoi(number.c_str());
}

int XvfbServer::xdotool(const std::vector<std::string>& args) const {
    std::vector<std::string> argv = {"/usr/bin/env", "DISPLAY=" + display(), "xdotool"};
    argv.insert(argv.end(), args.begin(), args.end());
    return runProgram(argv);
}

bool XvfbServer::click(int x, int y) const {
    return xdotool({"mousemove", std::to_string(x), std::to_string(y), "click", "1"}) == 0;
}

GPid XvfbServer::start(const std::string& program,
                       const std::vector<std::pair<std::string, std::string>>& env,
                       const std::string& logPath) const {
    // The toolkit now and then picks its GL engine on Xvfb whatever ELM_ACCEL
    // says, cannot make the window and the program ends at once; a second
    // start gets the software engine.
    for (int attempt = 0; attempt < kStartAttempts; ++attempt) {
        GPid pid = _spawn(program, env, logPath);
        if (pid == 0 ||
            !runUntil([&] { return waitpid(pid, nullptr, WNOHANG) == pid; }, kEarlyExitMs)) {
            return pid;
        }
        fprintf(stderr, "%s ended at once on %s; starting it again\n", program.c_str(),
                display().c_str());
    }
    return 0;
}

GPid XvfbServer::_spawn(const std::string& program,
                        const std::vector<std::pair<std::string, std::string>>& env,
                        const std::string& logPath) const {
    gchar** vars = g_get_environ();
    vars = g_environ_setenv(vars, "DISPLAY", display().c_str(), TRUE);
    // The software engine: the GL one cannot make a window on Xvfb.
    vars = g_environ_setenv(vars, "ELM_ACCEL", "none", TRUE);
    vars = g_environ_unsetenv(vars, "ELM_DISPLAY");
    vars = g_environ_unsetenv(vars, "WAYLAND_DISPLAY");
    for (const auto& [name, value] : env) {
        vars = g_environ_setenv(vars, name.c_str(), value.c_str(), TRUE);
    }
    gchar* argv[] = {const_cast<gchar*>(program.c_str()), nullptr};
    int logFd = open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    GPid pid = 0;
    bool spawned =
        logFd >= 0 && g_spawn_async_with_fds(nullptr, argv, vars, G_SPAWN_DO_NOT_REAP_CHILD,
                                             nullptr, nullptr, &pid, -1, logFd, logFd, nullptr);
    if (logFd >= 0) {
        close(logFd);
    }
    g_strfreev(vars);
    return spawned ? pid : 0;
}

}  // namespace testsupport
