// The HTTP API on both databases, as a client sees it.
#include <regex>

#include "board_fixture.h"
#include "scores/replay_id.h"

namespace scores_test {
namespace {

using ApiTest = BoardTest;

TEST_P(ApiTest, APostedGameIsScoredByTheServiceRankedAndServedBack) {
    auto board = Start();
    // The header claims far more than the play scores: the board keeps what it computed.
    auto a = MakeReplay({"normal", 99999, 5, 1, 1});
    auto r = Post(*board, a, "?name=Ann");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 201) << r->body;
    auto j = Json(r);
    EXPECT_EQ(j["score"], 50);
    EXPECT_EQ(j["rank"], 1);
    EXPECT_EQ(j["id"], scores::ReplayId(a));

    auto again = Post(*board, a, "?name=Bob");
    ASSERT_TRUE(again);
    EXPECT_EQ(again->status, 200);
    EXPECT_EQ(Json(again)["id"], j["id"]);

    auto b = MakeReplay({"normal", 0, 8, 2, 2});
    auto c = MakeReplay({"normal", 0, 8, 3, 3});  // the same score later: ranked after b
    EXPECT_EQ(Json(Post(*board, b, "?name=Cy-2"))["rank"], 1);
    EXPECT_EQ(Json(Post(*board, c))["rank"], 2);
    EXPECT_EQ(Json(Post(*board, MakeReplay({"hard", 0, 1, 1, 4})))["rank"], 1);

    auto top = board->Client().Get("/v1/top?difficulty=normal");
    ASSERT_TRUE(top);
    EXPECT_EQ(top->status, 200);
    auto list = Json(top);
    ASSERT_TRUE(list.is_array());
    ASSERT_EQ(list.size(), 3u);
    const std::string ids[] = {scores::ReplayId(b), scores::ReplayId(c), scores::ReplayId(a)};
    const int points[] = {80, 80, 50};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(list[i]["rank"], i + 1);
        EXPECT_EQ(list[i]["id"], ids[i]);
        EXPECT_EQ(list[i]["score"], points[i]);
        EXPECT_TRUE(std::regex_match(list[i]["date"].get<std::string>(),
                                     std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ)")));
    }
    EXPECT_EQ(list[0]["name"], "Cy-2");
    EXPECT_TRUE(list[1]["name"].is_null());
    EXPECT_EQ(list[2]["name"], "Ann");  // the first post's name stays

    EXPECT_EQ(Json(board->Client().Get("/v1/top?difficulty=normal&limit=1")).size(), 1u);
    EXPECT_EQ(Json(board->Client().Get("/v1/top?difficulty=easy")), nlohmann::json::array());
    auto game = Json(board->Client().Get(("/v1/games/" + ids[2]).c_str()));
    EXPECT_EQ(game["rank"], 3);
    EXPECT_EQ(game["difficulty"], "normal");

