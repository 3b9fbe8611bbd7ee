// A typed key/value store in one SQLite file, shared by every process that
// opens the same path. Writes are transactions (WAL, busy timeout), so
// concurrent writers lose nothing. Every real change is appended to a change
// log and announced by rewriting a small stamp file next to the database;
// watchers follow the stamp through inotify on the GLib main context and
// read the change log, so writes of other processes reach them too.
#pragma once

#include <sqlite3.h>

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace ostra {

enum class ValueType { Int = 1, Double = 2, String = 3, Bool = 4 };

struct Value {
    ValueType type = ValueType::Int;
    long long integer = 0;
    double real = 0.0;
    std::string text;

    static Value ofInt(long long v);
    static Value ofBool(bool v);
    static Value ofDouble(double v);
    static Value ofString(std::string v);
    bool operator==(const Value& other) const;
};

enum class StoreStatus { Ok, NotFound, IoError };

class KeyValueStore {
  public:
    using ChangeFn = std::function<void(const std::string& key)>;

    // Stores are shared per path within a process and live until exit.
    static KeyValueStore* forPath(const std::string& path);
    // Checkpoints and closes every store of the process; they reopen on next use.
    static void closeAll();

    StoreStatus set(const std::string& key, const Value& value);
    StoreStatus get(const std::string& key, Value* out);
    StoreStatus exists(const std::string& key, bool* found);
    StoreStatus remove(const std::string& key);
    StoreStatus removeAll();
    StoreStatus list(std::vector<std::pair<std::string, Value>>* items);

    // Calls fn on the default GLib main context for every key
    // changed by any process, after this call. One watcher per store.
    bool watch(ChangeFn fn);
    void unwatch();

    const std::string& path() const { return _path; }

    // One prepared statement of the store's connection (defined with it).
    class Statement;

  private:
    explicit KeyValueStore(std::string path);
    KeyValueStore(const KeyValueStore&) = delete;
    KeyValueStore& operator=(const KeyValueStore&) = delete;

    bool _ensureOpen();
    int _openFile();
    bool _samePath() const;
    void _setAside(const char* reason);
    void _close();
    void _checkLostChanges();
    void _scheduleCheckpoint();
    static int _checkpointCb(void* user_data);
    std::map<std::string, Value> _snapshot();
    void _collectGap(std::vector<std::string>* keys);
    void _collectLogged(std::vector<std::string>* keys);
    template <typename Op>
    StoreStatus _withRetry(Op op);
    StoreStatus _write(const std::function<int(sqlite3*, std::vector<std::string>*)>& op);
    void _touchStamp(long long seq);
    long long _lastSeq();
    void _dispatchChanges();
    static void _stampChangedCb(void* user_data);
    static int _pollCb(void* user_data);

    // Prepared statements of the open connection, by their (literal) SQL:
    // parsing the SQL again cost more than running it. A statement in use
    // (a nested call) is lent out once; a second user prepares its own.
    std::map<const char*, sqlite3_stmt*> _statements;

    std::string _path;
    std::string _stampPath;
    std::recursive_mutex _mutex;
    sqlite3* _db = nullptr;
    ChangeFn _watcher;
    unsigned _stampWatch = 0;
    unsigned _pollSource = 0;
    long long _seenSeq = 0;
    // What the watcher last saw, to find the changes a pruned change log no longer names.
    std::map<std::string, Value> _seenValues;
    // The file this connection opened; the path may be given to another one.
    unsigned long long _dev = 0;
    unsigned long long _ino = 0;
    unsigned _checkpointSource = 0;
    long long _lastWriteUs = 0;
};

}  // namespace ostra
