// The application framework's first-frame line, which the start-up
// benchmark waits for: logged once, for the first frame only, with the time
// since the process started. The program is resumed only once that frame is
// drawn, so what it does on resume never delays it.
#include <fcntl.h>
#include <glib.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>
#include <string>

#include "TestSupport.h"

namespace {

TEST(FirstFrameTest, LoggedOnceWithTheProcessAgeAndTheProgramResumesAfterIt) {
    testsupport::TempRoot root;
    const std::string shot = root.path() + "/shot.png";
    const std::string logPath = root.path() + "/sample.log";
    const char* appId = "com.zentrel.test.firstframe";
    gchar** env = g_get_environ();
    env = g_environ_setenv(env, "ELM_DISPLAY", "buffer", TRUE);
    env = g_environ_setenv(env, "ELM_ACCEL", "none", TRUE);
    env = g_environ_setenv(env, "OSTRA_LOG_LEVEL", "info", TRUE);
    env = g_environ_setenv(env, "OSTRA_APP_ID", appId, TRUE);
    env = g_environ_setenv(env, "OSTRA_SCREENSHOT", (shot + ":2").c_str(), TRUE);
    env = g_environ_setenv(env, "OSTRA_SCREENSHOT_EXIT", "1", TRUE);
    env = g_environ_unsetenv(env, "DISPLAY");
    env = g_environ_unsetenv(env, "WAYLAND_DISPLAY");
    gchar* argv[] = {const_cast<gchar*>(SAMPLE_PROGRAM_PATH), nullptr};
    int logFd = open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(logFd, 0);
    GPid pid = 0;
    gint64 started = g_get_monotonic_time();
    bool spawned = g_spawn_async_with_fds(nullptr, argv, env, G_SPAWN_DO_NOT_REAP_CHILD, nullptr,
                                          nullptr, &pid, -1, -1, logFd, nullptr);
    close(logFd);
    g_strfreev(env);
    ASSERT_TRUE(spawned);

    const std::string marker = "first frame drawn after ";
    ASSERT_TRUE(testsupport::runUntil(
        [&] { return testsupport::readFile(logPath).find(marker) != std::string::npos; }, 10000));
    double firstFrameWallMs = (g_get_monotonic_time() - started) / 1000.0;
    // A second launch request changes the page's text: more frames are drawn.
    EXPECT_EQ(testsupport::runProgram({OSTRACTL_PATH, "launch", appId, "page=7"}), 0);
    EXPECT_EQ(testsupport::waitProgram(pid), 0);
    const std::string log = testsupport::readFile(logPath);

    size_t at = log.find(marker);
    EXPECT_EQ(log.find(marker, at + 1), std::string::npos) << "logged more than once:\n" << log;
    // Resumed once, after the first frame; the second launch finds it resumed.
    size_t resumed = log.find("app resumed");
    EXPECT_NE(resumed, std::string::npos) << log;
    EXPECT_GT(resumed, at) << log;
    EXPECT_EQ(log.find("app resumed", resumed + 1), std::string::npos) << log;
    EXPECT_NE(log.find("page 7"), std::string::npos) << log;
    EXPECT_NE(log.find("screenshot written to " + shot), std::string::npos) << log;

    std::istringstream rest(log.substr(at + marker.size()));
    double ms = -1;
    std::string unit;
    rest >> ms >> unit;
    EXPECT_EQ(unit, "ms");
    EXPECT_GT(ms, 0);
    // The process age can be over by one clock tick (10 ms), not more.
    EXPECT_LT(ms, firstFrameWallMs + 10);
}

}  // namespace
