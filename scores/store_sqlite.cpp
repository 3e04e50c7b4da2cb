// SQLite: the embedded default. WAL lets the readers of the top lists run beside a writer;
// synchronous=FULL makes a commit durable before the service answers 201.
#include <sqlite3.h>

#include <condition_variable>
#include <mutex>

#include "scores/schema.h"
#include "scores/store.h"

namespace scores {

namespace {

class Statement {
public:
    Statement(sqlite3* db, const std::string& sql) : db_(db) {
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt_, nullptr) != SQLITE_OK) Fail("prepare");
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void Bind(int i, const std::string& text) {
        sqlite3_bind_text(stmt_, i, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    }
    void BindOrNull(int i, const std::string& text) {
        if (text.empty())
            sqlite3_bind_null(stmt_, i);
        else
            Bind(i, text);
    }
    void Bind(int i, long long v) { sqlite3_bind_int64(stmt_, i, v); }
    void Bind(int i, const std::vector<unsigned char>& blob) {
        sqlite3_bind_blob(stmt_, i, blob.data(), static_cast<int>(blob.size()), SQLITE_STATIC);
    }
    bool Step() {
        int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_ROW) return true;
        if (rc != SQLITE_DONE) Fail("step");
        return false;
    }
    long long Int(int col) { return sqlite3_column_int64(stmt_, col); }
    std::string Text(int col) {
        auto* p = sqlite3_column_text(stmt_, col);
        return p ? std::string(reinterpret_cast<const char*>(p), sqlite3_column_bytes(stmt_, col))
                 : std::string();
    }
    std::vector<unsigned char> Blob(int col) {
        auto* p = static_cast<const unsigned char*>(sqlite3_column_blob(stmt_, col));
        return std::vector<unsigned char>(p, p + sqlite3_column_bytes(stmt_, col));
    }

private:
    [[noreturn]] void Fail(const char* what) {
        throw StoreError(std::string("sqlite ") + what + ": " + sqlite3_errmsg(db_));
    }
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

void Exec(sqlite3* db, const std::string& sql) {
    char* err = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
        std::string message = err ? err : sqlite3_errmsg(db);
        sqlite3_free(err);
        throw StoreError("sqlite: " + message + " (in: " + sql.substr(0, 60) + ")");
    }
}

class SqliteStore : public ScoreStore {
public:
    SqliteStore(const std::string& path, int connections) {
        for (int i = 0; i < std::max(1, connections); ++i) {
            sqlite3* db = nullptr;
            int rc = sqlite3_open_v2(
                path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                nullptr);
            if (rc != SQLITE_OK) {
                std::string message = db ? sqlite3_errmsg(db) : "out of memory";
                sqlite3_close(db);
                Close();
                std::string what = "cannot open the SQLite database ";
                what.append(path).append(": ").append(message);
                throw StoreError(what);
            }
            free_.push_back(db);
            all_.push_back(db);
            sqlite3_busy_timeout(db, 10000);
            try {
                Exec(db, "PRAGMA journal_mode=WAL");
                Exec(db, "PRAGMA synchronous=FULL");
                if (i == 0) Migrate(db);
            } catch (...) {
                Close();
                throw;
            }
        }
    }
    ~SqliteStore() override { Close(); }

    const char* Kind() const override { return "sqlite"; }

    StoredGame Add(const GameRecord& g, bool& inserted) override {
        Lease db(*this);
        {
            Statement st(db.get(),
                         "INSERT INTO games (id, difficulty, score, rounds, updates, name, created,"
                         " replay) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)"
                         " ON CONFLICT (id) DO NOTHING");
            st.Bind(1, g.id);
            st.Bind(2, g.difficulty);
            st.Bind(3, static_cast<long long>(g.score));
            st.Bind(4, static_cast<long long>(g.rounds));
            st.Bind(5, static_cast<long long>(g.updates));
            st.BindOrNull(6, g.name);
            st.Bind(7, g.created);
            st.Bind(8, g.replay);
            st.Step();
            inserted = sqlite3_changes(db.get()) == 1;
        }
        auto found = FindWith(db.get(), g.id);
        if (!found) throw StoreError("sqlite: a stored game vanished");
        return *found;
    }

