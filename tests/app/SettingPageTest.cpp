// The settings page: the summary follows the store (also when another
// process finishes a restore), Edit and Help open their screens, the help
// mark follows the script's direction, the screen reader objects follow the
// shown page.
#include <ZentrelBroadCaster.h>
#include <ZentrelSettingViewController.h>
#include <ZentrelStorageMgr.h>
#include <gtest/gtest.h>
#include <ostra/vconf.h>

#include <cstring>
#include <string>

#include "AppTestSupport.h"

namespace {

void settle(int ms) {
    uitest::runLoopUntil([] { return false; }, ms);
}

ZentrelSettingViewController* settingPage(const apptest::Screen& screen) {
    return static_cast<ZentrelSettingViewController*>(
        screen.controller->getPage(ZentrelPageController::PAGE_SETTING_VIEW));
}

void click(ZentrelSettingViewController* page, const char* part) {
    elm_layout_signal_emit(page->getLayout(), "mouse,clicked,1", part);
    edje_object_message_signal_process(elm_layout_edje_get(page->getLayout()));
}

const char* topName(const apptest::Screen& screen) {
    auto* top = screen.navi->getTopContentViewController();
    return top ? top->getClassName() : "";
}

std::string helpMarkState(ZentrelSettingViewController* page) {
    Evas_Object* edje = elm_layout_edje_get(page->getLayout());
    edje_object_message_signal_process(edje);
    const char* state = edje_object_part_state_get(edje, "setting_help_img", nullptr);
    return state ? state : "";
}

TEST(SettingPageTest, SummaryFollowsTheStoreAndEditAndHelpOpenTheirScreens) {
    apptest::AppEnvironment env;
    ZentrelStorageMgr* storage = ZentrelStorageMgr::getInstance();
    storage->saveAutoRefresh(1);
    storage->saveSettingManualMode(0);
    storage->saveSettingAlert(1);
    storage->saveSettingDistance(1);
    storage->saveSettingPressure(2);
    apptest::Screen screen(ZentrelPageController::PAGE_SETTING_VIEW);
    ZentrelSettingViewController* page = settingPage(screen);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(apptest::text(page->getLayout(), "setting_title"), "Settings");
    EXPECT_EQ(apptest::text(page->getLayout(), "setting_edit"), "Edit >");
    EXPECT_EQ(apptest::text(page->getRow("setting_content_auto_refresh"), "type"), "Auto refresh:");
    EXPECT_EQ(apptest::text(page->getRow("setting_content_unit"), "type"), "Units:");
    EXPECT_EQ(apptest::text(page->getRow("setting_content_unit"), "value"), "ft, mmHg");
    EXPECT_TRUE(page->isRowOn("setting_content_auto_refresh"));
    EXPECT_FALSE(page->isRowOn("setting_content_manual"));
    EXPECT_TRUE(page->isRowOn("setting_content_alerts"));
    settle(1500);
    apptest::screenshot(screen.window.getEvasObj(), "setting_page.png");

    // Each reading re-reads the store.
    storage->saveAutoRefresh(0);
    storage->saveSettingManualMode(1);
    storage->saveSettingAlert(0);
    storage->saveSettingPressure(1);
    screen.controller->onCurrentPressure(1012.0f);
    EXPECT_FALSE(page->isRowOn("setting_content_auto_refresh"));
    EXPECT_TRUE(page->isRowOn("setting_content_manual"));
    EXPECT_FALSE(page->isRowOn("setting_content_alerts"));
    EXPECT_EQ(apptest::text(page->getRow("setting_content_unit"), "value"), "ft, inHg");

    // Screen reader objects only while the page is shown.
    page->onBecomeTopPage();
    EXPECT_NE(page->getAccessObject("rect_acc"), nullptr);
    EXPECT_NE(page->getAccessObject("setting_help_event"), nullptr);
    page->onBecomeHidePage();
    EXPECT_EQ(page->getAccessObject("rect_acc"), nullptr);

    click(page, "setting_edit_event");
    ASSERT_TRUE(
        uitest::runLoopUntil([&] { return !strcmp(topName(screen), "ZentrelSettingView"); }, 2000));
    settle(600);
    screen.navi->pop(screen.navi->getTopContentViewController());
    ASSERT_TRUE(uitest::runLoopUntil(
        [&] { return !strcmp(topName(screen), "ZentrelPageController"); }, 2000));
    click(page, "setting_help_event");
    ASSERT_TRUE(uitest::runLoopUntil(
        [&] { return !strcmp(topName(screen), "ZentrelHelpListController"); }, 2000));
    std::string usage =
        testsupport::readFile(env.root() + "/apps/" OSTRA_TEST_PACKAGE_ID "/data/usage-log.jsonl");
    EXPECT_NE(usage.find("ZN12"), std::string::npos) << usage;
}

TEST(SettingPageTest, RebuildsWhenARestoreCompletesInAnotherProcessOrTheLanguageChanges) {
    apptest::AppEnvironment env;
    testsupport::LogCapture log;
    ZentrelStorageMgr::getInstance()->saveSettingAlert(0);
    {
        apptest::Screen screen(ZentrelPageController::PAGE_SETTING_VIEW);
        ZentrelSettingViewController* page = settingPage(screen);
        ASSERT_NE(page, nullptr);
        EXPECT_FALSE(page->isRowOn("setting_content_alerts"));
        const int builds = page->getRebuildCount();

        // The backup service writes the settings, then its completion mark.
        ASSERT_EQ(testsupport::runProgram(
                      {OSTRACTL_PATH, "pref", "set", "ZENTREL_SETTING_ALERT", "int", "1"}),
                  0);
        ASSERT_EQ(testsupport::runProgram({OSTRACTL_PATH, "pref", "set",
                                           "ZENTREL_SETTING_RESTORE_COMPLETED", "int", "1"}),
                  0);
        ASSERT_TRUE(uitest::runLoopUntil([&] { return page->getRebuildCount() > builds; }, 5000));
        EXPECT_TRUE(page->isRowOn("setting_content_alerts"));
        EXPECT_TRUE(log.contains("Restore completed"));

        const int afterRestore = page->getRebuildCount();
        ZentrelBroadCaster::getBroadCaster().onEmit("language,changed", nullptr);
        EXPECT_EQ(page->getRebuildCount(), afterRestore + 1);
    }
    // The page is gone: a later restore reaches no one.
    log.clear();
    ASSERT_EQ(testsupport::runProgram(
                  {OSTRACTL_PATH, "pref", "set", "ZENTREL_SETTING_RESTORE_COMPLETED", "int", "2"}),
              0);
    settle(1500);
    EXPECT_FALSE(log.contains("Restore completed"));
}

TEST(SettingPageTest, HelpMarkIsMirroredForRightToLeftScriptsExceptHebrew) {
    apptest::AppEnvironment env;
    const std::pair<const char*, const char*> cases[] = {
        {"ar_AE.UTF-8", "rtl"}, {"he_IL.UTF-8", "default"}, {"en_GB.UTF-8", "default"}};
    for (const auto& [locale, state] : cases) {
        vconf_set_str("db/menu_widget/regionformat", locale);
        apptest::Screen screen(ZentrelPageController::PAGE_SETTING_VIEW);
        ZentrelSettingViewController* page = settingPage(screen);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(helpMarkState(page), state) << locale;
    }
}

}  // namespace
