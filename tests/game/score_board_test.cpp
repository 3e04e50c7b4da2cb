// The game's side of the score board, against a board that answers what each case needs: what
// is posted, what waits in "unposted" for the next start, and what the World box is given.
#include "game/score_board.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "game/board_answers.h"
#include "host/data_location.h"
#include "replay_fixture.h"

namespace {

namespace fs = std::filesystem;

// Answers every request at once with the answer set for its path's first word.
struct BoardLog {
    std::vector<WebRequest> requests;
    std::map<std::string, WebAnswer> answers;  // by "v1/games", "v1/top", "" (the page)
};

class FakeBoard : public WebClient {
public:
    explicit FakeBoard(BoardLog* log) : log_(log) {}
    int Send(const WebRequest& request) override {
        log_->requests.push_back(request);
        const std::string key = request.path.substr(0, request.path.find('?'));
        answers_.emplace(++last_, log_->answers[key]);
        return last_;
    }
    bool Take(int ticket, WebAnswer* answer) override {
        const auto found = answers_.find(ticket);
        if (found == answers_.end()) return false;
        *answer = found->second;
        answers_.erase(found);
        return true;
    }

private:
    BoardLog* log_;
    std::map<int, WebAnswer> answers_;
    int last_ = 0;
};

WebAnswer Answer(int status, const std::string& body) {
    WebAnswer a;
    a.status = status;
    a.body = body;
    if (status == 0) a.error = "Connection";
    return a;
}

// A record folder of its own for each test.
class ScoreBoardTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/vexmo-board-test-XXXXXX";
        folder_ = mkdtemp(pattern);
        DataLocation location = WorkingFolderLocation();
        location.recordPath = (folder_ / ".vantorstate").string();
        UseDataLocation(location);
    }
    void TearDown() override {
        vexmo::UseScoreBoard(nullptr, false);
        UseDataLocation(WorkingFolderLocation());
        std::error_code error;
        fs::remove_all(folder_, error);
    }
    void Start(bool probeFirst = false) {
        vexmo::UseScoreBoard(std::make_unique<FakeBoard>(&log_), probeFirst);
    }
    size_t Unposted() const {
        std::error_code error;
        size_t count = 0;
        for (const auto& entry : fs::directory_iterator(folder_ / "unposted", error)) {
            count += entry.path().extension() == ".vxr" ? 1 : 0;
        }
        return count;
    }
    static ReplayHeader Header() {
        ReplayHeader h;
        h.date = 1765000000;
        return h;
    }

    fs::path folder_;
    BoardLog log_;
};

TEST_F(ScoreBoardTest, EachAnswerToAPostKeepsOrDropsTheWaitingReplay) {
    const std::string posted = R"({"id":"ab12","score":77,"rank":3,"difficulty":"hard"})";
    struct Case {
        WebAnswer answer;
        bool kept;  // waits in "unposted" for the next start
        int rank;   // the rank the World box is given
    };
    const Case cases[] = {
        {Answer(201, posted), false, 3},
        {Answer(200, posted), false, 3},
        {Answer(422, R"({"error":"the replay does not verify: cut"})"), false, 0},
        {Answer(413, R"({"error":"too large"})"), false, 0},
        {Answer(503, R"({"error":"busy"})"), true, 0},
        {Answer(429, "<html>slow down</html>"), true, 0},
        {Answer(500, "{}"), true, 0},
        {Answer(0, ""), true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer.status);
        log_ = BoardLog();
        log_.answers["v1/games"] = c.answer;
        log_.answers["v1/top"] = Answer(200, "[]");
        Start();
        vexmo::ScoreBoardAfterUpdate();  // reads the (empty) unposted folder
        const std::vector<uint8_t> replay = {1, 2, 3, 4};
        vexmo::PostFinishedGame(Header(), replay);
        EXPECT_EQ(Unposted(), 1u);  // written down before anything is sent
        vexmo::ScoreBoardAfterUpdate();
        ASSERT_FALSE(log_.requests.empty());
        EXPECT_EQ(log_.requests[0].method, "POST");
        EXPECT_EQ(std::vector<uint8_t>(log_.requests[0].body.begin(), log_.requests[0].body.end()),
                  replay);
        vexmo::ScoreBoardAfterUpdate();
        EXPECT_EQ(Unposted(), c.kept ? 1u : 0u);
        EXPECT_EQ(vexmo::LastPostedGame().rank, c.rank);
        // A kept one is not sent again in this run, only at the next start, where it goes first.
        const size_t sent = log_.requests.size();
        vexmo::ScoreBoardAfterUpdate();
        EXPECT_EQ(log_.requests.size(), sent);
        log_.answers["v1/games"] = Answer(201, posted);
        Start();
        vexmo::ScoreBoardAfterUpdate();
        EXPECT_EQ(log_.requests.size() > sent, c.kept);
        vexmo::ScoreBoardAfterUpdate();
        EXPECT_EQ(Unposted(), 0u);
        std::error_code error;
        fs::remove_all(folder_ / "unposted", error);
    }
}

