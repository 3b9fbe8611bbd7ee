// The widget program as a real process: started headless, hidden and shown
// again from the shell the way the home screen does it.
#include <fcntl.h>
#include <glib.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <string>

#include "TestSupport.h"

namespace {

int spawnWidget(const std::string& logPath) {
    gchar** env = g_get_environ();
    env = g_environ_setenv(env, "ELM_DISPLAY", "buffer", TRUE);
    env = g_environ_setenv(env, "ELM_ACCEL", "none", TRUE);
    env = g_environ_setenv(env, "OSTRA_SENSOR", "sim", TRUE);
    env = g_environ_setenv(env, "OSTRA_SENSORD", "/bin/true", TRUE);
    env = g_environ_setenv(env, "OSTRA_APP_ID", WIDGET_APP_ID, TRUE);
    env = g_environ_unsetenv(env, "DISPLAY");
    gchar* argv[] = {const_cast<gchar*>(WIDGET_PROGRAM_PATH), nullptr};
    int logFd = open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    GPid pid = 0;
    bool ok = g_spawn_async_with_fds(nullptr, argv, env, G_SPAWN_DO_NOT_REAP_CHILD, nullptr,
                                     nullptr, &pid, -1, logFd, logFd, nullptr);
    close(logFd);
    g_strfreev(env);
    return ok ? pid : -1;
}

int ostractl(const std::string& verb, const std::string& appId, std::string* output) {
    return testsupport::runProgram({OSTRACTL_PATH, "widget", verb, appId}, output);
}

bool logHas(const std::string& path, const std::string& text, int count = 1) {
    return testsupport::runUntil(
        [&] {
            std::string log = testsupport::readFile(path);
            int n = 0;
            for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) {
                ++n;
            }
            return n >= count;
        },
        10000);
}

TEST(WidgetProgram, ShellHidesAndShowsTheRunningWidget) {
    testsupport::TempRoot root;
    std::string output;
    EXPECT_EQ(ostractl("pause", WIDGET_APP_ID, &output), 1) << "no widget runs yet";

    const std::string logPath = root.path() + "/widget.log";
    const int pid = spawnWidget(logPath);
    ASSERT_GT(pid, 0);
    ASSERT_TRUE(logHas(logPath, "widget instance resumed")) << testsupport::readFile(logPath);
    ASSERT_TRUE(logHas(logPath, "Baro value changed.")) << "the first reading is shown";

    EXPECT_EQ(ostractl("pause", WIDGET_APP_ID, &output), 0) << output;
    EXPECT_NE(output.find("paused"), std::string::npos) << output;
    EXPECT_TRUE(logHas(logPath, "widget instance paused"));
    EXPECT_TRUE(logHas(logPath, "pauseSensor() start"));

    EXPECT_EQ(ostractl("resume", WIDGET_APP_ID, &output), 0) << output;
    EXPECT_NE(output.find("resumed"), std::string::npos) << output;
    EXPECT_TRUE(logHas(logPath, "widget instance resumed", 2));

    EXPECT_EQ(ostractl("wave", WIDGET_APP_ID, &output), 2) << "unknown verb";
    kill(pid, SIGTERM);
    EXPECT_EQ(testsupport::waitProgram(pid), 0) << "a clean shut-down\n"
                                                << testsupport::readFile(logPath);
}

}  // namespace
