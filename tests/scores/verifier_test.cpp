// The parts around the verifier: the forked child, the bounded pool, the rate limit, the ids
// and names the service accepts; and the browser build's files.
#include <fcntl.h>

#include <fstream>

#include "board_fixture.h"
#include "scores/forked_verifier.h"
#include "scores/http_json.h"
#include "scores/rate_limit.h"
#include "scores/replay_id.h"
#include "scores/verifier_pool.h"

namespace scores_test {
namespace {

using namespace std::chrono_literals;

int g_games_played = 0;  // stands for the game's global state

TEST(ForkedVerifier, TheChildAnswersAndItsStateStaysInTheChild) {
    auto verify = [](const std::vector<unsigned char>& bytes) {
        ++g_games_played;
        auto v = VerifyTestReplay(bytes);
        v.rounds = g_games_played;  // every child starts from the parent's state
        return v;
    };
    for (int i = 0; i < 2; ++i) {
        auto r = scores::VerifyInChild(verify, MakeReplay({"hard", 7, 3, 2, i}), 5s);
        ASSERT_EQ(r.end, scores::ChildEnd::kVerdict) << r.detail;
        EXPECT_TRUE(r.verdict.ok);
        EXPECT_EQ(r.verdict.score, 30);
        EXPECT_EQ(r.verdict.difficulty, "hard");
        EXPECT_EQ(r.verdict.rounds, 1);
    }
    EXPECT_EQ(g_games_played, 0);
}

TEST(ForkedVerifier, TheChildKeepsNoneOfTheParentsSockets) {
    int listening = socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(listening, 0);
    auto verify = [](const std::vector<unsigned char>&) {
        scores::Verdict v;
        v.ok = true;
        for (int fd = 4; fd < 4096; ++fd) v.rounds += fcntl(fd, F_GETFD) != -1;
        return v;
    };
    auto r = scores::VerifyInChild(verify, {}, 5s);
    close(listening);
    ASSERT_EQ(r.end, scores::ChildEnd::kVerdict) << r.detail;
    EXPECT_EQ(r.verdict.rounds, 0) << "descriptors open in the child beyond its answer pipe";
}

TEST(ForkedVerifier, HangsCrashesAndThrowsAreToldApart) {
    struct Case {
        const char* what;
        std::string extra;
        scores::ChildEnd end;
        const char* says;
    };
    const Case cases[] = {
        {"hang", "hang\n", scores::ChildEnd::kTimedOut, "time budget of 300 ms"},
        {"crash", "crash\n", scores::ChildEnd::kCrashed, "signal"},
        {"throw", "throw\n", scores::ChildEnd::kCrashed, "bad line"},
    };
    auto verify = [](const std::vector<unsigned char>& bytes) {
        if (Text(bytes).find("throw\n") != std::string::npos) throw std::runtime_error("bad line");
        return VerifyTestReplay(bytes);
    };
    for (const auto& c : cases) {
        TestGame g;
        g.extra = c.extra;
        auto start = std::chrono::steady_clock::now();
        auto r = scores::VerifyInChild(verify, MakeReplay(g), 300ms);
        EXPECT_LT(std::chrono::steady_clock::now() - start, 3s) << c.what;
        EXPECT_EQ(r.end, c.end) << c.what << ": " << r.detail;
        EXPECT_NE(r.detail.find(c.says), std::string::npos) << c.what << ": " << r.detail;
    }
}

TEST(VerifierPool, TakesAsManyAsItHasThreadsAndQueueAndNoMore) {
    auto slow = [](const std::vector<unsigned char>& bytes) {
        usleep(300 * 1000);
        return VerifyTestReplay(bytes);
    };
    scores::VerifierPool pool(slow, 2, 1, 5s);
    std::vector<std::future<scores::ForkedVerdict>> taken;
    int refused = 0;
    for (int i = 0; i < 5; ++i) {
        auto f = pool.Submit(MakeReplay({"easy", 0, 1, 1, i}));
        if (f)
            taken.push_back(std::move(*f));
        else
            ++refused;
    }
    EXPECT_EQ(taken.size(), 3u);
    EXPECT_EQ(refused, 2);
    EXPECT_EQ(pool.TypicalPlay(), scores::VerifierPool::kFirstGuess);
    for (auto& f : taken) EXPECT_EQ(f.get().verdict.score, 10);
    // The wait a full queue names follows the plays seen, not the 5 s budget.
    EXPECT_GE(pool.TypicalPlay(), 300ms);
    EXPECT_LT(pool.TypicalPlay(), 2s);
    EXPECT_TRUE(pool.Submit(MakeReplay({})));  // free again
}

TEST(RateLimit, ABurstThenOnePostPerRefill) {
    scores::RateLimit limit(6, 3);  // one token every 10 s
    auto t0 = scores::RateLimit::Clock::now();
    int retry = 0;
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(limit.Allow("a", retry, t0)) << i;
    EXPECT_FALSE(limit.Allow("a", retry, t0));
    EXPECT_EQ(retry, 10);
    EXPECT_TRUE(limit.Allow("b", retry, t0));  // addresses count apart
    EXPECT_FALSE(limit.Allow("a", retry, t0 + 9s));
    EXPECT_EQ(retry, 1);
    EXPECT_TRUE(limit.Allow("a", retry, t0 + 10s));
    EXPECT_FALSE(limit.Allow("a", retry, t0 + 10s));
}

TEST(ReplayId, IsTheSha256OfTheBytes) {
    EXPECT_EQ(scores::ReplayId({'a', 'b', 'c'}),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_TRUE(scores::IsReplayId(scores::ReplayId({})));
    for (const char* bad : {"", "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD",
                            "ba7816bf", "../../../../etc/passwd"})
        EXPECT_FALSE(scores::IsReplayId(bad)) << bad;
}

TEST(PlayerName, ThreeToTwelveSafeCharacters) {
    for (const char* ok : {"Ann", "Zed_2.0", "a-b c", "twelve_chars"})
        EXPECT_TRUE(scores::IsPlayerName(ok)) << ok;
    for (const char* bad :
         {"", "ab", "thirteen_char", " Ann", "Ann ", "<b>x</b>", "Ann\n", "a\"b", "Åsa"})
        EXPECT_FALSE(scores::IsPlayerName(bad)) << bad;
}

class SqliteBoard : public testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/vexmo-scores-test.XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string dir_;
};

TEST_F(SqliteBoard, AReplayThatHangsOrCrashesTheVerifierIsNotStored) {
    auto options = TestOptions();
    options.budget = 400ms;
    Board board(dir_ + "/scores.db", options);
    TestGame hang, crash;
    hang.extra = "hang\n";
    crash.extra = "crash\n";
    auto r = Post(board, MakeReplay(hang));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 422);
    EXPECT_NE(ErrorOf(r).find("time budget"), std::string::npos) << r->body;
    r = Post(board, MakeReplay(crash));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 500);
    EXPECT_NE(ErrorOf(r).find("verifier failed"), std::string::npos) << r->body;
    EXPECT_EQ(Json(board.Client().Get("/v1/top?difficulty=normal")), nlohmann::json::array());
    EXPECT_EQ(Post(board, MakeReplay({}))->status, 201);
}

