// Backups through ostractl cloud and the real backup program: the one record
// and its six members, the backup file, the operation dispatch.
#include <gtest/gtest.h>
#include <sys/time.h>

#include <string>

#include "CloudTestSupport.h"
#include "ZentrelStorageMgr.h"

namespace {

using cloudtest::CloudRoot;
using cloudtest::ostractl;

const char* kBackupUri = "http://korvane.com/appcontrol/operation/korvane_cloud/backup";

unsigned long long nowMillis() {
    struct timeval now;
    gettimeofday(&now, nullptr);
    return static_cast<unsigned long long>(now.tv_sec) * 1000ULL +
           static_cast<unsigned long long>(now.tv_usec) / 1000ULL;
}

JsonObject* onlyRecord(JsonNode* records) {
    if (!records || !JSON_NODE_HOLDS_ARRAY(records) ||
        json_array_get_length(json_node_get_array(records)) != 1) {
        return nullptr;
    }
    return json_array_get_object_element(json_node_get_array(records), 0);
}

TEST(BackupTest, BackupHoldsOneRecordWithTheSixMembersInOrder) {
    CloudRoot root;
    ZentrelStorageMgr::getInstance()->initStorage();
    cloudtest::saveSettings({1, 1, 1, 1, 1013.25, 0});
    std::string file = root.path() + "/backup.json";

    unsigned long long before = nowMillis();
    cloudtest::Run run = ostractl({"cloud", "backup", file});
    unsigned long long after = nowMillis();
    ASSERT_EQ(run.status, 0) << run.err;

    JsonNode* records = cloudtest::readRecords(file);
    JsonObject* record = onlyRecord(records);
    ASSERT_NE(record, nullptr) << testsupport::readFile(file);
    EXPECT_STREQ(json_object_get_string_member(record, "key"), "ZENTREL_DATA_01");
    std::string date = json_object_get_string_member(record, "date");
    ASSERT_FALSE(date.empty());
    EXPECT_EQ(date.find_first_not_of("0123456789"), std::string::npos) << date;
    unsigned long long millis = std::stoull(date);
    EXPECT_GE(millis, before);
    EXPECT_LE(millis, after);
    EXPECT_STREQ(json_object_get_string_member(record, "value"),
                 "{\"zentrel_setting_manual\":1,\"zentrel_setting_distance\":1,"
                 "\"zentrel_setting_pressure\":1,\"zentrel_setting_alert\":1,"
                 "\"zentrel_data_see_level\":1013.25,\"zentrel_setting_auto_refresh\":0}");
    json_node_unref(records);

    // The program's own copy is gone once the session completed.
    EXPECT_FALSE(g_file_test(cloudtest::trustedFile("backup.dat").c_str(), G_FILE_TEST_EXISTS));
}

TEST(BackupTest, BackupOfAFreshStoreHoldsItsResolvedDefaults) {
    CloudRoot root;
    std::string file = root.path() + "/backup.json";
    ASSERT_EQ(ostractl({"vconf", "set", "db/csc/country_iso", "string", "US"}).status, 0);

    cloudtest::Run run = ostractl({"cloud", "backup", file});
    ASSERT_EQ(run.status, 0) << run.err;

    JsonNode* records = cloudtest::readRecords(file);
    JsonObject* record = onlyRecord(records);
    ASSERT_NE(record, nullptr);
    EXPECT_STREQ(json_object_get_string_member(record, "value"),
                 "{\"zentrel_setting_manual\":0,\"zentrel_setting_distance\":1,"
                 "\"zentrel_setting_pressure\":1,\"zentrel_setting_alert\":0,"
                 "\"zentrel_data_see_level\":1013.25,\"zentrel_setting_auto_refresh\":0}");
    json_node_unref(records);
}

TEST(BackupTest, OperationIsMatchedByPrefixAndOthersGetNoReply) {
    CloudRoot root;
    ZentrelStorageMgr::getInstance()->initStorage();
    std::string file = root.path() + "/backup.json";

    cloudtest::Run other =
        ostractl({"cloud", "backup", file, "--operation",
                  "http://korvane.com/appcontrol/operation/korvane_cloud/other", "--timeout", "5"});
    EXPECT_EQ(other.status, 1);
    EXPECT_NE(other.err.find("without a reply"), std::string::npos) << other.err;
    EXPECT_FALSE(g_file_test(file.c_str(), G_FILE_TEST_EXISTS));

    cloudtest::Run main =
        ostractl({"cloud", "backup", file, "--operation",
                  "http://ostra.org/appcontrol/operation/main", "--timeout", "5"});
    EXPECT_EQ(main.status, 1);
    EXPECT_NE(main.err.find("without a reply"), std::string::npos) << main.err;

    // The program still runs; a longer backup operation reaches it and is a backup.
    cloudtest::Run prefixed =
        ostractl({"cloud", "backup", file, "--operation", std::string(kBackupUri) + "_v2?full=1"});
    ASSERT_EQ(prefixed.status, 0) << prefixed.err;
    JsonNode* records = cloudtest::readRecords(file);
    EXPECT_NE(onlyRecord(records), nullptr);
    json_node_unref(records);
    EXPECT_FALSE(g_file_test(cloudtest::trustedFile("backup.dat").c_str(), G_FILE_TEST_EXISTS));
}

TEST(BackupTest, InfoShowsTheRecordKeyAndDateAndChangesNothing) {
    CloudRoot root;
    ZentrelStorageMgr::getInstance()->initStorage();
    cloudtest::saveSettings({0, 1, 2, 1, 1000.5, 1});

    cloudtest::Run run = ostractl({"cloud", "info"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind("ZENTREL_DATA_01 1", 0), 0u) << run.out;
    EXPECT_FALSE(g_file_test(cloudtest::trustedFile("backup.dat").c_str(), G_FILE_TEST_EXISTS));
    EXPECT_EQ(ZentrelStorageMgr::getInstance()->getRestoreComplete(), 0);
    EXPECT_EQ(ZentrelStorageMgr::getInstance()->getSettingPressure(), 2);
}

TEST(BackupTest, BackupThatCannotBeKeptFailsAndTheProgramStillCleansUp) {
    CloudRoot root;
    std::string file = root.path() + "/no/such/dir/backup.json";

    cloudtest::Run run = ostractl({"cloud", "backup", file});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("backup failed"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("__backup_completed_cb() FAILED"), std::string::npos) << run.err;
    EXPECT_FALSE(g_file_test(cloudtest::trustedFile("backup.dat").c_str(), G_FILE_TEST_EXISTS));
}

}  // namespace
