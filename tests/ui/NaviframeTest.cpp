// A window with a naviframe and the sample page, driven headless by input
// events and the back key; screenshots of each state go to the build tree.
#include <SampleContentController.h>
#include <WNaviframeController.h>
#include <WWindowController.h>
#include <gtest/gtest.h>
#include <ostra/efl_extension.h>
#include <ostra/ostra_efl.h>
#include <ostra/utils_i18n.h>

#include <string>

#include "UiTestSupport.h"

namespace {

std::string shotPath(const char* name) {
    g_mkdir_with_parents(SCREENSHOT_DIR, 0755);
    return std::string(SCREENSHOT_DIR) + "/" + name;
}

// Pixels in the box brighter than the black background.
int litPixels(const std::string& png, int x0, int y0, int x1, int y1) {
    int lit = 0;
    for (int y = y0; y < y1; y += 2) {
        for (int x = x0; x < x1; x += 2) {
            unsigned int p = uitest::pngPixel(png.c_str(), x, y);
            int r = (p >> 16) & 0xff, g = (p >> 8) & 0xff, b = p & 0xff;
            lit += r + g + b > 200;
        }
    }
    return lit;
}

void click(Evas_Object* win, int x, int y) {
    Evas* evas = evas_object_evas_get(win);
    evas_event_feed_mouse_move(evas, x, y, 0, nullptr);
    evas_event_feed_mouse_down(evas, 1, EVAS_BUTTON_NONE, 1, nullptr);
    evas_event_feed_mouse_up(evas, 1, EVAS_BUTTON_NONE, 2, nullptr);
}

TEST(NaviframeTest, PushPopWithSampleContentRendersAndScreenshots) {
    testsupport::TempRoot root;
    uitest::ElmBuffer elm;
    ostra_i18n_bind_text_domain();
    brisa::WWindowController window("NaviframeTest", ELM_WIN_BASIC);
    auto* navi = new brisa::WNaviframeController();
    ASSERT_TRUE(window.attachBaseViewController(navi));
    evas_object_show(window.getEvasObj());

    auto* content = new SampleContentController();
    char page[] = "1234";
    ASSERT_TRUE(navi->push(content, "main", page));
    EXPECT_TRUE(navi->isTopContentViewController(content));
    EXPECT_EQ(navi->getItemCount(), 1);
    EXPECT_STREQ(elm_object_part_text_get(content->getLayout(), "title"), "Altimeter");
    EXPECT_STREQ(elm_object_part_text_get(content->getLayout(), "value"), "1234");

    uitest::runLoopUntil([] { return false; }, 300);
    std::string mainShot = shotPath("naviframe_main.png");
    ASSERT_TRUE(ostra_efl_window_screenshot(window.getEvasObj(), mainShot.c_str()));
    int w = 0, h = 0;
    uitest::pngPixel(mainShot.c_str(), 0, 0, &w, &h);
    EXPECT_EQ(w, 360);
    EXPECT_EQ(h, 360);
    // The value and the title are drawn; the corners stay black.
    EXPECT_GT(litPixels(mainShot, 100, 110, 260, 190), 40);
    EXPECT_GT(litPixels(mainShot, 100, 44, 260, 76), 20);
    EXPECT_EQ(litPixels(mainShot, 0, 0, 30, 30), 0);

    // Bezel turns reach the page's activated layout.
    ostra_eext_rotary_feed(EEXT_ROTARY_DIRECTION_CLOCKWISE);
    ostra_eext_rotary_feed(EEXT_ROTARY_DIRECTION_CLOCKWISE);
    ostra_eext_rotary_feed(EEXT_ROTARY_DIRECTION_COUNTER_CLOCKWISE);
    EXPECT_EQ(content->getRotaryCount(), 1);
    EXPECT_STREQ(elm_object_part_text_get(content->getLayout(), "value"), "1");

    // A tap on the action button pushes the detail page.
    click(window.getEvasObj(), 180, 310);
    ASSERT_TRUE(uitest::runLoopUntil([&] { return navi->getItemCount() == 2; }, 3000));
    EXPECT_FALSE(navi->isTopContentViewController(content));
    ASSERT_NE(navi->getTopContentViewController(), nullptr);
    EXPECT_STREQ(navi->getTopContentViewController()->getClassName(), "SampleDetailController");
    uitest::runLoopUntil([] { return false; }, 800);
    std::string detailShot = shotPath("naviframe_detail.png");
    ASSERT_TRUE(ostra_efl_window_screenshot(window.getEvasObj(), detailShot.c_str()));
    // The detail page covers the value of the main page.
    EXPECT_NE(litPixels(detailShot, 100, 110, 260, 190), litPixels(mainShot, 100, 110, 260, 190));

    // The back key pops it; the main page hears it is on top again.
    ostra_eext_back_feed();
    ASSERT_TRUE(uitest::runLoopUntil([&] { return content->getBecomeTopCount() == 1; }, 3000));
    EXPECT_EQ(navi->getItemCount(), 1);
    EXPECT_TRUE(navi->isTopContentViewController(content));
    std::string backShot = shotPath("naviframe_back.png");
    ASSERT_TRUE(ostra_efl_window_screenshot(window.getEvasObj(), backShot.c_str()));
    EXPECT_GT(litPixels(backShot, 100, 110, 260, 190), 20);
}

TEST(NaviframeTest, FailedPushDeletesControllerAndLeavesStackAlone) {
    uitest::ElmBuffer elm;
    testsupport::LogCapture log;
    brisa::WWindowController window("NaviframeTest", ELM_WIN_BASIC);
    auto* navi = new brisa::WNaviframeController();
    ASSERT_TRUE(window.attachBaseViewController(navi));

    struct Broken : brisa::WContentViewController {
        bool* deleted;
        explicit Broken(bool* d) : deleted(d) {}
        ~Broken() override { *deleted = true; }
        Evas_Object* onCreateView(Evas_Object*, void*) override { return nullptr; }
    };
    bool deleted = false;
    EXPECT_FALSE(navi->push(new Broken(&deleted)));
    EXPECT_TRUE(deleted);
    EXPECT_EQ(navi->getItemCount(), 0);
    EXPECT_FALSE(navi->push(nullptr));
    EXPECT_TRUE(log.contains("onCreateView gave no object"));
}

}  // namespace
