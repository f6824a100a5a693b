// The registry on Linux: one SQLite database per user at
// $XDG_CONFIG_HOME/tallow/registry.db (~/.config/tallow/registry.db), so that
// concurrent writers and a crash in the middle of a write leave it whole.
#include "platform/registry.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <optional>
#include <thread>
#include <vector>

#include "platform/posix/config_folder.h"

namespace tallow::platform {

namespace {

// How long an operation waits for another process that holds the database
// locked: one whose answer is needed, for a write to finish ...
constexpr int kNeededWaitMs = 10000;
// ... and one the run can do without (the extensions read at its start), so
// that a lock held for long delays a run by no more than a moment.
constexpr int kOptionalWaitMs = 1500;
// Once an optional wait gave up, further optional ones within this span
// give up at once: the lock is most likely still held.
constexpr int kGaveUpMemoryMs = 10000;
// A wait this long is said on standard error, so no run stalls without a word.
constexpr int kAnnounceAfterMs = 500;
// One nap between two tries of a locked database.
constexpr int kWaitStepMs = 20;

// The ids of the four root keys; their parent is 0.
constexpr sqlite3_int64 kRootIds[] = {1, 2, 3, 4};

constexpr const char kSchema[] =
    "CREATE TABLE IF NOT EXISTS keys("
    "  id INTEGER PRIMARY KEY,"
    "  parent INTEGER NOT NULL,"
    "  name TEXT NOT NULL COLLATE NOCASE,"
    "  UNIQUE(parent, name));"
    "CREATE TABLE IF NOT EXISTS vals("
    "  key INTEGER NOT NULL,"
    "  name TEXT NOT NULL COLLATE NOCASE,"
    "  type INTEGER NOT NULL,"
    "  data BLOB NOT NULL,"
    "  UNIQUE(key, name));"
    "INSERT OR IGNORE INTO keys(id, parent, name) VALUES"
    "  (1, 0, 'HKEY_CLASSES_ROOT'), (2, 0, 'HKEY_CURRENT_USER'),"
    "  (3, 0, 'HKEY_LOCAL_MACHINE'), (4, 0, 'HKEY_USERS');";

// The path split at backslashes, empty parts dropped.
std::vector<std::string> SplitPath(std::string_view path) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string_view::npos) end = path.size();
        if (end > start) parts.emplace_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// Says on standard error, once per process, that the database file is
// damaged when rc says so. Every key then fails to open, and without a word
// every registered extension would simply vanish from every run.
void NoteDamage(sqlite3* db, int rc) {
    int primary = rc & 0xff;
    if (primary != SQLITE_CORRUPT && primary != SQLITE_NOTADB) return;
    static std::atomic<bool> told{false};
    if (told.exchange(true)) return;
    const char* file = sqlite3_db_filename(db, "main");
    std::fprintf(stderr,
                 "tallow: the extension registry %s is damaged (%s); no extensions are loaded from it\n",
                 file && *file ? file : "(unknown)", sqlite3_errmsg(db));
}

// The waiting of the operations on this thread: the kind of the key in use
// and the state of the current wait. Per thread, as the connections are.
struct BusyWait {
    using Clock = std::chrono::steady_clock;
    RegistryWait kind = RegistryWait::kNeeded;
    Clock::time_point started;
    bool announced = false;
    std::optional<Clock::time_point> optionalGaveUp;
};
thread_local BusyWait busyWait;

// Sets the kind of waiting for the operations of one key while it lives.
class WaitScope {
public:
    explicit WaitScope(RegistryWait kind) : saved_(busyWait.kind) { busyWait.kind = kind; }
    ~WaitScope() { busyWait.kind = saved_; }
    WaitScope(const WaitScope&) = delete;
    WaitScope& operator=(const WaitScope&) = delete;

private:
    RegistryWait saved_;
};

int64_t MillisecondsSince(BusyWait::Clock::time_point then) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(BusyWait::Clock::now() - then).count();
}

