// What the platform's SQLite stores share: how little memory a connection
// gets, and which failures mean a damaged file.
#pragma once

#include <sqlite3.h>

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

// The file is not a sound database (as opposed to busy, full or unreadable).
inline bool isSqliteCorruption(int rc) {
    int primary = rc & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

}  // namespace ostra
