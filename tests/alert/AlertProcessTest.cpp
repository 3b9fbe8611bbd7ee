// zentrel-alert as a real process: the refusal while alerts are off, and a
// palm cover closing a running alert; under Xvfb, the close button, the power
// key and the back key pressed with synthetic X input.
#include <fcntl.h>
#include <glib.h>
#include <gtest/gtest.h>
#include <ostra/app_common.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "TestSupport.h"

namespace {

using testsupport::readFile;
using testsupport::runProgram;

int countOf(const std::string& text, const std::string& what) {
    int count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++count;
    }
    return count;
}

class AlertProcess : public ::testing::Test {
  protected:
    int usage(const char* code) const {
        return countOf(
            readFile(root.path() + "/apps/" OSTRA_TEST_PACKAGE_ID "/data/usage-log.jsonl"),
            std::string("\"") + code + "\"");
    }
    // Starts the alert with its output in `log`; the pid.
    GPid start(const std::vector<std::pair<const char*, std::string>>& env) {
        gchar** vars = g_get_environ();
        for (const auto& kv : env) {
            vars = kv.second.empty() ? g_environ_unsetenv(vars, kv.first)
                                     : g_environ_setenv(vars, kv.first, kv.second.c_str(), TRUE);
        }
        int out = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        gchar* argv[] = {const_cast<gchar*>(ALERT_PROGRAM_PATH), nullptr};
        GPid pid = 0;
        g_spawn_async_with_fds(nullptr, argv, vars, G_SPAWN_DO_NOT_REAP_CHILD, nullptr, nullptr,
                               &pid, -1, out, out, nullptr);
        close(out);
        g_strfreev(vars);
        return pid;
    }
    bool shown() {
        return testsupport::runUntil([&] { return usage("ZN05") == 1; }, 15000);
    }

    testsupport::TempRoot root;
    std::string log = root.path() + "/alert.log";
};

TEST_F(AlertProcess, RefusesWithoutAWindowWhileAlertsAreOffOrUnset) {
    const int refused = APP_ERROR_INVALID_CONTEXT & 0xff;
    std::vector<std::pair<const char*, std::string>> headless = {
        {"ELM_DISPLAY", "buffer"},
        {"ELM_ACCEL", "none"},
        {"OSTRA_SCREENSHOT", root.path() + "/shot.png:0.2"},
        {"OSTRA_SCREENSHOT_EXIT", "1"}};
    EXPECT_EQ(testsupport::waitProgram(start(headless)), refused);
    ASSERT_EQ(runProgram({OSTRACTL_PATH, "pref", "set", "ZENTREL_SETTING_ALERT", "int", "0"}), 0);
    EXPECT_EQ(testsupport::waitProgram(start(headless)), refused);
    EXPECT_EQ(countOf(readFile(log), "Alert setting is off. App cannot launched."), 2);
    EXPECT_FALSE(g_file_test((root.path() + "/shot.png").c_str(), G_FILE_TEST_EXISTS));
    EXPECT_EQ(usage("ZN05"), 0);

    ASSERT_EQ(runProgram({OSTRACTL_PATH, "pref", "set", "ZENTREL_SETTING_ALERT", "int", "1"}), 0);
    EXPECT_EQ(testsupport::waitProgram(start(headless)), 0);
    EXPECT_TRUE(g_file_test((root.path() + "/shot.png").c_str(), G_FILE_TEST_EXISTS));
    EXPECT_EQ(usage("ZN05"), 1);
}

TEST_F(AlertProcess, PalmCoverClosesARunningAlert) {
    ASSERT_EQ(runProgram({OSTRACTL_PATH, "pref", "set", "ZENTREL_SETTING_ALERT", "int", "1"}), 0);
    GPid pid = start({{"ELM_DISPLAY", "buffer"}, {"ELM_ACCEL", "none"}});
    ASSERT_TRUE(shown()) << readFile(log);
    ASSERT_EQ(runProgram({OSTRACTL_PATH, "vconf", "set", "db/shot-ostra/palm_touch_mute_enabled",
                          "bool", "1"}),
              0);
    EXPECT_EQ(testsupport::waitProgram(pid), 0);
    EXPECT_EQ(usage("ZN06"), 1);
}

