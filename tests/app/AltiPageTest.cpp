// The altitude page against the provider stand-in (real HTTPS), the real
// store and the platform's location service with its played faults.
#include <WeatherCpMgr.h>
#include <ZentrelAltiViewController.h>
#include <ZentrelBroadCaster.h>
#include <ZentrelLocationMgr.h>
#include <ZentrelPopup.h>
#include <ZentrelStorageMgr.h>
#include <gtest/gtest.h>
#include <ostra/i18n.h>
#include <ostra/key_storage.h>
#include <ostra/location_manager.h>
#include <ostra/privacy_privilege_manager.h>
#include <ostra/vconf.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "AppTestSupport.h"
#include "ProviderStandIn.h"

namespace {

using MeasuringState = ZentrelAltiViewController::eMeasuringState;
using PopupState = ZentrelAltiViewController::ePopupState;
using ViewState = ZentrelAltiViewController::_eAltiViewState;

constexpr const char* kNotAvailable = "WDS_ALTI_TPOP_LOCATION_NOT_AVAILABLE";
constexpr const char* kEnterManually =
    "WDS_ALTI_POP_CANT_GET_A_SEA_LEVEL_AIR_PRESSURE_READING_FOR_YOUR_LOCATION_ENTER_MANUALLY_Q";
constexpr const char* kIndoors =
    "WDS_ALTI_BODY_COULDNT_FIND_YOUR_LOCATION_LOCATION_DETECTION_CAN_BE_DIFFICULT_IF_YOURE_"
    "INDOORS";
constexpr double kStandInSlp = 1008.4;  // the stand-in's TWC answer
constexpr double kStandInCelsius = 15.0;

ZentrelStorageMgr* storage() {
    return ZentrelStorageMgr::getInstance();
}

std::string tr(const char* id) {
    return i18n_get_text(id);
}

class AltiPageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(standIn.running());
        setenv("OSTRA_CONNECTION_TYPE", "wifi", 1);
        setenv("OSTRA_CONNECTION_POPUP_ANSWER", "ok", 1);
        vconf_set_dbl(VCONFKEY_LOCATION_LATITUDE, 46.5);
        vconf_set_dbl(VCONFKEY_LOCATION_LONGITUDE, 7.9);
        vconf_set_str(OSTRA_PRIVILEGE_KEY_PREFIX "location", "allow");
        key_storage_set("zentrel_twc_api_key", "test-key");
        WeatherCpMgr::GetInstance()->SetFakeCsc("TWC");
        // The location singleton outlives each test's store: start it afresh.
        ZentrelLocationMgr::getInstance()->destroyLocationMgr();
        storage()->saveUseNetworkAgreementState(1);
        storage()->saveUserAgreementState(1);
        storage()->setCurrentPressure(1000.0);
    }
    void TearDown() override {
        screen.reset();
        unsetenv("OSTRA_CONNECTION_TYPE");
        unsetenv("OSTRA_CONNECTION_POPUP_ANSWER");
    }

    ZentrelAltiViewController* open() {
        screen.reset();
        screen = std::make_unique<apptest::Screen>(ZentrelPageController::PAGE_ALTI_VIEW);
        page = static_cast<ZentrelAltiViewController*>(
            screen->controller->getPage(ZentrelPageController::PAGE_ALTI_VIEW));
        page->setLocationWatchdogSeconds(0.3);
        page->viewSignal.addListener(
            [this](const std::string& signal, void*) { signals.push_back(signal); });
        return page;
    }
    bool waitIdle(int ms = 10000) {
        return uitest::runLoopUntil(
            [this] { return page->getMeasuringState() == MeasuringState::IDLE; }, ms);
    }
    bool waitPopup(PopupState state, int ms = 10000) {
        return uitest::runLoopUntil([this, state] { return page->getPopupState() == state; }, ms);
    }
    std::string popupText() const { return ZentrelPopup::getText(page->getCurrentPopup()); }
    std::string shot(const char* name) {
        // Past the screen's fade-in, so the picture shows the real colours.
        uitest::runLoopUntil([] { return false; }, 900);
        return apptest::screenshot(screen->window.getEvasObj(), name);
    }
    void tapGo() {
        const bool init = storage()->isDataSLPHistoryEmpty();
        elm_layout_signal_emit(page->getLayout(), "mouse,clicked,1",
                               init ? "alti_init_go_event" : "alti_refresh_event");
        edje_object_message_signal_process(elm_layout_edje_get(page->getLayout()));
    }

    apptest::AppEnvironment env;
    testsupport::ProviderStandIn standIn{env.root()};
    std::unique_ptr<apptest::Screen> screen;
    ZentrelAltiViewController* page = nullptr;
    std::vector<std::string> signals;
};

