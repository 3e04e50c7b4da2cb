#pragma once
// A score board on a free port of 127.0.0.1, on a fresh SQLite file or a fresh PostgreSQL
// database, playing test replays (test_replays.h) in forked children as the real one does.
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <thread>

#include "pg_server.h"
#include "scores/service.h"
#include "test_replays.h"

namespace scores_test {

enum class Db { kSqlite, kPostgres };

inline std::string DbName(const testing::TestParamInfo<Db>& info) {
    return info.param == Db::kSqlite ? "sqlite" : "postgresql";
}

inline scores::ServiceOptions TestOptions() {
    scores::ServiceOptions o;
    o.verifier_threads = 2;
    o.queue_length = 8;
    o.budget = std::chrono::milliseconds(5000);
    o.posts_per_minute = o.post_burst = 1000;
    o.http_threads = 16;
    o.read_timeout_seconds = 1;
    o.body_timeout_seconds = 3;
    return o;
}

class Board {
public:
    Board(const std::string& where, scores::ServiceOptions options,
          scores::Verifier verify = VerifyTestReplay)
        : store_(scores::OpenStore(where, 4)),
          service_(std::make_unique<scores::Service>(*store_, verify, std::move(options))) {
        port_ = service_->Bind("127.0.0.1", 0);
        thread_ = std::thread([this] { service_->Run(); });
    }
    ~Board() {
        service_->Stop();
        thread_.join();
    }
    int port() const { return port_; }
    scores::ScoreStore& store() { return *store_; }
    httplib::Client Client() const {
        httplib::Client c("127.0.0.1", port_);
        c.set_read_timeout(30, 0);
        return c;
    }

private:
    std::unique_ptr<scores::ScoreStore> store_;
    std::unique_ptr<scores::Service> service_;
    int port_ = -1;
    std::thread thread_;
};

// Each test gets its own empty database.
class BoardTest : public testing::TestWithParam<Db> {
protected:
    void SetUp() override {
        if (GetParam() == Db::kSqlite) {
            char pattern[] = "/tmp/vexmo-scores-test.XXXXXX";
            ASSERT_NE(mkdtemp(pattern), nullptr);
            dir_ = pattern;
            where_ = dir_ + "/scores.db";
        } else {
            where_ = PostgresUrl();
            ASSERT_FALSE(where_.empty());
            ResetPostgres();
        }
    }
    void TearDown() override {
        if (!dir_.empty()) std::filesystem::remove_all(dir_);
    }
    std::unique_ptr<Board> Start(scores::ServiceOptions options = TestOptions(),
                                 scores::Verifier verify = VerifyTestReplay) {
        return std::make_unique<Board>(where_, std::move(options), std::move(verify));
    }
    std::string where_;
    std::string dir_;
};

inline std::string Text(const std::vector<unsigned char>& b) {
    return std::string(b.begin(), b.end());
}

inline httplib::Result Post(const Board& b, const std::vector<unsigned char>& replay,
                            const std::string& query = "") {
    return b.Client().Post(("/v1/games" + query).c_str(), Text(replay), "application/octet-stream");
}

inline nlohmann::json Json(const httplib::Result& r) {
    return nlohmann::json::parse(r ? r->body : std::string(), nullptr, false);
}

// The error message of a JSON error body, or a note saying it was not one.
inline std::string ErrorOf(const httplib::Result& r) {
    auto j = Json(r);
    if (!j.is_object() || !j.contains("error") || !j["error"].is_string())
        return "<not a JSON error: " + (r ? r->body : std::string("no response")) + ">";
    return j["error"];
}

// Sends `head`, then `body` while nothing comes back, in pieces of `piece` bytes with `pause`
// between them; answers what the server said and how much of the body it took.
struct RawAnswer {
    std::string text;
    size_t sent = 0;
};
inline RawAnswer RawExchange(int port, const std::string& head, const std::string& body,
                             size_t piece = 65536,
                             std::chrono::milliseconds pause = std::chrono::milliseconds(0),
                             int read_ms = 8000) {
    RawAnswer out;
    int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        close(s);
        return out;
    }
    send(s, head.data(), head.size(), MSG_NOSIGNAL);
    while (out.sent < body.size()) {
        pollfd p{s, POLLIN, 0};
        if (poll(&p, 1, 0) > 0) break;  // an answer before the body is all sent
        ssize_t n = send(s, body.data() + out.sent, std::min(piece, body.size() - out.sent),
                         MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            poll(&p, 1, 10);
            continue;
        }
        if (n <= 0) break;
        out.sent += static_cast<size_t>(n);
        if (pause.count()) std::this_thread::sleep_for(pause);
    }
    char buf[4096];
    for (;;) {
        pollfd p{s, POLLIN, 0};
        if (poll(&p, 1, read_ms) <= 0) break;
        ssize_t n = recv(s, buf, sizeof buf, 0);
        if (n <= 0) break;
        out.text.append(buf, static_cast<size_t>(n));
    }
    close(s);
    return out;
}

inline int RawStatus(const RawAnswer& a) {
    return a.text.rfind("HTTP/1.1 ", 0) == 0 ? std::atoi(a.text.c_str() + 9) : 0;
}

inline std::string RawBody(const RawAnswer& a) {
    auto p = a.text.find("\r\n\r\n");
    return p == std::string::npos ? "" : a.text.substr(p + 4);
}

}  // namespace scores_test
