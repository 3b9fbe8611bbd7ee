#include <gtest/gtest.h>
#include <ostra/app_preference.h>
#include <ostra/vconf.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "TestSupport.h"
#include "ZentrelStorageMgr.h"

using testsupport::LogCapture;
using testsupport::TempRoot;

namespace {

ZentrelStorageMgr* store() {
    return ZentrelStorageMgr::getInstance();
}

std::string prefString(const char* key) {
    char* value = nullptr;
    if (preference_get_string(key, &value) != PREFERENCE_ERROR_NONE) {
        return "<absent>";
    }
    std::string text = value;
    free(value);
    return text;
}

struct CountryCase {
    const char* country;  // nullptr: stored with a type that cannot be read as text
    int distance;
    int pressure;
};

TEST(StorageMgr, FreshStoreResolvesUnitsByCountry) {
    const CountryCase cases[] = {
        {"US", 1, 1}, {"RU", 0, 2}, {"DE", 0, 0}, {"", 0, 0}, {nullptr, 0, 0}};
    for (const auto& c : cases) {
        TempRoot root;
        if (c.country) {
            ASSERT_EQ(vconf_set_str(VCONFKEY_CSC_COUNTRY_ISO, c.country), VCONF_OK);
        } else {
            ASSERT_EQ(vconf_set_int(VCONFKEY_CSC_COUNTRY_ISO, 7), VCONF_OK);
        }
        store()->initStorage();
        SCOPED_TRACE(c.country ? c.country : "unreadable");
        EXPECT_EQ(store()->getSettingDistance(), c.distance);
        EXPECT_EQ(store()->getSettingPressure(), c.pressure);
        EXPECT_EQ(store()->getDataSLP(), 1013.25);
        EXPECT_EQ(store()->getTemperature(), 99999.0);
        EXPECT_EQ(prefString(ZNETREL_DATA_STORE_APP_VERSION), "0");
        EXPECT_EQ(prefString(ZENTREL_DATA_SEE_LEVEL_HISTORY), "");
        EXPECT_EQ(prefString(ZENTREL_DATA_CALIBRATE_TIME), "");
    }
}

TEST(StorageMgr, CountrySetWithOstractlResolvesOnAFreshStore) {
    TempRoot root;
    ASSERT_EQ(testsupport::runProgram(
                  {OSTRACTL_PATH, "vconf", "set", "db/csc/country_iso", "string", "RU"}),
              0);
    store()->initStorage();
    EXPECT_EQ(store()->getSettingDistance(), 0);
    EXPECT_EQ(store()->getSettingPressure(), 2);
}

TEST(StorageMgr, SecondInitKeepsUserChoices) {
    TempRoot root;
    vconf_set_str(VCONFKEY_CSC_COUNTRY_ISO, "US");
    store()->initStorage();
    store()->saveSettingDistance(0);
    store()->saveSettingPressure(2);
    store()->saveDataSLP(1000.0);
    store()->addDataSLPHistory(1500000000, 1000.0);
    store()->saveStoreAppVersion(12);
    vconf_set_str(VCONFKEY_CSC_COUNTRY_ISO, "RU");
    store()->initStorage();
    EXPECT_EQ(store()->getSettingDistance(), 0);
    EXPECT_EQ(store()->getSettingPressure(), 2);
    EXPECT_EQ(store()->getDataSLP(), 1000.0);
    EXPECT_EQ(store()->getStoreAppVersion(), 12);
    EXPECT_FALSE(store()->isDataSLPHistoryEmpty());
}

TEST(StorageMgr, DemoModeResetsEveryKeyAndFixesTheAltitude) {
    TempRoot root;
    vconf_set_str(VCONFKEY_CSC_COUNTRY_ISO, "US");
    store()->initStorage();
    store()->saveSettingManualMode(1);
    store()->saveSettingAlert(1);
    store()->saveAutoRefresh(1);
    store()->saveDataSLP(990.0);
    store()->saveTemperature(20.0);
    store()->saveDataCalTime(1500000000);
    store()->addDataSLPHistory(1500000000, 990.0);
    store()->saveUserAgreementState(1);
    store()->savePermissionGuideState(1);
    store()->saveStoreAppVersion(5);

    ASSERT_EQ(vconf_set_int(VCONFKEY_RETAILMODE_ENABLED, 1), VCONF_OK);
    store()->initStorage();
    EXPECT_EQ(store()->getSettingManualMode(), 0);
    EXPECT_EQ(store()->getSettingAlert(), 0);
    EXPECT_EQ(store()->getAutoRefresh(), 0);
    EXPECT_EQ(store()->getDataSLP(), 1013.25);
    EXPECT_EQ(store()->getTemperature(), 99999.0);
    EXPECT_EQ(store()->getDataCalTime(), 0);
    EXPECT_TRUE(store()->isDataSLPHistoryEmpty());
    EXPECT_EQ(store()->getUserAgreementState(), 0);
    EXPECT_EQ(store()->getPermissionGuideState(), 0);
    EXPECT_EQ(prefString(ZNETREL_DATA_STORE_APP_VERSION), "-1");
    // The placeholders are resolved in the same call, by country.
    EXPECT_EQ(store()->getSettingDistance(), 1);
    EXPECT_EQ(store()->getSettingPressure(), 1);
    EXPECT_EQ(store()->getAltivalue(900.0), 110.0);
    EXPECT_EQ(store()->getAltivalue(0.0), 0.0);
}

TEST(StorageMgr, AltitudeFormulasWithAndWithoutTemperature) {
    TempRoot root;
    store()->initStorage();
    LogCapture logs;
    EXPECT_DOUBLE_EQ(store()->getAltivalue(1013.25), 0.0);
    EXPECT_EQ(store()->getAltivalue(0.0), 0.0);
    EXPECT_TRUE(logs.contains("divider is zero!"));
    EXPECT_EQ(store()->getAltivalue(900.0, 0.0), 0.0);

    const double p = 900.0, slp = 1020.0;
    EXPECT_NEAR(store()->getAltivalue(p, slp), (1 - std::pow(p / slp, 1 / 5.255)) * 44330.0, 1e-6);
    store()->saveTemperature(-10.0);
    EXPECT_NEAR(store()->getAltivalue(p, slp),
                (std::pow(slp / p, 1 / 5.257) - 1) * (-10.0 + 273.15) / 0.0065, 1e-6);

    // A stored SLP of zero or below (written by an older version) is replaced by
    // the standard one.
    store()->saveTemperature(99999.0);
    for (double bad : {0.0, -5.0}) {
        ASSERT_EQ(preference_set_double(ZENTREL_DATA_SEE_LEVEL, bad), PREFERENCE_ERROR_NONE);
        logs.clear();
        EXPECT_NEAR(store()->getAltivalue(900.0), store()->getAltivalue(900.0, 1013.25), 1e-9);
        EXPECT_TRUE(logs.contains("No valid slp"));
    }
}

TEST(StorageMgr, ManualSlpRoundTripsThroughTheAltitude) {
    TempRoot root;
    store()->initStorage();
    for (double temperature : {99999.0, 25.0, -20.0}) {
        store()->saveTemperature(temperature);
        for (double alti : {-400.0, 0.0, 1234.5, 8000.0}) {
            double slp = store()->getManualSLP(alti, 850.0);
            EXPECT_NEAR(store()->getAltivalue(850.0, slp), alti, 1e-6)
                << "temperature " << temperature << " altitude " << alti;
        }
    }
    EXPECT_NEAR(store()->getManualSLP(0.0, 1000.0, 99999.0), 1000.0, 1e-9);
}

TEST(StorageMgr, LimitsFollowTheUnitAndAreReadAfresh) {
    TempRoot root;
    store()->initStorage();
    store()->saveSettingPressure(0);
    EXPECT_EQ(store()->getValidSlpValue(2000.0), 1150.0);
    EXPECT_EQ(store()->getValidSlpValue(100.0), 350.0);
    EXPECT_EQ(store()->getValidSlpValue(1000.0), 1000.0);
    store()->saveSettingPressure(1);
    EXPECT_EQ(store()->getValidSlpValue(5.0), 10.33);
    EXPECT_EQ(store()->getValidSlpValue(40.0), 33.95);
    store()->saveSettingPressure(2);
    EXPECT_EQ(store()->getSlpMinValue(), 263.0);
    EXPECT_EQ(store()->getSlpMaxValue(), 863.0);
    store()->saveSettingDistance(1);
    EXPECT_EQ(store()->getValidAltiValue(-3000), -2620);
    EXPECT_EQ(store()->getValidAltiValue(30000), 28870);
    store()->saveSettingDistance(0);
    EXPECT_EQ(store()->getValidAltiValue(-3000), -800);
    EXPECT_EQ(store()->getValidAltiValue(9000), 8800);
    EXPECT_EQ(store()->getValidAltiValue(100), 100);
}

TEST(StorageMgr, HistoryAppendsOncePerTime) {
    TempRoot root;
    store()->initStorage();
    EXPECT_TRUE(store()->isDataSLPHistoryEmpty());
    store()->addDataSLPHistory(1500000000, 1013.25);
    EXPECT_EQ(prefString(ZENTREL_DATA_SEE_LEVEL_HISTORY), "T:1500000000;P+1013.250000");
    store()->addDataSLPHistory(1500000000, 1009.4);
    store()->addDataSLPHistory(1500010800, 1009.4);
    char* history = store()->getDataSLPHistory();
    EXPECT_STREQ(history, "T:1500000000;P+1013.250000T:1500010800;P+1009.400000");
    free(history);
    store()->saveDataSLPHistory("");
    EXPECT_TRUE(store()->isDataSLPHistoryEmpty());
    preference_remove(ZENTREL_DATA_SEE_LEVEL_HISTORY);
    history = store()->getDataSLPHistory();
    EXPECT_STREQ(history, "");
    free(history);
}

TEST(StorageMgr, ReadFailuresGiveFallbacksAndLog) {
    TempRoot root;
    LogCapture logs;
    EXPECT_EQ(store()->getSettingManualMode(), 0);
    EXPECT_TRUE(logs.contains("No Correct Data"));
    EXPECT_EQ(store()->getDataSLP(), 0.0);
    EXPECT_EQ(store()->getTemperature(), 99999.0);
    EXPECT_EQ(store()->getDataCalTime(), 0);
    logs.clear();
    EXPECT_EQ(store()->getStoreAppVersion(), 0);
    EXPECT_TRUE(logs.contains("No Data"));
    logs.clear();
    EXPECT_EQ(store()->getAutoRefresh(), 0);
    EXPECT_EQ(store()->getRestoreComplete(), 0);
    EXPECT_FALSE(logs.contains("No Correct Data"));

    // Values of the wrong type and text that is not a decimal number.
    preference_set_string(ZENTREL_SETTING_MANUAL, "1");
    EXPECT_EQ(store()->getSettingManualMode(), 0);
    preference_set_string(ZENTREL_DATA_CALIBRATE_TIME, "");
    EXPECT_EQ(store()->getDataCalTime(), 0);
    preference_set_string(ZENTREL_DATA_CALIBRATE_TIME, "12abc");
    EXPECT_EQ(store()->getDataCalTime(), 0);
    store()->saveDataCalTime(-1500000000LL);
    EXPECT_EQ(store()->getDataCalTime(), -1500000000LL);
    store()->saveLastStoreCheckTime(9000000000LL);
    EXPECT_EQ(store()->getLastStoreCheckTime(), 9000000000LL);
    EXPECT_TRUE(logs.contains("Last store check time [9000000000]"));
}

TEST(StorageMgr, AgreementAndGuideOutsideChinaModels) {
    TempRoot root;
    store()->initStorage();
    EXPECT_EQ(store()->getUseNetworkAgreementState(), 1);
    int stored = 0;
    ASSERT_EQ(preference_get_int(ZENTREL_DATA_USE_NETWORK_AGREEMENT_STATE, &stored),
              PREFERENCE_ERROR_NONE);
    EXPECT_EQ(stored, 1);
    EXPECT_EQ(store()->getPermissionGuideState(), 0);
    store()->savePermissionGuideState(1);
    EXPECT_EQ(store()->getPermissionGuideState(), 1);
}

TEST(StorageMgr, VersionAndCurrentPressure) {
    const char* version = nullptr;
    const char* update = nullptr;
    store()->getAppVersion(&version, &update);
    EXPECT_STREQ(version, ZENTREL_TEST_VERSION);
    EXPECT_STREQ(update, "");
    store()->setCurrentPressure(1001.0);
    EXPECT_EQ(store()->getCurrentPressure(), 1001.0);
    char* text = store()->getTimeText(1500000000);
    ASSERT_NE(text, nullptr);
    EXPECT_NE(std::string(text).find("2017"), std::string::npos);
    free(text);
}

TEST(StorageMgr, CorruptStoreRunsOnDefaults) {
    TempRoot root;
    std::string dir = root.path() + "/apps/" OSTRA_TEST_PACKAGE_ID "/preference";
    ASSERT_EQ(
        system(("mkdir -p " + dir + " && head -c 8192 /dev/urandom > " + dir + "/preference.db")
                   .c_str()),
        0);
    LogCapture logs;
    store()->initStorage();
    EXPECT_TRUE(logs.contains("set aside"));
    EXPECT_EQ(store()->getDataSLP(), 1013.25);
    EXPECT_EQ(store()->getSettingManualMode(), 0);
}

}  // namespace

// One bad history entry makes a reader drop the whole history, so a
// non-finite or out-of-range SLP is refused before it is written.
TEST(StorageMgr, BadSlpIsNeverWrittenToTheHistoryOrTheStore) {
    TempRoot root;
    store()->initStorage();
    store()->saveDataSLP(1009.5);
    store()->addDataSLPHistory(1500000000, 1009.5);
    LogCapture logs;
    for (double bad : {std::nan(""), -3.0, HUGE_VAL, 0.0, 20000.0}) {
        store()->addDataSLPHistory(1500000600, bad);
        store()->saveDataSLP(bad);
    }
    EXPECT_EQ(logs.count("refused"), 10);
    EXPECT_EQ(prefString(ZENTREL_DATA_SEE_LEVEL_HISTORY), "T:1500000000;P+1009.500000");
    EXPECT_DOUBLE_EQ(store()->getDataSLP(), 1009.5);
}
