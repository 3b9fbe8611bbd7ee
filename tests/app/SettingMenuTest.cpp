// The settings menu: the rule that auto refresh and manual calibration
// exclude each other through every flow (consent, privilege, location), the
// China provider's consent rows and service provider popup with its links,
// and the unit pickers.
#include <ZentrelBaroViewController.h>
#include <ZentrelPopup.h>
#include <ZentrelSettingPressureUnitViewController.h>
#include <ZentrelSettingUnitItem.h>
#include <ZentrelSettingView.h>
#include <ZentrelStorageMgr.h>
#include <gtest/gtest.h>
#include <ostra/efl_extension.h>
#include <ostra/location_manager.h>
#include <ostra/privacy_privilege_manager.h>
#include <ostra/vconf.h>

#include <cstring>
#include <string>

#include "AppTestSupport.h"

namespace {

void settle(int ms) {
    uitest::runLoopUntil([] { return false; }, ms);
}

void setPrivilege(const char* state) {
    vconf_set_str((std::string(OSTRA_PRIVILEGE_KEY_PREFIX) + "location").c_str(), state);
}

void setLocation(bool on, const char* answer = "accept") {
    vconf_set_bool(VCONFKEY_LOCATION_ENABLED, on ? 1 : 0);
    vconf_set_str(VCONFKEY_LOCATION_ENABLE_ANSWER, answer);
}

// The store as a test sets it up: auto refresh, manual mode, user agreement.
void storeStates(int autoRefresh, int manual, int agreement) {
    ZentrelStorageMgr* storage = ZentrelStorageMgr::getInstance();
    storage->saveAutoRefresh(autoRefresh);
    storage->saveSettingManualMode(manual);
    storage->saveUserAgreementState(agreement);
}

struct Stored {
    int autoRefresh, manual, agreement;
    bool operator==(const Stored& o) const {
        return autoRefresh == o.autoRefresh && manual == o.manual && agreement == o.agreement;
    }
};

std::ostream& operator<<(std::ostream& out, const Stored& s) {
    return out << "{auto " << s.autoRefresh << ", manual " << s.manual << ", agreement "
               << s.agreement << "}";
}

Stored stored() {
    ZentrelStorageMgr* storage = ZentrelStorageMgr::getInstance();
    return {storage->getAutoRefresh(), storage->getSettingManualMode(),
            storage->getUserAgreementState()};
}

// A menu pushed over the pages, as the page's Edit button pushes it. The
// environment comes first; the test sets the store and keys, then opens.
struct Menu {
    bool open(const char* country = "US") {
        vconf_set_str("db/csc/country_iso", country);
        // The country's own provider, whether or not it has its key or hosts.
        vconf_set_str("db/zentrel/weather/provider", strcmp(country, "CN") ? "twc" : "huafeng");
        screen = std::make_unique<apptest::Screen>(ZentrelPageController::PAGE_SETTING_VIEW);
        view = new ZentrelSettingView();
        bool pushed = screen->navi->push(view, "settings menu");
        settle(700);
        return pushed;
    }
    Evas_Object* win() const { return screen->window.getEvasObj(); }
    const char* top() const {
        auto* top = screen->navi->getTopContentViewController();
        return top ? top->getClassName() : "";
    }
    void select(SETTING_ITEM_INDEX_TYPE kind) const {
        ZentrelSettingItem* row = view->getItem(kind);
        ASSERT_NE(row, nullptr) << kind;
        elm_genlist_item_selected_set(row->getElmObjectItem(), EINA_TRUE);
        settle(50);
    }
    bool switchOn(SETTING_ITEM_INDEX_TYPE kind) const {
        ZentrelSettingItem* row = view->getItem(kind);
        return row && row->getCheck() && elm_check_state_get(row->getCheck());
    }
    bool disabled(SETTING_ITEM_INDEX_TYPE kind) const {
        return elm_object_item_disabled_get(view->getItem(kind)->getElmObjectItem());
    }
    std::string second(SETTING_ITEM_INDEX_TYPE kind) const {
        return view->getItem(kind)->getPartText("elm.text.1");
    }
    std::string shot(const char* name) const {
        settle(400);
        return apptest::screenshot(win(), name);
    }
    apptest::AppEnvironment env;
    std::unique_ptr<apptest::Screen> screen;
    ZentrelSettingView* view = nullptr;
};

TEST(SettingMenuTest, RowsFollowTheStoreAndAlertsSwitchStoresEachTap) {
    Menu menu;
    ZentrelStorageMgr::getInstance()->saveSettingDistance(1);
    ZentrelStorageMgr::getInstance()->saveSettingPressure(2);
    storeStates(0, 1, 0);
    ASSERT_TRUE(menu.open());
    Evas_Object* genlist = menu.view->getGenlist();
    // Title, six rows, padding: no current-location row outside China.
    EXPECT_EQ(elm_genlist_items_count(genlist), 8u);
    EXPECT_EQ(menu.view->getItem(CURRENT_LOCATION), nullptr);
    EXPECT_STREQ(menu.view->getItem(AUTO_REFRESH)->getStyle(), "1text.1icon.1");
    EXPECT_STREQ(menu.view->getItem(MANUAL_CALIBRATION)->getStyle(), "2text");
    EXPECT_STREQ(menu.view->getItem(HELP)->getStyle(), "1text");
    EXPECT_EQ(menu.second(MANUAL_CALIBRATION), "On");
    EXPECT_EQ(menu.second(ALTITUDE_UNIT), "ft");
    EXPECT_EQ(menu.second(PRESSURE_UNIT), "mmHg");
    EXPECT_FALSE(menu.disabled(MANUAL_CALIBRATION));
    EXPECT_FALSE(menu.switchOn(AUTO_REFRESH));
    menu.shot("setting_menu_top.png");

    ZentrelStorageMgr* storage = ZentrelStorageMgr::getInstance();
    storage->saveSettingAlert(0);
    menu.select(PRESSURE_ALERTS);
    EXPECT_EQ(storage->getSettingAlert(), 1);
    EXPECT_TRUE(menu.switchOn(PRESSURE_ALERTS));
    std::unique_ptr<char, decltype(&free)> description(
        elm_access_info_get(menu.view->getItem(PRESSURE_ALERTS)->getCheck(),
                            ELM_ACCESS_CONTEXT_INFO),
        free);
    EXPECT_STREQ(description.get(), "Switch, On");
    menu.select(PRESSURE_ALERTS);
    EXPECT_EQ(storage->getSettingAlert(), 0);
    EXPECT_FALSE(menu.switchOn(PRESSURE_ALERTS));
    std::string usage = testsupport::readFile(menu.env.root() + "/apps/" OSTRA_TEST_PACKAGE_ID
                                                                "/data/usage-log.jsonl");
    EXPECT_NE(usage.find("\"1000\""), std::string::npos) << usage;

    Elm_Object_Item* last = elm_genlist_last_item_get(genlist);
    elm_genlist_item_bring_in(last, ELM_GENLIST_ITEM_SCROLLTO_BOTTOM);
    menu.shot("setting_menu_scrolled.png");

    menu.select(HELP);
    ASSERT_TRUE(uitest::runLoopUntil(
        [&] { return std::string(menu.top()) == "ZentrelHelpListController"; }, 2000));
}

TEST(SettingMenuTest, AutoRefreshExcludesManualCalibrationAndConsentIsAskedEveryTime) {
    Menu menu;
    setPrivilege("allow");
    setLocation(true);
    storeStates(0, 1, 0);
    ASSERT_TRUE(menu.open());

    // Other providers do not keep the consent: it is asked at every switch-on.
    for (int round = 0; round < 2; ++round) {
        menu.select(AUTO_REFRESH);
        Evas_Object* popup = menu.view->getCurrentPopup();
        ASSERT_NE(popup, nullptr) << round;
        const char* shown = elm_object_text_get(menu.view->getAgreementText());
        EXPECT_NE(std::string(shown ? shown : "").find("The Weather Company"), std::string::npos);
        if (round == 0) {
            menu.shot("setting_agreement.png");
        }
        ASSERT_TRUE(ZentrelPopup::press(popup, 2));
        EXPECT_EQ(stored(), (Stored{1, 0, 0})) << round;
        EXPECT_TRUE(menu.disabled(MANUAL_CALIBRATION));
        EXPECT_TRUE(menu.switchOn(AUTO_REFRESH));
        EXPECT_EQ(menu.second(MANUAL_CALIBRATION), "Off");

        // The disabled row cannot be selected.
        menu.select(MANUAL_CALIBRATION);
        EXPECT_STREQ(menu.top(), "ZentrelSettingView");

        // Off keeps manual mode as it is (here set meanwhile by another program).
        ZentrelStorageMgr::getInstance()->saveSettingManualMode(1);
        menu.select(AUTO_REFRESH);
        EXPECT_EQ(stored(), (Stored{0, 1, 0})) << round;
        EXPECT_FALSE(menu.disabled(MANUAL_CALIBRATION));
        EXPECT_FALSE(menu.switchOn(AUTO_REFRESH));
    }

    // Declining the consent stores nothing.
    menu.select(AUTO_REFRESH);
    ASSERT_TRUE(ZentrelPopup::press(menu.view->getCurrentPopup(), 1));
    EXPECT_EQ(menu.view->getCurrentPopup(), nullptr);
    EXPECT_EQ(stored(), (Stored{0, 1, 0}));

    menu.select(MANUAL_CALIBRATION);
    EXPECT_TRUE(uitest::runLoopUntil(
        [&] { return std::string(menu.top()) == "ZentrelSettingCalibrationViewController"; },
        2000));
}

TEST(SettingMenuTest, LocationPopupAnswersDecideWhatIsStored) {
    Menu menu;
    setPrivilege("allow");
    setLocation(false, "accept");
    storeStates(0, 1, 1);
    testsupport::LogCapture log;
    ASSERT_TRUE(menu.open());

    // Declined: a toast, nothing stored.
    menu.select(AUTO_REFRESH);
    Evas_Object* popup = menu.view->getCurrentPopup();
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(ZentrelPopup::getText(popup), "Turn on location?");
    menu.shot("setting_location_popup.png");
    ZentrelPopup::press(popup, 1);
    ASSERT_NE(menu.view->getToast(), nullptr);
    EXPECT_EQ(ZentrelPopup::getText(menu.view->getToast()), "Location not available");
    menu.shot("setting_toast.png");
    EXPECT_EQ(stored(), (Stored{0, 1, 1}));

    // The platform refuses to switch location on: the one-button popup, nothing stored.
    setLocation(false, "refuse");
    menu.select(AUTO_REFRESH);
    ZentrelPopup::press(menu.view->getCurrentPopup(), 2);
    ASSERT_TRUE(
        uitest::runLoopUntil([&] { return menu.view->getCurrentPopup() != nullptr; }, 2000));
    EXPECT_EQ(ZentrelPopup::getText(menu.view->getCurrentPopup()), "Location not available");
    EXPECT_TRUE(log.contains("Location cannot enabled. ret = 0"));
    menu.shot("setting_location_failed.png");
    ZentrelPopup::press(menu.view->getCurrentPopup(), 1);
    EXPECT_EQ(stored(), (Stored{0, 1, 1}));

    // Accepted and switched on: auto refresh 1, agreement 1, manual 0.
    storeStates(0, 1, 0);
    setLocation(false, "accept");
    menu.select(AUTO_REFRESH);
    ZentrelPopup::press(menu.view->getCurrentPopup(), 2);  // the consent
    ASSERT_NE(menu.view->getCurrentPopup(), nullptr);
    ZentrelPopup::press(menu.view->getCurrentPopup(), 2);  // the location popup
    ASSERT_TRUE(uitest::runLoopUntil([] { return stored() == Stored{1, 0, 1}; }, 2000)) << stored();
    EXPECT_TRUE(menu.switchOn(AUTO_REFRESH));
    EXPECT_TRUE(menu.disabled(MANUAL_CALIBRATION));
    bool enabled = false;
    location_manager_is_enabled_method(LOCATIONS_METHOD_HYBRID, &enabled);
    EXPECT_TRUE(enabled);

    // A Bluetooth phone of the maker: the text names the phone.
    menu.select(AUTO_REFRESH);
    setLocation(false);
    vconf_set_int("memory/private/qrl/conn_status", 1);
    vconf_set_str("db/hxs/host_status/vendor", "korvane");
    menu.select(AUTO_REFRESH);
    EXPECT_EQ(ZentrelPopup::getText(menu.view->getCurrentPopup()),
              "Turn on location on your phone?");
}

TEST(SettingMenuTest, PrivilegeAskedFirstResumesTheSwitchOnWhenAllowed) {
    Menu menu;
    // A fresh root asks for the privilege and the answer is allow-forever.
    setLocation(true);
    storeStates(0, 1, 1);
    testsupport::LogCapture log;
    ASSERT_TRUE(menu.open());
    menu.select(AUTO_REFRESH);
    EXPECT_TRUE(log.contains("ASK Permision"));
    EXPECT_TRUE(log.contains("No Access Permission"));
    ASSERT_TRUE(uitest::runLoopUntil([] { return stored() == Stored{1, 0, 1}; }, 3000)) << stored();
    EXPECT_TRUE(menu.switchOn(AUTO_REFRESH));

    // Denied for good: the privacy guide opens; its answer does not turn the switch on.
    menu.select(AUTO_REFRESH);
    setPrivilege("deny");
    setenv("OSTRA_PRIVACY_GUIDE_ANSWER", "no", 1);
    menu.select(AUTO_REFRESH);
    EXPECT_TRUE(uitest::runLoopUntil([&] { return log.contains("User selected NO"); }, 15000));
    unsetenv("OSTRA_PRIVACY_GUIDE_ANSWER");
    EXPECT_EQ(stored(), (Stored{0, 0, 1}));
    EXPECT_FALSE(menu.switchOn(AUTO_REFRESH));
}

TEST(SettingMenuTest, ChinaProviderConsentServiceProviderPopupAndCurrentLocation) {
    Menu menu;
    setPrivilege("allow");
    setLocation(true);
    storeStates(0, 1, 0);
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    testsupport::LogCapture log;
    ASSERT_TRUE(menu.open("CN"));
    ASSERT_NE(menu.view->getItem(CURRENT_LOCATION), nullptr);
    EXPECT_EQ(elm_genlist_items_count(menu.view->getGenlist()), 9u);
    EXPECT_FALSE(menu.switchOn(CURRENT_LOCATION));

    menu.select(AUTO_REFRESH);
    Evas_Object* agreement = menu.view->getCurrentPopup();
    ASSERT_NE(agreement, nullptr);
    EXPECT_EQ(apptest::text(agreement, "elm.text.title"), "Please note");
    menu.shot("setting_agreement_china.png");

    // The link in the consent opens the service provider popup.
    Elm_Entry_Anchor_Info here{};
    here.name = "here";
    evas_object_smart_callback_call(menu.view->getAgreementText(), "anchor,clicked", &here);
    ASSERT_TRUE(menu.view->isSubPopupOpen());
    Evas_Object* provider = menu.view->getCurrentSubPopup();
    EXPECT_EQ(apptest::text(provider, "elm.text.title"), "Service provider");
    menu.shot("setting_service_provider.png");

    // The back key closes the provider popup only; the consent stays.
    ostra_eext_back_feed();
    EXPECT_FALSE(menu.view->isSubPopupOpen());
    EXPECT_EQ(menu.view->getCurrentPopup(), agreement);

    // Links: nothing in standalone mode; with a phone, shown on it.
    evas_object_smart_callback_call(menu.view->getAgreementText(), "anchor,clicked", &here);
    ASSERT_TRUE(menu.view->isSubPopupOpen());
    Evas_Object* terms = menu.view->getTermsLink();
    const char* termsMarkup = elm_object_text_get(terms);
    EXPECT_NE(std::string(termsMarkup).find("/legal.do"), std::string::npos);
    EXPECT_NE(std::string(elm_object_text_get(menu.view->getPrivacyLink())).find("/privacy.do"),
              std::string::npos);
    Elm_Entry_Anchor_Info link{};
    std::string url = ZentrelSettingView::providerPageUrl("/legal.do");
    link.name = url.c_str();
    vconf_set_int("db/setup_wizard/standalone", 1);
    vconf_set_int("memory/private/qrl/conn_type", 1);
    evas_object_smart_callback_call(terms, "anchor,clicked", &link);
    EXPECT_EQ(menu.view->getToast(), nullptr);
    EXPECT_TRUE(log.contains("WPC MODE,prevent all of operation"));
    EXPECT_FALSE(log.contains("flitter_request_to_browse failed!!!"));
    vconf_set_int("db/setup_wizard/standalone", 0);
    evas_object_smart_callback_call(terms, "anchor,clicked", &link);
    ASSERT_NE(menu.view->getToast(), nullptr);
    EXPECT_EQ(ZentrelPopup::getText(menu.view->getToast()), "Opened on your phone");
    // No desktop session in the test: the page cannot be shown.
    EXPECT_TRUE(log.contains("flitter_request_to_browse failed!!!"));
    ASSERT_TRUE(ZentrelPopup::press(menu.view->getCurrentSubPopup(), 1));
    EXPECT_FALSE(menu.view->isSubPopupOpen());

    // Accepted: the China consent is kept, both switches are on.
    ZentrelPopup::press(agreement, 2);
    EXPECT_EQ(stored(), (Stored{1, 0, 1}));
    EXPECT_TRUE(menu.switchOn(AUTO_REFRESH));
    EXPECT_TRUE(menu.switchOn(CURRENT_LOCATION));

    // Current location off withdraws the consent and auto refresh.
    ZentrelStorageMgr::getInstance()->saveSettingManualMode(1);
    menu.select(CURRENT_LOCATION);
    EXPECT_EQ(stored(), (Stored{0, 1, 0}));
    EXPECT_FALSE(menu.switchOn(AUTO_REFRESH));
    EXPECT_FALSE(menu.switchOn(CURRENT_LOCATION));
    EXPECT_FALSE(menu.disabled(MANUAL_CALIBRATION));

    // On again: the consent of the current-location kind, auto refresh untouched.
    menu.select(CURRENT_LOCATION);
    ASSERT_NE(menu.view->getCurrentPopup(), nullptr);
    ZentrelPopup::press(menu.view->getCurrentPopup(), 2);
    EXPECT_EQ(stored(), (Stored{0, 1, 1}));
    EXPECT_TRUE(menu.switchOn(CURRENT_LOCATION));
}

ZentrelSettingUnitViewController* topPicker(const Menu& menu) {
    auto* top = menu.screen->navi->getTopContentViewController();
    std::string name = top ? top->getClassName() : "";
    return name.find("UnitViewController") != std::string::npos
               ? static_cast<ZentrelSettingUnitViewController*>(top)
               : nullptr;
}

TEST(SettingMenuTest, PickedUnitIsStoredAtOnceAndThePickerClosesHalfASecondLater) {
    Menu menu;
    ZentrelStorageMgr* storage = ZentrelStorageMgr::getInstance();
    storage->saveSettingPressure(0);
    storage->saveSettingDistance(0);
    ASSERT_TRUE(menu.open());

    // inHg, then inHg again: stored at once each time, and the picker closes each time.
    for (int round = 0; round < 2; ++round) {
        menu.select(PRESSURE_UNIT);
        ZentrelSettingUnitViewController* picker = nullptr;
        ASSERT_TRUE(uitest::runLoopUntil([&] { return (picker = topPicker(menu)); }, 2000));
        EXPECT_STREQ(picker->getClassName(), "ZentrelSettingPressureUnitViewController");
        ASSERT_EQ(picker->getUnitItems().size(), 3u);
        EXPECT_EQ(elm_radio_value_get(picker->getRadioGroup()), round == 0 ? 1 : 2);
        if (round == 0) {
            menu.shot("setting_pressure_picker.png");
        }
        ZentrelSettingUnitItem* inHg = picker->getUnitItems()[1];
        elm_genlist_item_selected_set(inHg->getElmObjectItem(), EINA_TRUE);
        EXPECT_EQ(storage->getSettingPressure(), 1);
        EXPECT_EQ(elm_radio_value_get(picker->getRadioGroup()), 2);
        settle(300);
        EXPECT_EQ(topPicker(menu), picker) << "closed before half a second";
        ASSERT_TRUE(uitest::runLoopUntil(
            [&] { return std::string(menu.top()) == "ZentrelSettingView"; }, 2000));
        EXPECT_EQ(menu.second(PRESSURE_UNIT), "inHg");
    }

    menu.select(ALTITUDE_UNIT);
    ZentrelSettingUnitViewController* distance = nullptr;
    ASSERT_TRUE(uitest::runLoopUntil([&] { return (distance = topPicker(menu)); }, 2000));
    ASSERT_EQ(distance->getUnitItems().size(), 2u);
    menu.shot("setting_distance_picker.png");
    elm_genlist_item_selected_set(distance->getUnitItems()[1]->getElmObjectItem(), EINA_TRUE);
    EXPECT_EQ(storage->getSettingDistance(), 1);
    ASSERT_TRUE(uitest::runLoopUntil(
        [&] { return std::string(menu.top()) == "ZentrelSettingView"; }, 2000));
    EXPECT_EQ(menu.second(ALTITUDE_UNIT), "ft");

    // Back on the pages, the barometer shows the new unit with the next reading.
    menu.view->popOut();
    ASSERT_TRUE(uitest::runLoopUntil(
        [&] { return std::string(menu.top()) == "ZentrelPageController"; }, 2000));
    menu.screen->controller->onCurrentPressure(1013.25f);
    auto* baro = static_cast<ZentrelBaroViewController*>(
        menu.screen->controller->getPage(ZentrelPageController::PAGE_BARO_VIEW));
    EXPECT_EQ(apptest::text(baro->getValueLayout(), "unit"), "inHg");
    EXPECT_EQ(apptest::text(baro->getValueLayout(), "value"), "29.92");
}

}  // namespace
