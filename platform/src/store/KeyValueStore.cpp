#include "KeyValueStore.h"

#include <fcntl.h>
#include <glib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "FileChangeWatch.h"
#include "Paths.h"
#include "PlatformLog.h"
#include "SqliteSupport.h"

namespace ostra {

Value Value::ofInt(long long v) {
    Value value;
    value.type = ValueType::Int;
    value.integer = v;
    return value;
}

Value Value::ofBool(bool v) {
    Value value;
    value.type = ValueType::Bool;
    value.integer = v ? 1 : 0;
    return value;
}

Value Value::ofDouble(double v) {
    Value value;
    value.type = ValueType::Double;
    value.real = v;
    return value;
}

Value Value::ofString(std::string v) {
    Value value;
    value.type = ValueType::String;
    value.text = std::move(v);
    return value;
}

bool Value::operator==(const Value& other) const {
    if (type != other.type) {
        return false;
    }
    switch (type) {
        case ValueType::Int:
        case ValueType::Bool:
            return integer == other.integer;
        case ValueType::Double:
            return real == other.real;
        case ValueType::String:
            return text == other.text;
    }
    return false;
}

namespace {

constexpr int kBusyTimeoutMs = 10000;
constexpr int kChangeLogKeep = 4096;
constexpr int kPruneEvery = 256;
constexpr unsigned kFallbackPollMs = 500;
constexpr unsigned kCheckpointQuietMs = 1000;
// _withRetry's answer when the path now names another file than the open one.
constexpr int kReplaced = -1;

const char* kSchema =
    "CREATE TABLE IF NOT EXISTS kv(key TEXT PRIMARY KEY, type INTEGER NOT NULL, value);"
    "CREATE TABLE IF NOT EXISTS changes(seq INTEGER PRIMARY KEY AUTOINCREMENT, key TEXT NOT "
    "NULL);";

bool isBusy(int rc) {
    int primary = rc & 0xff;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

// Switching to WAL and the first schema read answer "busy" without calling the
// busy handler while another process sets up the same fresh file: wait.
int execWaiting(sqlite3* db, const char* sql) {
    gint64 deadline = g_get_monotonic_time() + kBusyTimeoutMs * 1000LL;
    int rc;
    while (isBusy(rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr)) &&
           g_get_monotonic_time() < deadline) {
        g_usleep(10000);
    }
    return rc;
}

int quickCheck(sqlite3* db) {
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(db, "PRAGMA quick_check;", -1, &stmt, nullptr);
    if (rc != SQLITE_OK) {
        return rc;
    }
    int step = sqlite3_step(stmt);
    const unsigned char* text = step == SQLITE_ROW ? sqlite3_column_text(stmt, 0) : nullptr;
    if (step == SQLITE_ROW) {
        rc = text && std::string(reinterpret_cast<const char*>(text)) == "ok" ? SQLITE_OK
                                                                              : SQLITE_CORRUPT;
    } else {
        rc = step == SQLITE_DONE ? SQLITE_CORRUPT : step;
    }
    sqlite3_finalize(stmt);
    return rc;
}

int quickCheckWaiting(sqlite3* db) {
    gint64 deadline = g_get_monotonic_time() + kBusyTimeoutMs * 1000LL;
    int rc;
    while (isBusy(rc = quickCheck(db)) && g_get_monotonic_time() < deadline) {
        g_usleep(10000);
    }
    return rc;
}

long long stampSeq(const std::string& stampPath) {
    gchar* text = nullptr;
    if (!g_file_get_contents(stampPath.c_str(), &text, nullptr, nullptr)) {
        return 0;
    }
    long long seq = g_ascii_strtoll(text, nullptr, 10);
    g_free(text);
    return seq;
}

}  // namespace

// A statement of the store's connection, taken from its cache and given back
// (reset) at the end of the scope; a tiny RAII wrapper keeps the error paths
// tidy.
class KeyValueStore::Statement {
  public:
    Statement(KeyValueStore* store, const char* sql) : _store(store), _sql(sql) {
        auto cached = store->_statements.find(sql);
        if (cached != store->_statements.end() && cached->second) {
            _stmt = cached->second;
            cached->second = nullptr;  // lent out until this scope ends
            return;
        }
        _rc = sqlite3_prepare_v3(store->_db, sql, -1, SQLITE_PREPARE_PERSISTENT, &_stmt, nullptr);
    }
    ~Statement() {
        if (!_stmt) {
            return;
        }
        sqlite3_reset(_stmt);
        sqlite3_clear_bindings(_stmt);
        // The connection may have been closed (and another opened) meanwhile.
        if (sqlite3_db_handle(_stmt) != _store->_db) {
            sqlite3_finalize(_stmt);
            return;
        }
        sqlite3_stmt*& slot = _store->_statements[_sql];
        if (slot) {
            sqlite3_finalize(_stmt);
        } else {
            slot = _stmt;
        }
    }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    int rc() const { return _rc; }
    sqlite3_stmt* get() { return _stmt; }
    void bindText(int idx, const std::string& text) {
        sqlite3_bind_text(_stmt, idx, text.c_str(), static_cast<int>(text.size()),
                          SQLITE_TRANSIENT);
    }
    int step() { return sqlite3_step(_stmt); }

