// kill -9 in the middle of posts: every game the service confirmed is there after a restart,
// and every game there is whole.
#include <signal.h>
#include <sys/wait.h>

#include <atomic>
#include <mutex>
#include <pqxx/pqxx>

#include "board_fixture.h"
#include "scores/replay_id.h"

namespace scores_test {
namespace {

using CrashTest = BoardTest;

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

TEST_P(CrashTest, KillDashNineUnderLoadLosesNoConfirmedGameAndLeavesNoHalfOne) {
    const int port = FreePort();
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The service alone in a process of its own, as in production.
        auto store = scores::OpenStore(where_, 4);
        scores::Service service(*store, VerifyTestReplay, TestOptions());
        if (service.Bind("127.0.0.1", port) != port) _exit(3);
        service.Run();
        _exit(0);
    }
    httplib::Client probe("127.0.0.1", port);
    bool up = false;
    for (int i = 0; i < 100 && !up; ++i) {
        auto r = probe.Get("/v1/health");
        up = r && r->status == 200;
        if (!up) usleep(50 * 1000);
    }
    ASSERT_TRUE(up);

    std::mutex mutex;
    std::map<std::string, int> confirmed;  // id -> score the service answered
    std::atomic<int> next{0};
    std::atomic<bool> dead{false};
    std::vector<std::thread> clients;
    for (int c = 0; c < 6; ++c)
        clients.emplace_back([&] {
            httplib::Client cli("127.0.0.1", port);
            cli.set_read_timeout(5, 0);
            while (!dead) {
                int i = next++;
                if (i > 2000) break;
                auto replay = MakeReplay({"normal", 0, i % 50, 1, i});
                auto r = cli.Post("/v1/games", Text(replay), "application/octet-stream");
                if (r && (r->status == 201 || r->status == 200)) {
                    auto j = Json(r);
                    std::lock_guard<std::mutex> lock(mutex);
                    confirmed[j["id"]] = j["score"];
                }
            }
        });
    for (int i = 0; i < 200; ++i) {
        usleep(10 * 1000);
        std::lock_guard<std::mutex> lock(mutex);
        if (confirmed.size() >= 40) break;
    }
    kill(child, SIGKILL);
    dead = true;
    int status = 0;
    waitpid(child, &status, 0);
    for (auto& t : clients) t.join();
    ASSERT_TRUE(WIFSIGNALED(status));
    ASSERT_GE(confirmed.size(), 10u) << "too few posts before the kill to mean anything";

    auto board = Start();
    for (const auto& [id, score] : confirmed) {
        auto r = board->Client().Get(("/v1/games/" + id).c_str());
        ASSERT_TRUE(r);
        EXPECT_EQ(r->status, 200) << "lost " << id;
        EXPECT_EQ(Json(r)["score"], score) << id;
    }
    auto top = Json(board->Client().Get("/v1/top?difficulty=normal&limit=100"));
    ASSERT_TRUE(top.is_array());
    EXPECT_GE(top.size(), std::min<size_t>(confirmed.size(), 100));
    for (const auto& entry : top) {
        std::string id = entry["id"];
        auto replay = board->Client().Get(("/v1/games/" + id + "/replay").c_str());
        ASSERT_TRUE(replay);
        std::vector<unsigned char> bytes(replay->body.begin(), replay->body.end());
        EXPECT_EQ(scores::ReplayId(bytes), id) << "a stored replay is not whole";
        EXPECT_EQ(VerifyTestReplay(bytes).score, entry["score"]) << id;
    }
}

TEST_P(CrashTest, ADatabaseThatDropsItsConnectionsIsReconnectedTo) {
    if (GetParam() != Db::kPostgres) GTEST_SKIP() << "an SQLite file has no connection to lose";
    auto board = Start();
    auto first = Post(*board, MakeReplay({"hard", 0, 3, 1, 1}));
    ASSERT_TRUE(first);
    ASSERT_EQ(first->status, 201);
    {
        // What a restarted server does to every connection the service holds.
        pqxx::connection admin(where_);
        pqxx::nontransaction w(admin);
        auto ended = w.exec(
            "SELECT pg_terminate_backend(pid) FROM pg_stat_activity"
            " WHERE pid <> pg_backend_pid() AND datname = current_database()");
        ASSERT_GE(ended.size(), 1u);
    }
    for (int i = 0; i < 6; ++i) {  // more requests than the service has connections
        auto top = board->Client().Get("/v1/top?difficulty=hard");
        ASSERT_TRUE(top);
        EXPECT_EQ(top->status, 200) << top->body;
        EXPECT_EQ(Json(top).size(), 1u);
    }
    auto second = Post(*board, MakeReplay({"hard", 0, 5, 1, 2}));
    ASSERT_TRUE(second);
    EXPECT_EQ(second->status, 201) << second->body;
    EXPECT_EQ(Json(second)["rank"], 1);
}

INSTANTIATE_TEST_SUITE_P(Db, CrashTest, testing::Values(Db::kSqlite, Db::kPostgres), DbName);

}  // namespace
}  // namespace scores_test
