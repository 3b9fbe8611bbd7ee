// Restores through ostractl cloud and the real backup program: what a record
// writes, what a damaged record may not write, which files are refused, and
// the "restore completed" notice reaching another running process.
#include <gtest/gtest.h>
#include <ostra/app_preference.h>

#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "CloudTestSupport.h"
#include "ZentrelStorageMgr.h"

namespace {

using cloudtest::CloudRoot;
using cloudtest::ostractl;
using cloudtest::Settings;

const Settings kBaseline{0, 0, 0, 0, 1000.0, 0};
const long long kBaselineTime = 1500000000;

void expectSettings(const Settings& expected) {
    Settings actual = cloudtest::loadSettings();
    EXPECT_EQ(actual.manual, expected.manual);
    EXPECT_EQ(actual.distance, expected.distance);
    EXPECT_EQ(actual.pressure, expected.pressure);
    EXPECT_EQ(actual.alert, expected.alert);
    EXPECT_DOUBLE_EQ(actual.slp, expected.slp);
    EXPECT_EQ(actual.autoRefresh, expected.autoRefresh);
}

std::string history() {
    char* text = ZentrelStorageMgr::getInstance()->getDataSLPHistory();
    std::string copy = text ? text : "";
    free(text);
    return copy;
}

// The baseline settings, one history entry, the flag down.
void resetStore() {
    ZentrelStorageMgr* store = ZentrelStorageMgr::getInstance();
    store->initStorage();
    cloudtest::saveSettings(kBaseline);
    store->saveDataSLPHistory("");
    store->addDataSLPHistory(kBaselineTime, kBaseline.slp);
    store->saveRestoreComplete(0);
}

cloudtest::Run restore(const std::string& file) {
    return ostractl({"cloud", "restore", file});
}

TEST(RestoreTest, ManualZeroWritesFiveSettingsAndLeavesSlpAndHistory) {
    CloudRoot root;
    resetStore();
    std::string before = history();
    std::string file = root.path() + "/backup.json";
    cloudtest::writeBackup(file,
                           "{\"zentrel_setting_manual\":0,\"zentrel_setting_distance\":1,"
                           "\"zentrel_setting_pressure\":2,\"zentrel_setting_alert\":1,"
                           "\"zentrel_data_see_level\":1020.5,\"zentrel_setting_auto_refresh\":1}");

    cloudtest::Run run = restore(file);
    ASSERT_EQ(run.status, 0) << run.err;
    expectSettings({0, 1, 2, 1, kBaseline.slp, 1});
    EXPECT_EQ(history(), before);
    EXPECT_EQ(ZentrelStorageMgr::getInstance()->getRestoreComplete(), 1);
    EXPECT_FALSE(g_file_test(cloudtest::trustedFile("restore.dat").c_str(), G_FILE_TEST_EXISTS));
}

TEST(RestoreTest, ManualOneWritesTheSlpAndExactlyOneHistoryEntry) {
    CloudRoot root;
    resetStore();
    std::string before = history();
    std::string file = root.path() + "/backup.json";
    cloudtest::writeBackup(file,
                           "{\"zentrel_setting_manual\":1,\"zentrel_setting_distance\":0,"
                           "\"zentrel_setting_pressure\":1,\"zentrel_setting_alert\":0,"
                           "\"zentrel_data_see_level\":1005.5,\"zentrel_setting_auto_refresh\":0}");

    long long start = time(nullptr);
    cloudtest::Run run = restore(file);
    long long end = time(nullptr);
    ASSERT_EQ(run.status, 0) << run.err;
    expectSettings({1, 0, 1, 0, 1005.5, 0});
    EXPECT_EQ(cloudtest::historyEntryCount(), 2);
    std::string added = history().substr(before.size());
    long long stamp = atoll(added.c_str() + 2);
    EXPECT_GE(stamp, start);
    EXPECT_LE(stamp, end);
    EXPECT_EQ(added, "T:" + std::to_string(stamp) + ";P+1005.500000");
}

TEST(RestoreTest, BackupThenRestoreOnAFreshRootReproducesTheSixSettings) {
    testsupport::TempRoot holder;
    std::string file = holder.path() + "/backup.json";
    {
        CloudRoot device;
        ASSERT_EQ(ostractl({"vconf", "set", "db/csc/country_iso", "string", "RU"}).status, 0);
        ZentrelStorageMgr::getInstance()->initStorage();
        cloudtest::saveSettings({1, 1, 1, 1, 998.75, 1});
        cloudtest::Run run = ostractl({"cloud", "backup", file});
        ASSERT_EQ(run.status, 0) << run.err;
    }
    CloudRoot fresh;
    ASSERT_EQ(ostractl({"vconf", "set", "db/csc/country_iso", "string", "US"}).status, 0);
    cloudtest::Run run = restore(file);
    ASSERT_EQ(run.status, 0) << run.err;
    expectSettings({1, 1, 1, 1, 998.75, 1});
    EXPECT_EQ(cloudtest::historyEntryCount(), 1);
    EXPECT_EQ(ZentrelStorageMgr::getInstance()->getRestoreComplete(), 1);
}

struct DamagedCase {
    const char* value;
    Settings expected;
    int historyEntries;
    std::vector<const char*> refused;
};

TEST(RestoreTest, DamagedMembersAreRefusedOneByOneAndTheOthersApplied) {
    CloudRoot root;
    std::string file = root.path() + "/backup.json";
    const DamagedCase cases[] = {
        // Out of range: only manual, alert and auto refresh are good.
        {"{\"zentrel_setting_manual\":1,\"zentrel_setting_distance\":7,"
         "\"zentrel_setting_pressure\":-1,\"zentrel_setting_alert\":1,"
         "\"zentrel_data_see_level\":0,\"zentrel_setting_auto_refresh\":1}",
         {1, 0, 0, 1, kBaseline.slp, 1},
         1,
         {"zentrel_setting_distance", "zentrel_setting_pressure", "zentrel_data_see_level"}},
        // Wrong JSON types: only manual is good.
        {"{\"zentrel_setting_manual\":1,\"zentrel_setting_distance\":\"1\","
         "\"zentrel_setting_pressure\":2.0,\"zentrel_setting_alert\":true,"
         "\"zentrel_data_see_level\":\"1005.5\",\"zentrel_setting_auto_refresh\":null}",
         {1, 0, 0, 0, kBaseline.slp, 0},
         1,
         {"zentrel_setting_distance", "zentrel_setting_pressure", "zentrel_setting_alert",
          "zentrel_data_see_level", "zentrel_setting_auto_refresh"}},
        // Absent and just past the limits.
        {"{\"zentrel_setting_manual\":1,\"zentrel_setting_pressure\":3,"
         "\"zentrel_setting_alert\":2,\"zentrel_data_see_level\":1150.5,"
         "\"zentrel_setting_auto_refresh\":-1}",
         {1, 0, 0, 0, kBaseline.slp, 0},
         1,
         {"zentrel_setting_distance", "zentrel_setting_pressure", "zentrel_setting_alert",
          "zentrel_data_see_level", "zentrel_setting_auto_refresh"}},
        // A whole-number SLP at the lower limit is a number all the same.
        {"{\"zentrel_setting_manual\":1,\"zentrel_setting_distance\":1,"
         "\"zentrel_setting_pressure\":2,\"zentrel_setting_alert\":1,"
         "\"zentrel_data_see_level\":350,\"zentrel_setting_auto_refresh\":1}",
         {1, 1, 2, 1, 350.0, 1},
         2,
         {}},
    };
    for (const DamagedCase& c : cases) {
        SCOPED_TRACE(c.value);
        resetStore();
        cloudtest::writeBackup(file, c.value);
        cloudtest::Run run = restore(file);
        ASSERT_EQ(run.status, 0) << run.err;
        expectSettings(c.expected);
        EXPECT_EQ(cloudtest::historyEntryCount(), c.historyEntries);
        EXPECT_EQ(ZentrelStorageMgr::getInstance()->getRestoreComplete(), 1);
        for (const char* member : c.refused) {
            EXPECT_NE(run.err.find(std::string("restored ") + member + " refused"),
                      std::string::npos)
                << member;
        }
    }
}

TEST(RestoreTest, ARecordWithNothingUsableIsAFailedRestoreThatChangesNothing) {
    CloudRoot root;
    std::string file = root.path() + "/backup.json";
    // Nested far deeper than json-glib's stack allows.
    std::string deep = "{\"zentrel_setting_manual\":" + std::string(200000, '[');
    for (const std::string& value :
         {std::string("{\"zentrel_setting_manual\":5,\"zentrel_setting_distance\":-3}"),
          std::string("{}"), std::string("[1, 2]"), std::string("not json at all"), deep}) {
        SCOPED_TRACE(value.substr(0, 80));
        resetStore();
        std::string before = history();
        cloudtest::writeBackup(file, value);
        cloudtest::Run run = restore(file);
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find("restored nothing"), std::string::npos) << run.err;
        expectSettings(kBaseline);
        EXPECT_EQ(history(), before);
        EXPECT_EQ(ZentrelStorageMgr::getInstance()->getRestoreComplete(), 0);
        EXPECT_FALSE(
            g_file_test(cloudtest::trustedFile("restore.dat").c_str(), G_FILE_TEST_EXISTS));
    }
}