  private:
    KeyValueStore* _store;
    const char* _sql;
    sqlite3_stmt* _stmt = nullptr;
    int _rc = SQLITE_OK;
};

using Stmt = KeyValueStore::Statement;

namespace {

void bindValue(Stmt& stmt, int idx, const Value& value) {
    switch (value.type) {
        case ValueType::Int:
        case ValueType::Bool:
            sqlite3_bind_int64(stmt.get(), idx, value.integer);
            break;
        case ValueType::Double:
            sqlite3_bind_double(stmt.get(), idx, value.real);
            break;
        case ValueType::String:
            stmt.bindText(idx, value.text);
            break;
    }
}

bool readValue(sqlite3_stmt* stmt, int typeCol, int valueCol, Value* out) {
    int type = sqlite3_column_int(stmt, typeCol);
    switch (type) {
        case static_cast<int>(ValueType::Int):
        case static_cast<int>(ValueType::Bool):
            out->type = static_cast<ValueType>(type);
            out->integer = sqlite3_column_int64(stmt, valueCol);
            return true;
        case static_cast<int>(ValueType::Double):
            out->type = ValueType::Double;
            out->real = sqlite3_column_double(stmt, valueCol);
            return true;
        case static_cast<int>(ValueType::String): {
            out->type = ValueType::String;
            const unsigned char* text = sqlite3_column_text(stmt, valueCol);
            out->text = text ? reinterpret_cast<const char*>(text) : "";
            return true;
        }
        default:
            return false;
    }
}

}  // namespace

namespace {

std::mutex& storesMutex() {
    static std::mutex* mutex = new std::mutex();
    return *mutex;
}

std::map<std::string, KeyValueStore*>& stores() {
    static auto* all = new std::map<std::string, KeyValueStore*>();
    return *all;
}

// Settings must not live only in the WAL when the process ends.
void closeAllAtExit() {
    KeyValueStore::closeAll();
}

}  // namespace

KeyValueStore* KeyValueStore::forPath(const std::string& path) {
    std::lock_guard<std::mutex> lock(storesMutex());
    static bool exitHook = atexit(closeAllAtExit) == 0;
    (void)exitHook;
    auto it = stores().find(path);
    if (it != stores().end()) {
        return it->second;
    }
    KeyValueStore* store = new KeyValueStore(path);
    stores()[path] = store;
    return store;
}

void KeyValueStore::closeAll() {
    std::lock_guard<std::mutex> lock(storesMutex());
    for (auto& entry : stores()) {
        std::lock_guard<std::recursive_mutex> storeLock(entry.second->_mutex);
        entry.second->_close();
    }
}

KeyValueStore::KeyValueStore(std::string path)
    : _path(std::move(path)), _stampPath(_path + ".stamp") {}

void KeyValueStore::_close() {
    for (auto& cached : _statements) {
        sqlite3_finalize(cached.second);
    }
    _statements.clear();
    if (_db) {
        // The last connection to close checkpoints the WAL into the main file.
        sqlite3_close_v2(_db);
        _db = nullptr;
    }
}

bool KeyValueStore::_samePath() const {
    struct stat st;
    return stat(_path.c_str(), &st) == 0 && st.st_dev == _dev && st.st_ino == _ino;
}

// Moves the damaged file, with its WAL and shared memory, out of the way. Only
// the file this connection found damaged goes: when another process already
// put a fresh one at the path, that one stays.
void KeyValueStore::_setAside(const char* reason) {
    if (!_samePath()) {
        OSTRA_LOGW("store %s was replaced by another process; using the new file", _path.c_str());
        _close();
        return;
    }
    // Holding the write lock while renaming keeps writers that still have the
    // old file open from committing into it unnoticed: they check the path
    // once they hold the lock.
    bool locked =
        _db && sqlite3_exec(_db, "BEGIN IMMEDIATE;", nullptr, nullptr, nullptr) == SQLITE_OK;
    char suffix[64];
    time_t now = time(nullptr);
    struct tm local;
    localtime_r(&now, &local);
    strftime(suffix, sizeof(suffix), ".corrupt-%Y%m%d-%H%M%S", &local);
    std::string aside = _path + suffix + "-" + std::to_string(getpid());
    if (rename(_path.c_str(), aside.c_str()) == 0) {
        rename((_path + "-wal").c_str(), (aside + "-wal").c_str());
        rename((_path + "-shm").c_str(), (aside + "-shm").c_str());
        OSTRA_LOGE("store %s is unusable (%s); set aside as %s, starting a fresh one",
                   _path.c_str(), reason, aside.c_str());
    } else {
        OSTRA_LOGE("store %s is unusable (%s) and could not be set aside: %s", _path.c_str(),
                   reason, strerror(errno));
    }
    if (locked) {
        sqlite3_exec(_db, "ROLLBACK;", nullptr, nullptr, nullptr);
    }
    _close();
}

// SQLITE_OK with the store open; otherwise the failure, with the connection
// left open when the file was found damaged so that it can be set aside.
int KeyValueStore::_openFile() {
    std::string dir = _path.substr(0, _path.rfind('/'));
    if (!makeStateDir(dir)) {
        return SQLITE_CANTOPEN;
    }
    int fd = open(_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        OSTRA_LOGE("cannot open %s: %s", _path.c_str(), strerror(errno));
        return SQLITE_CANTOPEN;
    }
    close(fd);
    int rc = ostra::openSqlite(_path.c_str(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX, &_db);
    struct stat st;
    if (rc == SQLITE_OK && stat(_path.c_str(), &st) == 0) {
        _dev = st.st_dev;
        _ino = st.st_ino;
    }
    if (rc == SQLITE_OK) {
        sqlite3_busy_timeout(_db, kBusyTimeoutMs);
        rc = execWaiting(_db, "PRAGMA journal_mode=WAL;");
    }
    if (rc == SQLITE_OK) {
        rc = execWaiting(_db, kSchema);
    }
    if (rc == SQLITE_OK) {
        rc = quickCheckWaiting(_db);
    }
    if (rc != SQLITE_OK) {
        OSTRA_LOGE("open %s failed: %s (%d)", _path.c_str(), sqlite3_errstr(rc), rc);
        if (!isSqliteCorruption(rc)) {
            _close();
        }
        return rc;
    }
    _checkLostChanges();
    return SQLITE_OK;
}

// The stamp names the newest change ever announced; a store that holds less
// lost its newest commits (a damaged or deleted WAL, say).
void KeyValueStore::_checkLostChanges() {
    long long announced = stampSeq(_stampPath);
    long long held = 0;
    Stmt stmt(this, "SELECT IFNULL(MAX(seq), 0) FROM changes;");
    if (stmt.rc() == SQLITE_OK && stmt.step() == SQLITE_ROW) {
        held = sqlite3_column_int64(stmt.get(), 0);
    }
    if (announced <= held) {
        return;
    }
    OSTRA_LOGE(
        "store %s holds changes up to %lld but %lld were made: its newest settings are "
        "lost and read as defaults",
        _path.c_str(), held, announced);
    _touchStamp(held);
}

bool KeyValueStore::_ensureOpen() {
    if (_db && _samePath()) {
        return true;
    }
    if (_db) {
        OSTRA_LOGW("store %s was replaced by another process; reopening", _path.c_str());
        _close();
    }
    int rc = _openFile();
    if (rc == SQLITE_OK) {
        return true;
    }
    // Busy, locked or unreadable is not damage: the file stays.
    if (!isSqliteCorruption(rc)) {
        return false;
    }
    _setAside(sqlite3_errstr(rc));
    return _openFile() == SQLITE_OK;
}

template <typename Op>
StoreStatus KeyValueStore::_withRetry(Op op) {
    std::lock_guard<std::recursive_mutex> lock(_mutex);
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (!_ensureOpen()) {
            return StoreStatus::IoError;
        }
        StoreStatus status = StoreStatus::IoError;
        int rc = op(&status);
        if (rc == SQLITE_OK || rc == SQLITE_DONE || rc == SQLITE_ROW) {
            return status;
        }
        if (rc == kReplaced) {
            _close();
            continue;
        }
        OSTRA_LOGE("store %s: %s (%d)", _path.c_str(), sqlite3_errstr(rc), rc);
        if (!isSqliteCorruption(rc)) {
            return StoreStatus::IoError;
        }
        _setAside(sqlite3_errstr(rc));
    }
    return StoreStatus::IoError;
}

StoreStatus KeyValueStore::get(const std::string& key, Value* out) {
    return _withRetry([&](StoreStatus* status) {
        Stmt stmt(this, "SELECT type, value FROM kv WHERE key = ?1;");
        if (stmt.rc() != SQLITE_OK) {
            return stmt.rc();
        }
        stmt.bindText(1, key);
        int rc = stmt.step();
        if (rc == SQLITE_DONE) {
            *status = StoreStatus::NotFound;
            return SQLITE_OK;
        }
        if (rc != SQLITE_ROW) {
            return rc;
        }
        if (!readValue(stmt.get(), 0, 1, out)) {
            OSTRA_LOGW("store %s: key %s has an unknown type", _path.c_str(), key.c_str());
            *status = StoreStatus::NotFound;
            return SQLITE_OK;
        }
        *status = StoreStatus::Ok;
        return SQLITE_OK;
    });
}

StoreStatus KeyValueStore::exists(const std::string& key, bool* found) {
    Value ignored;
    StoreStatus status = get(key, &ignored);
    if (status == StoreStatus::IoError) {
        return status;
    }
    *found = status == StoreStatus::Ok;
    return StoreStatus::Ok;
}

StoreStatus KeyValueStore::list(std::vector<std::pair<std::string, Value>>* items) {
    return _withRetry([&](StoreStatus* status) {
        items->clear();
        Stmt stmt(this, "SELECT key, type, value FROM kv ORDER BY key;");
        if (stmt.rc() != SQLITE_OK) {
            return stmt.rc();
        }
        int rc;
        while ((rc = stmt.step()) == SQLITE_ROW) {
            Value value;
            const unsigned char* key = sqlite3_column_text(stmt.get(), 0);
            if (key && readValue(stmt.get(), 1, 2, &value)) {
                items->emplace_back(reinterpret_cast<const char*>(key), value);
            }
        }
        *status = StoreStatus::Ok;
        return rc;
    });
}

// Runs op inside an immediate transaction; op fills in the keys it really
// changed, which are appended to the change log before the commit.
StoreStatus KeyValueStore::_write(
    const std::function<int(sqlite3*, std::vector<std::string>*)>& op) {
    long long seq = 0;
    StoreStatus result = _withRetry([&](StoreStatus* status) {
        int rc = sqlite3_exec(_db, "BEGIN IMMEDIATE;", nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) {
            return rc;
        }
        // With the write lock held, the path cannot be set aside under us.
        if (!_samePath()) {
            sqlite3_exec(_db, "ROLLBACK;", nullptr, nullptr, nullptr);
            return kReplaced;
        }
        std::vector<std::string> changed;
        rc = op(_db, &changed);
        for (size_t i = 0; rc == SQLITE_OK && i < changed.size(); ++i) {
            Stmt log(this, "INSERT INTO changes(key) VALUES(?1);");
            rc = log.rc();
            if (rc == SQLITE_OK) {
                log.bindText(1, changed[i]);
                rc = log.step() == SQLITE_DONE ? SQLITE_OK : sqlite3_errcode(_db);
            }
        }
        if (rc == SQLITE_OK && !changed.empty()) {
            seq = sqlite3_last_insert_rowid(_db);
        }
        if (rc == SQLITE_OK && seq % kPruneEvery == 0 && seq > 0) {
            Stmt prune(this, "DELETE FROM changes WHERE seq <= ?1;");
            rc = prune.rc();
            if (rc == SQLITE_OK) {
                sqlite3_bind_int64(prune.get(), 1, seq - kChangeLogKeep);
                rc = prune.step() == SQLITE_DONE ? SQLITE_OK : sqlite3_errcode(_db);
            }
        }
        if (rc == SQLITE_OK) {
            rc = sqlite3_exec(_db, "COMMIT;", nullptr, nullptr, nullptr);
        }
        if (rc != SQLITE_OK) {
            sqlite3_exec(_db, "ROLLBACK;", nullptr, nullptr, nullptr);
            seq = 0;
            return rc;
        }
        *status = StoreStatus::Ok;
        return SQLITE_OK;
    });
    if (result == StoreStatus::Ok && seq > 0) {
        _touchStamp(seq);
        _scheduleCheckpoint();
    }
    return result;
}

StoreStatus KeyValueStore::set(const std::string& key, const Value& value) {
    return _write([&](sqlite3* db, std::vector<std::string>* changed) {
        Stmt read(this, "SELECT type, value FROM kv WHERE key = ?1;");
        if (read.rc() != SQLITE_OK) {
            return read.rc();
        }
        read.bindText(1, key);
        int rc = read.step();
        if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
            return rc;
        }
        Value old;
        if (rc == SQLITE_ROW && readValue(read.get(), 0, 1, &old) && old == value) {
            return SQLITE_OK;  // unchanged: no notice, so watchers that write back cannot loop
        }
        Stmt write(this, "INSERT OR REPLACE INTO kv(key, type, value) VALUES(?1, ?2, ?3);");
        if (write.rc() != SQLITE_OK) {
            return write.rc();
        }
        write.bindText(1, key);
        sqlite3_bind_int(write.get(), 2, static_cast<int>(value.type));
        bindValue(write, 3, value);
        if (write.step() != SQLITE_DONE) {
            return sqlite3_errcode(db);
        }
        changed->push_back(key);
        return SQLITE_OK;
    });
}