TEST_F(AltiPageTest, NewUserGoesThroughTheAgreementsAndCalibrates) {
    storage()->saveUseNetworkAgreementState(0);
    storage()->saveUserAgreementState(0);
    vconf_unset(OSTRA_PRIVILEGE_KEY_PREFIX "location");  // asked, answered "allow forever"
    open();
    EXPECT_EQ(page->getAltiViewState(), ViewState::INIT_NORMAL);
    EXPECT_EQ(apptest::text(page->getLayout(), "alti_init_go_text"), tr("WDS_ALTI_ACBUTTON_GO"));
    EXPECT_NE(page->getScreenReaderText().find(tr("WDS_ALTI_ACBUTTON_GO")), std::string::npos);
    shot("alti-init-normal.png");

    // Outside China the network use needs no question: the privacy notice comes first.
    tapGo();
    ASSERT_TRUE(waitPopup(PopupState::TWOBTN_USER_AGREEMENT));
    EXPECT_EQ(storage()->getUseNetworkAgreementState(), 1);
    EXPECT_EQ(popupText(), WeatherCpMgr::GetInstance()->GetPrivacyPolicyText());
    shot("alti-popup-user-agreement.png");
    ASSERT_TRUE(ZentrelPopup::press(page->getCurrentPopup(), 1));
    EXPECT_EQ(page->getPopupState(), PopupState::INIT);
    EXPECT_EQ(storage()->getUserAgreementState(), 0);
    tapGo();
    ASSERT_EQ(page->getPopupState(), PopupState::TWOBTN_USER_AGREEMENT);
    ASSERT_TRUE(ZentrelPopup::press(page->getCurrentPopup(), 2));
    EXPECT_EQ(storage()->getUserAgreementState(), 1);

    // Calibrating now; another tap changes nothing.
    EXPECT_EQ(page->getMeasuringState(), MeasuringState::LOCATION_CALL);
    EXPECT_EQ(page->getCalCount(), 1);
    tapGo();
    EXPECT_EQ(page->getCalCount(), 1);
    uitest::runLoopUntil([] { return false; }, 450);
    if (page->getMeasuringState() != MeasuringState::IDLE) {
        EXPECT_EQ(page->getAltiViewState(), ViewState::INIT_MEASURING);
        shot("alti-init-measuring.png");
    }
    const long long before = apptest::now();
    ASSERT_TRUE(waitIdle());

    EXPECT_FALSE(storage()->isDataSLPHistoryEmpty());
    EXPECT_DOUBLE_EQ(storage()->getDataSLP(), kStandInSlp);
    EXPECT_NEAR(storage()->getTemperature(), kStandInCelsius, 1e-6);
    EXPECT_GE(storage()->getDataCalTime(), before - 1);
    EXPECT_EQ(standIn.served("twc-v3"), 1);
    EXPECT_EQ(page->getCalCount(), 0);
    EXPECT_EQ(page->getPopupState(), PopupState::INIT);
    EXPECT_EQ(page->getAltiViewState(), ViewState::AUTO_NORMAL);
    EXPECT_FALSE(apptest::text(page->getLayout(), "alti_calibrated_time_and_set_ref_text").empty());
    ASSERT_NE(page->getGraph(), nullptr);
    EXPECT_NE(page->getGraph()->getChartObject(), nullptr);
    // The needle sweeps from 0 because this was the first reference.
    const std::vector<std::string> expected = {"action,first,transit", "action,show,picker"};
    EXPECT_EQ(signals, expected);
    ASSERT_TRUE(uitest::runLoopUntil(
        [this] { return !apptest::text(page->getValueLayout(), "value").empty(); }, 5000));
    // The count-up ends on the whole metres of the new altitude.
    const int metres = static_cast<int>(std::trunc(storage()->getAltivalue(1000.0)));
    ASSERT_TRUE(uitest::runLoopUntil(
        [&] { return apptest::text(page->getValueLayout(), "value") == std::to_string(metres); },
        5000));
    shot("alti-auto-normal.png");
    const std::string reading = page->getScreenReaderText();
    EXPECT_NE(reading.find("Page 1 of 3"), std::string::npos) << reading;
    EXPECT_NE(reading.find(std::to_string(metres) + " " + tr("WDS_ALTI_BODY_M_M_METRES_UNIT_LC")),
              std::string::npos)
        << reading;
    EXPECT_NE(reading.find(tr("WDS_ALTI_BUTTON_CALIBRATED_M_STATIS_ABB")), std::string::npos);
    ASSERT_NE(page->getAccessObject(), nullptr);
    std::unique_ptr<char, decltype(&free)> read(
        elm_access_info_get(page->getAccessObject(), ELM_ACCESS_INFO), &free);
    EXPECT_EQ(std::string(read ? read.get() : ""), reading);
    page->onBecomeHidePage();
    EXPECT_EQ(efl_access_object_access_type_get(page->getAccessObject()), EFL_ACCESS_TYPE_SKIPPED);
    page->onBecomeTopPage();
    EXPECT_EQ(efl_access_object_access_type_get(page->getAccessObject()), EFL_ACCESS_TYPE_REGULAR);
}

