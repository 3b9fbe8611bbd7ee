// The preference store under the conditions that used to lose data: fresh
// files opened by several processes at once, a store set aside under running
// writers, a lost WAL, a watcher behind a pruned change log.
#include <gtest/gtest.h>
#include <ostra/app_preference.h>
#include <ostra/bundle.h>
#include <signal.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "TestSupport.h"

using testsupport::LogCapture;
using testsupport::TempRoot;

namespace fs = std::filesystem;

namespace {

std::string preferenceDb(const TempRoot& root, const std::string& package = OSTRA_TEST_PACKAGE_ID) {
    return root.path() + "/apps/" + package + "/preference/preference.db";
}

int countSetAside(const std::string& db) {
    int found = 0;
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(fs::path(db).parent_path(), ignored)) {
        found += entry.path().filename().string().find(".corrupt-") != std::string::npos;
    }
    return found;
}

std::string firstSetAside(const std::string& db) {
    for (const auto& entry : fs::directory_iterator(fs::path(db).parent_path())) {
        std::string name = entry.path().string();
        if (name.find(".corrupt-") != std::string::npos && name.find("-wal") == std::string::npos &&
            name.find("-shm") == std::string::npos) {
            return name;
        }
    }
    return "";
}

// The integer stored under key in the given database file, or -1.
long long storedInt(const std::string& file, const std::string& key) {
    sqlite3* db = nullptr;
    long long value = -1;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT value FROM kv WHERE key = ?1", -1, &stmt, nullptr) ==
            SQLITE_OK) {
            sqlite3_bind_text(stmt, 1, key.c_str(), -1, SQLITE_TRANSIENT);
            if (sqlite3_step(stmt) == SQLITE_ROW) {
                value = sqlite3_column_int64(stmt, 0);
            }
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return value;
}

// What the main file alone holds, without its WAL: a copy opened on its own.
long long mainFileInt(const std::string& file, const std::string& key) {
    std::string copy = file + ".copy-for-test";
    fs::copy_file(file, copy, fs::copy_options::overwrite_existing);
    long long value = storedInt(copy, key);
    fs::remove(copy);
    fs::remove(copy + "-wal");
    fs::remove(copy + "-shm");
    return value;
}

// The newest change the store's stamp announces (0 while it names none).
long long stampSeq(const std::string& file) {
    long long seq = 0;
    std::ifstream(file + ".stamp") >> seq;
    return seq;
}

std::string startFile(const TempRoot& root) {
    std::string path = root.path() + "/start";
    std::ofstream(path) << "go\n";
    return path;
}

}  // namespace