    auto replay = board->Client().Get(("/v1/games/" + ids[2] + "/replay").c_str());
    ASSERT_TRUE(replay);
    EXPECT_EQ(replay->status, 200);
    EXPECT_EQ(replay->body, Text(a));
}

TEST_P(ApiTest, BodiesThatAreNoReplayAreRefusedAndTheBoardAnswersAfterwards) {
    auto board = Start();
    std::vector<unsigned char> noise(4096);
    unsigned seed = 12345;
    for (auto& b : noise) b = static_cast<unsigned char>((seed = seed * 1103515245 + 12345) >> 16);
    auto whole = MakeReplay({"easy", 0, 4, 1, 1});
    std::vector<unsigned char> cut(whole.begin(), whole.begin() + whole.size() / 2);
    // A replay of exactly the largest size taken, and one byte more.
    TestGame big{"easy", 0, 1, 1, 2};
    big.extra = "pad\n";
    const size_t limit = 1 << 20;
    big.extra.resize(limit - MakeReplay(big).size() + 3, 'p');
    big.extra += "\n";
    auto largest = MakeReplay(big);
    big.extra.insert(0, "p");
    auto over = MakeReplay(big);
    ASSERT_EQ(largest.size(), limit);

    struct Case {
        const char* what;
        std::vector<unsigned char> body;
        int status;
        const char* says;
    };
    const Case cases[] = {
        {"empty", {}, 400, "empty body"},
        {"noise", noise, 422, "not a replay"},
        {"cut", cut, 422, "cut short"},
        {"one byte too large", over, 413, "at most 1048576 bytes"},
        {"largest", largest, 201, ""},
    };
    for (const auto& c : cases) {
        auto r = Post(*board, c.body);
        ASSERT_TRUE(r) << c.what;
        EXPECT_EQ(r->status, c.status) << c.what << ": " << r->body;
        if (*c.says) {
            EXPECT_NE(ErrorOf(r).find(c.says), std::string::npos) << c.what << ": " << r->body;
        }
    }

    // 20 MB, announced and chunked: refused long before the service has read them.
    const std::string huge(20 << 20, 'x');
    auto announced = RawExchange(board->port(),
                                 "POST /v1/games HTTP/1.1\r\nHost: t\r\nContent-Length: " +
                                     std::to_string(huge.size()) + "\r\n\r\n",
                                 huge);
    EXPECT_EQ(RawStatus(announced), 413) << announced.text;
    EXPECT_LT(announced.sent, huge.size() / 4);
    std::string chunks;
    for (int i = 0; i < 320; ++i) chunks += "10000\r\n" + std::string(0x10000, 'y') + "\r\n";
    auto chunked = RawExchange(
        board->port(), "POST /v1/games HTTP/1.1\r\nHost: t\r\nTransfer-Encoding: chunked\r\n\r\n",
        chunks + "0\r\n\r\n");
    EXPECT_EQ(RawStatus(chunked), 413) << chunked.text;
    EXPECT_LT(chunked.sent, chunks.size() / 4);

    auto health = board->Client().Get("/v1/health");
    ASSERT_TRUE(health);
    EXPECT_EQ(health->status, 200);
    auto top = Json(board->Client().Get("/v1/top?difficulty=easy"));
    ASSERT_EQ(top.size(), 1u);  // only the one real replay
    EXPECT_EQ(top[0]["id"], scores::ReplayId(largest));
    EXPECT_EQ(top[0]["score"], 10);
}

TEST_P(ApiTest, MalformedRequestsGetAClearJsonError) {
    auto board = Start();
    const std::string zeros(64, '0');
    struct Case {
        const char* method;
        std::string path;
        int status;
        const char* says;
    };
    const Case cases[] = {
        {"GET", "/v1/top", 400, "difficulty is required"},
        {"GET", "/v1/top?difficulty=insane", 400, "unknown difficulty 'insane'"},
        {"GET", "/v1/top?difficulty=easy&limit=0", 400, "1 to 100"},
        {"GET", "/v1/top?difficulty=easy&limit=101", 400, "1 to 100"},
        {"GET", "/v1/top?difficulty=easy&limit=ten", 400, "1 to 100"},
        {"GET", "/v1/top?difficulty=easy&limit=100", 200, ""},
        {"GET", "/v1/top?difficulty=easy&difficulty=hard", 400, "given twice"},
        {"GET", "/v1/top?difficulty=easy&sort=date", 400, "unknown query parameter 'sort'"},
        {"DELETE", "/v1/top", 405, "not allowed"},
        {"GET", "/v1/games", 405, "allowed: POST"},
        {"PUT", "/v1/games/" + zeros + "/replay", 405, "not allowed"},
        {"GET", "/v1/scores", 404, "no such path"},
        {"GET", "/v1/games/xyz/replay", 400, "malformed game id"},
        {"GET", "/v1/games/" + zeros + "/replay", 404, "no game with id"},
        {"GET", "/v1/games/" + zeros, 404, "no game with id"},
        {"POST", "/v1/games?name=ab", 400, "player name"},
        {"POST", "/v1/games?name=Thirteen_char", 400, "player name"},
        {"POST", "/v1/games?name=%3Cscript%3E", 400, "player name"},
        {"POST", "/v1/games?nick=Ann", 400, "unknown query parameter 'nick'"},
        {"GET", "/index.html", 404, "no such path"},
        {"POST", "/", 405, "not allowed"},
    };
    for (const auto& c : cases) {
        httplib::Request req;
        req.method = c.method;
        req.path = c.path;
        if (req.method == "POST" || req.method == "PUT") req.body = "VXTEST\nEND\n";
        auto r = board->Client().send(req);
        ASSERT_TRUE(r) << c.method << " " << c.path;
        EXPECT_EQ(r->status, c.status) << c.method << " " << c.path << ": " << r->body;
        if (c.status == 405) {
            EXPECT_TRUE(r->has_header("Allow")) << c.path;
        }
        if (*c.says) {
            EXPECT_NE(ErrorOf(r).find(c.says), std::string::npos)
                << c.method << " " << c.path << ": " << r->body;
        }
    }
}

TEST_P(ApiTest, PostsPastTheRateLimitAreTurnedAway) {
    auto options = TestOptions();
    options.posts_per_minute = options.post_burst = 3;
    auto board = Start(options);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Post(*board, MakeReplay({"easy", 0, 1, 1, i}))->status, 201) << i;
    auto r = Post(*board, MakeReplay({"easy", 0, 1, 1, 3}));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 429);
    EXPECT_GE(std::atoi(r->get_header_value("Retry-After").c_str()), 1);
    EXPECT_NE(ErrorOf(r).find("too many posts"), std::string::npos);
    EXPECT_EQ(board->Client().Get("/v1/top?difficulty=easy")->status, 200);  // reads go on
}