TEST_F(AltiPageTest, SecondFailedAttemptOffersManualEntryAndASuccessResetsTheCount) {
    open();
    vconf_set_str(VCONFKEY_LOCATION_FAULT, "service-not-available");
    tapGo();
    EXPECT_EQ(page->getMeasuringState(), MeasuringState::IDLE);
    EXPECT_EQ(page->getPopupState(), PopupState::TOAST);
    EXPECT_EQ(popupText(), tr(kNotAvailable));
    EXPECT_EQ(page->getCalCount(), 1);
    shot("alti-popup-toast.png");
    tapGo();
    EXPECT_EQ(page->getPopupState(), PopupState::TWOBTN);
    EXPECT_EQ(popupText(), tr(kEnterManually));
    EXPECT_EQ(page->getCalCount(), 0);
    shot("alti-popup-enter-manually.png");
    ASSERT_TRUE(ZentrelPopup::press(page->getCurrentPopup(), 1));
    EXPECT_EQ(page->getPopupState(), PopupState::INIT);

    tapGo();
    EXPECT_EQ(page->getCalCount(), 1);
    vconf_unset(VCONFKEY_LOCATION_FAULT);
    page->onBecomeTop();
    tapGo();
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(page->getCalCount(), 0);
    EXPECT_DOUBLE_EQ(storage()->getDataSLP(), kStandInSlp);
    vconf_set_str(VCONFKEY_LOCATION_FAULT, "out-of-memory");
    tapGo();
    EXPECT_EQ(page->getPopupState(), PopupState::TOAST) << "one failure after a success";
    vconf_unset(VCONFKEY_LOCATION_FAULT);
}

