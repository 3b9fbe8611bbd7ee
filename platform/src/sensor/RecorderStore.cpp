#include "RecorderStore.h"

#include <fcntl.h>
#include <glib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "Paths.h"
#include "PlatformLog.h"
#include "SqliteSupport.h"

namespace ostra {

std::string RecorderStore::defaultPath() {
    return systemDir() + "/sensor-recorder.db";
}

RecorderStore::RecorderStore(std::string path) : _path(std::move(path)) {}

RecorderStore::~RecorderStore() {
    _close();
}

void RecorderStore::_close() {
    if (_db) {
        sqlite3_close(_db);
        _db = nullptr;
    }
}

bool RecorderStore::_exec(const char* sql) {
    char* error = nullptr;
    if (sqlite3_exec(_db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        OSTRA_LOGE("recorder %s: %s", _path.c_str(), error ? error : "unknown error");
        sqlite3_free(error);
        return false;
    }
    return true;
}

namespace {

constexpr int kBusyTimeoutMs = 2000;

const char* kReplaceSql =
    "INSERT OR REPLACE INTO buckets (start, pressure, samples) VALUES (?, ?, ?)";
const char* kMergeSql =
    "INSERT INTO buckets (start, pressure, samples) VALUES (?1, ?2, ?3) ON CONFLICT(start) DO "
    "UPDATE SET pressure = (pressure * samples + excluded.pressure * excluded.samples) / "
    "(samples + excluded.samples), samples = samples + excluded.samples";

}  // namespace

// SQLITE_OK with the file open; SQLITE_CORRUPT or SQLITE_NOTADB only when the
// file really is damaged.
int RecorderStore::_openFile() {
    int fd = ::open(_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        OSTRA_LOGE("recorder %s cannot be created: %s", _path.c_str(), strerror(errno));
        return SQLITE_CANTOPEN;
    }
    close(fd);
    int rc = ostra::openSqlite(_path.c_str(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, &_db);
    if (rc != SQLITE_OK) {
        OSTRA_LOGE("recorder %s cannot be opened: %s", _path.c_str(),
                   _db ? sqlite3_errmsg(_db) : "out of memory");
        _close();
        return rc;
    }
    sqlite3_busy_timeout(_db, kBusyTimeoutMs);
    sqlite3_stmt* check = nullptr;
    rc = sqlite3_prepare_v2(_db, "PRAGMA quick_check", -1, &check, nullptr);
    if (rc == SQLITE_OK) {
        int step = sqlite3_step(check);
        const unsigned char* text = step == SQLITE_ROW ? sqlite3_column_text(check, 0) : nullptr;
        rc = step != SQLITE_ROW                                                 ? step
             : text && std::string(reinterpret_cast<const char*>(text)) == "ok" ? SQLITE_OK
                                                                                : SQLITE_CORRUPT;
    }
    sqlite3_finalize(check);
    if (rc != SQLITE_OK) {
        OSTRA_LOGE("recorder %s: %s", _path.c_str(), sqlite3_errstr(rc));
        _close();
        return rc;
    }
    struct stat st;
    _inode = stat(_path.c_str(), &st) == 0 ? st.st_ino : 0;
    return _exec(
               "CREATE TABLE IF NOT EXISTS buckets (start INTEGER PRIMARY KEY, pressure REAL NOT "
               "NULL, samples INTEGER NOT NULL)")
               ? SQLITE_OK
               : SQLITE_ERROR;
}

// The journal goes with the file: it may hold the newest commits.
void RecorderStore::_setAside() {
    std::string aside = _path + ".corrupt-" + std::to_string(g_get_real_time() / 1000000);
    if (rename(_path.c_str(), aside.c_str()) != 0) {
        OSTRA_LOGE("recorder %s is not a sound database and cannot be moved away", _path.c_str());
        return;
    }
    rename((_path + "-journal").c_str(), (aside + "-journal").c_str());
    OSTRA_LOGE("recorder %s is not a sound database, moved to %s and started afresh", _path.c_str(),
               aside.c_str());
}

bool RecorderStore::open() {
    // Another process may have set a corrupt file aside; follow the path to the
    // fresh file instead of writing on into the old one.
    struct stat st;
    bool samePath = stat(_path.c_str(), &st) == 0 && st.st_ino == _inode;
    if (_db && samePath) {
        return true;
    }
    _close();
    if (!makeStateDir(_path.substr(0, _path.rfind('/')))) {
        return false;
    }
    int rc = _openFile();
    if (rc == SQLITE_OK) {
        return true;
    }
    // Busy (another writer, a user's sqlite3 session, an import) is not damage.
    if (!isSqliteCorruption(rc)) {
        return false;
    }
    _setAside();
    return _openFile() == SQLITE_OK;
}

bool RecorderStore::store(const std::vector<RecorderBucket>& buckets) {
    // A file damaged under an open connection fails once; the retry checks it
    // again and starts afresh.
    return _storeOnce(buckets, kReplaceSql) || _storeOnce(buckets, kReplaceSql);
}

bool RecorderStore::merge(const std::vector<RecorderBucket>& buckets) {
    return _storeOnce(buckets, kMergeSql) || _storeOnce(buckets, kMergeSql);
}

bool RecorderStore::_storeOnce(const std::vector<RecorderBucket>& buckets, const char* sql) {
    if (!open()) {
        return false;
    }
    if (!_exec("BEGIN IMMEDIATE")) {
        _close();
        return false;
    }
    sqlite3_stmt* insert = nullptr;
    bool ok = sqlite3_prepare_v2(_db, sql, -1, &insert, nullptr) == SQLITE_OK;
    for (size_t i = 0; ok && i < buckets.size(); ++i) {
        sqlite3_bind_int64(insert, 1, buckets[i].start);
        sqlite3_bind_double(insert, 2, buckets[i].hPa);
        sqlite3_bind_int(insert, 3, buckets[i].samples);
        ok = sqlite3_step(insert) == SQLITE_DONE;
        sqlite3_reset(insert);
    }
    if (!ok) {
        OSTRA_LOGE("recorder %s: storing failed: %s", _path.c_str(), sqlite3_errmsg(_db));
    }
    sqlite3_finalize(insert);
    ok = _exec(ok ? "COMMIT" : "ROLLBACK") && ok;
    if (!ok) {
        // The next open checks the file again and starts afresh when it is damaged.
        _close();
    }
    return ok;
}

bool RecorderStore::pruneBefore(long long t) {
    if (!open()) {
        return false;
    }
    sqlite3_stmt* del = nullptr;
    bool ok = sqlite3_prepare_v2(_db, "DELETE FROM buckets WHERE start < ?", -1, &del, nullptr) ==
              SQLITE_OK;
    if (ok) {
        sqlite3_bind_int64(del, 1, t);
        ok = sqlite3_step(del) == SQLITE_DONE;
    }
    sqlite3_finalize(del);
    return ok;
}

bool RecorderStore::query(long long from, long long to, std::vector<RecorderBucket>* out) {
    out->clear();
    if (!open()) {
        return false;
    }
    sqlite3_stmt* select = nullptr;
    if (sqlite3_prepare_v2(_db,
                           "SELECT start, pressure, samples FROM buckets WHERE start >= ? AND "
                           "start < ? ORDER BY start",
                           -1, &select, nullptr) != SQLITE_OK) {
        OSTRA_LOGE("recorder %s: query failed: %s", _path.c_str(), sqlite3_errmsg(_db));
        return false;
    }
    sqlite3_bind_int64(select, 1, from);
    sqlite3_bind_int64(select, 2, to);
    int rc;
    while ((rc = sqlite3_step(select)) == SQLITE_ROW) {
        RecorderBucket bucket;
        bucket.start = sqlite3_column_int64(select, 0);
        bucket.hPa = sqlite3_column_double(select, 1);
        bucket.samples = sqlite3_column_int(select, 2);
        out->push_back(bucket);
    }
    sqlite3_finalize(select);
    if (rc != SQLITE_DONE) {
        OSTRA_LOGE("recorder %s: reading failed: %s", _path.c_str(), sqlite3_errmsg(_db));
        return false;
    }
    return true;
}

}  // namespace ostra