TEST_F(SqliteBoard, WithoutAVerifierPostsAre501AndReadsWork) {
    Board board(dir_ + "/scores.db", TestOptions(), scores::Verifier());
    auto r = Post(board, MakeReplay({}));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 501);
    EXPECT_NE(ErrorOf(r).find("cannot verify"), std::string::npos);
    EXPECT_EQ(board.Client().Get("/v1/top?difficulty=hard")->status, 200);
}

TEST_F(SqliteBoard, ServesTheBrowserBuildAtTheRoot) {
    std::filesystem::create_directories(dir_ + "/web");
    std::ofstream(dir_ + "/web/index.html") << "<!doctype html><title>Vexmo</title>";
    std::ofstream(dir_ + "/web/vexmo.wasm") << std::string("\0asm", 4);
    auto options = TestOptions();
    options.web_dir = dir_ + "/web";
    Board board(dir_ + "/scores.db", options);
    auto page = board.Client().Get("/");
    ASSERT_TRUE(page);
    EXPECT_EQ(page->status, 200);
    EXPECT_NE(page->body.find("<title>Vexmo</title>"), std::string::npos);
    EXPECT_EQ(page->get_header_value("Content-Type").rfind("text/html", 0), 0u);
    // The mark the page looks for on its own address, on a HEAD as on a GET.
    EXPECT_EQ(page->get_header_value(scores::kBoardHeader), "v1");
    auto head = board.Client().Head("/index.html");
    ASSERT_TRUE(head);
    EXPECT_EQ(head->get_header_value(scores::kBoardHeader), "v1");
    auto wasm = board.Client().Get("/vexmo.wasm");
    ASSERT_TRUE(wasm);
    EXPECT_EQ(wasm->get_header_value("Content-Type"), "application/wasm");
    auto missing = board.Client().Get("/nothing.js");
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->status, 404);
    EXPECT_NE(ErrorOf(missing).find("no such path"), std::string::npos);
    EXPECT_EQ(board.Client().Get("/../scores.db")->status, 404);
}

}  // namespace
}  // namespace scores_test