StoreStatus KeyValueStore::remove(const std::string& key) {
    bool existed = false;
    StoreStatus status = _write([&](sqlite3* db, std::vector<std::string>* changed) {
        Stmt del(this, "DELETE FROM kv WHERE key = ?1;");
        if (del.rc() != SQLITE_OK) {
            return del.rc();
        }
        del.bindText(1, key);
        if (del.step() != SQLITE_DONE) {
            return sqlite3_errcode(db);
        }
        existed = sqlite3_changes(db) > 0;
        if (existed) {
            changed->push_back(key);
        }
        return SQLITE_OK;
    });
    if (status == StoreStatus::Ok && !existed) {
        return StoreStatus::NotFound;
    }
    return status;
}

StoreStatus KeyValueStore::removeAll() {
    return _write([&](sqlite3* db, std::vector<std::string>* changed) {
        {
            Stmt keys(this, "SELECT key FROM kv;");
            if (keys.rc() != SQLITE_OK) {
                return keys.rc();
            }
            while (keys.step() == SQLITE_ROW) {
                changed->push_back(
                    reinterpret_cast<const char*>(sqlite3_column_text(keys.get(), 0)));
            }
        }
        return sqlite3_exec(db, "DELETE FROM kv;", nullptr, nullptr, nullptr);
    });
}

