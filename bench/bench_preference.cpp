// Preference get and set through the platform store against raw SQLite
// statements on a database of the same shape, in the same run.
#include <benchmark/benchmark.h>
#include <ostra/app_preference.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "RatioReporter.h"

namespace {

std::string gRoot;

sqlite3* openRaw() {
    sqlite3* db = nullptr;
    std::string path = gRoot + "/raw.db";
    sqlite3_open(path.c_str(), &db);
    sqlite3_busy_timeout(db, 10000);
    sqlite3_exec(db,
                 "PRAGMA journal_mode=WAL;"
                 "CREATE TABLE IF NOT EXISTS kv(key TEXT PRIMARY KEY, type INTEGER, value);"
                 "INSERT OR REPLACE INTO kv VALUES('ZENTREL_SETTING_ALERT', 1, 0);",
                 nullptr, nullptr, nullptr);
    return db;
}

void BM_PreferenceGetInt(benchmark::State& state) {
    preference_set_int("ZENTREL_SETTING_ALERT", 0);
    int value = 0;
    for (auto _ : state) {
        preference_get_int("ZENTREL_SETTING_ALERT", &value);
        benchmark::DoNotOptimize(value);
    }
}

void BM_RawSqliteSelect(benchmark::State& state) {
    sqlite3* db = openRaw();
    for (auto _ : state) {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, "SELECT type, value FROM kv WHERE key = ?1;", -1, &stmt, nullptr);
        sqlite3_bind_text(stmt, 1, "ZENTREL_SETTING_ALERT", -1, SQLITE_STATIC);
        sqlite3_step(stmt);
        benchmark::DoNotOptimize(sqlite3_column_int(stmt, 1));
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
}

void BM_PreferenceSetInt(benchmark::State& state) {
    int value = 0;
    for (auto _ : state) {
        preference_set_int("ZENTREL_SETTING_ALERT", ++value & 1);
    }
}

void BM_RawSqliteUpdate(benchmark::State& state) {
    sqlite3* db = openRaw();
    int value = 0;
    for (auto _ : state) {
        sqlite3_exec(db, "BEGIN IMMEDIATE;", nullptr, nullptr, nullptr);
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, "UPDATE kv SET value = ?1 WHERE key = 'ZENTREL_SETTING_ALERT';", -1,
                           &stmt, nullptr);
        sqlite3_bind_int(stmt, 1, ++value & 1);
        sqlite3_step(stmt);
        sqlite3_finalize(stmt);
        sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr);
    }
    sqlite3_close(db);
}

BENCHMARK(BM_PreferenceGetInt);
BENCHMARK(BM_RawSqliteSelect);
BENCHMARK(BM_PreferenceSetInt);
BENCHMARK(BM_RawSqliteUpdate);

}  // namespace

int main(int argc, char** argv) {
    char pattern[] = "/tmp/zentrel-bench-XXXXXX";
    gRoot = mkdtemp(pattern);
    setenv("OSTRA_ROOT", gRoot.c_str(), 1);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter({{"BM_PreferenceGetInt", "BM_RawSqliteSelect"},
                            {"BM_PreferenceSetInt", "BM_RawSqliteUpdate"}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::filesystem::remove_all(gRoot);
    return 0;
}
