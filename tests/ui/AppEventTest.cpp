// Language and region events follow changes of the system keys; handlers
// can be removed, also from inside their own call.
#include <gtest/gtest.h>
#include <ostra/app_event.h>
#include <ostra/vconf.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "TestSupport.h"

namespace {

struct Heard {
    std::vector<std::string> values;
    app_event_handler_h self = nullptr;
    bool removeSelf = false;
};

void onLanguage(app_event_info_h info, void* data) {
    auto* heard = static_cast<Heard*>(data);
    char* lang = nullptr;
    char* wrong = nullptr;
    EXPECT_EQ(app_event_get_language(info, &lang), APP_ERROR_NONE);
    EXPECT_EQ(app_event_get_region_format(info, &wrong), APP_ERROR_INVALID_PARAMETER);
    heard->values.push_back(lang ? lang : "");
    free(lang);
    if (heard->removeSelf) {
        ostra_app_remove_event_handler(heard->self);
    }
}

void onRegion(app_event_info_h info, void* data) {
    char* region = nullptr;
    app_event_get_region_format(info, &region);
    static_cast<Heard*>(data)->values.push_back(region ? region : "");
    free(region);
}

TEST(AppEventTest, LanguageAndRegionEventsFollowSystemKeys) {
    testsupport::TempRoot root;
    Heard language, once, region;
    once.removeSelf = true;
    ASSERT_EQ(ostra_app_add_event_handler(&language.self, APP_EVENT_LANGUAGE_CHANGED, onLanguage,
                                          &language),
              APP_ERROR_NONE);
    ASSERT_EQ(
        ostra_app_add_event_handler(&once.self, APP_EVENT_LANGUAGE_CHANGED, onLanguage, &once),
        APP_ERROR_NONE);
    app_event_handler_h regionHandler = nullptr;
    ASSERT_EQ(ostra_app_add_event_handler(&regionHandler, APP_EVENT_REGION_FORMAT_CHANGED, onRegion,
                                          &region),
              APP_ERROR_NONE);

    vconf_set_str(VCONFKEY_LANGSET, "de_DE.UTF-8");
    ASSERT_TRUE(testsupport::runUntil([&] { return language.values.size() == 1; }, 5000));
    vconf_set_str(VCONFKEY_LANGSET, "fr_FR.UTF-8");
    vconf_set_str(VCONFKEY_REGIONFORMAT, "ko_KR.UTF-8");
    ASSERT_TRUE(testsupport::runUntil(
        [&] { return language.values.size() == 2 && region.values.size() == 1; }, 5000));
    EXPECT_EQ(language.values, (std::vector<std::string>{"de_DE", "fr_FR"}));
    EXPECT_EQ(once.values, (std::vector<std::string>{"de_DE"}));
    EXPECT_EQ(region.values, (std::vector<std::string>{"ko_KR.UTF-8"}));

    EXPECT_EQ(ostra_app_remove_event_handler(language.self), APP_ERROR_NONE);
    EXPECT_EQ(ostra_app_remove_event_handler(language.self), APP_ERROR_INVALID_PARAMETER);
    EXPECT_EQ(ostra_app_add_event_handler(nullptr, APP_EVENT_LOW_MEMORY, onRegion, &region),
              APP_ERROR_INVALID_PARAMETER);
    ostra_app_remove_event_handler(regionHandler);
}

}  // namespace
