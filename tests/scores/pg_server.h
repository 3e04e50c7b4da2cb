#pragma once
// A PostgreSQL 15 server of the tests' own: made with initdb in a temporary folder, run by
// pg_ctl as an unprivileged user, listening on 127.0.0.1 only, stopped when the tests end.
// $VEXMO_TEST_POSTGRES_URL names a running server to use instead.
#include <string>

namespace scores_test {

// Starts the server on first use; fails the calling test when it cannot.
const std::string& PostgresUrl();
// Drops the service's tables, so each test starts from an empty database.
void ResetPostgres();

}  // namespace scores_test
