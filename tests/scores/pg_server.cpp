#include "pg_server.h"

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <pqxx/pqxx>

namespace scores_test {

namespace {

const char* kBin = "/usr/lib/postgresql/15/bin";

int FreePort() {
    int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
    close(s);
    return ntohs(a.sin_port);
}

class Server : public testing::Environment {
public:
    bool Start(std::string& error) {
        if (const char* url = std::getenv("VEXMO_TEST_POSTGRES_URL")) {
            url_ = url;
            return true;
        }
        if (!std::filesystem::exists(std::string(kBin) + "/initdb")) {
            error = "PostgreSQL 15 is not installed (scripts/deps.sh installs postgresql-15)";
            return false;
        }
        char pattern[] = "/tmp/vexmo-pg.XXXXXX";
        if (!mkdtemp(pattern)) {
            error = "cannot make a temporary folder";
            return false;
        }
        dir_ = pattern;
        // PostgreSQL refuses to run as root: root's tests run it as nobody.
        if (geteuid() == 0) {
            passwd* pw = getpwnam("nobody");
            if (!pw || chown(dir_.c_str(), pw->pw_uid, pw->pw_gid) != 0) {
                error = "cannot hand " + dir_ + " to the user nobody";
                return false;
            }
            as_ = "runuser -u nobody -- ";
        }
        int port = FreePort();
        std::string data = dir_ + "/data";
        std::string init = as_ + kBin + "/initdb -D " + data +
                           " -U scores --auth=trust -E UTF8 --no-sync >" + dir_ +
                           "/initdb.log 2>&1";
        if (std::system(init.c_str()) != 0) {
            error = "initdb failed: see " + dir_ + "/initdb.log";
            return false;
        }
        std::string opts = "-c listen_addresses=127.0.0.1 -c port=" + std::to_string(port) +
                           " -c unix_socket_directories=" + dir_ +
                           " -c max_connections=200 -c fsync=off";
        std::string start = as_ + kBin + "/pg_ctl -D " + data + " -l " + dir_ +
                            "/server.log -w -t 30 -o '" + opts + "' start >/dev/null 2>&1";
        if (std::system(start.c_str()) != 0) {
            error = "pg_ctl start failed: see " + dir_ + "/server.log";
            return false;
        }
        started_ = true;
        url_ = "postgresql://scores@127.0.0.1:" + std::to_string(port) + "/postgres";
        return true;
    }

    void TearDown() override {
        if (!started_) return;
        std::string stop =
            as_ + kBin + "/pg_ctl -D " + dir_ + "/data -m fast -w stop >/dev/null 2>&1";
        if (std::system(stop.c_str()) == 0) std::filesystem::remove_all(dir_);
        started_ = false;
    }

    const std::string& url() const { return url_; }

private:
    std::string dir_;
    std::string as_;
    std::string url_;
    bool started_ = false;
};

Server* g_server = [] {
    auto* s = new Server;
    testing::AddGlobalTestEnvironment(s);  // gtest owns it and calls TearDown at the end
    return s;
}();

}  // namespace

const std::string& PostgresUrl() {
    static std::string error;
    static bool ok = g_server->Start(error);
    if (!ok) ADD_FAILURE() << error;
    return g_server->url();
}

void ResetPostgres() {
    pqxx::connection c(PostgresUrl());
    pqxx::work w(c);
    w.exec("DROP TABLE IF EXISTS games, schema_version");
    w.commit();
}

}  // namespace scores_test
