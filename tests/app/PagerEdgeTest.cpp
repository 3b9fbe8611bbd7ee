// The pager at its edges: the opening on the altitude page before any
// calibration, and bezel turns at the first, middle and last page.
#include <ZentrelStorageMgr.h>
#include <ZentrelUtil.h>
#include <ZentrelViewController.h>
#include <gtest/gtest.h>
#include <ostra/efl_extension.h>

#include <set>

#include "AppTestSupport.h"

namespace {

void settle(int ms) {
    uitest::runLoopUntil([] { return false; }, ms);
}

TEST(PagerEdgeTest, OpeningOnAnUncalibratedAltitudePageShowsNoNeedleButFreesThePager) {
    apptest::AppEnvironment env;
    ASSERT_TRUE(ZentrelStorageMgr::getInstance()->isDataSLPHistoryEmpty());
    apptest::Screen screen(ZentrelPageController::PAGE_ALTI_VIEW);
    ASSERT_NE(screen.controller, nullptr);
    EXPECT_TRUE(screen.controller->isPagerBlocked());
    ASSERT_TRUE(uitest::runLoopUntil([&] { return !screen.controller->isPagerBlocked(); }, 3000));
    settle(500);
    EXPECT_FALSE(screen.controller->isPickerLaunched());
    EXPECT_EQ(screen.controller->getCurrentPage(), ZentrelPageController::PAGE_ALTI_VIEW);
}

TEST(PagerEdgeTest, BezelAtTheEdgesOnlyFlashesTheIndexAndInTheMiddleTurnsThePage) {
    apptest::AppEnvironment env;
    struct Case {
        int page;
        Eext_Rotary_Event_Direction direction;
        int pageAfter;
    };
    const Case cases[] = {
        {ZentrelPageController::PAGE_ALTI_VIEW, EEXT_ROTARY_DIRECTION_COUNTER_CLOCKWISE, 0},
        {ZentrelPageController::PAGE_SETTING_VIEW, EEXT_ROTARY_DIRECTION_CLOCKWISE, 2},
        {ZentrelPageController::PAGE_BARO_VIEW, EEXT_ROTARY_DIRECTION_CLOCKWISE, 2},
    };
    for (const Case& c : cases) {
        apptest::Screen screen(c.page);
        ZentrelPageController* pages = screen.controller;
        ASSERT_NE(pages, nullptr);
        ASSERT_TRUE(uitest::runLoopUntil([&] { return !pages->isPagerBlocked(); }, 3000));
        settle(800);
        ostra_eext_rotary_feed(c.direction);
        if (c.page == c.pageAfter) {
            EXPECT_TRUE(pages->isIndexShown()) << c.page;
            // The flash lasts 0.45 s; the page stays.
            ASSERT_TRUE(uitest::runLoopUntil([&] { return !pages->isIndexShown(); }, 2000));
            EXPECT_EQ(pages->getCurrentPage(), c.page);
        } else {
            EXPECT_TRUE(
                uitest::runLoopUntil([&] { return pages->getCurrentPage() == c.pageAfter; }, 3000))
                << "the pager turns from page " << c.page;
        }
    }
}

// Only the pages up to the first one shown are in the first frame; the rest
// and the index widget follow it, each page with its own dot of the index and
// the first one's selected.
TEST(PagerEdgeTest, PagesRightOfTheFirstOneShownAreBuiltAfterTheFirstFrame) {
    apptest::AppEnvironment env;
    for (int first : {ZentrelPageController::PAGE_ALTI_VIEW, ZentrelPageController::PAGE_BARO_VIEW,
                      ZentrelPageController::PAGE_SETTING_VIEW}) {
        brisa::WWindowController window("PagerEdgeTest", ELM_WIN_BASIC);
        auto* navi = new brisa::WNaviframeController();
        elm_theme_extension_add(nullptr, ZentrelUtil::getAppEdjFilePath());
        window.attachBaseViewController(navi);
        evas_object_resize(window.getEvasObj(), 360, 360);
        evas_object_show(window.getEvasObj());
        auto* pages = new apptest::ClockedPageController();
        ASSERT_TRUE(
            navi->push(pages, "pages", reinterpret_cast<void*>(static_cast<intptr_t>(first))));
        for (int page = 0; page < 3; ++page) {
            EXPECT_EQ(pages->getPage(page) != nullptr, page <= first)
                << "page " << page << " before the first frame, first page " << first;
        }
        EXPECT_EQ(pages->getIndex(), nullptr) << "first page " << first;
        ASSERT_TRUE(uitest::runLoopUntil([&] { return pages->getIndex() != nullptr; }, 3000));
        std::set<Elm_Object_Item*> dots;
        for (int page = 0; page < 3; ++page) {
            ASSERT_NE(pages->getPage(page), nullptr);
            Elm_Object_Item* dot = pages->getPage(page)->getIndexItem();
            EXPECT_NE(dot, nullptr) << "page " << page << ", first page " << first;
            EXPECT_EQ(dot && elm_index_selected_item_get(pages->getIndex(), 0) == dot,
                      page == first)
                << "page " << page << ", first page " << first;
            dots.insert(dot);
        }
        EXPECT_EQ(dots.size(), 3u);
        EXPECT_EQ(pages->getCurrentPage(), first);
        // The pager's scroller wears the theme's own plain style.
        const char* group = nullptr;
        edje_object_file_get(elm_layout_edje_get(pages->getScroller()), nullptr, &group);
        EXPECT_STREQ(group, "elm/scroller/base/effect");
    }
}

// A theme change is followed by a new settings page on the next resume; the
// page stays the last one of the pager.
TEST(PagerEdgeTest, ThemeChangeRebuildsTheSettingsPageOnResume) {
    apptest::AppEnvironment env;
    apptest::Screen screen(ZentrelPageController::PAGE_ALTI_VIEW);
    ZentrelPageController* pages = screen.controller;
    ASSERT_NE(pages, nullptr);
    ZentrelViewController* before = pages->getPage(ZentrelPageController::PAGE_SETTING_VIEW);
    ASSERT_NE(before, nullptr);
    Elm_Object_Item* indexItem = before->getIndexItem();
    Evas_Object* beforeObj = before->getEvasObj();

    pages->onAppResumed();
    EXPECT_EQ(pages->getPage(ZentrelPageController::PAGE_SETTING_VIEW), before);

    pages->setThemeChangedStatus();
    pages->onAppResumed();
    ZentrelViewController* after = pages->getPage(ZentrelPageController::PAGE_SETTING_VIEW);
    ASSERT_NE(after, nullptr);
    EXPECT_NE(after->getEvasObj(), beforeObj);
    EXPECT_EQ(after->getIndexItem(), indexItem);
    Evas_Object* box = elm_object_content_get(pages->getScroller());
    Eina_List* children = elm_box_children_get(box);
    EXPECT_EQ(eina_list_count(children), 3u);
    EXPECT_EQ(eina_list_last_data_get(children), after->getEvasObj());
    eina_list_free(children);
}

}  // namespace
