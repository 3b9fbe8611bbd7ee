#include <gtest/gtest.h>
#include <ostra/app_preference.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "TestSupport.h"

using testsupport::LogCapture;
using testsupport::TempRoot;

namespace {

std::string preferenceDb(const TempRoot& root) {
    return root.path() + "/apps/" OSTRA_TEST_PACKAGE_ID "/preference/preference.db";
}

TEST(Preference, TypedValuesRoundTripAndWrongTypeIsAFailedRead) {
    TempRoot root;
    ASSERT_EQ(preference_set_int("i", -42), PREFERENCE_ERROR_NONE);
    ASSERT_EQ(preference_set_double("d", 1013.25), PREFERENCE_ERROR_NONE);
    ASSERT_EQ(preference_set_string("s", "T:1;P+2.0 ünïcode"), PREFERENCE_ERROR_NONE);
    ASSERT_EQ(preference_set_boolean("b", true), PREFERENCE_ERROR_NONE);

    int i = 0;
    double d = 0;
    char* s = nullptr;
    bool b = false;
    EXPECT_EQ(preference_get_int("i", &i), PREFERENCE_ERROR_NONE);
    EXPECT_EQ(i, -42);
    EXPECT_EQ(preference_get_double("d", &d), PREFERENCE_ERROR_NONE);
    EXPECT_EQ(d, 1013.25);
    ASSERT_EQ(preference_get_string("s", &s), PREFERENCE_ERROR_NONE);
    EXPECT_STREQ(s, "T:1;P+2.0 ünïcode");
    free(s);
    EXPECT_EQ(preference_get_boolean("b", &b), PREFERENCE_ERROR_NONE);
    EXPECT_TRUE(b);

    // A value of another type never converts: the read fails and the output is untouched.
    i = 7;
    EXPECT_NE(preference_get_int("s", &i), PREFERENCE_ERROR_NONE);
    EXPECT_EQ(i, 7);
    EXPECT_NE(preference_get_double("i", &d), PREFERENCE_ERROR_NONE);
    EXPECT_NE(preference_get_boolean("i", &b), PREFERENCE_ERROR_NONE);

    // Overwriting with another type replaces the value and its type.
    ASSERT_EQ(preference_set_string("i", "text"), PREFERENCE_ERROR_NONE);
    EXPECT_NE(preference_get_int("i", &i), PREFERENCE_ERROR_NONE);

    EXPECT_EQ(preference_get_int("missing", &i), PREFERENCE_ERROR_NO_KEY);
    EXPECT_EQ(preference_get_int(nullptr, &i), PREFERENCE_ERROR_INVALID_PARAMETER);
    EXPECT_EQ(preference_set_string("k", nullptr), PREFERENCE_ERROR_INVALID_PARAMETER);
}

TEST(Preference, ExistsRemoveAndRemoveAll) {
    TempRoot root;
    bool exists = true;
    ASSERT_EQ(preference_is_existing("a", &exists), PREFERENCE_ERROR_NONE);
    EXPECT_FALSE(exists);
    preference_set_int("a", 1);
    preference_set_int("b", 2);
    ASSERT_EQ(preference_is_existing("a", &exists), PREFERENCE_ERROR_NONE);
    EXPECT_TRUE(exists);
    EXPECT_EQ(preference_remove("a"), PREFERENCE_ERROR_NONE);
    EXPECT_EQ(preference_remove("a"), PREFERENCE_ERROR_NO_KEY);
    ASSERT_EQ(preference_is_existing("a", &exists), PREFERENCE_ERROR_NONE);
    EXPECT_FALSE(exists);
    EXPECT_EQ(preference_remove_all(), PREFERENCE_ERROR_NONE);
    ASSERT_EQ(preference_is_existing("b", &exists), PREFERENCE_ERROR_NONE);
    EXPECT_FALSE(exists);
}

TEST(Preference, ValuesSurviveAcrossProcessesAndPackagesAreSeparate) {
    TempRoot root;
    preference_set_int("shared", 5);
    std::string out;
    ASSERT_EQ(testsupport::runProgram({OSTRACTL_PATH, "pref", "get", "shared"}, &out), 0);
    EXPECT_NE(out.find("int    5"), std::string::npos) << out;
    ASSERT_EQ(testsupport::runProgram(
                  {OSTRACTL_PATH, "--package", "org.other", "pref", "get", "shared"}, &out),
              1);
}

struct ChangeLog {
    std::vector<std::string> keys;
};

void recordChange(const char* key, void* data) {
    static_cast<ChangeLog*>(data)->keys.push_back(key);
}

TEST(Preference, ChangeCallbacksFireOnTheMainLoopOnlyForRealChanges) {
    TempRoot root;
    preference_set_int("watched", 1);
    ChangeLog log;
    ASSERT_EQ(preference_set_changed_cb("watched", recordChange, &log), PREFERENCE_ERROR_NONE);
    preference_set_int("watched", 2);
    preference_set_int("other", 2);
    EXPECT_TRUE(log.keys.empty()) << "callbacks are delivered by the main loop, not inline";
    ASSERT_TRUE(testsupport::runUntil([&] { return !log.keys.empty(); }, 5000));
    EXPECT_EQ(log.keys, std::vector<std::string>{"watched"});

    // Writing the value it already has is not a change.
    log.keys.clear();
    preference_set_int("watched", 2);
    testsupport::runUntil([] { return false; }, 300);
    EXPECT_TRUE(log.keys.empty());

    // Removal is a change; after unset nothing arrives.
    preference_remove("watched");
    ASSERT_TRUE(testsupport::runUntil([&] { return !log.keys.empty(); }, 5000));
    EXPECT_EQ(preference_unset_changed_cb("watched"), PREFERENCE_ERROR_NONE);
    log.keys.clear();
    preference_set_int("watched", 3);
    testsupport::runUntil([] { return false; }, 300);
    EXPECT_TRUE(log.keys.empty());
    EXPECT_EQ(preference_unset_changed_cb("watched"), PREFERENCE_ERROR_NO_KEY);
}

TEST(Preference, WriteByAnotherProcessReachesTheCallback) {
    TempRoot root;
    ChangeLog log;
    ASSERT_EQ(preference_set_changed_cb("ZENTREL_DATA_SEE_LEVEL", recordChange, &log),
              PREFERENCE_ERROR_NONE);
    ASSERT_EQ(testsupport::runProgram({STORE_TOOL_PATH, "save-slp", "1001.5"}), 0);
    ASSERT_TRUE(testsupport::runUntil([&] { return !log.keys.empty(); }, 5000));
    EXPECT_EQ(log.keys.front(), "ZENTREL_DATA_SEE_LEVEL");
    double slp = 0;
    ASSERT_EQ(preference_get_double("ZENTREL_DATA_SEE_LEVEL", &slp), PREFERENCE_ERROR_NONE);
    EXPECT_EQ(slp, 1001.5);

    // A stamp file deleted under a watcher is followed to its new file.
    log.keys.clear();
    std::filesystem::remove(preferenceDb(root) + ".stamp");
    testsupport::runUntil([] { return false; }, 200);
    ASSERT_EQ(testsupport::runProgram({STORE_TOOL_PATH, "save-slp", "1002.5"}), 0);
    ASSERT_TRUE(testsupport::runUntil([&] { return !log.keys.empty(); }, 5000));
    EXPECT_EQ(log.keys.back(), "ZENTREL_DATA_SEE_LEVEL");
    preference_unset_changed_cb("ZENTREL_DATA_SEE_LEVEL");
}

TEST(Preference, FourParallelWritersLoseNothing) {
    TempRoot root;
    const int perWriter = 150;
    std::vector<int> pids;
    for (int w = 0; w < 4; ++w) {
        pids.push_back(testsupport::spawnProgram(
            {STORE_TOOL_PATH, "hammer", "w" + std::to_string(w), std::to_string(perWriter)}));
    }
    for (int pid : pids) {
        EXPECT_EQ(testsupport::waitProgram(pid), 0);
    }
    int found = 0;
    for (int w = 0; w < 4; ++w) {
        for (int i = 0; i < perWriter; ++i) {
            int value = -1;
            std::string key = "w" + std::to_string(w) + "_" + std::to_string(i);
            if (preference_get_int(key.c_str(), &value) == PREFERENCE_ERROR_NONE && value == i) {
                ++found;
            }
        }
    }
    EXPECT_EQ(found, 4 * perWriter);
    // Every writer also counted its writes in a key of its own, read and
    // written back each time; a lost write or a stale read leaves it short.
    for (int w = 0; w < 4; ++w) {
        int counted = -1;
        std::string counter = "w" + std::to_string(w) + "_count";
        EXPECT_EQ(preference_get_int(counter.c_str(), &counted), PREFERENCE_ERROR_NONE);
        EXPECT_EQ(counted, perWriter) << counter;
    }
}

TEST(Preference, CorruptStoreIsSetAsideAndAFreshOneServes) {
    TempRoot root;
    std::string db = preferenceDb(root);
    std::filesystem::create_directories(std::filesystem::path(db).parent_path());
    {
        std::ofstream garbage(db, std::ios::binary);
        for (int i = 0; i < 512; ++i) {
            garbage << "this is not a database page ";
        }
    }
    LogCapture logs;
    int value = 99;
    EXPECT_EQ(preference_get_int("any", &value), PREFERENCE_ERROR_NO_KEY);
    EXPECT_TRUE(logs.contains("set aside"));
    EXPECT_EQ(preference_set_int("any", 3), PREFERENCE_ERROR_NONE);
    EXPECT_EQ(preference_get_int("any", &value), PREFERENCE_ERROR_NONE);
    EXPECT_EQ(value, 3);
    int asideFiles = 0;
    for (const auto& entry :
         std::filesystem::directory_iterator(std::filesystem::path(db).parent_path())) {
        asideFiles += entry.path().filename().string().find(".corrupt-") != std::string::npos;
    }
    EXPECT_EQ(asideFiles, 1);
}

}  // namespace
