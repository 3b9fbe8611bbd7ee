// The alert screen in-process on the buffer engine: what it shows, the
// feedback held back during a call, and every dismiss gesture.
#include <Ecore_Input.h>
#include <ZentrelAlert.h>
#include <ZentrelAlertView.h>
#include <gtest/gtest.h>
#include <ostra/app_preference.h>
#include <ostra/device_display.h>
#include <ostra/efl_extension.h>
#include <ostra/ostra_efl.h>
#include <ostra/reserved_screen.h>
#include <ostra/utils_i18n.h>
#include <ostra/vconf.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>

#include "UiTestSupport.h"

namespace {

int countOf(const std::string& text, const std::string& what) {
    int count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++count;
    }
    return count;
}

class AlertScreen : public ::testing::Test {
  protected:
    void SetUp() override {
        ostra_i18n_bind_text_domain();
        preference_set_int("ZENTREL_SETTING_ALERT", 1);
    }
    void TearDown() override {
        if (created) {
            ZentrelAlert::terminate(&ad);
            evas_object_del(ad.win);
        }
    }
    void create() {
        ASSERT_TRUE(ZentrelAlert::create(&ad));
        created = true;
        evas_object_resize(ad.win, 360, 360);
        uitest::runLoopUntil([] { return false; }, 200);
    }
    int usage(const char* code) const {
        return countOf(testsupport::readFile(root.path() + "/apps/" OSTRA_TEST_PACKAGE_ID
                                                           "/data/usage-log.jsonl"),
                       std::string("\"") + code + "\"");
    }
    // Runs `gesture` from inside the main loop; true when the program asked
    // the loop to end before `waitMs` ran out.
    bool quitsAfter(std::function<void()> gesture, int waitMs = 2000) {
        gestureFn = std::move(gesture);
        ecore_job_add([](void* data) { static_cast<AlertScreen*>(data)->gestureFn(); }, this);
        gint64 start = g_get_monotonic_time();
        uitest::runLoopUntil([] { return false; }, waitMs);
        return g_get_monotonic_time() - start < waitMs * 1000 - 100000;
    }
    std::string text(const char* part) const {
        const char* value = elm_object_part_text_get(ad.layout, part);
        return value ? value : "";
    }

    testsupport::TempRoot root;
    uitest::ElmBuffer elm;
    testsupport::LogCapture log;
    appdata ad;
    bool created = false;
    std::function<void()> gestureFn;
};

void feedKey(int type, const char* name) {
    auto* key = static_cast<Ecore_Event_Key*>(calloc(1, sizeof(Ecore_Event_Key)));
    key->keyname = name;
    key->key = name;
    ecore_event_add(type, key, nullptr, nullptr);
}

void clickAt(Evas_Object* win, int x, int y) {
    Evas* evas = evas_object_evas_get(win);
    evas_event_feed_mouse_move(evas, x, y, 0, nullptr);
    evas_event_feed_mouse_down(evas, 1, EVAS_BUTTON_NONE, 0, nullptr);
    evas_event_feed_mouse_up(evas, 1, EVAS_BUTTON_NONE, 0, nullptr);
}

std::string screenshot(Evas_Object* win, const char* name) {
    g_mkdir_with_parents(SCREENSHOT_DIR, 0755);
    std::string path = std::string(SCREENSHOT_DIR) + "/" + name;
    ostra_efl_window_screenshot(win, path.c_str());
    return path;
}