// Fixed width, overwritten in place: truncating first would leave an empty
// stamp (read as "no change made") to a reader, or for good to a writer
// killed between the two steps.
void KeyValueStore::_touchStamp(long long seq) {
    int fd = open(_stampPath.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        OSTRA_LOGW("cannot announce change of %s: %s", _path.c_str(), strerror(errno));
        return;
    }
    char text[32];
    int length = snprintf(text, sizeof(text), "%020lld\n", seq);
    if (pwrite(fd, text, length, 0) != length) {
        OSTRA_LOGW("cannot announce change of %s: %s", _path.c_str(), strerror(errno));
    }
    close(fd);
}

void KeyValueStore::_scheduleCheckpoint() {
    _lastWriteUs = g_get_monotonic_time();
    if (_checkpointSource == 0) {
        _checkpointSource = g_timeout_add(kCheckpointQuietMs, _checkpointCb, this);
    }
}

// Once writes have settled, the WAL goes into the main file: settings must not
// live only in the WAL, and damage to the main file shows up now, not later.
int KeyValueStore::_checkpointCb(void* user_data) {
    auto* self = static_cast<KeyValueStore*>(user_data);
    std::lock_guard<std::recursive_mutex> lock(self->_mutex);
    if (g_get_monotonic_time() - self->_lastWriteUs < kCheckpointQuietMs * 1000LL) {
        return G_SOURCE_CONTINUE;
    }
    self->_checkpointSource = 0;
    if (!self->_db) {
        return G_SOURCE_REMOVE;
    }
    int rc =
        sqlite3_wal_checkpoint_v2(self->_db, nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
    if (rc != SQLITE_OK && !isBusy(rc)) {
        OSTRA_LOGE("store %s: checkpoint failed: %s (%d)", self->_path.c_str(), sqlite3_errstr(rc),
                   rc);
    }
    return G_SOURCE_REMOVE;
}

long long KeyValueStore::_lastSeq() {
    long long seq = 0;
    _withRetry([&](StoreStatus* status) {
        Stmt stmt(this, "SELECT IFNULL(MAX(seq), 0) FROM changes;");
        if (stmt.rc() != SQLITE_OK) {
            return stmt.rc();
        }
        int rc = stmt.step();
        if (rc == SQLITE_ROW) {
            seq = sqlite3_column_int64(stmt.get(), 0);
        }
        *status = StoreStatus::Ok;
        return rc;
    });
    return seq;
}

namespace {

void addOnce(std::vector<std::string>* keys, const std::string& key) {
    for (const auto& k : *keys) {
        if (k == key) {
            return;
        }
    }
    keys->push_back(key);
}

}  // namespace

std::map<std::string, Value> KeyValueStore::_snapshot() {
    std::vector<std::pair<std::string, Value>> items;
    list(&items);
    return std::map<std::string, Value>(items.begin(), items.end());
}

// The change log no longer reaches back to what the watcher saw (pruned, or a
// fresh file): every key whose value differs from the last one seen changed.
void KeyValueStore::_collectGap(std::vector<std::string>* keys) {
    std::map<std::string, Value> now = _snapshot();
    for (const auto& item : now) {
        auto seen = _seenValues.find(item.first);
        if (seen == _seenValues.end() || !(seen->second == item.second)) {
            keys->push_back(item.first);
        }
    }
    for (const auto& item : _seenValues) {
        if (now.find(item.first) == now.end()) {
            keys->push_back(item.first);
        }
    }
    _seenSeq = _lastSeq();
}

void KeyValueStore::_collectLogged(std::vector<std::string>* keys) {
    _withRetry([&](StoreStatus* status) {
        Stmt stmt(this, "SELECT seq, key FROM changes WHERE seq > ?1 ORDER BY seq;");
        if (stmt.rc() != SQLITE_OK) {
            return stmt.rc();
        }
        sqlite3_bind_int64(stmt.get(), 1, _seenSeq);
        int rc;
        while ((rc = stmt.step()) == SQLITE_ROW) {
            _seenSeq = sqlite3_column_int64(stmt.get(), 0);
            addOnce(keys, reinterpret_cast<const char*>(sqlite3_column_text(stmt.get(), 1)));
        }
        *status = StoreStatus::Ok;
        return rc;
    });
}

void KeyValueStore::_dispatchChanges() {
    std::vector<std::string> keys;
    ChangeFn watcher;
    {
        std::lock_guard<std::recursive_mutex> lock(_mutex);
        if (!_watcher) {
            return;
        }
        watcher = _watcher;
        long long first = 0;
        _withRetry([&](StoreStatus* status) {
            Stmt stmt(this, "SELECT IFNULL(MIN(seq), 0) FROM changes WHERE seq > ?1;");
            if (stmt.rc() != SQLITE_OK) {
                return stmt.rc();
            }
            sqlite3_bind_int64(stmt.get(), 1, _seenSeq);
            int rc = stmt.step();
            first = rc == SQLITE_ROW ? sqlite3_column_int64(stmt.get(), 0) : 0;
            *status = StoreStatus::Ok;
            return rc;
        });
        bool gap = (first > _seenSeq + 1) || _lastSeq() < _seenSeq;
        if (gap) {
            _collectGap(&keys);
        } else {
            _collectLogged(&keys);
        }
        if (!keys.empty()) {
            _seenValues = _snapshot();
        }
    }
    for (const auto& key : keys) {
        watcher(key);
    }
}

void KeyValueStore::_stampChangedCb(void* user_data) {
    static_cast<KeyValueStore*>(user_data)->_dispatchChanges();
}

int KeyValueStore::_pollCb(void* user_data) {
    static_cast<KeyValueStore*>(user_data)->_dispatchChanges();
    return G_SOURCE_CONTINUE;
}

bool KeyValueStore::watch(ChangeFn fn) {
    std::lock_guard<std::recursive_mutex> lock(_mutex);
    unwatch();
    if (!_ensureOpen()) {
        return false;
    }
    _watcher = std::move(fn);
    _seenSeq = _lastSeq();
    _seenValues = _snapshot();
    // An empty stamp reads as "no change yet"; the watch needs a file.
    int fd = open(_stampPath.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd >= 0) {
        close(fd);
    }
    _stampWatch = FileChangeWatch::add(_stampPath, _stampChangedCb, this);
    if (_stampWatch) {
        return true;
    }
    // Without inotify the change log is polled instead.
    OSTRA_LOGW("no change watch for %s; polling for changes", _stampPath.c_str());
    _pollSource = g_timeout_add(kFallbackPollMs, _pollCb, this);
    return true;
}

void KeyValueStore::unwatch() {
    std::lock_guard<std::recursive_mutex> lock(_mutex);
    if (_stampWatch) {
        FileChangeWatch::remove(_stampWatch);
        _stampWatch = 0;
    }
    if (_pollSource) {
        g_source_remove(_pollSource);
        _pollSource = 0;
    }
    _watcher = nullptr;
}

}  // namespace ostra
