#include "scores/schema.h"

namespace scores {

namespace {

// Games are ranked by score, ties by who got there first: `seq` grows with every insert, unlike
// the date, which two games can share.
const std::vector<std::vector<std::string>> kSqliteSteps = {
    {
        "CREATE TABLE games ("
        " seq INTEGER PRIMARY KEY AUTOINCREMENT,"
        " id TEXT NOT NULL UNIQUE CHECK (length(id) = 64),"
        " difficulty TEXT NOT NULL CHECK (difficulty IN ('easy', 'normal', 'hard')),"
        " score INTEGER NOT NULL,"
        " rounds INTEGER NOT NULL,"
        " updates INTEGER NOT NULL,"
        " name TEXT,"
        " created INTEGER NOT NULL,"
        " replay BLOB NOT NULL)",
        "CREATE INDEX games_board ON games (difficulty, score DESC, seq)",
    },
};

const std::vector<std::vector<std::string>> kPostgresSteps = {
    {
        "CREATE TABLE games ("
        " seq BIGSERIAL PRIMARY KEY,"
        " id TEXT NOT NULL UNIQUE CHECK (length(id) = 64),"
        " difficulty TEXT NOT NULL CHECK (difficulty IN ('easy', 'normal', 'hard')),"
        " score INTEGER NOT NULL,"
        " rounds INTEGER NOT NULL,"
        " updates BIGINT NOT NULL,"
        " name TEXT,"
        " created BIGINT NOT NULL,"
        " replay BYTEA NOT NULL)",
        "CREATE INDEX games_board ON games (difficulty, score DESC, seq)",
    },
};

std::string P(Dialect d, int n) {
    return (d == Dialect::kSqlite ? "?" : "$") + std::to_string(n);
}

}  // namespace

const std::vector<std::vector<std::string>>& SchemaSteps(Dialect dialect) {
    return dialect == Dialect::kSqlite ? kSqliteSteps : kPostgresSteps;
}

std::string RankSql(Dialect d) {
    // 1 + the games of the same difficulty ahead of this one.
    return "SELECT g.id, g.difficulty, g.score, 1 + (SELECT count(*) FROM games o"
           " WHERE o.difficulty = g.difficulty AND (o.score > g.score OR"
           " (o.score = g.score AND o.seq < g.seq))) FROM games g WHERE g.id = " +
           P(d, 1);
}

std::string TopSql(Dialect d) {
    return "SELECT score, name, created, id FROM games WHERE difficulty = " + P(d, 1) +
           " ORDER BY score DESC, seq LIMIT " + P(d, 2);
}

}  // namespace scores