TEST_F(AltiPageTest, EachLocationErrorIsToldTheWayItsRowSays) {
    struct Row {
        const char* fault;
        PopupState popup;
        const char* text;
    };
    const Row rows[] = {
        {"out-of-memory", PopupState::TOAST, kNotAvailable},
        {"invalid-parameter", PopupState::TOAST, kNotAvailable},
        {"accessibility-not-allowed", PopupState::TOAST, kNotAvailable},
        {"incorrect-method", PopupState::TOAST, kNotAvailable},
        {"service-not-available", PopupState::TOAST, kNotAvailable},
        {"not-supported", PopupState::ONEBTN, kNotAvailable},
        {"security-restricted", PopupState::TOAST, kNotAvailable},
        {"gps-setting-off", PopupState::TWOBTN_LOCATION, "WDS_ALTI_POP_TURN_ON_LOCATION_Q"},
        // The connection screen (a real program) answers OK: manual entry is offered.
        {"network-failed", PopupState::TWOBTN, kEnterManually},
    };
    for (const Row& row : rows) {
        vconf_set_str(VCONFKEY_LOCATION_FAULT, row.fault);
        open();
        tapGo();
        ASSERT_TRUE(waitPopup(row.popup, 15000)) << row.fault;
        EXPECT_EQ(popupText(), tr(row.text)) << row.fault;
        const bool waitsForAnswer = row.popup == PopupState::TWOBTN_LOCATION;
        EXPECT_EQ(page->getMeasuringState() == MeasuringState::IDLE, !waitsForAnswer) << row.fault;
        if (row.popup == PopupState::ONEBTN) {
            shot("alti-popup-one-button.png");
        } else if (waitsForAnswer) {
            shot("alti-popup-location.png");
        }
    }
    vconf_unset(VCONFKEY_LOCATION_FAULT);
}

TEST_F(AltiPageTest, SilentLocationEndsInTheWatchdogAndTurningLocationOnCalibrates) {
    vconf_set_bool(VCONFKEY_LOCATION_SILENT, 1);
    open();
    page->setLocationWatchdogSeconds(2.5);
    tapGo();
    EXPECT_EQ(page->getMeasuringState(), MeasuringState::LOCATION_CALL);
    uitest::runLoopUntil([] { return false; }, 450);
    EXPECT_EQ(page->getAltiViewState(), ViewState::INIT_MEASURING);
    EXPECT_EQ(apptest::text(page->getLayout(), "alti_measuring_altitude_text"),
              tr("WDS_ALTI_BODY_MEASURING_ALTITUDE_ING_ABB"));
    shot("alti-init-measuring.png");
    ASSERT_TRUE(waitPopup(PopupState::ONEBTN, 5000));
    EXPECT_EQ(popupText(), tr(kIndoors));
    EXPECT_EQ(page->getMeasuringState(), MeasuringState::IDLE);
    EXPECT_TRUE(storage()->isDataSLPHistoryEmpty());
    ASSERT_TRUE(ZentrelPopup::press(page->getCurrentPopup(), 1));

    // Location switched off: the user is asked, agrees, and the calibration goes on.
    vconf_set_bool(VCONFKEY_LOCATION_SILENT, 0);
    vconf_set_bool(VCONFKEY_LOCATION_ENABLED, 0);
    ZentrelLocationMgr::getInstance()->destroyLocationMgr();
    page->setLocationWatchdogSeconds(10);
    tapGo();
    ASSERT_EQ(page->getPopupState(), PopupState::TWOBTN_LOCATION);
    ASSERT_TRUE(ZentrelPopup::press(page->getCurrentPopup(), 2));
    ASSERT_TRUE(waitIdle());
    EXPECT_TRUE(ZentrelLocationMgr::getInstance()->isLocationEnabled());
    EXPECT_DOUBLE_EQ(storage()->getDataSLP(), kStandInSlp);
    EXPECT_EQ(page->getCurrentPopup(), nullptr);
}

TEST_F(AltiPageTest, AutomaticCalibrationFailsSilentlyAndSucceedsQuietly) {
    open();
    standIn.setMode("error");
    page->runAutoCalibration();
    EXPECT_NE(page->getMeasuringState(), MeasuringState::IDLE);
    ASSERT_TRUE(waitIdle());
    uitest::runLoopUntil([] { return false; }, 300);
    EXPECT_EQ(page->getCurrentPopup(), nullptr);
    EXPECT_EQ(page->getPopupState(), PopupState::INIT);
    EXPECT_TRUE(storage()->isDataSLPHistoryEmpty());

    standIn.setMode("normal");
    storage()->saveUserAgreementState(0);
    page->runAutoCalibration();
    EXPECT_EQ(page->getMeasuringState(), MeasuringState::IDLE) << "no agreement, no request";
    storage()->saveUserAgreementState(1);
    page->runAutoCalibration();
    ASSERT_TRUE(waitIdle());
    EXPECT_DOUBLE_EQ(storage()->getDataSLP(), kStandInSlp);
    EXPECT_EQ(page->getCurrentPopup(), nullptr);

    // A user calibration over an existing reference turns the refresh arrow.
    vconf_set_bool(VCONFKEY_LOCATION_SILENT, 1);
    ZentrelLocationMgr::getInstance()->destroyLocationMgr();
    page->setLocationWatchdogSeconds(5);
    tapGo();
    uitest::runLoopUntil([] { return false; }, 450);
    EXPECT_EQ(page->getAltiViewState(), ViewState::AUTO_MEASURING);
    EXPECT_EQ(apptest::text(page->getLayout(), "alti_measuring_altitude_text"),
              tr("WDS_ALTI_BODY_CALIBRATING_ING"));
    shot("alti-auto-measuring.png");
}