TEST(RestoreTest, UnusableFilesAreRefusedBeforeTheProgramRuns) {
    CloudRoot root;
    resetStore();
    std::string before = ostractl({"pref", "list"}).out;
    std::string dir = root.path() + "/files";
    g_mkdir_with_parents(dir.c_str(), 0700);
    const std::string deep = "{\"records\": " + std::string(200000, '[');
    struct Bad {
        const char* name;
        const char* content;  // null: no such file
    };
    const Bad files[] = {
        {"missing.json", nullptr},
        {"text.json", "ZENTREL_DATA_01 1700000000000"},
        {"empty.json", ""},
        {"norecords.json", "{\"records\": []}"},
        {"noarray.json", "{\"records\": {\"key\": \"ZENTREL_DATA_01\"}}"},
        {"nokey.json", "{\"records\": [{\"date\": \"1\", \"value\": \"{}\"}]}"},
        {"array.json", "[{\"key\": \"ZENTREL_DATA_01\"}]"},
        {"deep.json", deep.c_str()},
    };
    for (const Bad& bad : files) {
        SCOPED_TRACE(bad.name);
        std::string path = dir + "/" + bad.name;
        if (bad.content) {
            g_file_set_contents(path.c_str(), bad.content, -1, nullptr);
        }
        cloudtest::Run run = restore(path);
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find("restore refused: " + path), std::string::npos) << run.err;
    }
    // A directory cannot be read as a file.
    cloudtest::Run run = restore(dir);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("restore refused"), std::string::npos) << run.err;

    EXPECT_EQ(ostractl({"pref", "list"}).out, before);
    EXPECT_FALSE(
        g_file_test((root.path() + "/run/" CLOUD_APP_ID ".sock").c_str(), G_FILE_TEST_EXISTS));
}

