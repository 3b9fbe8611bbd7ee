// The help list and its pages: which page a row opens, the barometer help
// opened from the pressure indicator scrolled to the indicator text, the
// alerts text filled with its figures.
#include <ZentrelBaroViewController.h>
#include <ZentrelHelpContentController.h>
#include <ZentrelHelpListController.h>
#include <gtest/gtest.h>

#include "AppTestSupport.h"

namespace {

ZentrelHelpContentController* topHelpPage(const apptest::Screen& screen) {
    auto* top = screen.navi->getTopContentViewController();
    if (!top || std::string(top->getClassName()) != "ZentrelHelpContentController") {
        return nullptr;
    }
    return static_cast<ZentrelHelpContentController*>(top);
}

int scrollY(ZentrelHelpContentController* page) {
    Evas_Coord y = 0;
    elm_scroller_region_get(page->getScroller(), nullptr, &y, nullptr, nullptr);
    return y;
}

void settle(int ms) {
    uitest::runLoopUntil([] { return false; }, ms);
}

TEST(HelpTest, ListRowsOpenTheirPagesAtTheTop) {
    apptest::AppEnvironment env;
    apptest::Screen screen(ZentrelPageController::PAGE_SETTING_VIEW);
    auto* list = new ZentrelHelpListController();
    ASSERT_TRUE(screen.navi->push(list, "help list"));
    settle(600);
    Evas_Object* genlist = list->getGenlist();
    ASSERT_NE(genlist, nullptr);
    // Title, three help rows and the bottom padding.
    ASSERT_EQ(elm_genlist_items_count(genlist), 5u);
    Elm_Object_Item* title = elm_genlist_first_item_get(genlist);
    EXPECT_STREQ(elm_object_item_part_text_get(title, "elm.text"), "Help");
    apptest::screenshot(screen.window.getEvasObj(), "help_list.png");

    const char* pictures[] = {"help_altimeter.png", "help_barometer.png", "help_alerts.png"};
    Elm_Object_Item* row = elm_genlist_item_next_get(title);
    for (int type = 0; type < 3; ++type, row = elm_genlist_item_next_get(row)) {
        elm_genlist_item_selected_set(row, EINA_TRUE);
        ZentrelHelpContentController* page = nullptr;
        ASSERT_TRUE(uitest::runLoopUntil([&] { return (page = topHelpPage(screen)); }, 2000));
        EXPECT_EQ(page->getType(), type);
        EXPECT_FALSE(elm_genlist_item_selected_get(row));
        settle(700);
        EXPECT_EQ(scrollY(page), 0) << type;
        apptest::screenshot(screen.window.getEvasObj(), pictures[type]);
        if (type == 2) {
            EXPECT_EQ(apptest::text(page->getSectionLayout(), "alert_content_text"),
                      "Get an alert when the air pressure falls by more than 4 hectopascals "
                      "within 3 hours.");
        }
        screen.navi->pop(page);
        ASSERT_TRUE(uitest::runLoopUntil([&] { return !topHelpPage(screen); }, 2000));
    }
}

TEST(HelpTest, IndicatorTapOpensBarometerHelpAtTheIndicator) {
    apptest::AppEnvironment env;
    apptest::Screen screen(ZentrelPageController::PAGE_BARO_VIEW);
    auto* baro = static_cast<ZentrelBaroViewController*>(
        screen.controller->getPage(ZentrelPageController::PAGE_BARO_VIEW));
    ASSERT_NE(baro, nullptr);
    settle(300);
    elm_layout_signal_emit(baro->getLayout(), "mouse,clicked,1", "baro_indicator_event");
    edje_object_message_signal_process(elm_layout_edje_get(baro->getLayout()));
    ZentrelHelpContentController* page = nullptr;
    ASSERT_TRUE(uitest::runLoopUntil([&] { return (page = topHelpPage(screen)); }, 2000));
    EXPECT_EQ(page->getType(), ZentrelHelpContentController::HELP_BAROMETER);
    ASSERT_TRUE(uitest::runLoopUntil([&] { return scrollY(page) > 0; }, 2000));
    EXPECT_EQ(apptest::text(page->getSectionLayout(), "indicator_sub_title"), "Pressure indicator");
    settle(500);
    apptest::screenshot(screen.window.getEvasObj(), "help_indicator.png");
}

// The help pages' scroller draws no bars or edge shadows; the bezel still
// scrolls the page, a step a turn, and back.
TEST(HelpTest, BezelScrollsThePage) {
    apptest::AppEnvironment env;
    apptest::Screen screen(ZentrelPageController::PAGE_SETTING_VIEW);
    auto* list = new ZentrelHelpListController();
    ASSERT_TRUE(screen.navi->push(list, "help list"));
    settle(600);
    Elm_Object_Item* altimeter =
        elm_genlist_item_next_get(elm_genlist_first_item_get(list->getGenlist()));
    elm_genlist_item_selected_set(altimeter, EINA_TRUE);
    ZentrelHelpContentController* page = nullptr;
    ASSERT_TRUE(uitest::runLoopUntil([&] { return (page = topHelpPage(screen)); }, 2000));
    settle(700);
    ASSERT_EQ(scrollY(page), 0);
    const char* group = nullptr;
    edje_object_file_get(elm_layout_edje_get(page->getScroller()), nullptr, &group);
    EXPECT_STREQ(group, "elm/scroller/base/effect");

    ostra_eext_rotary_feed(EEXT_ROTARY_DIRECTION_CLOCKWISE);
    ASSERT_TRUE(uitest::runLoopUntil([&] { return scrollY(page) > 0; }, 2000));
    settle(500);
    const int oneStep = scrollY(page);
    ostra_eext_rotary_feed(EEXT_ROTARY_DIRECTION_CLOCKWISE);
    EXPECT_TRUE(uitest::runLoopUntil([&] { return scrollY(page) > oneStep; }, 2000));
    settle(500);
    ostra_eext_rotary_feed(EEXT_ROTARY_DIRECTION_COUNTER_CLOCKWISE);
    settle(500);
    EXPECT_EQ(scrollY(page), oneStep);
    ostra_eext_rotary_feed(EEXT_ROTARY_DIRECTION_COUNTER_CLOCKWISE);
    EXPECT_TRUE(uitest::runLoopUntil([&] { return scrollY(page) == 0; }, 2000))
        << "after two turns back " << scrollY(page);
}

}  // namespace
