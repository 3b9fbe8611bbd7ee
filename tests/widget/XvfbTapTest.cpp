// The widget on a bare X server (Xvfb): real pointer taps on its two halves
// open the main program on the altitude and the barometer page, and the
// window being hidden pauses the widget.
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
    // Both programs (the main program inherits it) end themselves.
    GPid pid = server.start(WIDGET_PROGRAM_PATH,
                            {{"OSTRA_SENSOR", "sim"},
                             {"OSTRA_SENSORD", "/bin/true"},
                             {"OSTRA_APP_ID", WIDGET_APP_ID},
                             {"OSTRA_SCREENSHOT", (root.path() + "/shot.png:8")},
                             {"OSTRA_SCREENSHOT_EXIT", "1"}},
                            logPath);
    ASSERT_NE(pid, 0);
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