TEST_F(AltiPageTest, ValueInMetresAndFeetAndTheUnitToggle) {
    storage()->addDataSLPHistory(apptest::now() - 60, 1013.25);
    storage()->saveDataSLP(1013.25);
    storage()->saveDataCalTime(apptest::now() - 60);
    storage()->saveSettingDistance(1);
    open();
    EXPECT_EQ(page->getAltiViewState(), ViewState::AUTO_NORMAL);
    page->updateValue(1000.0, 100.0);
    EXPECT_EQ(apptest::text(page->getValueLayout(), "value"), "328");
    EXPECT_EQ(apptest::text(page->getValueLayout(), "unit"), tr("WDS_ALTI_BODY_FT_M_FEET_UNIT_LC"));

    page->onLaunchAnimationEnd();
    page->tapUnit();
    EXPECT_EQ(storage()->getSettingDistance(), 0);
    const int metres = static_cast<int>(std::lround(storage()->getAltivalue(1000.0)));
    EXPECT_EQ(apptest::text(page->getValueLayout(), "value"), std::to_string(metres));
    EXPECT_EQ(apptest::text(page->getValueLayout(), "unit"),
              tr("WDS_ALTI_BODY_M_M_METRES_UNIT_LC"));
    EXPECT_EQ(signals.back(), "set,page,alti");
    // A language change rebuilds the value, which keeps showing the altitude.
    Evas_Object* valueLayout = page->getValueLayout();
    ZentrelBroadCaster::getBroadCaster().onEmit("language,changed", nullptr);
    EXPECT_NE(page->getValueLayout(), valueLayout);
    EXPECT_EQ(apptest::text(page->getValueLayout(), "value"), std::to_string(metres));
    // The count-up passing zero shows zero, not the altitude of no pressure.
    page->updateValue(0, 0);
    EXPECT_EQ(apptest::text(page->getValueLayout(), "value"), "0");

    storage()->saveSettingManualMode(1);
    ASSERT_TRUE(uitest::runLoopUntil(
        [this] {
            return apptest::text(page->getLayout(), "alti_calibrated_time_and_set_ref_text") ==
                   tr("WDS_ALTI_BUTTON_SET_REFERENCE_ABB");
        },
        5000));
    EXPECT_EQ(page->getAltiViewState(), ViewState::MANUAL_NORMAL);
    page->updateValue(1000.0, 0);
    shot("alti-manual-normal.png");
    tapGo();
    EXPECT_STREQ(screen->navi->getTopContentViewController()->getClassName(),
                 "ZentrelSettingCalibrationViewController");
}

