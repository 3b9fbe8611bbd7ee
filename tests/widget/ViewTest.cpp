// The widget's screen driven headless: values and units, the change test,
// the picker-mark angles, the sensor of a hidden widget, taps that open the
// main program, the automatic refresh on resume and the demo mode.
#include <ZentrelStorageMgr.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <ostra/app_control.h>
#include <ostra/i18n.h>
#include <ostra/location_manager.h>
#include <ostra/vconf.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "WidgetTestSupport.h"

namespace {

using widgettest::TestView;
using widgettest::WidgetEnvironment;
using widgettest::WidgetScreen;

ZentrelStorageMgr* storage() {
    return ZentrelStorageMgr::getInstance();
}

void settle(int ms = 100) {
    uitest::runLoopUntil([] { return false; }, ms);
}

void setUnits(int distance, int pressure) {
    storage()->saveSettingDistance(distance);
    storage()->saveSettingPressure(pressure);
}

// Sends this process's stderr to a file while it lives, so a program
// started meanwhile writes its log there.
class StderrToFile {
  public:
    explicit StderrToFile(const std::string& path) : _saved(dup(STDERR_FILENO)) {
        fflush(stderr);
        int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        dup2(fd, STDERR_FILENO);
        close(fd);
    }
    ~StderrToFile() {
        fflush(stderr);
        dup2(_saved, STDERR_FILENO);
        close(_saved);
    }