TEST_F(AlertScreen, ShowsTheAlertWakesTheScreenAndPlaysTheFeedbackOnce) {
    vconf_set_int(VCONFKEY_CALL_STATE, 0);
    device_display_change_state(DISPLAY_STATE_SCREEN_OFF);
    create();
    EXPECT_EQ(text("alert_title"), "Pressure alert");
    EXPECT_FALSE(text("alert_time").empty());
    Evas_Object* scroller = elm_object_part_content_get(ad.layout, "alert_guide_text");
    ASSERT_NE(scroller, nullptr);
    Evas_Object* label = elm_object_content_get(scroller);
    ASSERT_NE(label, nullptr);
    EXPECT_NE(std::string(elm_object_text_get(label)).find("air pressure"), std::string::npos);
    EXPECT_EQ(usage("ZN05"), 1);
    EXPECT_EQ(ostra_reserved_screen_count(), 1);
    display_state_e state = DISPLAY_STATE_SCREEN_OFF;
    device_display_get_state(&state);
    EXPECT_EQ(state, DISPLAY_STATE_NORMAL);
    EXPECT_EQ(log.count("pattern 10003"), 1);
    ZentrelAlert::resume(&ad);
    EXPECT_EQ(log.count("pattern 10003"), 1) << "a resume without a call plays nothing more";

    // Everything inside the circle: the corners stay black.
    std::string shot = screenshot(ad.win, "alert_view.png");
    for (auto corner : {std::make_pair(20, 20), std::make_pair(340, 20), std::make_pair(20, 340),
                        std::make_pair(340, 340)}) {
        EXPECT_EQ(uitest::pngPixel(shot.c_str(), corner.first, corner.second) & 0xffffff, 0u);
    }
    // The close button sits at the bottom centre, drawn.
    EXPECT_NE(uitest::pngPixel(shot.c_str(), 180, 290) & 0xffffff, 0u);

    ZentrelAlert::terminate(&ad);
    created = false;
    EXPECT_EQ(ostra_reserved_screen_count(), 0);
    evas_object_del(ad.win);

    // Without a parent there is no view, and the program goes on.
    {
        ZentrelAlertView orphan(&ad);
        EXPECT_EQ(orphan.create(nullptr), nullptr);
        EXPECT_TRUE(log.contains("Parent object is null"));
    }
    EXPECT_EQ(ostra_reserved_screen_count(), 0);
}

TEST_F(AlertScreen, FeedbackHeldDuringACallPlaysOnceOnTheFirstResumeAfterIt) {
    vconf_set_int(VCONFKEY_CALL_STATE, 1);
    create();
    EXPECT_EQ(log.count("pattern 10003"), 0);
    EXPECT_TRUE(log.contains("Call is Runing, do not make Feedback 1"));
    ZentrelAlert::resume(&ad);
    EXPECT_EQ(log.count("pattern 10003"), 0) << "still in the call";
    vconf_set_int(VCONFKEY_CALL_STATE, 0);
    ZentrelAlert::resume(&ad);
    EXPECT_EQ(log.count("pattern 10003"), 1);
    ZentrelAlert::resume(&ad);
    EXPECT_EQ(log.count("pattern 10003"), 1);
}

TEST_F(AlertScreen, EveryDismissGestureSendsOneDeletedEventAndExits) {
    struct Gesture {
        const char* name;
        std::function<void(appdata&)> run;
    };
    const std::vector<Gesture> gestures = {
        {"power key", [](appdata&) { feedKey(ECORE_EVENT_KEY_UP, "XF86PowerOff"); }},
        {"back key", [](appdata&) { feedKey(ECORE_EVENT_KEY_DOWN, "Escape"); }},
        {"exit icon", [](appdata& ad) { clickAt(ad.win, 180, 310); }},
        {"window close",
         [](appdata& ad) { evas_object_smart_callback_call(ad.win, "delete,request", nullptr); }},
        {"palm cover",
         [](appdata&) {
             int palm = 0;
             vconf_get_bool(VCONFKEY_SHOT_OSTRA_PALM_TOUCH_MUTE, &palm);
             vconf_set_bool(VCONFKEY_SHOT_OSTRA_PALM_TOUCH_MUTE, !palm);
         }},
    };
    int deleted = 0;
    for (const auto& gesture : gestures) {
        SCOPED_TRACE(gesture.name);
        create();
        EXPECT_TRUE(quitsAfter([&] { gesture.run(ad); }));
        EXPECT_EQ(usage("ZN06"), ++deleted);
        // A second gesture while the program is on its way out sends nothing more.
        quitsAfter([] { feedKey(ECORE_EVENT_KEY_UP, "XF86PowerOff"); }, 300);
        EXPECT_EQ(usage("ZN06"), deleted);
        ZentrelAlert::terminate(&ad);
        evas_object_del(ad.win);
        ad = appdata();
        created = false;
    }

    // Other keys pass on and leave the alert up.
    create();
    EXPECT_FALSE(quitsAfter([] { feedKey(ECORE_EVENT_KEY_UP, "a"); }));
    EXPECT_TRUE(log.contains("Key is not PowerKey a"));
    EXPECT_EQ(usage("ZN06"), deleted);
}

