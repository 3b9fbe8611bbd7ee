// The main program's utilities: number and time texts by region, script
// direction, text to number, connectivity, the phone-connection popup, and
// the broadcaster.
#include <ZentrelBroadCaster.h>
#include <ZentrelUtil.h>
#include <gtest/gtest.h>
#include <ostra/connection.h>
#include <ostra/vconf.h>

#include <cstdlib>
#include <ctime>
#include <regex>
#include <string>

#include "TestSupport.h"

namespace {

TEST(ZentrelUtilTest, CharToIntAcceptsOnlyWholeDecimalNumbers) {
    testsupport::LogCapture log;
    int error = 99;
    EXPECT_EQ(ZentrelUtil::charToInt("1234", error), 1234);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(ZentrelUtil::charToInt("-7", error), -7);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(ZentrelUtil::charToInt("12a", error), 0);
    EXPECT_EQ(error, -22);
    EXPECT_TRUE(log.contains("12a : Extra characters at end of input : a"));
    error = 0;
    EXPECT_EQ(ZentrelUtil::charToInt("abc", error), 0);
    EXPECT_EQ(error, -22);
    EXPECT_TRUE(log.contains("Source has no decimal."));
    error = 0;
    EXPECT_EQ(ZentrelUtil::charToInt(nullptr, error), 0);
    EXPECT_EQ(error, -22);
    EXPECT_TRUE(log.contains("Input is null."));
    error = 0;
    // Beyond int: refused rather than wrapped to another number.
    EXPECT_EQ(ZentrelUtil::charToInt("99999999999", error), 0);
    EXPECT_EQ(error, -22);
}

TEST(ZentrelUtilTest, ScriptDirectionFollowsRegionLocale) {
    testsupport::TempRoot root;
    testsupport::LogCapture log;
    vconf_set_str(VCONFKEY_REGIONFORMAT, "he_IL.UTF-8");
    EXPECT_TRUE(ZentrelUtil::isReverseLanguage());
    EXPECT_TRUE(ZentrelUtil::isHebrewLanguage());
    vconf_set_str(VCONFKEY_REGIONFORMAT, "fa_IR.UTF-8");
    EXPECT_TRUE(ZentrelUtil::isReverseLanguage());
    EXPECT_FALSE(ZentrelUtil::isHebrewLanguage());
    vconf_set_str(VCONFKEY_REGIONFORMAT, "en_GB.UTF-8");
    EXPECT_FALSE(ZentrelUtil::isReverseLanguage());
    EXPECT_FALSE(ZentrelUtil::isHebrewLanguage());
}

TEST(ZentrelUtilTest, NumberTextsUseTheRegionsDigitsAndSeparators) {
    testsupport::TempRoot root;
    testsupport::LogCapture log;
    vconf_set_str(VCONFKEY_REGIONFORMAT, "en_US.UTF-8");
    EXPECT_EQ(ZentrelUtil::getNumberStringFromIcu(1234567), "1,234,567");
    EXPECT_EQ(ZentrelUtil::getDoubleNumberStringFromIcu(1013.25), "1,013.25");
    vconf_set_str(VCONFKEY_REGIONFORMAT, "de_DE.UTF-8");
    EXPECT_EQ(ZentrelUtil::getNumberStringFromIcu(1234567), "1.234.567");
    EXPECT_EQ(ZentrelUtil::getDoubleNumberStringFromIcu(1013.25), "1.013,25");
    // Gauge values: no grouping, a fixed count of decimals, the region's separator.
    EXPECT_EQ(ZentrelUtil::getNumberStringFromIcu(1013, false), "1013");
    EXPECT_EQ(ZentrelUtil::getDoubleNumberStringFromIcu(29.9, 2, false), "29,90");
    vconf_set_str(VCONFKEY_REGIONFORMAT, "ar_EG.UTF-8");
    EXPECT_EQ(ZentrelUtil::getNumberStringFromIcu(42), "\u0664\u0662");

    vconf_set_str(VCONFKEY_REGIONFORMAT, std::string(60, 'x').c_str());
    EXPECT_EQ(ZentrelUtil::getNumberStringFromIcu(-5), "-5");
    EXPECT_TRUE(log.contains("Region string has wrong value."));
}

TEST(ZentrelUtilTest, TimeTextIsTimeOnlyForTodayAndDateOtherwise) {
    testsupport::TempRoot root;
    vconf_set_str(VCONFKEY_REGIONFORMAT, "en_US.UTF-8");
    vconf_set_int(VCONFKEY_REGIONFORMAT_TIME1224, VCONFKEY_TIME_FORMAT_24);
    time_t now = time(nullptr);
    char* today = ZentrelUtil::getTimeText(now);
    ASSERT_NE(today, nullptr);
    EXPECT_TRUE(std::regex_match(today, std::regex("\\d{1,2}:\\d{2}"))) << today;
    free(today);

    time_t old = 1577880000;  // 2020-01-01
    char* other = ZentrelUtil::getTimeText(old);
    ASSERT_NE(other, nullptr);
    EXPECT_NE(std::string(other).find("2020"), std::string::npos) << other;
    free(other);

    vconf_set_int(VCONFKEY_REGIONFORMAT_TIME1224, VCONFKEY_TIME_FORMAT_12);
    char* twelve = ZentrelUtil::getTimeText(now);
    ASSERT_NE(twelve, nullptr);
    EXPECT_TRUE(std::regex_search(twelve, std::regex("AM|PM"))) << twelve;
    free(twelve);
}

TEST(ZentrelUtilTest, CellularCountsOnlyWithoutDataRestriction) {
    testsupport::TempRoot root;
    setenv("OSTRA_CONNECTION_TYPE", "cellular", 1);
    vconf_set_int("db/setting/data_restriction", 1);
    EXPECT_FALSE(ZentrelUtil::isConnectedNetwork());
    vconf_set_int("db/setting/data_restriction", 0);
    EXPECT_TRUE(ZentrelUtil::isConnectedNetwork());
    setenv("OSTRA_CONNECTION_TYPE", "wifi", 1);
    vconf_set_int("db/setting/data_restriction", 1);
    EXPECT_TRUE(ZentrelUtil::isConnectedNetwork());
    setenv("OSTRA_CONNECTION_TYPE", "disconnected", 1);
    EXPECT_FALSE(ZentrelUtil::isConnectedNetwork());
    unsetenv("OSTRA_CONNECTION_TYPE");
}

TEST(ZentrelUtilTest, PhoneLinkKeysAndTheConnectionPopup) {
    testsupport::TempRoot root;
    testsupport::LogCapture log;
    vconf_set_int("memory/private/qrl/conn_status", 3);
    EXPECT_TRUE(ZentrelUtil::isConnectToMobileByBT());
    vconf_set_int("memory/private/qrl/conn_status", 2);
    EXPECT_FALSE(ZentrelUtil::isConnectToMobileByBT());
    vconf_set_int("memory/private/qrl/conn_type", 0);
    vconf_set_int("memory/private/linkra/ios_connected", 0);
    EXPECT_FALSE(ZentrelUtil::getHostConnected());
    vconf_set_int("memory/private/linkra/ios_connected", 1);
    EXPECT_TRUE(ZentrelUtil::getHostConnected());
    EXPECT_TRUE(log.contains("iOS CONNECTED"));
    EXPECT_EQ(ZentrelUtil::getIntVconf("memory/not/there"), 0);
    EXPECT_TRUE(log.contains("memory/not/there vconf_get fail"));
    EXPECT_FALSE(ZentrelUtil::isNetworkSupportDevice());

    // The platform's connection popup answers; its back key means "failed".
    setenv("OSTRA_CONNECTION_POPUP_ANSWER", "back", 1);
    setenv("ELM_DISPLAY", "buffer", 1);
    int answer = 1;
    ASSERT_TRUE(ZentrelUtil::sendLinkraAppcontrol(
        "bt_connect",
        [](app_control_h, app_control_h, app_control_result_e result, void* data) {
            *static_cast<int*>(data) = result;
        },
        &answer));
    EXPECT_TRUE(testsupport::runUntil([&] { return answer != 1; }, 15000));
    EXPECT_EQ(answer, APP_CONTROL_RESULT_FAILED);
    unsetenv("OSTRA_CONNECTION_POPUP_ANSWER");
    unsetenv("ELM_DISPLAY");
}

TEST(ZentrelUtilTest, PathsSitUnderTheResourceDirectory) {
    std::string res = ZentrelUtil::getAppResourcePath();
    ASSERT_FALSE(res.empty());
    EXPECT_EQ(res.back(), '/');
    EXPECT_EQ(std::string(ZentrelUtil::getAppEdjFilePath()), res + "edje/zentrel.edj");
    EXPECT_EQ(std::string(ZentrelUtil::getAppColorTablePath()), res + "table/Zentrel_color.xml");
    char* image = ZentrelUtil::getAppResourceImageFilePathN("alti_popup_btn_check.png");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(std::string(image), res + "edje/images/alti_popup_btn_check.png");
    free(image);
    EXPECT_EQ(ZentrelUtil::getAppResourceImageFilePathN(nullptr), nullptr);
}

TEST(ZentrelUtilTest, BroadCasterIsOneSignalUntilDeleted) {
    std::string heard;
    ZentrelBroadCaster::Signal& signal = ZentrelBroadCaster::getBroadCaster();
    EXPECT_EQ(&signal, &ZentrelBroadCaster::getBroadCaster());
    signal.addListener([&](const std::string& event, void*) { heard += event; });
    ZentrelBroadCaster::getBroadCaster().onEmit("language,changed", nullptr);
    EXPECT_EQ(heard, "language,changed");
    ZentrelBroadCaster::deleteBroadCaster();
    ZentrelBroadCaster::getBroadCaster().onEmit("language,changed", nullptr);
    EXPECT_EQ(heard, "language,changed");
    ZentrelBroadCaster::deleteBroadCaster();
}

}  // namespace
