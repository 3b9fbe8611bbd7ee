// What the screen reader hears: the window's and the index's names through
// the accessibility interface, and the barometer page's readable parts.
#include <ZentrelBaroViewController.h>
#include <ZentrelStorageMgr.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "AppTestSupport.h"

namespace {

std::string accessName(Evas_Object* obj) {
    const char* name = efl_access_object_i18n_name_get(obj);
    return name ? name : "";
}

TEST(AccessibilityTest, WindowAndIndexAreNamedAndTheIndexFollowsThePage) {
    apptest::AppEnvironment env;
    apptest::Screen screen(ZentrelPageController::PAGE_BARO_VIEW);
    ZentrelPageController* pages = screen.controller;
    ASSERT_NE(pages, nullptr);
    EXPECT_EQ(accessName(screen.window.getEvasObj()), "Zentrel");
    EXPECT_EQ(accessName(pages->getIndex()), "Barometer");
    EXPECT_EQ(efl_access_object_access_type_get(pages->getIndex()), EFL_ACCESS_TYPE_SKIPPED);
    pages->setPage(ZentrelPageController::PAGE_SETTING_VIEW);
    EXPECT_EQ(accessName(pages->getIndex()), "Settings");
    pages->setPage(ZentrelPageController::PAGE_ALTI_VIEW);
    EXPECT_EQ(accessName(pages->getIndex()), "Altimeter");
}

TEST(AccessibilityTest, BarometerReadsValueGraphAndIndicatorOnlyWhileShown) {
    apptest::AppEnvironment env;
    ZentrelStorageMgr::getInstance()->saveSettingPressure(0);
    apptest::Screen screen(ZentrelPageController::PAGE_BARO_VIEW);
    auto* baro = static_cast<ZentrelBaroViewController*>(
        screen.controller->getPage(ZentrelPageController::PAGE_BARO_VIEW));
    ASSERT_NE(baro, nullptr);
    screen.controller->onCurrentPressure(1013.25f);
    ASSERT_NE(baro->getAccessValue(), nullptr);
    char* info = elm_access_info_get(baro->getAccessValue(), ELM_ACCESS_INFO);
    ASSERT_NE(info, nullptr);
    EXPECT_STREQ(info, "1013 hPa, Last 6 hours, Pressure indicator");
    free(info);

    baro->onBecomeHidePage();
    EXPECT_EQ(efl_access_object_access_type_get(baro->getAccessValue()), EFL_ACCESS_TYPE_SKIPPED);
    baro->onBecomeTopPage();
    EXPECT_EQ(efl_access_object_access_type_get(baro->getAccessValue()), EFL_ACCESS_TYPE_REGULAR);
}

}  // namespace
