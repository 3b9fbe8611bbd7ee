// The Arabic program a user taps through on a real X server (Xvfb, no window
// manager): with every screen mirrored, the bezel turns to the settings page,
// Edit opens the menu, its rows and the unit picker take taps, and the picked
// unit is stored.
#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "UiTestSupport.h"
#include "XvfbSupport.h"

namespace {

std::string pref(const char* key) {
    std::string out;
    testsupport::runProgram({OSTRACTL_PATH, "pref", "get", key}, &out);
    return out;
}

TEST(ArabicXvfbTest, MirroredSettingsFlowTakesWheelAndTaps) {
    if (!testsupport::xvfbToolsInstalled()) {
        GTEST_SKIP() << "Xvfb or xdotool is not installed";
    }
    uitest::ElmBuffer elm;
    testsupport::TempRoot root;
    testsupport::XvfbServer server;
    ASSERT_TRUE(server.ok()) << "Xvfb did not report its display";
    ASSERT_EQ(testsupport::runProgram({OSTRACTL_PATH, "pref", "set",
                                       "ZENTREL_DATA_PERMISSION_GUIDE_MESSAGE", "int", "1"}),
              0);
    ASSERT_EQ(testsupport::runProgram(
                  {OSTRACTL_PATH, "pref", "set", "ZENTREL_SETTING_DISTANCE", "int", "0"}),
              0);

    const std::string logPath = root.path() + "/zentrel.log";
    GPid pid = server.start(ZENTREL_PROGRAM_PATH,
                            {{"LANG", "ar_EG.UTF-8"},
                             {"OSTRA_SENSOR", "sim"},
                             {"OSTRA_SENSORD", "/bin/true"},
                             {"OSTRA_LOG_LEVEL", "debug"}},
                            logPath);
    ASSERT_NE(pid, 0);
    testsupport::ChildProcess program(pid);
    auto logHas = [&](const std::string& text) {
        return testsupport::readFile(logPath).find(text) != std::string::npos;
    };
    ASSERT_TRUE(uitest::runLoopUntil([&] { return logHas("page movement enabled"); }, 15000))
        << testsupport::readFile(logPath);
    EXPECT_TRUE(logHas("texts in ar, right to left"));

    // Each turn down goes one page on.
    ASSERT_EQ(server.xdotool({"mousemove", "180", "180"}), 0);
    uitest::runLoopUntil([] { return false; }, 300);
    for (const char* page : {"current_page : 1", "current_page : 2"}) {
        for (int turn = 0; turn < 3 && !logHas(page); ++turn) {
            server.xdotool({"click", "5"});
            uitest::runLoopUntil([&] { return logHas(page); }, 1000);
        }
        ASSERT_TRUE(logHas(page)) << testsupport::readFile(logPath);
    }
    uitest::runLoopUntil([] { return false; }, 1500);

    ASSERT_EQ(uitest::openPressureUnitPicker(server, logHas, [](const char*) {}), "")
        << testsupport::readFile(logPath);
    server.click(180, 216);
    EXPECT_TRUE(uitest::runLoopUntil(
        [] { return pref("ZENTREL_SETTING_PRESSURE").find('1') != std::string::npos; }, 3000))
        << testsupport::readFile(logPath);
}

}  // namespace