TEST_P(ApiTest, AFullQueueAnswers503WithRetryAfterAndRecovers) {
    auto options = TestOptions();
    options.verifier_threads = 1;
    options.queue_length = 1;
    auto slow = [](const std::vector<unsigned char>& bytes) {
        usleep(800 * 1000);
        return VerifyTestReplay(bytes);
    };
    auto board = Start(options, slow);
    std::vector<std::thread> posts;
    std::vector<int> status(4, 0);
    std::vector<std::string> retry(4);
    for (int i = 0; i < 4; ++i)
        posts.emplace_back([&, i] {
            auto r = Post(*board, MakeReplay({"easy", 0, 1, 1, i}));
            status[i] = r ? r->status : -1;
            retry[i] = r ? r->get_header_value("Retry-After") : "";
        });
    for (auto& t : posts) t.join();
    int stored = 0, busy = 0;
    for (int i = 0; i < 4; ++i) {
        stored += status[i] == 201;
        if (status[i] == 503) {
            ++busy;
            EXPECT_GE(std::atoi(retry[i].c_str()), 1);
        }
    }
    EXPECT_EQ(stored, 2);  // one playing, one waiting
    EXPECT_EQ(busy, 2);
    EXPECT_EQ(Post(*board, MakeReplay({"easy", 0, 1, 1, 9}))->status, 201);
}

TEST_P(ApiTest, SlowClientsGet408) {
    auto board = Start();  // a pause of 1 s drops a client; a request must arrive in 3 s
    const std::string replay = Text(MakeReplay({"easy", 0, 2, 1, 1}));
    const std::string post =
        "POST /v1/games HTTP/1.1\r\nHost: t\r\nContent-Length: " + std::to_string(replay.size()) +
        "\r\n\r\n";
    struct Case {
        const char* what;
        std::string head, body;
        size_t piece;
        int pause_ms;
    };
    const Case cases[] = {
        {"stops in the body", post, replay.substr(0, 10), 10, 0},
        {"trickles the body", post, replay, 4, 600},
        {"stops in the headers", "GET /v1/top?difficulty=easy HTTP/1.1\r\nHo", "", 1, 0},
    };
    for (const auto& c : cases) {
        auto a = RawExchange(board->port(), c.head, c.body, c.piece,
                             std::chrono::milliseconds(c.pause_ms));
        EXPECT_EQ(RawStatus(a), 408) << c.what << ": " << a.text;
        EXPECT_NE(RawBody(a).find("\"error\""), std::string::npos) << c.what;
    }
    EXPECT_EQ(Post(*board, MakeReplay({"easy", 0, 2, 1, 1}))->status, 201);
}

INSTANTIATE_TEST_SUITE_P(Db, ApiTest, testing::Values(Db::kSqlite, Db::kPostgres), DbName);

}  // namespace
}  // namespace scores_test
