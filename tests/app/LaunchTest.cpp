// Launch requests: the widget's page, a page that is not a number, and a
// later launch from the main menu that returns to the first page.
#include <WContentViewController.h>
#include <ZentrelApp.h>
#include <ZentrelBuildConfig.h>
#include <ZentrelPageController.h>
#include <gtest/gtest.h>
#include <ostra/app_control.h>

#include "AppTestSupport.h"

namespace {

class TestApp : public ZentrelApp {
  public:
    using ZentrelApp::onAppControl;
    using ZentrelApp::onCreate;
    using ZentrelApp::onTerminate;
};

// A screen pushed above the pages, as the settings page does.
class PlainScreen : public brisa::WContentViewController {
  protected:
    Evas_Object* onCreateView(Evas_Object* parent, void*) override {
        return elm_layout_add(parent);
    }
};

app_control_h request(const char* operation, const char* page) {
    app_control_h control = nullptr;
    app_control_create(&control);
    app_control_set_operation(control, operation);
    if (page) {
        app_control_add_extra_data(control, "page", page);
    }
    return control;
}

brisa::WNaviframeController* naviOf(TestApp& app) {
    return static_cast<brisa::WNaviframeController*>(
        app.getWindowController()->getBaseViewController());
}

int pagerPage(ZentrelPageController* pages) {
    int h = -1;
    elm_scroller_current_page_get(pages->getScroller(), &h, nullptr);
    return h;
}

TEST(LaunchTest, WidgetPageThenMainMenuReturnsToTheFirstPage) {
    apptest::AppEnvironment env;
    testsupport::LogCapture log;
    TestApp app;
    ASSERT_TRUE(app.onCreate());
    evas_object_resize(app.getWindowController()->getEvasObj(), 360, 360);
    evas_object_show(app.getWindowController()->getEvasObj());

    app_control_h widget = request(ZENTREL_OPERATION_WIDGET_OPEN, "1");
    app.onAppControl(widget, true);
    app_control_destroy(widget);
    ZentrelPageController* pages = app.getPageController();
    ASSERT_NE(pages, nullptr);
    EXPECT_EQ(pages->getCurrentPage(), ZentrelPageController::PAGE_BARO_VIEW);
    EXPECT_TRUE(log.contains("page [1][1]"));
    EXPECT_TRUE(log.contains("App launched from widget"));
    EXPECT_TRUE(pages->isPagerBlocked());
    uitest::runLoopUntil([&] { return pagerPage(pages) == 1; }, 1000);
    EXPECT_EQ(pagerPage(pages), 1);
    // Part-way through the opening fade, before the needle sweeps in.
    uitest::runLoopUntil([] { return false; }, 300);
    apptest::screenshot(app.getWindowController()->getEvasObj(), "app_launch.png");

    // The layout's opening animation ends and unblocks the pager; the needle
    // sweeps in on the barometer page.
    ASSERT_TRUE(uitest::runLoopUntil([&] { return !pages->isPagerBlocked(); }, 3000));
    EXPECT_TRUE(uitest::runLoopUntil([&] { return pages->isPickerLaunched(); }, 2000));

    auto* navi = naviOf(app);
    navi->push(new PlainScreen(), "above");
    navi->push(new PlainScreen(), "above again");
    EXPECT_EQ(navi->getItemCount(), 3);

    app_control_h main = request(APP_CONTROL_OPERATION_MAIN, nullptr);
    app.onAppControl(main, false);
    app_control_destroy(main);
    EXPECT_EQ(navi->getItemCount(), 1);
    EXPECT_TRUE(log.contains("App resumed from main menu"));
    EXPECT_EQ(pages->getCurrentPage(), ZentrelPageController::PAGE_ALTI_VIEW);
    EXPECT_TRUE(uitest::runLoopUntil([&] { return pagerPage(pages) == 0; }, 5000));

    // A later widget launch switches to its page without a new controller.
    app_control_h again = request(ZENTREL_OPERATION_WIDGET_OPEN, "2");
    app.onAppControl(again, false);
    app_control_destroy(again);
    EXPECT_EQ(app.getPageController(), pages);
    EXPECT_TRUE(uitest::runLoopUntil([&] { return pagerPage(pages) == 2; }, 5000));
    app.onTerminate();
}

TEST(LaunchTest, PageThatIsNotANumberOpensTheFirstPage) {
    apptest::AppEnvironment env;
    testsupport::LogCapture log;
    TestApp app;
    ASSERT_TRUE(app.onCreate());
    app_control_h widget = request(ZENTREL_OPERATION_WIDGET_OPEN, "one");
    app.onAppControl(widget, true);
    app_control_destroy(widget);
    ASSERT_NE(app.getPageController(), nullptr);
    EXPECT_EQ(app.getPageController()->getCurrentPage(), ZentrelPageController::PAGE_ALTI_VIEW);
    EXPECT_TRUE(log.contains("page [one][0]"));

    // Out-of-range pages are refused and change nothing.
    app.getPageController()->setPage(3);
    EXPECT_TRUE(log.contains("invalid page(3)"));
    EXPECT_EQ(app.getPageController()->getCurrentPage(), ZentrelPageController::PAGE_ALTI_VIEW);
    app.onTerminate();
}

// The first launch range-checks its page like later ones: the altimeter dial
// never shows under another page's title.
TEST(LaunchTest, OutOfRangePageOnTheFirstLaunchOpensTheFirstPage) {
    apptest::AppEnvironment env;
    testsupport::LogCapture log;
    TestApp app;
    ASSERT_TRUE(app.onCreate());
    app_control_h widget = request(ZENTREL_OPERATION_WIDGET_OPEN, "99");
    app.onAppControl(widget, true);
    app_control_destroy(widget);
    ASSERT_NE(app.getPageController(), nullptr);
    EXPECT_EQ(app.getPageController()->getCurrentPage(), ZentrelPageController::PAGE_ALTI_VIEW);
    EXPECT_TRUE(log.contains("invalid page(99)"));
    app.onTerminate();
}

}  // namespace
