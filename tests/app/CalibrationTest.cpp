// Manual calibration: the list's switch and what it stores, both setters in
// each unit with their clamps, and the numeric entry's rules.
#include <ZentrelSettingAltiViewController.h>
#include <ZentrelSettingCalibItem.h>
#include <ZentrelSettingCalibrationViewController.h>
#include <ZentrelSettingInputViewController.h>
#include <ZentrelSettingSLPViewController.h>
#include <ZentrelStorageMgr.h>
#include <gtest/gtest.h>
#include <ostra/efl_extension.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <thread>

#include "AppTestSupport.h"

namespace {

ZentrelStorageMgr* store() {
    return ZentrelStorageMgr::getInstance();
}

void settle(int ms) {
    uitest::runLoopUntil([] { return false; }, ms);
}

template <typename T>
T* top(const apptest::Screen& screen) {
    return dynamic_cast<T*>(screen.navi->getTopContentViewController());
}

template <typename T>
T* pushed(const apptest::Screen& screen, T* controller) {
    EXPECT_TRUE(screen.navi->push(controller, "test"));
    settle(400);
    return controller;
}

int historyCount() {
    char* history = store()->getDataSLPHistory();
    std::string text = history ? history : "";
    free(history);
    int count = 0;
    for (size_t at = text.find("T:"); at != std::string::npos; at = text.find("T:", at + 1)) {
        ++count;
    }
    return count;
}

// Types text into the focused entry as a keyboard would.
void type(Evas_Object* entry, const char* keyname, const char* string) {
    elm_object_focus_set(entry, EINA_TRUE);
    Evas* evas = evas_object_evas_get(entry);
    evas_event_feed_key_down(evas, keyname, keyname, string, string, 0, nullptr);
    evas_event_feed_key_up(evas, keyname, keyname, string, string, 0, nullptr);
    settle(30);
}

std::string entryText(ZentrelSettingInputViewController* input) {
    char* text = elm_entry_markup_to_utf8(elm_entry_entry_get(input->getEntry()));
    std::string plain = text ? text : "";
    free(text);
    return plain;
}

TEST(CalibrationTest, SwitchStoresManualModeAndEnablesTheValueRows) {
    apptest::AppEnvironment env;
    store()->saveSettingManualMode(0);
    store()->setCurrentPressure(1000.0);
    store()->saveDataSLP(1013.25);
    apptest::Screen screen(ZentrelPageController::PAGE_SETTING_VIEW);
    auto* list = pushed(screen, new ZentrelSettingCalibrationViewController());
    ZentrelSettingCalibItem* toggle = list->getSwitchItem();
    Elm_Object_Item* alti = list->getAltiItem()->getElmObjectItem();
    Elm_Object_Item* slp = list->getSlpItem()->getElmObjectItem();
    EXPECT_TRUE(elm_object_item_disabled_get(alti));
    EXPECT_TRUE(elm_object_item_disabled_get(slp));
    EXPECT_EQ(list->getAltiItem()->getTitle2(), "111 m");
    EXPECT_EQ(list->getSlpItem()->getTitle2(), "1,013 hPa");
    apptest::screenshot(screen.window.getEvasObj(), "calibration_list_off.png");

    const int before = historyCount();
    elm_genlist_item_selected_set(toggle->getElmObjectItem(), EINA_TRUE);
    EXPECT_EQ(store()->getSettingManualMode(), 1);
    EXPECT_EQ(historyCount(), before + 1);
    const long long firstCal = store()->getDataCalTime();
    EXPECT_GT(firstCal, 0);
    EXPECT_FALSE(elm_object_item_disabled_get(alti));
    EXPECT_FALSE(elm_object_item_disabled_get(slp));
    ASSERT_NE(toggle->getCheck(), nullptr);
    EXPECT_TRUE(elm_check_state_get(toggle->getCheck()));
    EXPECT_EQ(toggle->accessText(), "Manual calibration, On, Switch, On");
    settle(300);
    apptest::screenshot(screen.window.getEvasObj(), "calibration_list_on.png");

    elm_genlist_item_selected_set(toggle->getElmObjectItem(), EINA_TRUE);
    EXPECT_EQ(store()->getSettingManualMode(), 0);
    EXPECT_EQ(historyCount(), before + 1);
    EXPECT_EQ(store()->getDataCalTime(), firstCal);
    EXPECT_TRUE(elm_object_item_disabled_get(alti));
    EXPECT_FALSE(elm_check_state_get(toggle->getCheck()));

    // History entries are per second: the second switch-on comes a second later.
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    elm_genlist_item_selected_set(toggle->getElmObjectItem(), EINA_TRUE);
    EXPECT_EQ(store()->getSettingManualMode(), 1);
    EXPECT_EQ(historyCount(), before + 2);
    EXPECT_GT(store()->getDataCalTime(), firstCal);
}

TEST(CalibrationTest, AltitudeSetterClampsAndStoresTheMatchingSeaLevelPressure) {
    apptest::AppEnvironment env;
    store()->saveSettingManualMode(1);
    store()->setCurrentPressure(1000.0);
    store()->saveDataSLP(1013.25);
    apptest::Screen screen(ZentrelPageController::PAGE_SETTING_VIEW);

    struct Case {
        int unit;
        const char* shown;
        const char* unitText;
        int clamped;
        double metres;
        const char* picture;
    };
    const Case cases[] = {{0, "111", "m", 8800, 8800.0, "calibration_alti_m.png"},
                          {1, "364", "ft", 28870, 28870 / 3.28084, "calibration_alti_ft.png"}};
    for (const Case& c : cases) {
        store()->saveSettingDistance(c.unit);
        auto* setter = pushed(screen, new ZentrelSettingAltiViewController());
        EXPECT_EQ(setter->getNumberText(), c.shown);
        EXPECT_EQ(apptest::text(setter->getLayout(), "elm.text"), c.unitText);
        EXPECT_EQ(setter->getAccessText(),
                  std::string(c.shown) + ", " + (c.unit ? "Feet" : "Metres"));
        apptest::screenshot(screen.window.getEvasObj(), c.picture);

        setter->applyEnteredText("99999");
        EXPECT_EQ(setter->getValue(), c.clamped);
        EXPECT_EQ(setter->getNumberText(), std::to_string(c.clamped));
        const int before = historyCount();
        setter->set();
        EXPECT_NEAR(store()->getDataSLP(), store()->getManualSLP(c.metres, 1000.0), 1e-9);
        EXPECT_EQ(historyCount(), before + 1);
        ASSERT_TRUE(uitest::runLoopUntil(
            [&] { return !top<ZentrelSettingAltiViewController>(screen); }, 2000));
        store()->saveDataSLP(1013.25);
        std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    }
    // Negative altitudes below the range clamp to its bottom.
    store()->saveSettingDistance(0);
    auto* setter = pushed(screen, new ZentrelSettingAltiViewController());
    setter->applyEnteredText("-5000");
    EXPECT_EQ(setter->getValue(), -800);
}

TEST(CalibrationTest, SeaLevelPressureSetterInEachUnit) {
    apptest::AppEnvironment env;
    store()->saveSettingManualMode(1);
    store()->setCurrentPressure(1000.0);
    apptest::Screen screen(ZentrelPageController::PAGE_SETTING_VIEW);

    store()->saveDataSLP(1013.6);
    store()->saveSettingPressure(0);
    auto* hpa = pushed(screen, new ZentrelSettingSLPViewController());
    EXPECT_EQ(hpa->getNumberText(), "1014");
    apptest::screenshot(screen.window.getEvasObj(), "calibration_slp_hpa.png");
    hpa->applyEnteredText("1200");
    EXPECT_EQ(hpa->getNumberText(), "1150");
    hpa->set();
    EXPECT_DOUBLE_EQ(store()->getDataSLP(), 1150.0);
    ASSERT_TRUE(
        uitest::runLoopUntil([&] { return !top<ZentrelSettingSLPViewController>(screen); }, 2000));

    store()->saveDataSLP(1013.6);
    store()->saveSettingPressure(1);
    auto* inhg = pushed(screen, new ZentrelSettingSLPViewController());
    EXPECT_EQ(inhg->getNumberText(), "29.93");
    apptest::screenshot(screen.window.getEvasObj(), "calibration_slp_inhg.png");
    inhg->applyEnteredText("9");
    EXPECT_EQ(inhg->getNumberText(), "10.33");
    inhg->set();
    EXPECT_NEAR(store()->getDataSLP(), 10.33 / 0.02953, 1e-9);
    ASSERT_TRUE(
        uitest::runLoopUntil([&] { return !top<ZentrelSettingSLPViewController>(screen); }, 2000));

    store()->saveDataSLP(1013.6);
    store()->saveSettingPressure(2);
    auto* mmhg = pushed(screen, new ZentrelSettingSLPViewController());
    EXPECT_EQ(mmhg->getNumberText(), "760");
    apptest::screenshot(screen.window.getEvasObj(), "calibration_slp_mmhg.png");
    mmhg->applyEnteredText("760.6");
    EXPECT_EQ(mmhg->getNumberText(), "761");
    mmhg->set();
    EXPECT_NEAR(store()->getDataSLP(), 761 / 0.750062, 1e-9);

    // The list shows the stored pressure in the chosen unit.
    store()->saveDataSLP(1013.6);
    store()->saveSettingPressure(1);
    EXPECT_EQ(ZentrelSettingCalibrationViewController::slpText(), "29.93 inHg");
}

TEST(CalibrationTest, SignedEntryRulesAndDoneState) {
    apptest::AppEnvironment env;
    apptest::Screen screen(ZentrelPageController::PAGE_SETTING_VIEW);
    std::string returned = "none";
    auto* input = new ZentrelSettingInputViewController(-12, -800, 8800);
    input->setReturnValueCb([&](const char* text) { returned = text; });
    pushed(screen, input);
    EXPECT_STREQ(input->getAcceptedCharacters(), "0123456789-");
    EXPECT_EQ(entryText(input), "-12");
    EXPECT_TRUE(input->isDoneEnabled());
    apptest::screenshot(screen.window.getEvasObj(), "calibration_entry.png");

    type(input->getEntry(), "a", "a");  // not a digit: dropped
    EXPECT_EQ(entryText(input), "-12");
    type(input->getEntry(), "minus", "-");  // a minus after a digit: reverted
    EXPECT_EQ(entryText(input), "-12");
    for (int i = 0; i < 2; ++i) {
        type(input->getEntry(), "BackSpace", "\b");
    }
    EXPECT_EQ(entryText(input), "-");
    EXPECT_FALSE(input->isDoneEnabled());
    type(input->getEntry(), "BackSpace", "\b");
    EXPECT_EQ(entryText(input), "");
    EXPECT_FALSE(input->isDoneEnabled());
    type(input->getEntry(), "minus", "-");
    type(input->getEntry(), "minus", "-");  // a second minus: reverted
    EXPECT_EQ(entryText(input), "-");
    type(input->getEntry(), "7", "7");
    EXPECT_EQ(entryText(input), "-7");
    EXPECT_TRUE(input->isDoneEnabled());
    type(input->getEntry(), "Return", "\r");
    EXPECT_EQ(returned, "-7");
    ASSERT_TRUE(uitest::runLoopUntil(
        [&] { return !top<ZentrelSettingInputViewController>(screen); }, 2000));
}

TEST(CalibrationTest, DecimalEntryTakesOneDotAndEscapeCancels) {
    apptest::AppEnvironment env;
    store()->saveSettingPressure(1);
    store()->saveDataSLP(1013.6);
    apptest::Screen screen(ZentrelPageController::PAGE_SETTING_VIEW);
    auto* setter = pushed(screen, new ZentrelSettingSLPViewController());
    setter->openEntry();
    settle(400);
    auto* input = top<ZentrelSettingInputViewController>(screen);
    ASSERT_NE(input, nullptr);
    EXPECT_STREQ(input->getAcceptedCharacters(), "0123456789.");
    EXPECT_EQ(entryText(input), "29.93");
    type(input->getEntry(), "period", ".");
    EXPECT_EQ(entryText(input), "29.93");
    type(input->getEntry(), "minus", "-");
    EXPECT_EQ(entryText(input), "29.93");
    type(input->getEntry(), "1", "1");
    EXPECT_EQ(entryText(input), "29.931");

    // Escape hides the keypad: the entry goes and the setter keeps its number.
    ostra_eext_back_feed();
    ASSERT_TRUE(uitest::runLoopUntil(
        [&] { return top<ZentrelSettingSLPViewController>(screen) == setter; }, 2000));
    EXPECT_EQ(setter->getNumberText(), "29.93");

    // In hPa the dot cannot be typed at all.
    store()->saveSettingPressure(0);
    auto* hpa = new ZentrelSettingInputViewController("1013", 350, 1150, true);
    pushed(screen, hpa);
    EXPECT_STREQ(hpa->getAcceptedCharacters(), "0123456789");
    type(hpa->getEntry(), "period", ".");
    EXPECT_EQ(entryText(hpa), "1013");
}

}  // namespace
