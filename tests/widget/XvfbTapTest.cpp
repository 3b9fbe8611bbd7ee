// The widget on a bare X server (Xvfb): real pointer taps on its two halves
// open the main program on the altitude and the barometer page, and the
// window being hidden pauses the widget.
#include <fcntl.h>
#include <glib.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "XvfbSupport.h"

namespace {

bool logHas(const std::string& path, const std::string& text, int timeoutMs = 10000) {
    return testsupport::runUntil(
        [&] { return testsupport::readFile(path).find(text) != std::string::npos; }, timeoutMs);
}

TEST(WidgetXvfb, TapsOpenTheMainProgramOnTheTappedPageAndHidingPauses) {
    if (!testsupport::xvfbToolsInstalled()) {
        GTEST_SKIP() << "Xvfb or xdotool is not installed";
    }
    testsupport::TempRoot root;
    testsupport::XvfbServer server;
    ASSERT_TRUE(server.ok());
    const std::string display = server.display();

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
    // The software engine: the GL one cannot make a window on Xvfb.
    env = g_environ_setenv(env, "ELM_ACCEL", "none", TRUE);
    env = g_environ_unsetenv(env, "WAYLAND_DISPLAY");
    gchar* argv[] = {const_cast<gchar*>(WIDGET_PROGRAM_PATH), nullptr};
    int logFd = open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    GPid pid = 0;
    bool spawned = g_spawn_async_with_fds(nullptr, argv, env, G_SPAWN_DO_NOT_REAP_CHILD, nullptr,
                                          nullptr, &pid, -1, logFd, logFd, nullptr);
    close(logFd);
    g_strfreev(env);
    ASSERT_TRUE(spawned);
    testsupport::ChildProcess widget(pid);
    ASSERT_TRUE(logHas(logPath, "widget instance resumed")) << testsupport::readFile(logPath);
    ASSERT_TRUE(logHas(logPath, "Baro value changed.")) << testsupport::readFile(logPath);

    // The window sits at the origin: the pressure half is on the right.
    ASSERT_EQ(server.xdotool({"mousemove", "260", "200", "click", "1"}), 0);
    EXPECT_TRUE(logHas(logPath, "page [1][1]")) << testsupport::readFile(logPath);
    testsupport::runUntil([] { return false; }, 1200);
    // The main program's window now covers the widget's; bring it back up.
    ASSERT_EQ(server.xdotool({"search", "--name", "^" WIDGET_APP_ID "$", "windowraise"}), 0);
    ASSERT_EQ(server.xdotool({"mousemove", "100", "200", "click", "1"}), 0);
    EXPECT_TRUE(logHas(logPath, "page [0][0]")) << testsupport::readFile(logPath);
    EXPECT_EQ(testsupport::readFile(logPath).find("App is being launched already."),
              std::string::npos);

    // Hidden by the desktop: paused.
    ASSERT_EQ(server.xdotool({"search", "--name", "^" WIDGET_APP_ID "$", "windowunmap"}), 0);
    EXPECT_TRUE(logHas(logPath, "widget instance paused", 12000)) << testsupport::readFile(logPath);
}

}  // namespace