TEST_F(ScoreBoardTest, ThePlayersNameGoesWithEachPostAndIsKeptBesideTheRecord) {
    std::string why;
    for (const char* bad : {"ab", "thirteen char", " lead", "trail ", "semi;colon", "Ünï"}) {
        EXPECT_FALSE(vexmo::SetPlayerName(bad, &why)) << bad;
    }
    ASSERT_TRUE(vexmo::SetPlayerName("Ann Lee-2", &why)) << why;
    log_.answers["v1/games"] = Answer(503, "{}");
    Start();
    vexmo::PostFinishedGame(Header(), {9});
    vexmo::ScoreBoardAfterUpdate();
    ASSERT_EQ(log_.requests.size(), 1u);
    EXPECT_EQ(log_.requests[0].path, "v1/games?name=Ann%20Lee-2");
    const std::vector<uint8_t> file = vexmo::ReadWhole((folder_ / "player-name").string());
    EXPECT_EQ(std::string(file.begin(), file.end()), "Ann Lee-2\n");
}

TEST_F(ScoreBoardTest, APageShowsTheBoardOnlyWhenItsServerAnswersAsOne) {
    WebAnswer marked = Answer(200, "");
    marked.header = "v1";
    const struct {
        WebAnswer page;
        bool shown;
    } cases[] = {
        {marked, true},
        {Answer(200, ""), false},  // another server's page
        {Answer(404, "Not Found"), false},
        {Answer(0, ""), false},
    };
    for (const auto& c : cases) {
        log_.answers[""] = c.page;
        Start(true);
        ASSERT_FALSE(log_.requests.empty());
        EXPECT_EQ(log_.requests.back().method, "HEAD");
        EXPECT_EQ(log_.requests.back().wantHeader, vexmo::kBoardHeader);
        EXPECT_FALSE(vexmo::ScoreBoardShown());
        vexmo::ScoreBoardAfterUpdate();
        EXPECT_EQ(vexmo::ScoreBoardShown(), c.shown) << c.page.status;
        // A finished game is posted only to a board that showed.
        const size_t before = log_.requests.size();
        vexmo::PostFinishedGame(Header(), {1});
        vexmo::ScoreBoardAfterUpdate();
        EXPECT_EQ(log_.requests.size() > before, c.shown);
        EXPECT_EQ(Unposted() > 0, c.shown);
        std::error_code error;
        fs::remove_all(folder_ / "unposted", error);
    }
}

TEST_F(ScoreBoardTest, TheWorldListsShowTheRowsOrWhyThereAreNone) {
    log_.answers["v1/top"] =
        Answer(200, R"([{"rank":1,"score":120,"name":"Ann","date":"2026-12-09T10:00:00Z","id":"a1"},
                 {"rank":2,"score":90,"name":null,"date":"2026-12-09T11:00:00Z","id":"b2"}])");
    Start();
    vexmo::FetchWorldLists();
    EXPECT_EQ(vexmo::WorldListOf(2).status, "Loading...");
    vexmo::ScoreBoardAfterUpdate();
    ASSERT_EQ(vexmo::WorldListOf(2).rows.size(), 2u);
    EXPECT_EQ(vexmo::WorldListOf(2).rows[1].name, "");
    EXPECT_EQ(vexmo::WorldListOf(2).status, "");
    for (const WebAnswer& failing : {Answer(200, "[{\"rank\":1}]"), Answer(200, "{}"),
                                     Answer(503, R"({"error":"busy"})"), Answer(0, "")}) {
        log_.answers["v1/top"] = failing;
        vexmo::FetchWorldLists();
        vexmo::ScoreBoardAfterUpdate();
        EXPECT_TRUE(vexmo::WorldListOf(1).rows.empty());
        EXPECT_EQ(vexmo::WorldListOf(1).status.rfind("Not reachable: ", 0), 0u)
            << vexmo::WorldListOf(1).status;
    }
    log_.answers["v1/top"] = Answer(200, "[]");
    vexmo::FetchWorldLists();
    vexmo::ScoreBoardAfterUpdate();
    EXPECT_EQ(vexmo::WorldListOf(3).status, "No games yet");
}

// A real game: its replay goes to the board byte for byte, in the update that filed its score.
TEST(ScoreBoardGame, AFinishedDemoGameIsPostedAsItsReplay) {
    BoardLog log;
    log.answers["v1/games"] = Answer(503, "{}");
    vexmo::UseScoreBoard(std::make_unique<FakeBoard>(&log), false);
    const std::vector<RecordedGame> games = RecordDemoGames(2, 1, 600);
    vexmo::UseScoreBoard(nullptr, false);
    ASSERT_EQ(games.size(), 1u);
    ASSERT_EQ(log.requests.size(), 1u);
    EXPECT_EQ(log.requests[0].path, "v1/games");
    EXPECT_EQ(std::vector<uint8_t>(log.requests[0].body.begin(), log.requests[0].body.end()),
              games[0].bytes);
}

}  // namespace
