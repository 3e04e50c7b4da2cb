// PostgreSQL: what several copies of the service behind a load balancer share. Connections are
// pooled per process; a connection the server dropped is opened again on its next use. Reads
// are single statements outside a transaction block: one round trip instead of three.
#include <condition_variable>
#include <mutex>
#include <pqxx/pqxx>

#include "scores/schema.h"
#include "scores/store.h"

namespace scores {

namespace {

// Any fixed number: every copy of the service takes this lock to migrate, one after the other.
constexpr long long kMigrationLock = 0x7665786d6f;

class PostgresStore : public ScoreStore {
public:
    PostgresStore(const std::string& url, int connections) : url_(url) {
        try {
            for (int i = 0; i < std::max(1, connections); ++i)
                free_.push_back(std::make_unique<pqxx::connection>(url_));
            Migrate(*free_.front());
        } catch (const pqxx::failure& e) {
            throw StoreError(std::string("PostgreSQL: ") + e.what());
        }
    }

    const char* Kind() const override { return "postgresql"; }

    StoredGame Add(const GameRecord& g, bool& inserted) override {
        return Run([&](pqxx::connection& c) {
            pqxx::work w(c);
            auto r = w.exec_params(
                "INSERT INTO games (id, difficulty, score, rounds, updates, name, created, replay)"
                " VALUES ($1, $2, $3, $4, $5, $6, $7, $8) ON CONFLICT (id) DO NOTHING",
                g.id, g.difficulty, g.score, g.rounds, g.updates,
                g.name.empty() ? nullptr : g.name.c_str(), g.created,
                pqxx::binarystring(g.replay.data(), g.replay.size()));
            inserted = r.affected_rows() == 1;
            w.commit();
            auto found = FindWith(c, g.id);
            if (!found) throw StoreError("PostgreSQL: a stored game vanished");
            return *found;
        });
    }

    std::optional<StoredGame> Find(const std::string& id) override {
        return Run([&](pqxx::connection& c) { return FindWith(c, id); });
    }

    std::vector<BoardEntry> Top(const std::string& difficulty, int limit) override {
        return Run([&](pqxx::connection& c) {
            pqxx::nontransaction w(c);
            auto r = w.exec_params(TopSql(Dialect::kPostgres), difficulty, limit);
            std::vector<BoardEntry> out;
            for (const auto& row : r) {
                BoardEntry e;
                e.rank = static_cast<int>(out.size()) + 1;
                e.score = row[0].as<int>();
                e.name = row[1].is_null() ? std::string() : row[1].as<std::string>();
                e.created = row[2].as<long long>();
                e.id = row[3].as<std::string>();
                out.push_back(std::move(e));
            }
            return out;
        });
    }

    std::optional<std::vector<unsigned char>> Replay(const std::string& id) override {
        return Run([&](pqxx::connection& c) -> std::optional<std::vector<unsigned char>> {
            pqxx::nontransaction w(c);
            auto r = w.exec_params("SELECT replay FROM games WHERE id = $1", id);
            if (r.empty()) return std::nullopt;
            pqxx::binarystring b(r[0][0]);
            return std::vector<unsigned char>(b.data(), b.data() + b.size());
        });
    }

    int SchemaVersion() override {
        return Run([&](pqxx::connection& c) {
            pqxx::nontransaction w(c);
            auto r = w.exec("SELECT version FROM schema_version");
            return r.empty() ? 0 : r[0][0].as<int>();
        });
    }

private:
    static std::optional<StoredGame> FindWith(pqxx::connection& c, const std::string& id) {
        pqxx::nontransaction w(c);
        auto r = w.exec_params(RankSql(Dialect::kPostgres), id);
        if (r.empty()) return std::nullopt;
        StoredGame g;
        g.id = r[0][0].as<std::string>();
        g.difficulty = r[0][1].as<std::string>();
        g.score = r[0][2].as<int>();
        g.rank = r[0][3].as<int>();
        return g;
    }

    static void Migrate(pqxx::connection& c) {
        pqxx::work w(c);
        w.exec_params("SELECT pg_advisory_xact_lock($1)", kMigrationLock);
        w.exec("CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL)");
        auto r = w.exec("SELECT version FROM schema_version");
        int version = 0;
        if (r.empty())
            w.exec("INSERT INTO schema_version (version) VALUES (0)");
        else
            version = r[0][0].as<int>();
        const auto& steps = SchemaSteps(Dialect::kPostgres);
        if (version > static_cast<int>(steps.size()))
            throw StoreError("the database's schema (version " + std::to_string(version) +
                             ") is newer than this service knows");
        for (size_t i = version; i < steps.size(); ++i) {
            for (const auto& sql : steps[i]) w.exec(sql);
            w.exec("UPDATE schema_version SET version = " + std::to_string(i + 1));
        }
        w.commit();
    }

    // Runs `op` on a pooled connection. A broken connection is replaced and the operation tried
    // once more: a write either committed or did not, and ON CONFLICT makes a repeat harmless.
    template <typename Op>
    auto Run(Op op) -> decltype(op(std::declval<pqxx::connection&>())) {
        auto conn = Take();
        for (int attempt = 0;; ++attempt) {
            try {
                if (!conn) conn = std::make_unique<pqxx::connection>(url_);
                auto result = op(*conn);
                Give(std::move(conn));
                return result;
            } catch (const pqxx::broken_connection& e) {
                conn.reset();
                if (attempt == 1) {
                    Give(nullptr);
                    throw StoreError(std::string("PostgreSQL connection: ") + e.what());
                }
            } catch (const pqxx::failure& e) {
                Give(std::move(conn));
                throw StoreError(std::string("PostgreSQL: ") + e.what());
            } catch (...) {
                Give(std::move(conn));
                throw;
            }
        }
    }

    // A null slot is a connection to open again on its next use.
    std::unique_ptr<pqxx::connection> Take() {
        std::unique_lock<std::mutex> lock(mutex_);
        ready_.wait(lock, [&] { return !free_.empty(); });
        auto c = std::move(free_.back());
        free_.pop_back();
        return c;
    }
    void Give(std::unique_ptr<pqxx::connection> c) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            free_.push_back(std::move(c));
        }
        ready_.notify_one();
    }

    std::string url_;
    std::mutex mutex_;
    std::condition_variable ready_;
    std::vector<std::unique_ptr<pqxx::connection>> free_;
};

}  // namespace

std::unique_ptr<ScoreStore> OpenPostgresStore(const std::string& url, int connections) {
    return std::make_unique<PostgresStore>(url, connections);
}

bool IsPostgresUrl(const std::string& where) {
    return where.rfind("postgresql://", 0) == 0 || where.rfind("postgres://", 0) == 0;
}

std::unique_ptr<ScoreStore> OpenStore(const std::string& where, int connections) {
    if (IsPostgresUrl(where)) return OpenPostgresStore(where, connections);
    return OpenSqliteStore(where, connections);
}

}  // namespace scores
