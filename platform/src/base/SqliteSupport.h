// What the platform's SQLite stores share: how little memory a connection
// gets, and which failures mean a damaged file.
#pragma once

#include <sqlite3.h>

#include <mutex>

namespace ostra {

// Every store of the platform is a few pages: SQLite's defaults (a 120 KiB
// lookaside buffer and up to 2 MiB of page cache per connection) are sized
// for far larger databases and cost a watch program memory it never uses.
// Call right after opening, before the connection runs a statement.
inline void limitSqliteMemory(sqlite3* db) {
    // 32 slots of 128 bytes serve the small allocations of short statements.
    sqlite3_db_config(db, SQLITE_DBCONFIG_LOOKASIDE, nullptr, 128, 32);
    // 64 KiB of page cache (the stores are smaller than that).
    sqlite3_exec(db, "PRAGMA cache_size = -64;", nullptr, nullptr, nullptr);
}

// sqlite3_open_v2 with the limits above. Before the first open of the
// process SQLite is told not to hand each connection's page cache a bulk
// allocation of 20 pages up front: a store of five pages would keep them all
// the same. (If something else in the process started SQLite first, its
// defaults stay; the per-connection limits still hold.)
inline int openSqlite(const char* path, int flags, sqlite3** db) {
    static std::once_flag configured;
    std::call_once(configured, [] { sqlite3_config(SQLITE_CONFIG_PAGECACHE, nullptr, 0, 0); });
    int rc = sqlite3_open_v2(path, db, flags, nullptr);
    if (rc == SQLITE_OK) {
        limitSqliteMemory(*db);
    }
    return rc;
}

// The file is not a sound database (as opposed to busy, full or unreadable).
inline bool isSqliteCorruption(int rc) {
    int primary = rc & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

}  // namespace ostra
