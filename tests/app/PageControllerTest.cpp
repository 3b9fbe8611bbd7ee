// The page controller's history window: recorded samples, the resume rules,
// live readings appending points, auto calibration and the sensor failure.
#include <ZentrelAltiViewController.h>
#include <ZentrelLocationMgr.h>
#include <ZentrelStorageMgr.h>
#include <gtest/gtest.h>
#include <ostra/location_manager.h>
#include <ostra/vconf.h>

#include "AppTestSupport.h"

namespace {

int filledPoints(const ZentrelGraphItemList& list) {
    int filled = 0;
    for (unsigned int i = 0; i < list.getCount(); ++i) {
        filled += list.getItem(i)->_itemBaro > 0;
    }
    return filled;
}

TEST(PageControllerTest, ReplayedSixHoursFillTheGraphAndResumeRebuildsAfterOnePeriod) {
    apptest::AppEnvironment env;
    testsupport::LogCapture log;
    ASSERT_EQ(apptest::importSixHours(1016.0, 1010.0), 0);
    apptest::Screen screen(ZentrelPageController::PAGE_BARO_VIEW);
    ZentrelPageController* pages = screen.controller;
    ASSERT_NE(pages, nullptr);
    auto list = pages->getGraphItemList();
    ASSERT_EQ(list->getCount(), 180u);
    EXPECT_EQ(filledPoints(*list), 0);

    pages->onAppResumed();
    ASSERT_TRUE(uitest::runLoopUntil([&] { return filledPoints(*list) >= 175; }, 8000))
        << filledPoints(*list);
    // The trace falls from 1016 to 1010 hPa: oldest point first.
    EXPECT_NEAR(list->getItem(0)->_itemBaro, 1016, 1);
    EXPECT_NEAR(list->getLastItem()._itemBaro, 1010, 1);
    EXPECT_LE(list->getBaroMin(), 1011);
    EXPECT_GE(list->getBaroMax(), 1015);
    uitest::runLoopUntil([] { return false; }, 1500);
    apptest::screenshot(screen.window.getEvasObj(), "app_baro_history.png");

    // 119 seconds after the last point the window stays; 120 seconds rebuilds it.
    const int64_t last = pages->getLastGraphUpdateTime();
    static_cast<apptest::ClockedPageController*>(pages)->clock = last + 119;
    pages->onAppResumed();
    EXPECT_EQ(pages->getGraphItemList(), list);
    EXPECT_FALSE(log.contains("Need to Update Graph by Resume"));
    static_cast<apptest::ClockedPageController*>(pages)->clock = last + 120;
    pages->onAppResumed();
    EXPECT_TRUE(log.contains("Need to Update Graph by Resume"));
    EXPECT_NE(pages->getGraphItemList(), list);
    EXPECT_EQ(pages->getLastGraphUpdateTime(), last + 120);
    EXPECT_EQ(pages->getGraphItemList()->getCount(), 180u);
}

TEST(PageControllerTest, RecordedSamplesOutsideTheSensorWindowAreDropped) {
    apptest::AppEnvironment env;
    testsupport::LogCapture log;
    apptest::Screen screen(ZentrelPageController::PAGE_ALTI_VIEW);
    ZentrelPageController* pages = screen.controller;
    auto list = pages->getGraphItemList();
    const int64_t newest = list->getLastItem()._itemTime;
    const int64_t older = list->getItem(170)->_itemTime;

    pages->onRecordedPressure(newest, 259.9, 0);
    pages->onRecordedPressure(older, 1260.1, 9);
    EXPECT_EQ(log.count("Wrong Value"), 2);
    EXPECT_EQ(filledPoints(*list), 0);

    pages->onRecordedPressure(newest, 260.0, 0);
    pages->onRecordedPressure(older, 1260.0, 9);
    EXPECT_EQ(list->getLastItem()._itemBaro, 260);
    EXPECT_EQ(list->getItem(170)->_itemBaro, 1260);
}

TEST(PageControllerTest, LiveReadingsFillTheLastPointThenAppendOnePerPeriod) {
    apptest::AppEnvironment env;
    testsupport::LogCapture log;
    auto* controller = new apptest::ClockedPageController();
    apptest::Screen screen(ZentrelPageController::PAGE_BARO_VIEW, controller);
    auto list = controller->getGraphItemList();
    const int64_t due = controller->getLastGraphUpdateTime();

    // The newest point has no pressure yet: the first reading fills it.
    controller->clock = due + 10;
    controller->onCurrentPressure(1008.6f);
    EXPECT_EQ(list->getLastItem()._itemBaro, 1008);
    EXPECT_TRUE(log.contains("Last pressure is 0, create new graph"));

    // Once a period has passed the reading becomes a new point; the window keeps 180.
    controller->clock = due + 120;
    controller->onCurrentPressure(1007.2f);
    EXPECT_EQ(list->getCount(), 180u);
    EXPECT_EQ(list->getLastItem()._itemTime, due);
    EXPECT_EQ(list->getLastItem()._itemBaro, 1007);
    EXPECT_EQ(controller->getLastGraphUpdateTime(), due + 120);
    EXPECT_EQ(list->getBaroMin(), 1007);

    // Not yet another period: no new point.
    controller->clock = due + 200;
    controller->onCurrentPressure(1006.0f);
    EXPECT_EQ(list->getLastItem()._itemTime, due);
}

TEST(PageControllerTest, AutoCalibrationOnlyAfterMoreThanAnHour) {
    apptest::AppEnvironment env;
    setenv("OSTRA_CONNECTION_TYPE", "wifi", 1);
    // The location service never answers, so a started calibration stays waiting.
    vconf_set_bool(VCONFKEY_LOCATION_SILENT, 1);
    ZentrelLocationMgr::getInstance()->destroyLocationMgr();
    ZentrelStorageMgr* storage = ZentrelStorageMgr::getInstance();
    storage->saveAutoRefresh(1);
    storage->saveUserAgreementState(1);
    auto* controller = new apptest::ClockedPageController();
    apptest::Screen screen(ZentrelPageController::PAGE_ALTI_VIEW, controller);
    auto* alti = static_cast<ZentrelAltiViewController*>(
        controller->getPage(ZentrelPageController::PAGE_ALTI_VIEW));
    ASSERT_NE(alti, nullptr);
    using State = ZentrelAltiViewController::eMeasuringState;
    const int64_t now = apptest::now();
    controller->clock = now;
    storage->saveDataCalTime(now - 3600);
    controller->onAppResumed();
    EXPECT_EQ(alti->getMeasuringState(), State::IDLE);
    storage->saveAutoRefresh(0);
    storage->saveDataCalTime(now - 3601);
    controller->onAppResumed();
    EXPECT_EQ(alti->getMeasuringState(), State::IDLE);
    storage->saveAutoRefresh(1);
    controller->onAppResumed();
    EXPECT_EQ(alti->getMeasuringState(), State::LOCATION_CALL_BY_AUTO);
    EXPECT_EQ(alti->getCurrentPopup(), nullptr);
    unsetenv("OSTRA_CONNECTION_TYPE");
}

TEST(PageControllerTest, FailingSensorOpensThePopupOnce) {
    apptest::AppEnvironment env;
    apptest::Screen screen(ZentrelPageController::PAGE_BARO_VIEW);
    ZentrelPageController* pages = screen.controller;
    EXPECT_FALSE(pages->onCurrentPressure(-1.0f));
    Evas_Object* popup = pages->getSensorFailurePopup();
    ASSERT_NE(popup, nullptr);
    uitest::runLoopUntil([] { return false; }, 500);
    apptest::screenshot(screen.window.getEvasObj(), "app_sensor_failure.png");
    // A stored failure is not a first reading any more: later readings go through.
    EXPECT_TRUE(pages->onCurrentPressure(1000.0f));
    EXPECT_EQ(pages->getSensorFailurePopup(), popup);
}

}  // namespace

// Starting the recorder daemon forks and waits (here for a daemon that never
// comes, five seconds); pausing and closing the screen meanwhile are not held up.
TEST(PageControllerTest, PausingWhileTheRecorderStartsIsNotHeldUp) {
    apptest::AppEnvironment env;
    apptest::Screen screen(ZentrelPageController::PAGE_BARO_VIEW);
    ZentrelPageController* pages = screen.controller;
    pages->onAppResumed();
    g_usleep(300000);
    gint64 before = g_get_monotonic_time();
    pages->onAppPaused();
    EXPECT_LT(g_get_monotonic_time() - before, 2 * G_USEC_PER_SEC);
    // Once the start gave up, the sensor is installed from the main loop and
    // its readings arrive.
    ZentrelStorageMgr::getInstance()->setCurrentPressure(0);
    pages->onAppResumed();
    EXPECT_TRUE(uitest::runLoopUntil(
        [] { return ZentrelStorageMgr::getInstance()->getCurrentPressure() > 900; }, 15000));
}