  private:
    int _saved;
};

int occurrences(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

TEST(WidgetView, EmptyHistoryShowsDashesUntilAReferenceIsKnown) {
    WidgetEnvironment env;
    setUnits(0, 0);
    WidgetScreen screen;
    settle();
    EXPECT_EQ(screen.view->getState(), INIT);
    EXPECT_EQ(screen.text("alti_value"), "--");
    EXPECT_EQ(screen.partState("init_text"), "visible");
    EXPECT_EQ(screen.partState("alti_hands"), "default") << "no altitude mark without a reference";
    EXPECT_EQ(screen.partState("baro_hands"), "visible");

    screen.view->onCurrentPressure(1013.25f);
    settle();
    EXPECT_EQ(screen.text("alti_value"), "--");
    EXPECT_EQ(screen.text("baro_value"), "1013");
    EXPECT_EQ(screen.text("baro_unit"), i18n_get_text("WDS_ALTI_BODY_HPA_ABB2"));
    EXPECT_EQ(screen.partState("alti_hands"), "default");
    widgettest::screenshot(screen.win, "widget-empty-history.png");

    widgettest::calibrateAt(1013.25);
    screen.view->onCurrentPressure(1013.25f);
    settle();
    EXPECT_EQ(screen.view->getState(), MEASURED);
    EXPECT_EQ(screen.text("alti_value"), "0");
    EXPECT_EQ(screen.partState("alti_hands"), "visible");
    EXPECT_EQ(screen.partState("init_text"), "default");
}

TEST(WidgetView, IdenticalRoundedReadingChangesNothing) {
    WidgetEnvironment env;
    setUnits(0, 0);
    widgettest::calibrateAt(1013.25);
    WidgetScreen screen;
    testsupport::LogCapture log;
    screen.view->onCurrentPressure(1013.25f);
    ASSERT_TRUE(uitest::runLoopUntil([&] { return log.count("picker marks turned") == 1; }, 2000));
    EXPECT_EQ(screen.text("alti_value"), "0");
    EXPECT_EQ(screen.text("baro_value"), "1013");

    // The same whole numbers: no text is set again and no mark turns.
    elm_object_part_text_set(screen.view->getLayout(), "baro_value", "untouched");
    screen.view->onCurrentPressure(1013.26f);
    settle(200);
    EXPECT_EQ(screen.text("baro_value"), "untouched");
    EXPECT_EQ(log.count("picker marks turned"), 1);

    screen.view->onCurrentPressure(1014.0f);
    ASSERT_TRUE(uitest::runLoopUntil([&] { return log.count("picker marks turned") == 2; }, 2000));
    EXPECT_EQ(screen.text("baro_value"), "1014");
    EXPECT_NE(screen.text("alti_value"), "0");

    // A sensor that stops working changes nothing either.
    screen.view->onCurrentPressure(-1.0f);
    EXPECT_EQ(screen.text("baro_value"), "1014");

    // Before a reference exists only the unit and the pressure count.
    storage()->saveDataSLPHistory("");
    WidgetScreen fresh;
    EXPECT_TRUE(fresh.view->_isChanged(0, 1013));
    fresh.view->onCurrentPressure(1013.25f);
    EXPECT_FALSE(fresh.view->_isChanged(500, 1013));
    setUnits(1, 0);
    EXPECT_TRUE(fresh.view->_isChanged(500, 1013));
}

TEST(WidgetView, PickerMarkAnglesAtTheEdges) {
    WidgetEnvironment env;
    widgettest::calibrateAt(1013.25);
    WidgetScreen screen;
    TestView& view = *screen.view;
    EXPECT_DOUBLE_EQ(view._calcAngle(1200.0, BARO), 511.875);
    EXPECT_DOUBLE_EQ(view._calcAngle(1200.0, BARO) - 360, 151.875);
    EXPECT_DOUBLE_EQ(view._calcAngle(350.0, BARO), 225.0);
    EXPECT_DOUBLE_EQ(view._calcAngle(300.0, BARO), 225.0) << "floored below the range";
    EXPECT_DOUBLE_EQ(view._calcAngle(1150.0, BARO), 225 + 800 * 0.3375f);
    EXPECT_DOUBLE_EQ(view._calcAngle(1013.25, BARO), 225 + 663 * 0.3375f) << "whole hPa only";

    // 1013.25 hPa at a 1013.25 hPa reference is sea level: 800 m above -800.
    EXPECT_DOUBLE_EQ(view._calcAngle(1013.25, ALTI), 225 + 800 * 0.028125f);
    EXPECT_DOUBLE_EQ(view._calcAngle(1150.0, ALTI), 225.0) << "below -800 m floors at the start";
    const double high = storage()->getAltivalue(310.0);
    ASSERT_GT(high, 8800.0);
    EXPECT_FLOAT_EQ(view._calcAngle(310.0, ALTI), 225 + std::trunc(high + 800) * 0.028125f);
    EXPECT_GT(view._calcAngle(310.0, ALTI), 495.0) << "no upper clamp";
}

TEST(WidgetView, UnitsAndScreenReaderTexts) {
    WidgetEnvironment env;
    widgettest::calibrateAt(1013.25);
    const double metres = storage()->getAltivalue(900.0);
    struct Case {
        int distance, pressure;
        std::string alti, baro, unitId, shot;
    };
    const Case cases[] = {
        {0, 0, std::to_string(lround(metres)), "900", "WDS_ALTI_BODY_HPA_ABB2",
         "widget-metres-hpa.png"},
        {1, 1, std::to_string(lround(metres * 3.28084)), "26.58", "WDS_ALTI_BODY_IN_HG_M_UNIT_ABB",
         "widget-feet-inhg.png"},
        {0, 2, std::to_string(lround(metres)), "675", "WDS_ALTI_BODY_MM_HG_M_UNIT_ABB",
         "widget-mmhg.png"},
    };
    for (const auto& c : cases) {
        setUnits(c.distance, c.pressure);
        WidgetScreen screen;
        screen.view->onCurrentPressure(900.0f);
        settle(200);
        EXPECT_EQ(screen.text("alti_value"), c.alti) << c.shot;
        EXPECT_EQ(screen.text("baro_value"), c.baro) << c.shot;
        EXPECT_EQ(screen.text("baro_unit"), i18n_get_text(c.unitId.c_str())) << c.shot;
        EXPECT_EQ(screen.text("alti_unit"),
                  i18n_get_text(c.distance ? "WDS_ALTI_SBODY_FT_M_FEET_UNIT_LC"
                                           : "WDS_ALTI_SBODY_M_M_METRES_UNIT_LC"));
        EXPECT_NE(screen.view->getBaroAccessText().find(c.baro), std::string::npos);
        EXPECT_EQ(screen.view->getAltiAccessText(),
                  std::string(i18n_get_text("WDS_ALTI_HEADER_ALTITUDE_ABB2")) + "   " + c.alti +
                      " " +
                      i18n_get_text(c.distance ? "WDS_ALTI_TBOPT_FEET" : "WDS_ALTI_TBOPT_METRES"));
        widgettest::screenshot(screen.win, c.shot.c_str());
    }
}

TEST(WidgetView, HiddenWidgetPausesItsSensorAfterTheFirstReading) {
    WidgetEnvironment env;
    WidgetScreen screen;
    ASSERT_TRUE(uitest::runLoopUntil([&] { return screen.view->readings >= 1; }, 3000));
    EXPECT_NE(screen.text("baro_value"), "");
    settle(2500);
    EXPECT_EQ(screen.view->readings, 1) << "a hidden widget needs one reading";

    screen.view->resumed();
    EXPECT_TRUE(uitest::runLoopUntil([&] { return screen.view->readings >= 3; }, 4000));
    screen.view->paused();
    settle(300);
    const int paused = screen.view->readings;
    settle(1500);
    EXPECT_EQ(screen.view->readings, paused);
}

TEST(WidgetView, TwoTapsWithinASecondLaunchTheMainProgramOnceOnItsPage) {
    WidgetEnvironment env;
    const std::string mainLog = env.root() + "/zentrel.log";
    const std::string mainShot = env.root() + "/zentrel.png";
    setenv("OSTRA_SCREENSHOT", (mainShot + ":2").c_str(), 1);
    setenv("OSTRA_SCREENSHOT_EXIT", "1", 1);
    WidgetScreen screen;
    testsupport::LogCapture log;
    Evas_Object* edje = elm_layout_edje_get(screen.view->getLayout());
    {
        StderrToFile capture(mainLog);
        edje_object_signal_emit(edje, "mouse,clicked,1", "baro_rect");
        edje_object_message_signal_process(edje);
    }
    EXPECT_TRUE(screen.view->isLaunching());
    edje_object_signal_emit(edje, "mouse,clicked,1", "baro_rect");
    edje_object_message_signal_process(edje);
    EXPECT_EQ(log.count("App is being launched already."), 1);
    unsetenv("OSTRA_SCREENSHOT");
    unsetenv("OSTRA_SCREENSHOT_EXIT");

    ASSERT_TRUE(uitest::runLoopUntil(
        [&] {
            return testsupport::readFile(mainLog).find("screenshot written") != std::string::npos;
        },
        20000))
        << testsupport::readFile(mainLog);
    const std::string output = testsupport::readFile(mainLog);
    EXPECT_EQ(occurrences(output, "launch request (" ZENTREL_TEST_WIDGET_OPEN ")"), 1) << output;
    EXPECT_NE(output.find("page [1][1]"), std::string::npos) << output;
    EXPECT_EQ(ostra_app_control_pending_count(), 0);
    EXPECT_TRUE(uitest::runLoopUntil([&] { return !screen.view->isLaunching(); }, 1500))
        << "the guard lifts after a second";
}

TEST(WidgetView, ResumeRefreshesAReferenceOlderThanAnHour) {
    WidgetEnvironment env;
    setenv("OSTRA_CONNECTION_TYPE", "ethernet", 1);
    vconf_set_dbl(VCONFKEY_LOCATION_LATITUDE, 37.5665);
    vconf_set_dbl(VCONFKEY_LOCATION_LONGITUDE, 126.978);
    // A provider that refuses: nothing leaves the machine.
    vconf_set_str("db/zentrel/weather/twc_host", "127.0.0.1:1");
    widgettest::calibrateAt(1013.25);
    storage()->saveAutoRefresh(1);
    const long long calibrated = 1700000000;
    storage()->saveDataCalTime(calibrated);
    WidgetScreen screen;
    ASSERT_EQ(screen.view->getState(), MEASURED);

    screen.view->clock = calibrated + 3600;
    screen.view->resumed();
    EXPECT_EQ(screen.view->getState(), MEASURED);
    screen.view->paused();

    screen.view->clock = calibrated + 3601;
    screen.view->resumed();
    EXPECT_EQ(screen.view->getState(), MEASURING);

    // Opening the main program meanwhile ends the calibration silently.
    setenv("OSTRA_SCREENSHOT", (env.root() + "/main.png:1").c_str(), 1);
    setenv("OSTRA_SCREENSHOT_EXIT", "1", 1);
    screen.view->_launchMainApp(0);
    unsetenv("OSTRA_SCREENSHOT");
    unsetenv("OSTRA_SCREENSHOT_EXIT");
    EXPECT_EQ(screen.view->getState(), MEASURED);
    EXPECT_EQ(screen.view->_calController->getState(), IDLE);
    EXPECT_TRUE(uitest::runLoopUntil([] { return ostra_app_control_pending_count() == 0; }, 10000));
    EXPECT_EQ(screen.view->getState(), MEASURED);
    // The main program quits after its screenshot and gives up its socket.
    const std::string socket = env.root() + "/run/" ZENTREL_TEST_MAIN_APP_ID ".sock";
    EXPECT_TRUE(uitest::runLoopUntil(
        [&] { return !g_file_test(socket.c_str(), G_FILE_TEST_EXISTS); }, 10000));
    unsetenv("OSTRA_CONNECTION_TYPE");
}

TEST(WidgetView, TitleIsRebuiltForANewLanguageAndAfterAFontChange) {
    WidgetEnvironment env;
    WidgetScreen screen;
    Evas_Object* layout = screen.view->getLayout();
    Evas_Object* title = elm_object_part_content_get(layout, "title");
    ASSERT_NE(title, nullptr);
    EXPECT_STREQ(elm_object_text_get(title), i18n_get_text("WDS_ALTI_HEADER_ALTIMETER_ABB"));
    screen.view->resumed();
    EXPECT_EQ(elm_object_part_content_get(layout, "title"), title) << "a plain resume keeps it";
    screen.view->onFontChanged();
    screen.view->paused();
    screen.view->resumed();
    Evas_Object* afterFont = elm_object_part_content_get(layout, "title");
    EXPECT_NE(afterFont, title);
    screen.view->onLanguageChanged();
    EXPECT_NE(elm_object_part_content_get(layout, "title"), afterFont);
    EXPECT_STREQ(elm_object_text_get(elm_object_part_content_get(layout, "title")),
                 i18n_get_text("WDS_ALTI_HEADER_ALTIMETER_ABB"));
}

TEST(WidgetView, DemoModeShowsFixedValues) {
    WidgetEnvironment env;
    vconf_set_int("db/retailmode/enabled", 1);
    setUnits(0, 0);
    WidgetScreen screen;
    settle(200);
    EXPECT_EQ(screen.text("alti_value"), "110");
    EXPECT_EQ(screen.text("baro_value"), "1003");
    EXPECT_EQ(screen.partState("alti_hands"), "visible");
    EXPECT_DOUBLE_EQ(screen.view->_calcAngle(900.0, ALTI), 250.59375);
    EXPECT_DOUBLE_EQ(screen.view->_calcAngle(900.0, BARO), 445.38751220703125);
    widgettest::screenshot(screen.win, "widget-demo.png");
    setUnits(1, 2);
    screen.view->resumed();
    EXPECT_EQ(screen.text("alti_value"), "361");
    EXPECT_EQ(screen.text("baro_value"), "752");
}

}  // namespace
