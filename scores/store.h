#pragma once
// The score board's storage: one small interface, an SQLite and a PostgreSQL implementation with
// the same schema. Every write is one transaction, so a process killed mid-write leaves either
// the whole game or none of it.
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace scores {

struct GameRecord {
    std::string id;  // lower-case hex SHA-256 of the replay's bytes
    std::string difficulty;
    int score = 0;
    int rounds = 0;
    long updates = 0;
    std::string name;       // empty: no name given
    long long created = 0;  // seconds since 1970, UTC
    std::vector<unsigned char> replay;
};

struct BoardEntry {
    int rank = 0;
    int score = 0;
    std::string name;
    long long created = 0;
    std::string id;
};

struct StoredGame {
    std::string id;
    std::string difficulty;
    int score = 0;
    int rank = 0;
};

// A storage failure the service reports as 500 (the database is down, the disk is full...).
struct StoreError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class ScoreStore {
public:
    virtual ~ScoreStore() = default;
    virtual const char* Kind() const = 0;  // "sqlite" or "postgresql"
    // Adds the game unless a game with its id is stored; either way answers the stored game.
    // `inserted` tells which.
    virtual StoredGame Add(const GameRecord& game, bool& inserted) = 0;
    virtual std::optional<StoredGame> Find(const std::string& id) = 0;
    virtual std::vector<BoardEntry> Top(const std::string& difficulty, int limit) = 0;
    virtual std::optional<std::vector<unsigned char>> Replay(const std::string& id) = 0;
    virtual int SchemaVersion() = 0;
};

// `where` is a file path (SQLite) or a postgresql:// URL. Makes or migrates the schema.
std::unique_ptr<ScoreStore> OpenStore(const std::string& where, int connections = 8);
std::unique_ptr<ScoreStore> OpenSqliteStore(const std::string& path, int connections);
std::unique_ptr<ScoreStore> OpenPostgresStore(const std::string& url, int connections);

bool IsPostgresUrl(const std::string& where);

}  // namespace scores
