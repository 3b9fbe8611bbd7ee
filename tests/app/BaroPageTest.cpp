// The barometer page: the value in each unit, unit taps, trend images and the
// fallback when no trend arrives.
#include <ZentrelBaroViewController.h>
#include <ZentrelStorageMgr.h>
#include <gtest/gtest.h>

#include "AppTestSupport.h"

namespace {

ZentrelBaroViewController* baroOf(const apptest::Screen& screen) {
    return static_cast<ZentrelBaroViewController*>(
        screen.controller->getPage(ZentrelPageController::PAGE_BARO_VIEW));
}

void tapUnit(ZentrelBaroViewController* baro) {
    elm_layout_signal_emit(baro->getLayout(), "mouse,clicked,1", "baro_unit_event");
    edje_object_message_signal_process(elm_layout_edje_get(baro->getLayout()));
}

TEST(BaroPageTest, ValueInEachUnitAndUnitTapsCycleBackToHectopascal) {
    apptest::AppEnvironment env;
    ZentrelStorageMgr* storage = ZentrelStorageMgr::getInstance();
    storage->saveSettingPressure(0);
    apptest::Screen screen(ZentrelPageController::PAGE_BARO_VIEW);
    ASSERT_NE(screen.controller, nullptr);
    ZentrelBaroViewController* baro = baroOf(screen);
    ASSERT_NE(baro, nullptr);
    EXPECT_STREQ(baro->getClassName(), "ZentrelBaroViewController");

    EXPECT_TRUE(screen.controller->onCurrentPressure(1013.25f));
    EXPECT_EQ(apptest::text(baro->getValueLayout(), "value"), "1013");
    EXPECT_EQ(apptest::text(baro->getValueLayout(), "unit"), "hPa");
    EXPECT_DOUBLE_EQ(storage->getCurrentPressure(), 1013.25);
    uitest::runLoopUntil([] { return false; }, 1500);
    apptest::screenshot(screen.window.getEvasObj(), "app_baro_hpa.png");

    const char* expected[][2] = {{"29.92", "inHg"}, {"760", "mmHg"}, {"1013", "hPa"}};
    const int units[] = {1, 2, 0};
    for (int i = 0; i < 3; ++i) {
        tapUnit(baro);
        EXPECT_EQ(storage->getSettingPressure(), units[i]);
        EXPECT_EQ(apptest::text(baro->getValueLayout(), "value"), expected[i][0]);
        EXPECT_EQ(apptest::text(baro->getValueLayout(), "unit"), expected[i][1]);
        if (i == 0) {
            uitest::runLoopUntil([] { return false; }, 300);
            apptest::screenshot(screen.window.getEvasObj(), "app_baro_inhg.png");
        }
    }

    // A new reading redraws only what changed, in the stored unit.
    screen.controller->onCurrentPressure(1000.4f);
    EXPECT_EQ(apptest::text(baro->getValueLayout(), "value"), "1000");
}

TEST(BaroPageTest, TrendCodesMapToTheirImagesAndSilenceShowsMidMid) {
    apptest::AppEnvironment env;
    testsupport::LogCapture log;
    apptest::Screen screen(ZentrelPageController::PAGE_BARO_VIEW);
    ZentrelBaroViewController* baro = baroOf(screen);
    ASSERT_NE(baro, nullptr);

    // No trend within three seconds: the steady image, with its log line.
    EXPECT_TRUE(baro->getIndicatorFile().empty());
    ASSERT_TRUE(uitest::runLoopUntil([&] { return !baro->getIndicatorFile().empty(); }, 4000));
    EXPECT_EQ(baro->getIndicatorFile(), "alti_course_mid_mid.png");
    EXPECT_TRUE(log.contains("Barometer indicator is not working"));

    const std::pair<int, const char*> cases[] = {
        {0x11, "alti_course_down_down.png"}, {0x14, "alti_course_down_up.png"},
        {0x42, "alti_course_up_mid.png"},    {0x84, "alti_course_mid_up_dim.png"},
        {0x88, "alti_course_no_data.png"},   {0x99, "alti_course_mid_mid.png"},
    };
    for (const auto& [code, file] : cases) {
        EXPECT_TRUE(screen.controller->onBarometricTrendIndicator(static_cast<float>(code)));
        EXPECT_EQ(baro->getIndicatorFile(), file) << code;
    }
    EXPECT_TRUE(log.contains("_getTrendImage default value : 153"));

    // Code 0 is refused by the page controller; the page itself shows mid-mid for it.
    EXPECT_FALSE(screen.controller->onBarometricTrendIndicator(0.0f));
    EXPECT_TRUE(log.contains("Sensor sent wrong value"));
    EXPECT_EQ(baro->getIndicatorFile(), "alti_course_mid_mid.png");
    baro->updateIndicator(0x44);
    baro->updateIndicator(0);
    EXPECT_EQ(baro->getIndicatorFile(), "alti_course_mid_mid.png");
    EXPECT_EQ(std::string(ZentrelBaroViewController::getTrendImage(0x21)),
              "alti_course_mid_down.png");
}

TEST(BaroPageTest, InchesAlwaysShowTwoDecimals) {
    apptest::AppEnvironment env;
    ZentrelStorageMgr::getInstance()->saveSettingPressure(1);
    apptest::Screen screen(ZentrelPageController::PAGE_BARO_VIEW);
    ZentrelBaroViewController* baro = baroOf(screen);
    ASSERT_NE(baro, nullptr);
    const std::pair<float, const char*> cases[] = {
        {1012.5f, "29.90"}, {1016.0f, "30.00"}, {1013.25f, "29.92"}};
    for (const auto& [pressure, shown] : cases) {
        screen.controller->onCurrentPressure(pressure);
        EXPECT_EQ(apptest::text(baro->getValueLayout(), "value"), shown) << pressure;
    }
}

// The unit tap area is live whatever page the program opened on, also when
// no needle sweep ever ran (a first launch on the settings page).
TEST(BaroPageTest, UnitTapAreaIsLiveAfterAFirstLaunchOnAnyPage) {
    for (int page = 0; page < 3; ++page) {
        apptest::AppEnvironment env;
        testsupport::LogCapture log;
        {
            apptest::Screen screen(page);
            ZentrelBaroViewController* baro = baroOf(screen);
            ASSERT_NE(baro, nullptr);
            uitest::runLoopUntil([] { return false; }, 200);
            double value = -1;
            const char* state = edje_object_part_state_get(elm_layout_edje_get(baro->getLayout()),
                                                           "baro_unit_event", &value);
            EXPECT_STREQ(state, "default") << "first page " << page;
        }
        // The page's broadcaster listener goes once, with its layout.
        EXPECT_FALSE(log.contains("Already removed listener!")) << page;
    }
}

}  // namespace
