// The widget on a bare X server (Xvfb): real pointer taps on its two halves
// open the main program on the altitude and the barometer page, and the
// window being hidden pauses the widget.
#include <fcntl.h>
#include <glib.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "TestSupport.h"

namespace {

// A child process that is stopped and reaped when the test ends.
class Child {
  public:
    Child() = default;
    ~Child() {
        if (_pid > 0) {
            kill(_pid, SIGTERM);
            testsupport::waitProgram(_pid);
        }
        if (_output >= 0) {
            close(_output);
        }
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    void reset(GPid pid, int output = -1) {
        _pid = pid;
        _output = output;
    }

  private:
    GPid _pid = 0;
    int _output = -1;
};

// Xvfb on a display number it picks itself; the number, or -1.
int startXvfb(const gchar* xvfb, Child& server) {
    std::vector<std::string> args = {xvfb, "-displayfd", "1",         "-screen",
                                     "0",  "640x480x24", "-nolisten", "tcp"};
    std::vector<gchar*> argv;
    for (auto& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    GPid pid = 0;
    gint out = -1;
    if (!g_spawn_async_with_pipes(
            nullptr, argv.data(), nullptr,
            static_cast<GSpawnFlags>(G_SPAWN_DO_NOT_REAP_CHILD | G_SPAWN_STDERR_TO_DEV_NULL),
            nullptr, nullptr, &pid, nullptr, &out, nullptr, nullptr)) {
        return -1;
    }
    server.reset(pid, out);
    std::string number;
    pollfd pfd{out, POLLIN, 0};
    char c = 0;
    while (poll(&pfd, 1, 5000) > 0 && read(out, &c, 1) == 1 && c != '\n') {
        number += c;
    }
    return number.empty() ? -1 : atoi(number.c_str());
}

bool logHas(const std::string& path, const std::string& text, int timeoutMs = 10000) {
    return testsupport::runUntil(
        [&] { return testsupport::readFile(path).find(text) != std::string::npos; }, timeoutMs);
}

int xdotool(const gchar* tool, const std::string& display, const std::vector<std::string>& args) {
    std::vector<std::string> argv = {"/usr/bin/env", "DISPLAY=" + display, tool};
    argv.insert(argv.end(), args.begin(), args.end());
    return testsupport::runProgram(argv);
}

TEST(WidgetXvfb, TapsOpenTheMainProgramOnTheTappedPageAndHidingPauses) {
    std::unique_ptr<gchar, decltype(&g_free)> xvfb(g_find_program_in_path("Xvfb"), g_free);
    std::unique_ptr<gchar, decltype(&g_free)> tool(g_find_program_in_path("xdotool"), g_free);
    if (!xvfb || !tool) {
        GTEST_SKIP() << "Xvfb or xdotool is not installed";
    }
    testsupport::TempRoot root;
    Child server;
    const int number = startXvfb(xvfb.get(), server);
    ASSERT_GE(number, 0);
    const std::string display = ":" + std::to_string(number);

    const std::string logPath = root.path() + "/widget.log";
    gchar** env = g_get_environ();
    env = g_environ_setenv(env, "DISPLAY", display.c_str(), TRUE);
    env = g_environ_setenv(env, "OSTRA_SENSOR", "sim", TRUE);
    env = g_environ_setenv(env, "OSTRA_SENSORD", "/bin/true", TRUE);
    env = g_environ_setenv(env, "OSTRA_APP_ID", WIDGET_APP_ID, TRUE);
    // Both programs (the main program inherits it) end themselves.
    env = g_environ_setenv(env, "OSTRA_SCREENSHOT", (root.path() + "/shot.png:8").c_str(), TRUE);
    env = g_environ_setenv(env, "OSTRA_SCREENSHOT_EXIT", "1", TRUE);
    env = g_environ_unsetenv(env, "ELM_DISPLAY");
    env = g_environ_unsetenv(env, "ELM_ACCEL");
    env = g_environ_unsetenv(env, "WAYLAND_DISPLAY");
    gchar* argv[] = {const_cast<gchar*>(WIDGET_PROGRAM_PATH), nullptr};
    int logFd = open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    GPid pid = 0;
    bool spawned = g_spawn_async_with_fds(nullptr, argv, env, G_SPAWN_DO_NOT_REAP_CHILD, nullptr,
                                          nullptr, &pid, -1, logFd, logFd, nullptr);
    close(logFd);
    g_strfreev(env);
    ASSERT_TRUE(spawned);
    Child widget;
    widget.reset(pid);
    ASSERT_TRUE(logHas(logPath, "widget instance resumed")) << testsupport::readFile(logPath);
    ASSERT_TRUE(logHas(logPath, "Baro value changed.")) << testsupport::readFile(logPath);

    // The window sits at the origin: the pressure half is on the right.
    ASSERT_EQ(xdotool(tool.get(), display, {"mousemove", "260", "200", "click", "1"}), 0);
    EXPECT_TRUE(logHas(logPath, "page [1][1]")) << testsupport::readFile(logPath);
    testsupport::runUntil([] { return false; }, 1200);
    // The main program's window now covers the widget's; bring it back up.
    ASSERT_EQ(
        xdotool(tool.get(), display, {"search", "--name", "^" WIDGET_APP_ID "$", "windowraise"}),
        0);
    ASSERT_EQ(xdotool(tool.get(), display, {"mousemove", "100", "200", "click", "1"}), 0);
    EXPECT_TRUE(logHas(logPath, "page [0][0]")) << testsupport::readFile(logPath);
    EXPECT_EQ(testsupport::readFile(logPath).find("App is being launched already."),
              std::string::npos);

    // Hidden by the desktop: paused.
    ASSERT_EQ(
        xdotool(tool.get(), display, {"search", "--name", "^" WIDGET_APP_ID "$", "windowunmap"}),
        0);
    EXPECT_TRUE(logHas(logPath, "widget instance paused", 3000)) << testsupport::readFile(logPath);
}

}  // namespace