// SQLite's busy handler: count is 0 at the start of each wait. Answers 1 to
// try again after a nap, 0 to give up (the operation then fails as busy).
int OnBusy(void* connection, int count) {
    BusyWait& wait = busyWait;
    bool optional = wait.kind == RegistryWait::kOptional;
    if (count == 0) {
        if (optional && wait.optionalGaveUp && MillisecondsSince(*wait.optionalGaveUp) < kGaveUpMemoryMs)
            return 0;
        wait.started = BusyWait::Clock::now();
        wait.announced = false;
    }
    const char* file = sqlite3_db_filename(static_cast<sqlite3*>(connection), "main");
    if (!file || !*file) file = "(unknown)";
    int64_t waited = MillisecondsSince(wait.started);
    if (waited >= (optional ? kOptionalWaitMs : kNeededWaitMs)) {
        std::fprintf(
            stderr,
            "tallow: gave up waiting for the registry %s after %.1f s: another process holds it locked\n",
            file, double(waited) / 1000);
        if (optional) wait.optionalGaveUp = BusyWait::Clock::now();
        return 0;
    }
    if (waited >= kAnnounceAfterMs && !wait.announced) {
        std::fprintf(stderr, "tallow: waiting for the registry %s, which another process holds locked\n",
                     file);
        wait.announced = true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(kWaitStepMs));
    return 1;
}