void countChange(const char* key, void* data) {
    auto* seen = static_cast<std::vector<int>*>(data);
    int value = -1;
    preference_get_int(key, &value);
    seen->push_back(value);
}

// Stands in for the main program's settings page: another process that
// watches the flag hears of every restore, the second one included.
TEST(RestoreTest, EveryRestoreReachesAWatchingProcess) {
    CloudRoot root;
    resetStore();
    std::vector<int> seen;
    ASSERT_EQ(preference_set_changed_cb(ZENTREL_SETTING_RESTORE_COMPLETED, countChange, &seen),
              PREFERENCE_ERROR_NONE);
    std::string file = root.path() + "/backup.json";
    cloudtest::writeBackup(
        file,
        "{\"zentrel_setting_manual\":0,\"zentrel_setting_distance\":1,"
        "\"zentrel_setting_pressure\":1,\"zentrel_setting_alert\":0,"
        "\"zentrel_data_see_level\":1013.25,\"zentrel_setting_auto_refresh\":0}");

    ASSERT_EQ(restore(file).status, 0);
    ASSERT_TRUE(testsupport::runUntil([&] { return !seen.empty(); }, 5000));
    EXPECT_EQ(seen.back(), 1);

    testsupport::runUntil([] { return false; }, 300);
    size_t afterFirst = seen.size();
    ASSERT_EQ(restore(file).status, 0);
    ASSERT_TRUE(testsupport::runUntil([&] { return seen.size() > afterFirst; }, 5000));
    testsupport::runUntil([] { return false; }, 300);
    EXPECT_EQ(seen.back(), 1);
    EXPECT_EQ(ZentrelStorageMgr::getInstance()->getSettingDistance(), 1);
    preference_unset_changed_cb(ZENTREL_SETTING_RESTORE_COMPLETED);
}

}  // namespace