// Xvfb on a display number it picks itself, stopped with the object.
class Xvfb {
  public:
    Xvfb() {
        std::unique_ptr<gchar, decltype(&g_free)> xvfb(g_find_program_in_path("Xvfb"), g_free);
        if (!xvfb) {
            return;
        }
        gchar* argv[] = {xvfb.get(),
                         const_cast<gchar*>("-displayfd"),
                         const_cast<gchar*>("1"),
                         const_cast<gchar*>("-screen"),
                         const_cast<gchar*>("0"),
                         const_cast<gchar*>("640x480x24"),
                         const_cast<gchar*>("-nolisten"),
                         const_cast<gchar*>("tcp"),
                         nullptr};
        if (!g_spawn_async_with_pipes(
                nullptr, argv, nullptr,
                static_cast<GSpawnFlags>(G_SPAWN_DO_NOT_REAP_CHILD | G_SPAWN_STDERR_TO_DEV_NULL),
                nullptr, nullptr, &_pid, nullptr, &_out, nullptr, nullptr)) {
            return;
        }
        std::string number;
        pollfd pfd{_out, POLLIN, 0};
        char c = 0;
        while (poll(&pfd, 1, 5000) > 0 && read(_out, &c, 1) == 1 && c != '\n') {
            number += c;
        }
        if (!number.empty()) {
            display = ":" + number;
        }
    }
    ~Xvfb() {
        if (_pid > 0) {
            kill(_pid, SIGTERM);
            testsupport::waitProgram(_pid);
        }
        if (_out >= 0) {
            close(_out);
        }
    }
    std::string display;

  private:
    GPid _pid = 0;
    int _out = -1;
};

int xdotool(const std::string& display, std::vector<std::string> args) {
    args.insert(args.begin(), "xdotool");
    gchar** env = g_get_environ();
    env = g_environ_setenv(env, "DISPLAY", display.c_str(), TRUE);
    std::vector<gchar*> argv;
    for (auto& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    gint status = -1;
    bool ran = g_spawn_sync(nullptr, argv.data(), env, G_SPAWN_SEARCH_PATH, nullptr, nullptr,
                            nullptr, nullptr, &status, nullptr);
    g_strfreev(env);
    return ran && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(AlertProcess, CloseButtonPowerKeyAndBackKeyCloseTheAlertOnAnXServer) {
    std::unique_ptr<gchar, decltype(&g_free)> tool(g_find_program_in_path("xdotool"), g_free);
    Xvfb server;
    if (!tool || server.display.empty()) {
        GTEST_SKIP() << "Xvfb or xdotool is not installed";
    }
    ASSERT_EQ(runProgram({OSTRACTL_PATH, "pref", "set", "ZENTREL_SETTING_ALERT", "int", "1"}), 0);
    g_mkdir_with_parents(SCREENSHOT_DIR, 0755);
    const std::vector<std::vector<std::string>> gestures = {
        {"mousemove", "180", "310", "click", "1"},
        {"mousemove", "180", "180", "key", "XF86PowerOff"},
        {"mousemove", "180", "180", "key", "Escape"},
    };
    int closed = 0;
    for (const auto& gesture : gestures) {
        SCOPED_TRACE(gesture.back());
        // The program's own X11 screenshot, for people to look at.
        GPid pid =
            start({{"DISPLAY", server.display},
                   {"ELM_DISPLAY", ""},
                   {"ELM_ACCEL", ""},
                   {"WAYLAND_DISPLAY", ""},
                   {"OSTRA_SCREENSHOT", std::string(SCREENSHOT_DIR) + "/alert-x11.png:0.5"}});
        ASSERT_TRUE(testsupport::runUntil([&] { return usage("ZN05") == closed + 1; }, 15000))
            << readFile(log);
        // The first frame is on the screen before the wearer reacts.
        testsupport::runUntil(
            [&] { return readFile(log).find("screenshot written") != std::string::npos; }, 3000);
        testsupport::runUntil([] { return false; }, 200);
        EXPECT_EQ(xdotool(server.display, gesture), 0);
        bool exited = testsupport::runUntil([&] { return usage("ZN06") == closed + 1; }, 10000);
        if (!exited) {
            kill(pid, SIGTERM);
        }
        EXPECT_EQ(testsupport::waitProgram(pid), exited ? 0 : -1) << readFile(log);
        ASSERT_TRUE(exited) << readFile(log);
        // With an X display and no desktop sound, the alert rings the X bell.
        EXPECT_NE(readFile(log).find("rang "), std::string::npos);
        ++closed;
        truncate(log.c_str(), 0);
    }
    EXPECT_EQ(usage("ZN06"), 3);
}

}  // namespace