TEST_F(AltiPageTest, DemoModeAlternatesItsValueAndConvertsOnTheUnitTap) {
    vconf_set_int(VCONFKEY_RETAILMODE_ENABLED, 1);
    storage()->initStorage();
    ASSERT_TRUE(storage()->getLDUModeEnable());
    storage()->savePermissionGuideState(1);
    storage()->saveSettingDistance(0);
    open();
    EXPECT_EQ(apptest::text(page->getValueLayout(), "value"), "111");
    page->updateLDUAltiView();
    EXPECT_EQ(apptest::text(page->getValueLayout(), "value"), "110");
    page->updateLDUAltiView();
    EXPECT_EQ(apptest::text(page->getValueLayout(), "value"), "111");
    shot("alti-ldu.png");
    // The demo's refresh only pretends: "Calibrating..." for two seconds.
    elm_layout_signal_emit(page->getLayout(), "mouse,clicked,1", "alti_refresh_event");
    edje_object_message_signal_process(elm_layout_edje_get(page->getLayout()));
    EXPECT_EQ(apptest::text(page->getLayout(), "alti_measuring_altitude_text"),
              tr("WDS_ALTI_BODY_CALIBRATING_ING"));
    EXPECT_TRUE(uitest::runLoopUntil(
        [this] { return apptest::text(page->getValueLayout(), "value") == "110"; }, 5000));
    EXPECT_TRUE(storage()->isDataSLPHistoryEmpty());
    page->tapUnit();
    EXPECT_EQ(storage()->getSettingDistance(), 1);
    EXPECT_EQ(apptest::text(page->getValueLayout(), "value"), "361");
    page->updateLDUAltiView();
    EXPECT_EQ(apptest::text(page->getValueLayout(), "value"), "364");
    page->updateLDUAltiView();
    EXPECT_EQ(apptest::text(page->getValueLayout(), "value"), "361");
    vconf_set_int(VCONFKEY_RETAILMODE_ENABLED, 0);
}

}  // namespace

namespace {

// The n-th child of the box a popup shows as its content.
Evas_Object* contentChild(Evas_Object* popup, unsigned int n) {
    Evas_Object* content = elm_object_part_content_get(popup, "elm.swallow.content");
    if (content && strstr(elm_object_widget_type_get(content), "croller")) {
        content = elm_object_content_get(content);
    }
    Eina_List* children = content ? elm_box_children_get(content) : nullptr;
    auto* child = static_cast<Evas_Object*>(eina_list_nth(children, n));
    eina_list_free(children);
    return child;
}

void tapAnchor(Evas_Object* link, const char* href) {
    Elm_Entry_Anchor_Info info = {};
    info.name = href;
    evas_object_smart_callback_call(link, "anchor,clicked", &info);
}

TEST_F(AltiPageTest, ChinaNoticeOpensTheProviderPageWhoseLinksNeedAHost) {
    WeatherCpMgr::GetInstance()->SetFakeCsc("HUAFENG");
    storage()->saveUserAgreementState(0);
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    setenv("OSTRA_CONNECTION_POPUP_ANSWER", "back", 1);
    open();
    tapGo();
    ASSERT_EQ(page->getPopupState(), PopupState::TWOBTN_USER_AGREEMENT);
    EXPECT_STREQ(elm_object_part_text_get(page->getCurrentPopup(), "elm.text.title"),
                 i18n_get_text("LDS_ALTI_HEADER_IMPORTANT_NOTICE"));
    Evas_Object* providerLink = contentChild(page->getCurrentPopup(), 1);
    ASSERT_NE(providerLink, nullptr);
    tapAnchor(providerLink, "provider");
    Evas_Object* sub = page->getCurrentSubPopup();
    ASSERT_NE(sub, nullptr);
    shot("alti-popup-service-provider.png");

    testsupport::LogCapture logs;
    vconf_set_int("db/setup_wizard/standalone", 1);
    tapAnchor(contentChild(sub, 1), "https://example.org/terms");
    EXPECT_FALSE(logs.contains("launch request delivered"));
    vconf_set_int("db/setup_wizard/standalone", 0);
    // No desktop session: no host to show the page on, the connection screen opens.
    tapAnchor(contentChild(sub, 2), "https://example.org/privacy");
    EXPECT_TRUE(uitest::runLoopUntil(
        [&] { return logs.contains("launch request delivered to com.korvane.linkra-popup"); },
        10000));
    uitest::runLoopUntil([] { return false; }, 1000);
    EXPECT_EQ(page->getPopupState(), PopupState::TWOBTN_USER_AGREEMENT)
        << "the link's answer offers nothing";
    ASSERT_TRUE(ZentrelPopup::press(sub, 1));
    EXPECT_EQ(page->getCurrentSubPopup(), nullptr);
    EXPECT_EQ(page->getPopupState(), PopupState::TWOBTN_USER_AGREEMENT);
}

}  // namespace
