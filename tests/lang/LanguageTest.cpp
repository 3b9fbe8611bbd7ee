// The programs' language: chosen by the platform's language key (set with
// ostractl, as a user would) or by the locale environment, read back from
// the screens, also when the key changes while a program runs; a
// right-to-left language mirrors each screen but keeps the
// pager's page order, and its numbers stay plain digits.
#include <ZentrelAltiViewController.h>
#include <ZentrelBaroViewController.h>
#include <ZentrelBroadCaster.h>
#include <ZentrelHelpListController.h>
#include <ZentrelSettingCalibItem.h>
#include <ZentrelSettingCalibrationViewController.h>
#include <ZentrelSettingView.h>
#include <ZentrelSettingViewController.h>
#include <ZentrelStorageMgr.h>
#include <ZentrelWidgetView.h>
#include <gtest/gtest.h>
#include <ostra/app_event.h>
#include <ostra/ostra_efl.h>
#include <ostra/utils_i18n.h>
#include <ostra/vconf.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "AppTestSupport.h"

namespace {

void settle(int ms) {
    uitest::runLoopUntil([] { return false; }, ms);
}

// A fresh root whose language is chosen before the texts are bound, as a
// program starting on it finds it. Records whether the screens are mirrored.
class LanguageEnvironment {
  public:
    explicit LanguageEnvironment(const std::function<void()>& chooseLanguage) {
        unsetenv("LANGUAGE");
        setenv("LANG", "C.UTF-8", 1);
        chooseLanguage();
        setenv("OSTRA_SENSOR", "sim", 1);
        setenv("OSTRA_SENSORD", "/bin/true", 1);
        ostra_i18n_bind_text_domain();
        mirrored = ostra_efl_apply_text_direction();
        ZentrelStorageMgr::getInstance()->initStorage();
        ZentrelStorageMgr::getInstance()->savePermissionGuideState(1);
    }
    ~LanguageEnvironment() {
        unsetenv("OSTRA_SENSOR");
        unsetenv("OSTRA_SENSORD");
    }
    bool mirrored = false;