// A fresh store another process still holds locked is waited for: locked is
// not damage, and several processes creating one store at once lose nothing.
TEST(StoreSafety, FreshStoreOpenedByManyAtOnceIsNeverSetAside) {
    TempRoot root;
    std::string db = preferenceDb(root);
    fs::create_directories(fs::path(db).parent_path());
    sqlite3* holder = nullptr;
    ASSERT_EQ(sqlite3_open(db.c_str(), &holder), SQLITE_OK);
    ASSERT_EQ(
        sqlite3_exec(holder, "BEGIN IMMEDIATE; CREATE TABLE mine(x);", nullptr, nullptr, nullptr),
        SQLITE_OK);
    std::string go = startFile(root);
    int pid = testsupport::spawnProgram({STORE_TOOL_PATH, "set-after", go, "waited", "1"});
    g_usleep(500000);
    ASSERT_EQ(sqlite3_exec(holder, "COMMIT;", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(holder);
    EXPECT_EQ(testsupport::waitProgram(pid), 0);
    EXPECT_EQ(countSetAside(db), 0);
    EXPECT_EQ(storedInt(db, "waited"), 1);
    EXPECT_EQ(sqlite3_open(db.c_str(), &holder), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(holder, "SELECT * FROM mine;", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(holder);

    fs::remove(go);
    for (int round = 0; round < 6; ++round) {
        std::string package = "race" + std::to_string(round);
        setenv("OSTRA_PACKAGE_ID", package.c_str(), 1);
        std::vector<int> pids;
        for (int w = 0; w < 6; ++w) {
            pids.push_back(testsupport::spawnProgram(
                {STORE_TOOL_PATH, "set-after", go, "w" + std::to_string(w), std::to_string(w)}));
        }
        g_usleep(100000);
        startFile(root);
        for (int p : pids) {
            EXPECT_EQ(testsupport::waitProgram(p), 0);
        }
        fs::remove(go);
        std::string raced = preferenceDb(root, package);
        EXPECT_EQ(countSetAside(raced), 0) << "round " << round;
        for (int w = 0; w < 6; ++w) {
            EXPECT_EQ(storedInt(raced, "w" + std::to_string(w)), w) << "round " << round;
        }
    }
    unsetenv("OSTRA_PACKAGE_ID");
}

// A damaged store goes aside together with its WAL, which may hold the newest
// commits.
TEST(StoreSafety, SetAsideKeepsTheWalWithTheFile) {
    TempRoot root;
    std::string db = preferenceDb(root);
    fs::create_directories(fs::path(db).parent_path());
    std::ofstream(db, std::ios::binary) << std::string(8192, 'x');
    std::ofstream(db + "-wal", std::ios::binary) << std::string(4096, 'w');
    LogCapture logs;
    int value = 0;
    EXPECT_EQ(preference_get_int("any", &value), PREFERENCE_ERROR_NO_KEY);
    EXPECT_TRUE(logs.contains("set aside"));
    std::string aside = firstSetAside(db);
    ASSERT_FALSE(aside.empty());
    EXPECT_EQ(testsupport::readFile(aside + "-wal"), std::string(4096, 'w'));
}

// Another process sets the store aside (holding its write lock, as the store
// does) while a writer runs: the writer follows the path to the new file, and
// every key it wrote is in one file or the other.
TEST(StoreSafety, WriterFollowsTheStoreToItsNewFileAfterASetAside) {
    TempRoot root;
    std::string db = preferenceDb(root);
    const int count = 120;
    int pid = testsupport::spawnProgram(
        {STORE_TOOL_PATH, "slow-hammer", "a", std::to_string(count), "10"});
    ASSERT_TRUE(testsupport::runUntil([&] { return storedInt(db, "a_20") == 20; }, 10000));
    std::string aside = db + ".corrupt-test";
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(db.c_str(), &other), SQLITE_OK);
    sqlite3_busy_timeout(other, 5000);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE;", nullptr, nullptr, nullptr), SQLITE_OK);
    fs::rename(db, aside);
    fs::rename(db + "-wal", aside + "-wal");
    fs::rename(db + "-shm", aside + "-shm");
    sqlite3_exec(other, "ROLLBACK;", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_EQ(testsupport::waitProgram(pid), 0);

    int inNew = 0;
    int lost = 0;
    for (int i = 0; i < count; ++i) {
        std::string key = "a_" + std::to_string(i);
        bool fresh = storedInt(db, key) == i;
        inNew += fresh;
        lost += !fresh && storedInt(aside, key) != i;
    }
    EXPECT_EQ(lost, 0);
    EXPECT_GT(inNew, 0);
    EXPECT_EQ(storedInt(db, "a_" + std::to_string(count - 1)), count - 1);
    EXPECT_EQ(countSetAside(db), 3);  // only the test's own file, its WAL and shm
}

// Settings reach the main file when a program ends and once writes settle, so
// a lost WAL loses nothing; a store that lost commits says so.
TEST(StoreSafety, SettingsDoNotLiveOnlyInTheWal) {
    {
        TempRoot root;
        std::string db = preferenceDb(root);
        std::string go = startFile(root);
        ASSERT_EQ(testsupport::runProgram({STORE_TOOL_PATH, "set-after", go, "at_exit", "7"}), 0);
        EXPECT_EQ(mainFileInt(db, "at_exit"), 7);

        ASSERT_EQ(preference_set_int("settled", 5), PREFERENCE_ERROR_NONE);
        EXPECT_TRUE(testsupport::runUntil([&] { return mainFileInt(db, "settled") == 5; }, 10000));
    }
    TempRoot root;
    std::string db = preferenceDb(root);
    int pid = testsupport::spawnProgram({STORE_TOOL_PATH, "set-and-hang", "lost", "9"});
    // The stamp file exists a moment before it names the change.
    ASSERT_TRUE(testsupport::runUntil([&] { return stampSeq(db) > 0; }, 10000));
    kill(pid, SIGKILL);
    testsupport::waitProgram(pid);
    fs::remove(db + "-wal");
    fs::remove(db + "-shm");
    LogCapture logs;
    int value = 0;
    EXPECT_EQ(preference_get_int("lost", &value), PREFERENCE_ERROR_NO_KEY);
    EXPECT_TRUE(logs.contains("newest settings are lost"));
}

namespace {

void recordKey(const char* key, void* keys) {
    static_cast<std::vector<std::string>*>(keys)->push_back(key);
}

}  // namespace

// A watcher that was not looking while thousands of changes went by (the change
// log pruned past what it saw) still hears of its key. On a memory file system
// when there is one: thousands of synced commits take long on a disk.
TEST(StoreSafety, WatcherBehindAPrunedChangeLogStillHearsItsKey) {
    TempRoot root;
    char pattern[] = "/dev/shm/zentrel-test-XXXXXX";
    std::string memoryRoot = fs::is_directory("/dev/shm") && mkdtemp(pattern) ? pattern : "";
    if (!memoryRoot.empty()) {
        setenv("OSTRA_ROOT", memoryRoot.c_str(), 1);
    }
    std::vector<std::string> heard;
    ASSERT_EQ(preference_set_changed_cb("watched", recordKey, &heard), PREFERENCE_ERROR_NONE);
    std::string go = startFile(root);
    ASSERT_EQ(testsupport::runProgram({STORE_TOOL_PATH, "set-after", go, "watched", "1"}), 0);
    ASSERT_EQ(testsupport::runProgram({STORE_TOOL_PATH, "hammer", "h", "2250"}), 0);
    EXPECT_TRUE(testsupport::runUntil([&] { return !heard.empty(); }, 5000));
    EXPECT_EQ(std::count(heard.begin(), heard.end(), "watched"), 1);
    preference_unset_changed_cb("watched");
    if (!memoryRoot.empty()) {
        setenv("OSTRA_ROOT", root.path().c_str(), 1);
        fs::remove_all(memoryRoot);
    }
}

// A string handed out by the bundle stays valid while other keys come and go.
TEST(StoreSafety, BundleStringsStayValidWhileOtherKeysChange) {
    bundle* b = bundle_create();
    ASSERT_EQ(bundle_add_str(b, "first", "one"), BUNDLE_ERROR_NONE);
    ASSERT_EQ(bundle_add_str(b, "page", "1"), BUNDLE_ERROR_NONE);
    char* page = nullptr;
    ASSERT_EQ(bundle_get_str(b, "page", &page), BUNDLE_ERROR_NONE);
    ASSERT_EQ(bundle_del(b, "first"), BUNDLE_ERROR_NONE);
    EXPECT_STREQ(page, "1");
    for (int i = 0; i < 64; ++i) {
        std::string key = "k" + std::to_string(i);
        ASSERT_EQ(bundle_add_str(b, key.c_str(), std::string(40, 'v').c_str()), BUNDLE_ERROR_NONE);
    }
    EXPECT_STREQ(page, "1");
    bundle_free(b);
}
