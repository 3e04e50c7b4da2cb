#pragma once
// The schema as numbered steps, one list per database dialect; both lists make the same tables.
// A database records the last step it took in schema_version, so a start applies only the rest.
#include <string>
#include <vector>

namespace scores {

enum class Dialect { kSqlite, kPostgres };

// Step i (0-based) moves the schema from version i to version i + 1.
const std::vector<std::vector<std::string>>& SchemaSteps(Dialect dialect);

// Shared statements; $1... placeholders in PostgreSQL, ?1... in SQLite.
std::string RankSql(Dialect dialect);
std::string TopSql(Dialect dialect);

}  // namespace scores