// A prepared statement that finalizes itself.
class Statement {
public:
    Statement(sqlite3* db, const char* sql) : db_(db) {
        int rc = sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr);
        if (rc != SQLITE_OK) {
            NoteDamage(db, rc);
            stmt_ = nullptr;
        }
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool Ok() const { return stmt_ != nullptr; }
    Statement& Bind(int i, sqlite3_int64 v) {
        if (stmt_) sqlite3_bind_int64(stmt_, i, v);
        return *this;
    }
    Statement& Bind(int i, std::string_view text) {
        if (stmt_) sqlite3_bind_text(stmt_, i, text.data(), int(text.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Statement& BindBlob(int i, std::string_view bytes) {
        // A zero-length blob must not be bound as NULL: the column is NOT NULL.
        if (stmt_)
            sqlite3_bind_blob(stmt_, i, bytes.empty() ? "" : bytes.data(), int(bytes.size()),
                              SQLITE_TRANSIENT);
        return *this;
    }
    // SQLITE_ROW, SQLITE_DONE or an error code.
    int Step() {
        if (!stmt_) return SQLITE_ERROR;
        int rc = sqlite3_step(stmt_);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE) NoteDamage(db_, rc);
        return rc;
    }
    sqlite3_int64 Int(int column) const { return sqlite3_column_int64(stmt_, column); }
    std::string Text(int column) const {
        const unsigned char* t = sqlite3_column_text(stmt_, column);
        return t ? std::string(reinterpret_cast<const char*>(t), size_t(sqlite3_column_bytes(stmt_, column)))
                 : std::string();
    }
    std::string Blob(int column) const {
        const void* b = sqlite3_column_blob(stmt_, column);
        return b ? std::string(static_cast<const char*>(b), size_t(sqlite3_column_bytes(stmt_, column)))
                 : std::string();
    }

private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

bool Exec(sqlite3* db, const char* sql) {
    int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    NoteDamage(db, rc);
    return rc == SQLITE_OK;
}

// A write transaction that rolls back unless committed.
class Transaction {
public:
    explicit Transaction(sqlite3* db) : db_(db), open_(Exec(db, "BEGIN IMMEDIATE")) {}
    ~Transaction() {
        if (open_) Exec(db_, "ROLLBACK");
    }
    bool Ok() const { return open_; }
    bool Commit() {
        if (!open_) return false;
        open_ = false;
        if (Exec(db_, "COMMIT")) return true;
        Exec(db_, "ROLLBACK");
        return false;
    }

private:
    sqlite3* db_;
    bool open_;
};

// One idle connection per thread, handed to the next key opened on the same
// file: every run reads the registrations, and a fresh connection costs far
// more than the lookups. A connection inherited through fork is never used
// (nor closed) by the child, and one whose file was replaced is not reused.
struct IdleConnection {
    sqlite3* db = nullptr;
    std::string file;
    pid_t pid = 0;
    dev_t device = 0;
    ino_t inode = 0;
    ~IdleConnection() {
        if (db && pid == getpid()) sqlite3_close(db);
    }
};
thread_local IdleConnection idle;

bool SameFile(const std::string& file, dev_t device, ino_t inode) {
    struct stat st;
    return stat(file.c_str(), &st) == 0 && st.st_dev == device && st.st_ino == inode;
}

sqlite3* TakeIdle(const std::string& file) {
    if (!idle.db) return nullptr;
    sqlite3* db = idle.db;
    idle.db = nullptr;
    if (idle.pid != getpid()) return nullptr;  // the parent's: left alone
    if (idle.file == file && SameFile(file, idle.device, idle.inode)) return db;
    sqlite3_close(db);
    return nullptr;
}

// Keeps db for reuse when the slot is free, else closes it.
void Release(sqlite3* db, const std::string& file) {
    if (!db) return;
    if (idle.db && idle.pid != getpid()) idle.db = nullptr;
    struct stat st;
    if (idle.db || sqlite3_get_autocommit(db) == 0 || stat(file.c_str(), &st) != 0) {
        sqlite3_close(db);
        return;
    }
    idle.db = db;
    idle.file = file;
    idle.pid = getpid();
    idle.device = st.st_dev;
    idle.inode = st.st_ino;
}

// A new database file is made private before SQLite opens it (an empty file
// is an empty database): its values may be private, and SQLite gives its
// journal the database's permissions.
sqlite3* OpenDatabase(bool create, std::string& file) {
    std::string folder = ConfigFolder();
    if (create && !MakeFolders(folder)) return nullptr;
    file = folder + "/registry.db";
    if (sqlite3* db = TakeIdle(file)) return db;
    if (create) {
        int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd >= 0) ::close(fd);
    }
    sqlite3* db = nullptr;
    int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
    if (sqlite3_open_v2(file.c_str(), &db, flags, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return nullptr;
    }
    sqlite3_busy_handler(db, OnBusy, db);
    return db;
}

// The id of the child of parent called name, or 0.
sqlite3_int64 FindChild(sqlite3* db, sqlite3_int64 parent, std::string_view name) {
    Statement s(db, "SELECT id FROM keys WHERE parent = ?1 AND name = ?2");
    if (s.Bind(1, parent).Bind(2, name).Step() != SQLITE_ROW) return 0;
    return s.Int(0);
}

// The id of the key at path below from, or 0.
sqlite3_int64 FindKey(sqlite3* db, sqlite3_int64 from, std::string_view path) {
    sqlite3_int64 id = from;
    for (const std::string& part : SplitPath(path)) {
        id = FindChild(db, id, part);
        if (!id) return 0;
    }
    return id;
}

bool HasChildren(sqlite3* db, sqlite3_int64 id) {
    Statement s(db, "SELECT 1 FROM keys WHERE parent = ?1 LIMIT 1");
    return s.Bind(1, id).Step() == SQLITE_ROW;
}

}  // namespace

struct RegistryKey::Impl {
    sqlite3* db = nullptr;
    std::string file;
    sqlite3_int64 id = 0;
    bool writable = false;
    RegistryWait wait = RegistryWait::kNeeded;
    ~Impl() { Release(db, file); }
};

RegistryKey::RegistryKey() = default;
RegistryKey::~RegistryKey() = default;
RegistryKey::RegistryKey(RegistryKey&& other) noexcept = default;
RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept = default;

bool RegistryKey::Open(RegistryRoot root, std::string_view path, bool write, RegistryWait wait) {
    Close();
    WaitScope scope(wait);
    auto impl = std::make_unique<Impl>();
    impl->wait = wait;
    impl->db = OpenDatabase(false, impl->file);
    if (!impl->db) return false;
    impl->id = FindKey(impl->db, kRootIds[size_t(root)], path);
    if (!impl->id) return false;
    impl->writable = write;
    impl_ = std::move(impl);
    return true;
}

bool RegistryKey::Create(RegistryRoot root, std::string_view path) {
    Close();
    WaitScope scope(RegistryWait::kNeeded);
    auto impl = std::make_unique<Impl>();
    impl->db = OpenDatabase(true, impl->file);
    if (!impl->db) return false;
    Transaction tx(impl->db);
    if (!tx.Ok() || !Exec(impl->db, kSchema)) return false;
    sqlite3_int64 id = kRootIds[size_t(root)];
    for (const std::string& part : SplitPath(path)) {
        sqlite3_int64 child = FindChild(impl->db, id, part);
        if (!child) {
            Statement insert(impl->db, "INSERT INTO keys(parent, name) VALUES(?1, ?2)");
            if (insert.Bind(1, id).Bind(2, part).Step() != SQLITE_DONE) return false;
            child = sqlite3_last_insert_rowid(impl->db);
        }
        id = child;
    }
    if (!tx.Commit()) return false;
    impl->id = id;
    impl->writable = true;
    impl_ = std::move(impl);
    return true;
}

void RegistryKey::Close() {
    impl_.reset();
}

bool RegistryKey::SetValue(std::string_view name, uint32_t type, std::string_view data) {
    if (!impl_ || !impl_->writable) return false;
    WaitScope scope(impl_->wait);
    // The key may have been deleted by another process since it was opened.
    Statement s(impl_->db,
                "INSERT INTO vals(key, name, type, data) SELECT ?1, ?2, ?3, ?4"
                " WHERE EXISTS(SELECT 1 FROM keys WHERE id = ?1)"
                " ON CONFLICT(key, name) DO UPDATE SET type = excluded.type, data = excluded.data");
    s.Bind(1, impl_->id).Bind(2, name).Bind(3, sqlite3_int64(type)).BindBlob(4, data);
    return s.Step() == SQLITE_DONE && sqlite3_changes(impl_->db) > 0;
}

bool RegistryKey::QueryValue(std::string_view name, uint32_t& type, std::string& data) const {
    if (!impl_) return false;
    WaitScope scope(impl_->wait);
    Statement s(impl_->db, "SELECT type, data FROM vals WHERE key = ?1 AND name = ?2");
    if (s.Bind(1, impl_->id).Bind(2, name).Step() != SQLITE_ROW) return false;
    type = uint32_t(s.Int(0));
    data = s.Blob(1);
    return true;
}

RegistryEnum RegistryKey::EnumValue(uint32_t index, std::string& name, uint32_t& type,
                                    std::string& data) const {
    if (!impl_) return RegistryEnum::kError;
    WaitScope scope(impl_->wait);
    Statement s(impl_->db,
                "SELECT name, type, data FROM vals WHERE key = ?1 ORDER BY rowid LIMIT 1 OFFSET ?2");
    int rc = s.Bind(1, impl_->id).Bind(2, sqlite3_int64(index)).Step();
    if (rc == SQLITE_DONE) return RegistryEnum::kNoMoreItems;
    if (rc != SQLITE_ROW) return RegistryEnum::kError;
    name = s.Text(0);
    type = uint32_t(s.Int(1));
    data = s.Blob(2);
    return RegistryEnum::kValue;
}

bool RegistryKey::DeleteValue(std::string_view name) {
    if (!impl_ || !impl_->writable) return false;
    WaitScope scope(impl_->wait);
    Statement s(impl_->db, "DELETE FROM vals WHERE key = ?1 AND name = ?2");
    return s.Bind(1, impl_->id).Bind(2, name).Step() == SQLITE_DONE && sqlite3_changes(impl_->db) > 0;
}

bool RegistryKey::DeleteSubKey(std::string_view path) {
    if (!impl_ || !impl_->writable || SplitPath(path).empty()) return false;
    WaitScope scope(impl_->wait);
    sqlite3* db = impl_->db;
    Transaction tx(db);
    if (!tx.Ok()) return false;
    sqlite3_int64 id = FindKey(db, impl_->id, path);
    if (!id || HasChildren(db, id)) return false;
    Statement values(db, "DELETE FROM vals WHERE key = ?1");
    Statement key(db, "DELETE FROM keys WHERE id = ?1");
    if (values.Bind(1, id).Step() != SQLITE_DONE || key.Bind(1, id).Step() != SQLITE_DONE) return false;
    return tx.Commit();
}

}  // namespace tallow::platform
