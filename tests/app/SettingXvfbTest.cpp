// The settings flow a user taps through, on a real X server (Xvfb, no window
// manager) with synthetic pointer input: the wheel turns to page 2, a tap on
// Edit opens the menu, the pressure unit row opens the picker, a tap on inHg
// stores it. Finger swipes turn the pager.
#include <glib.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "RootGrab.h"
#include "TestSupport.h"
#include "UiTestSupport.h"
#include "XvfbSupport.h"

namespace {

constexpr int kScreenW = 640;
constexpr int kScreenH = 480;

int storedPressureUnit() {
    std::string out;
    testsupport::runProgram({OSTRACTL_PATH, "pref", "get", "ZENTREL_SETTING_PRESSURE"}, &out);
    return out.find('1') != std::string::npos ? 1 : out.find('0') != std::string::npos ? 0 : -1;
}

// Saves the top left of the screen as a PNG for people to look at.
void saveScreen(const std::string& display, Evas* evas, const char* name) {
    std::vector<unsigned int> rgb;
    if (!uitest::grabRootRgb(display, kScreenW, kScreenH, rgb)) {
        return;
    }
    std::vector<unsigned int> argb(360 * 360);
    for (int y = 0; y < 360; ++y) {
        for (int x = 0; x < 360; ++x) {
            argb[y * 360 + x] = rgb[static_cast<size_t>(y) * kScreenW + x] | 0xff000000u;
        }
    }
    Evas_Object* image = evas_object_image_filled_add(evas);
    evas_object_image_alpha_set(image, EINA_FALSE);
    evas_object_image_size_set(image, 360, 360);
    evas_object_image_data_copy_set(image, argb.data());
    g_mkdir_with_parents(SCREENSHOT_DIR, 0755);
    evas_object_image_save(image, (std::string(SCREENSHOT_DIR) + "/" + name).c_str(), nullptr,
                           "compress=6");
    evas_object_del(image);
}

// The main program on the server with the permission guide confirmed, logging
// at debug level to logPath; 0 when it could not be started.
GPid startProgram(const testsupport::XvfbServer& server, const std::string& logPath) {
    if (testsupport::runProgram({OSTRACTL_PATH, "pref", "set",
                                 "ZENTREL_DATA_PERMISSION_GUIDE_MESSAGE", "int", "1"}) != 0) {
        return 0;
    }
    return server.start(
        ZENTREL_PROGRAM_PATH,
        {{"OSTRA_SENSOR", "sim"}, {"OSTRA_SENSORD", "/bin/true"}, {"OSTRA_LOG_LEVEL", "debug"}},
        logPath);
}

TEST(SettingXvfbTest, WheelToSettingsTapEditOpenPressurePickerAndPickInHg) {
    if (!testsupport::xvfbToolsInstalled()) {
        GTEST_SKIP() << "Xvfb or xdotool is not installed";
    }
    uitest::ElmBuffer elm;
    Evas* evas = evas_object_evas_get(uitest::addWindow("setting-xvfb"));
    testsupport::TempRoot root;
    testsupport::XvfbServer server;
    ASSERT_TRUE(server.ok()) << "Xvfb did not report its display";
    const std::string display = server.display();

    // The pressure in hPa.
    ASSERT_EQ(testsupport::runProgram(
                  {OSTRACTL_PATH, "pref", "set", "ZENTREL_SETTING_PRESSURE", "int", "0"}),
              0);
    const std::string logPath = root.path() + "/zentrel.log";
    GPid pid = startProgram(server, logPath);
    ASSERT_NE(pid, 0);
    testsupport::ChildProcess program(pid);
    auto logHas = [&](const std::string& text) {
        return testsupport::readFile(logPath).find(text) != std::string::npos;
    };

    // The pager moves once the opening animation is over.
    ASSERT_TRUE(uitest::runLoopUntil([&] { return logHas("page movement enabled"); }, 15000))
        << testsupport::readFile(logPath);
    // The pointer enters the window first, so the wheel reaches it.
    ASSERT_EQ(server.xdotool({"mousemove", "180", "180"}), 0);
    uitest::runLoopUntil([] { return false; }, 300);
    for (int turn = 0; turn < 4 && !logHas("current_page : 2"); ++turn) {
        server.xdotool({"click", "5"});
        uitest::runLoopUntil([&] { return logHas("current_page : 2"); }, 1000);
    }
    ASSERT_TRUE(logHas("current_page : 2")) << testsupport::readFile(logPath);
    // The page index and the gauge dial go once the pager has settled.
    uitest::runLoopUntil([] { return false; }, 1500);
    saveScreen(display, evas, "xvfb_setting_page.png");

    ASSERT_EQ(uitest::openPressureUnitPicker(
                  server, logHas, [&](const char* name) { saveScreen(display, evas, name); }),
              "")
        << testsupport::readFile(logPath);
    server.click(180, 216);
    ASSERT_TRUE(uitest::runLoopUntil([] { return storedPressureUnit() == 1; }, 3000))
        << testsupport::readFile(logPath);
    // Half a second later the picker has gone: the menu is on top again.
    EXPECT_TRUE(
        uitest::runLoopUntil([&] { return logHas("ZentrelSettingView back on top"); }, 3000));
}

// A finger drag across the screen at half height, in 20 px steps a frame apart.
void swipe(const testsupport::XvfbServer& server, int fromX, int toX) {
    std::vector<std::string> args = {"mousemove", std::to_string(fromX), "200", "sleep",
                                     "0.2",       "mousedown",           "1"};
    const int step = toX > fromX ? 20 : -20;
    for (int x = fromX + step; step > 0 ? x <= toX : x >= toX; x += step) {
        for (const std::string& arg :
             {std::string("sleep"), std::string("0.016"), std::string("mousemove"),
              std::to_string(x), std::string("200")}) {
            args.push_back(arg);
        }
    }
    args.push_back("mouseup");
    args.push_back("1");
    server.xdotool(args);
}

// The page the pager last scrolled to, from the program's log; -1 for none.
int lastPage(const std::string& log) {
    const std::string mark = "current_page : ";
    size_t at = log.rfind(mark);
    return at == std::string::npos ? -1 : atoi(log.c_str() + at + mark.size());
}

TEST(SettingXvfbTest, FingerSwipesTurnThePagerAndStopAtItsEnds) {
    if (!testsupport::xvfbToolsInstalled()) {
        GTEST_SKIP() << "Xvfb or xdotool is not installed";
    }
    testsupport::TempRoot root;
    testsupport::XvfbServer server;
    ASSERT_TRUE(server.ok()) << "Xvfb did not report its display";
    const std::string logPath = root.path() + "/zentrel.log";
    GPid pid = startProgram(server, logPath);
    ASSERT_NE(pid, 0);
    testsupport::ChildProcess program(pid);
    auto log = [&] { return testsupport::readFile(logPath); };
    ASSERT_TRUE(testsupport::runUntil(
        [&] { return log().find("page movement enabled") != std::string::npos; }, 15000))
        << log();

    // Right to left: the next page, twice; the last page stays put.
    for (int page : {1, 2, 2}) {
        swipe(server, 300, 60);
        testsupport::runUntil([] { return false; }, 1500);
        EXPECT_EQ(lastPage(log()), page);
    }
    // Left to right: back one page.
    swipe(server, 60, 300);
    EXPECT_TRUE(testsupport::runUntil([&] { return lastPage(log()) == 1; }, 3000)) << log();
}

}  // namespace