    std::optional<StoredGame> Find(const std::string& id) override {
        Lease db(*this);
        return FindWith(db.get(), id);
    }

    std::vector<BoardEntry> Top(const std::string& difficulty, int limit) override {
        Lease db(*this);
        Statement st(db.get(), TopSql(Dialect::kSqlite));
        st.Bind(1, difficulty);
        st.Bind(2, static_cast<long long>(limit));
        std::vector<BoardEntry> out;
        while (st.Step()) {
            BoardEntry e;
            e.rank = static_cast<int>(out.size()) + 1;
            e.score = static_cast<int>(st.Int(0));
            e.name = st.Text(1);
            e.created = st.Int(2);
            e.id = st.Text(3);
            out.push_back(std::move(e));
        }
        return out;
    }

    std::optional<std::vector<unsigned char>> Replay(const std::string& id) override {
        Lease db(*this);
        Statement st(db.get(), "SELECT replay FROM games WHERE id = ?1");
        st.Bind(1, id);
        if (!st.Step()) return std::nullopt;
        return st.Blob(0);
    }

    int SchemaVersion() override {
        Lease db(*this);
        Statement st(db.get(), "SELECT version FROM schema_version");
        return st.Step() ? static_cast<int>(st.Int(0)) : 0;
    }

private:
    // One connection per caller at a time: SQLite connections are not shared between threads.
    class Lease {
    public:
        explicit Lease(SqliteStore& s) : s_(s) {
            std::unique_lock<std::mutex> lock(s_.mutex_);
            s_.ready_.wait(lock, [&] { return !s_.free_.empty(); });
            db_ = s_.free_.back();
            s_.free_.pop_back();
        }
        ~Lease() {
            {
                std::lock_guard<std::mutex> lock(s_.mutex_);
                s_.free_.push_back(db_);
            }
            s_.ready_.notify_one();
        }
        sqlite3* get() const { return db_; }

    private:
        SqliteStore& s_;
        sqlite3* db_;
    };

    static std::optional<StoredGame> FindWith(sqlite3* db, const std::string& id) {
        Statement st(db, RankSql(Dialect::kSqlite));
        st.Bind(1, id);
        if (!st.Step()) return std::nullopt;
        StoredGame g;
        g.id = st.Text(0);
        g.difficulty = st.Text(1);
        g.score = static_cast<int>(st.Int(2));
        g.rank = static_cast<int>(st.Int(3));
        return g;
    }

    // The whole migration is one IMMEDIATE transaction: two services starting on one file wait
    // for each other instead of both creating the tables.
    static void Migrate(sqlite3* db) {
        Exec(db, "BEGIN IMMEDIATE");
        try {
            Exec(db, "CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL)");
            int version = 0;
            {
                Statement st(db, "SELECT version FROM schema_version");
                if (st.Step())
                    version = static_cast<int>(st.Int(0));
                else
                    Exec(db, "INSERT INTO schema_version (version) VALUES (0)");
            }
            const auto& steps = SchemaSteps(Dialect::kSqlite);
            if (version > static_cast<int>(steps.size()))
                throw StoreError("the database's schema (version " + std::to_string(version) +
                                 ") is newer than this service knows");
            for (size_t i = version; i < steps.size(); ++i) {
                for (const auto& sql : steps[i]) Exec(db, sql);
                Exec(db, "UPDATE schema_version SET version = " + std::to_string(i + 1));
            }
            Exec(db, "COMMIT");
        } catch (...) {
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
    }

    void Close() {
        for (auto* db : all_) sqlite3_close(db);
        all_.clear();
        free_.clear();
    }

    std::mutex mutex_;
    std::condition_variable ready_;
    std::vector<sqlite3*> free_;
    std::vector<sqlite3*> all_;
};

}  // namespace

std::unique_ptr<ScoreStore> OpenSqliteStore(const std::string& path, int connections) {
    return std::make_unique<SqliteStore>(path, connections);
}

}  // namespace scores