  private:
    testsupport::TempRoot _root;
    uitest::ElmBuffer _elm;
};

void setKeyWithOstractl(const char* key, const char* value) {
    std::string command =
        std::string(OSTRACTL_PATH) + " vconf set " + key + " string " + value + " >/dev/null 2>&1";
    ASSERT_EQ(system(command.c_str()), 0) << command;
}

std::string settingTitle() {
    apptest::Screen screen(ZentrelPageController::PAGE_SETTING_VIEW);
    auto* page = static_cast<ZentrelSettingViewController*>(
        screen.controller->getPage(ZentrelPageController::PAGE_SETTING_VIEW));
    return page ? apptest::text(page->getLayout(), "setting_title") : "";
}

// Pushes a screen over the pages, lets it settle and saves it as
// lang-<language>-<name>.png; the screen stays open while `check` runs.
template <typename Controller>
void shootPushed(const std::string& language, const char* name, Controller* controller,
                 const std::function<void(Controller*)>& check) {
    apptest::Screen screen(ZentrelPageController::PAGE_SETTING_VIEW);
    ASSERT_TRUE(screen.navi->push(controller, name));
    settle(900);
    apptest::screenshot(screen.window.getEvasObj(),
                        ("lang-" + language + "-" + name + ".png").c_str());
    check(controller);
}

std::string firstRowText(Evas_Object* genlist) {
    Elm_Object_Item* first = genlist ? elm_genlist_first_item_get(genlist) : nullptr;
    const char* text = first ? elm_object_item_part_text_get(first, "elm.text") : nullptr;
    return text ? text : "";
}

// The menus a user opens from the settings page, in one language.
// Its sea-level pressure row shows the stored 1013.25 hPa as the region
// writes numbers.
void shootMenus(const std::string& language, const std::string& helpTitle,
                const std::string& autoRefreshRow, const std::string& slpRow) {
    shootPushed<ZentrelSettingView>(language, "setting-menu", new ZentrelSettingView(),
                                    [&](ZentrelSettingView* menu) {
                                        ZentrelSettingItem* row = menu->getItem(AUTO_REFRESH);
                                        ASSERT_NE(row, nullptr);
                                        EXPECT_EQ(row->getPartText("elm.text"), autoRefreshRow);
                                    });
    shootPushed<ZentrelSettingCalibrationViewController>(
        language, "calibration-list", new ZentrelSettingCalibrationViewController(),
        [&](ZentrelSettingCalibrationViewController* list) {
            EXPECT_EQ(list->getSlpItem()->getTitle2(), slpRow);
        });
    shootPushed<ZentrelHelpListController>(language, "help-list", new ZentrelHelpListController(),
                                           [&](ZentrelHelpListController* list) {
                                               EXPECT_EQ(firstRowText(list->getGenlist()),
                                                         helpTitle);
                                           });
}

int leftEdge(Evas_Object* object) {
    int x = -1;
    evas_object_geometry_get(object, &x, nullptr, nullptr, nullptr);
    return x;
}

TEST(LanguageTest, LanguageKeySetWithOstractlGivesGermanScreensLeftToRight) {
    LanguageEnvironment env([] { setKeyWithOstractl("db/menu_widget/language", "de_DE.UTF-8"); });
    EXPECT_FALSE(env.mirrored);
    EXPECT_FALSE(elm_config_mirrored_get());
    EXPECT_EQ(settingTitle(), "Einstellungen");
    ZentrelStorageMgr::getInstance()->saveDataSLP(1013.25);
    // The key chooses the texts only: numbers follow the region, here the
    // host's (C, so the US default).
    shootMenus("de", "Hilfe", "Auto-Kalibrierung", "1,013 hPa");
}

// LANG chooses both the texts and, through the region format that follows
// it, the digits: an Egyptian Arabic host writes Arabic-Indic digits.
TEST(LanguageTest, ArabicFromLangMirrorsScreensButNotThePagerAndKeepsNumbersDigits) {
    LanguageEnvironment env([] { setenv("LANG", "ar_EG.UTF-8", 1); });
    EXPECT_TRUE(env.mirrored);
    EXPECT_TRUE(elm_config_mirrored_get());
    ZentrelStorageMgr::getInstance()->saveDataSLP(1013.25);
    ZentrelStorageMgr::getInstance()->setCurrentPressure(1002.0);
    {
        apptest::Screen screen(ZentrelPageController::PAGE_ALTI_VIEW);
        screen.controller->onCurrentPressure(1002.0f);
        settle(1500);
        auto* alti = static_cast<ZentrelAltiViewController*>(
            screen.controller->getPage(ZentrelPageController::PAGE_ALTI_VIEW));
        auto* baro = static_cast<ZentrelBaroViewController*>(
            screen.controller->getPage(ZentrelPageController::PAGE_BARO_VIEW));
        ASSERT_NE(alti, nullptr);
        ASSERT_NE(baro, nullptr);
        // Page 0 is on screen and the barometer follows it to the right, as
        // the page index and the bezel count them.
        EXPECT_EQ(leftEdge(alti->getLayout()), 0);
        EXPECT_EQ(leftEdge(baro->getLayout()), 360);
        EXPECT_TRUE(elm_object_mirrored_get(alti->getLayout()));
        // The value is a part of its own, all digits: the reading order of
        // the text around it cannot turn it around.
        EXPECT_EQ(apptest::text(baro->getValueLayout(), "value"), "١٠٠٢");
        EXPECT_EQ(apptest::text(baro->getValueLayout(), "unit"), "hPa");
        apptest::screenshot(screen.window.getEvasObj(), "lang-ar-altitude.png");
    }
    EXPECT_EQ(settingTitle(), "الإعدادات");
    shootMenus("ar", "المساعدة", "التحديث التلقائي", "١٬٠١٣ hPa");
}

int partLeft(Evas_Object* layout, const char* part) {
    Evas_Coord x = -1;
    edje_object_part_geometry_get(elm_layout_edje_get(layout), part, &x, nullptr, nullptr, nullptr);
    return x;
}

// The widget's gauge is drawn with the altitude arc on the left in every
// language: mirroring its layout would put each value beside the other's arc.
TEST(LanguageTest, WidgetKeepsItsValuesBesideTheirArcsInArabic) {
    LanguageEnvironment env([] { setenv("LANG", "ar_EG.UTF-8", 1); });
    ASSERT_TRUE(env.mirrored);
    Evas_Object* win = uitest::addWindow("widget");
    ZentrelWidgetView view;
    Evas_Object* layout = view.create(win);
    ASSERT_NE(layout, nullptr);
    evas_object_resize(layout, 360, 360);
    evas_object_show(layout);
    settle(300);
    EXPECT_FALSE(elm_object_mirrored_get(layout));
    EXPECT_LT(partLeft(layout, "alti_value"), 180);
    EXPECT_GE(partLeft(layout, "baro_value"), 180);
    EXPECT_EQ(apptest::text(layout, "alti_unit"), "م");
}

// LANGUAGE is a list: the first language with a catalogue wins.
TEST(LanguageTest, LanguageListTakesTheFirstLanguageWithACatalogue) {
    LanguageEnvironment env([] { setenv("LANGUAGE", "fr:ar:de", 1); });
    EXPECT_TRUE(env.mirrored);
    EXPECT_EQ(settingTitle(), "الإعدادات");
}

// A right-to-left language without a catalogue shows English texts, so the
// screens must not be mirrored.
TEST(LanguageTest, RightToLeftLanguageWithoutCatalogueStaysEnglishAndUnmirrored) {
    LanguageEnvironment env([] { setKeyWithOstractl("db/menu_widget/language", "fa_IR.UTF-8"); });
    EXPECT_FALSE(env.mirrored);
    EXPECT_FALSE(elm_config_mirrored_get());
    EXPECT_EQ(settingTitle(), "Settings");
}

// A program's language handler: the toolkit's language, then the program's
// screens rebuild. On a machine with the language's locale installed the
// toolkit switches every locale category; the one locale every machine has
// stands in for it.
void programLanguageHandler(app_event_info_h event, void*) {
    char* language = nullptr;
    app_event_get_language(event, &language);
    elm_language_set(language);
    free(language);
    setlocale(LC_ALL, "C.UTF-8");
    ZentrelBroadCaster::getBroadCaster().onEmit("language,changed", nullptr);
}

TEST(LanguageTest, LanguageKeyChangedWhileRunningSwitchesTextsDirectionButNotNumbers) {
    LanguageEnvironment env([] {});
    ostra_efl_follow_language_before_program();
    app_event_handler_h handler = nullptr;
    ASSERT_EQ(ostra_app_add_event_handler(&handler, APP_EVENT_LANGUAGE_CHANGED,
                                          programLanguageHandler, nullptr),
              APP_ERROR_NONE);
    ostra_efl_follow_language_after_program();
    apptest::Screen screen(ZentrelPageController::PAGE_SETTING_VIEW);
    auto* page = static_cast<ZentrelSettingViewController*>(
        screen.controller->getPage(ZentrelPageController::PAGE_SETTING_VIEW));
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(apptest::text(page->getLayout(), "setting_title"), "Settings");

    struct Step {
        const char* key;
        const char* title;
        bool mirrored;
    } steps[] = {{"de_DE.UTF-8", "Einstellungen", false},
                 {"ar_AE.UTF-8", "الإعدادات", true},
                 {"en_GB.UTF-8", "Settings", false}};
    for (const Step& step : steps) {
        vconf_set_str("db/menu_widget/language", step.key);
        EXPECT_TRUE(uitest::runLoopUntil(
            [&] { return apptest::text(page->getLayout(), "setting_title") == step.title; }, 5000))
            << step.key;
        EXPECT_EQ(elm_config_mirrored_get() == EINA_TRUE, step.mirrored) << step.key;
        EXPECT_STREQ(setlocale(LC_NUMERIC, nullptr), "C") << step.key;
        char number[16];
        snprintf(number, sizeof number, "%.2f", 1013.25);
        EXPECT_STREQ(number, "1013.25") << step.key;
    }
    ostra_app_remove_event_handler(handler);
    ostra_efl_stop_following_language();
}

}  // namespace