TEST_F(AlertScreen, ScreenReaderReadsTheAlertAndClosesWithoutTheDeletedEvent) {
    elm_config_access_set(EINA_TRUE);
    create();
    EXPECT_EQ(std::string(efl_access_object_i18n_name_get(ad.win)), "Pressure alert");
    Evas_Object* edje = elm_layout_edje_get(ad.layout);
    auto* background = elm_access_object_get(edje_object_part_object_get(edje, "rect_acc"));
    auto* icon = elm_access_object_get(edje_object_part_object_get(edje, "alert_button_icon"));
    ASSERT_NE(background, nullptr);
    ASSERT_NE(icon, nullptr);
    std::unique_ptr<char, decltype(&free)> reading(elm_access_info_get(background, ELM_ACCESS_INFO),
                                                   free);
    ASSERT_NE(reading, nullptr);
    const std::string read = reading.get();
    EXPECT_EQ(read.find("Pressure alert " + text("alert_time") + " "), 0u) << read;
    EXPECT_NE(read.find("air pressure"), std::string::npos);
    std::unique_ptr<char, decltype(&free)> hint(elm_access_info_get(icon, ELM_ACCESS_CONTEXT_INFO),
                                                free);
    ASSERT_NE(hint, nullptr);
    EXPECT_STREQ(hint.get(), "Double tap to close this screen");

    // What the reader does on a double tap over the highlighted button.
    EXPECT_TRUE(quitsAfter([&] {
        elm_access_highlight_set(icon);
        elm_access_action(icon, ELM_ACCESS_ACTION_ACTIVATE, nullptr);
    }));
    EXPECT_EQ(usage("ZN06"), 0);
}

TEST(AlertSetting, OffAbsentOrUnreadableCountsAsOffAndKeepsTheStoredValue) {
    testsupport::TempRoot root;
    testsupport::LogCapture log;
    EXPECT_EQ(ZentrelAlert::_getAlertSettingValue(), 0);
    EXPECT_TRUE(log.contains("No Correct Data"));
    preference_set_int("ZENTREL_SETTING_ALERT", 0);
    EXPECT_EQ(ZentrelAlert::_getAlertSettingValue(), 0);
    preference_set_int("ZENTREL_SETTING_ALERT", 1);
    EXPECT_EQ(ZentrelAlert::_getAlertSettingValue(), 1);
    preference_set_string("ZENTREL_SETTING_ALERT", "on");
    EXPECT_EQ(ZentrelAlert::_getAlertSettingValue(), 0);
    char* kept = nullptr;
    ASSERT_EQ(preference_get_string("ZENTREL_SETTING_ALERT", &kept), PREFERENCE_ERROR_NONE);
    EXPECT_STREQ(kept, "on");
    free(kept);
}

TEST(AlertTime, TwelveHourSettingUsesTheTwelveHourFormat) {
    testsupport::TempRoot root;
    setenv("TZ", "UTC", 1);
    tzset();
    vconf_set_str(VCONFKEY_REGIONFORMAT, "en_US.UTF-8");
    const long afternoon = 1796742300;  // 2026-12-08 15:05 UTC
    vconf_set_int(VCONFKEY_REGIONFORMAT_TIME1224, VCONFKEY_TIME_FORMAT_12);
    std::unique_ptr<char, decltype(&free)> twelve(ZentrelAlert::_getTimeText(afternoon), free);
    ASSERT_NE(twelve, nullptr);
    EXPECT_NE(std::string(twelve.get()).find("3:05"), std::string::npos) << twelve.get();
    EXPECT_NE(std::string(twelve.get()).find("PM"), std::string::npos) << twelve.get();
    EXPECT_NE(std::string(twelve.get()).find("2026"), std::string::npos) << twelve.get();
    vconf_set_int(VCONFKEY_REGIONFORMAT_TIME1224, VCONFKEY_TIME_FORMAT_24);
    std::unique_ptr<char, decltype(&free)> day(ZentrelAlert::_getTimeText(afternoon), free);
    ASSERT_NE(day, nullptr);
    EXPECT_NE(std::string(day.get()).find("15:05"), std::string::npos) << day.get();
    EXPECT_EQ(std::string(day.get()).find("PM"), std::string::npos) << day.get();
    unsetenv("TZ");
}

}  // namespace
