// Replays: demo games recorded and verified to the scores the games reached, golden games that
// must keep verifying to the scores they were recorded with, a damaged or foreign file refused
// with its reason, and the kept files pruned.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>

#include "game/layout.h"
#include "game/replay_verify.h"
#include "host/replay_file.h"
#include "tests/game/replay_fixture.h"
#include "tests/runtime/console_capture.h"

namespace {

const std::filesystem::path kGoldenFolder =
    std::filesystem::path(VEXMO_SOURCE_DIR) / "tests" / "game" / "golden";

std::vector<unsigned char> ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>((std::istreambuf_iterator<char>(in)),
                                      std::istreambuf_iterator<char>());
}

void WriteFile(const std::filesystem::path& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// One short game, recorded once for every test that needs a replay to take apart.
const RecordedGame& OneGame() {
    static const RecordedGame game = [] {
        const std::vector<RecordedGame> games = RecordDemoGames(3, 1, 600);
        return games.empty() ? RecordedGame() : games.front();
    }();
    return game;
}

TEST(Replay, TwentyDemoGamesAcrossTheDifficultiesVerifyToTheirScores) {
    const int perDifficulty[3] = {7, 7, 6};
    int verified = 0;
    for (int difficulty = 1; difficulty <= 3; ++difficulty) {
        const std::vector<RecordedGame> games =
            RecordDemoGames(difficulty, perDifficulty[difficulty - 1], 420 + 60 * difficulty);
        ASSERT_EQ(static_cast<int>(games.size()), perDifficulty[difficulty - 1]);
        for (const RecordedGame& g : games) {
            ASSERT_EQ(g.difficulty, difficulty);
            const ReplayVerdict v = VerifyReplay(g.bytes);
            EXPECT_TRUE(v.ok) << v.reason;
            EXPECT_EQ(v.score, g.score);
            EXPECT_EQ(v.difficulty, g.difficulty);
            EXPECT_EQ(v.rounds, g.rounds);
            // The verification left the same saved record the game wrote when it ended.
            ReplayHeader header;
            std::string why;
            ASSERT_TRUE(DecodeReplayHeader(g.bytes, &header, &why)) << why;
            EXPECT_EQ(ReplayCrc(g.record.data(), g.record.size()), header.recordCrc);
            verified += v.ok ? 1 : 0;
        }
    }
    EXPECT_EQ(verified, 20);
}

// The play field is laid out for the window: a game verifies at the size it was played at, and
// through a resize in the middle of it.
TEST(Replay, GamesVerifyAtTheirWindowSizeAndThroughAResize) {
    WindowPlan wide;
    wide.width = 1280;
    wide.height = 720;
    WindowPlan resized;
    resized.resizeAt = 400;
    resized.resizedWidth = 800;
    resized.resizedHeight = 800;
    for (const WindowPlan& plan : {wide, resized}) {
        const std::vector<RecordedGame> games = RecordDemoGames(2, 1, 900, plan);
        ASSERT_EQ(games.size(), 1u);
        ReplayHeader header;
        std::string why;
        ASSERT_TRUE(DecodeReplayHeader(games[0].bytes, &header, &why)) << why;
        EXPECT_EQ(header.size[0], plan.width);
        const ReplayVerdict v = VerifyReplay(games[0].bytes);
        EXPECT_TRUE(v.ok) << plan.width << "x" << plan.height << ": " << v.reason;
        EXPECT_EQ(v.score, games[0].score);
    }
}

// A replay that cannot be written says so on the console, and the saved record is written all
// the same.
TEST(Replay, AReplayThatCannotBeWrittenIsToldAndTheRecordIsKept) {
    char pattern[] = "/tmp/vexmo-blocked-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::filesystem::path blocker = std::filesystem::path(pattern) / "file";
    std::ofstream(blocker) << "x";
    CaptureConsole();
    const std::vector<RecordedGame> games =
        RecordDemoGames(1, 1, 300, WindowPlan(), (blocker / "games").string());
    const std::string out = TakeConsoleOutput();
    std::filesystem::remove_all(pattern);
    ASSERT_EQ(games.size(), 1u);
    EXPECT_NE(out.find("Replay not saved: cannot make the folder"), std::string::npos) << out;
    EXPECT_NE(games[0].record.find('|'), std::string::npos) << "no record was saved";
    EXPECT_TRUE(VerifyReplay(games[0].bytes).ok);
}

// Golden games: recorded once and kept, so a change that alters play shows up here. After such
// a change on purpose, bump the play revision (host/replay_file.cpp) and record them again:
//   VEXMO_WRITE_GOLDEN=1 build/tests/test_game --gtest_filter='Replay.GoldenGames*'
struct Golden {
    const char* file;
    int difficulty;
};
constexpr Golden kGolden[] = {{"easy.vxr", 1}, {"normal.vxr", 2}, {"hard.vxr", 3}};

TEST(Replay, GoldenGamesVerifyToTheirRecordedScores) {
    if (std::getenv("VEXMO_WRITE_GOLDEN")) {
        for (const Golden& g : kGolden) {
            const std::vector<RecordedGame> games = RecordDemoGames(g.difficulty, 1, 480);
            ASSERT_EQ(games.size(), 1u);
            WriteFile(kGoldenFolder / g.file, games.front().bytes);
        }
    }
    for (const Golden& g : kGolden) {
        const std::vector<unsigned char> bytes = ReadFile(kGoldenFolder / g.file);
        ASSERT_FALSE(bytes.empty()) << g.file;
        ReplayHeader header;
        std::string why;
        ASSERT_TRUE(DecodeReplayHeader(bytes, &header, &why)) << g.file << ": " << why;
        const ReplayVerdict v = VerifyReplay(bytes);
        EXPECT_TRUE(v.ok) << g.file << ": " << v.reason;
        EXPECT_EQ(v.difficulty, g.difficulty) << g.file;
        EXPECT_EQ(v.score, header.score) << g.file;
        EXPECT_GT(v.score, 0) << g.file;
        EXPECT_EQ(v.updates, header.updates) << g.file;
    }
}

// Re-encodes the game's replay after `change`, with a fresh checksum, so only the change is
// wrong.
std::vector<unsigned char> Altered(void (*change)(Replay&)) {
    Replay replay;
    std::string why;
    EXPECT_TRUE(DecodeReplay(OneGame().bytes, &replay, &why)) << why;
    change(replay);
    return EncodeReplay(replay);
}

TEST(Replay, DamagedForeignAndOtherBuildsAreRefusedWithTheReason) {
    const std::vector<unsigned char>& good = OneGame().bytes;
    ASSERT_FALSE(good.empty());
    ASSERT_TRUE(VerifyReplay(good).ok);
    std::vector<unsigned char> flipped = good;
    flipped[flipped.size() / 2] ^= 0x10;
    const std::vector<unsigned char> cut(good.begin(), good.begin() + good.size() / 2);
    const std::vector<unsigned char> png = {0x89, 'P',  'N', 'G', '\r', '\n',
                                            0x1a, '\n', 0,   0,   0,    13};
    struct Case {
        const char* what;
        std::vector<unsigned char> bytes;
        const char* reason;  // a part of the one line that says why
    };
    const Case cases[] = {
        {"empty", {}, "empty"},
        {"foreign", png, "not a Vexmo replay"},
        {"cut", cut, "checksum"},
        {"one byte changed", flipped, "checksum"},
        {"another build", Altered([](Replay& r) { r.header.build = "vexmo-play-0"; }),
         "another build"},
        {"another format", Altered([](Replay& r) { r.header.version = 9; }), "format 9"},
        {"too long", Altered([](Replay& r) { r.header.updates = kReplayMaxUpdates + 1; }),
         "4 hours"},
        {"claims another score", Altered([](Replay& r) { r.header.score += 10; }), "not the score"},
        {"tape cut short", Altered([](Replay& r) { r.tape.resize(r.tape.size() / 3); }), "replay"},
        {"start damaged", Altered([](Replay& r) { r.start.resize(5); }), "starting point"},
        {"a reading changed", Altered([](Replay& r) {
             for (size_t i = r.tape.size() / 2; i < r.tape.size(); ++i) {
                 if (r.tape[i] == static_cast<uint8_t>(TapeTag::kCursor)) {
                     r.tape[i] = static_cast<uint8_t>(TapeTag::kTime);
                     break;
                 }
             }
         }),
         "this build"},
    };
    for (const Case& c : cases) {
        const ReplayVerdict v = VerifyReplay(c.bytes);
        EXPECT_FALSE(v.ok) << c.what;
        EXPECT_NE(v.reason.find(c.reason), std::string::npos) << c.what << ": " << v.reason;
        EXPECT_EQ(v.reason.find('\n'), std::string::npos) << c.what;
    }
}

TEST(Replay, KeepingHoldsTheBestOfEachDifficultyAndTheLastTenGames) {
    char pattern[] = "/tmp/vexmo-keep-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::filesystem::path folder = std::filesystem::path(pattern) / "replays";
    int bestScore = -1;
    for (int i = 0; i < 13; ++i) {
        ReplayHeader h;
        h.build = ReplayBuildId();
        h.difficulty = 2;
        h.score = (i * 37) % 11 * 100;
        h.date = 1700000000 + i * 100;
        bestScore = std::max(bestScore, h.score);
        Replay r;
        r.header = h;
        r.header.updates = 1;
        r.tape = {static_cast<uint8_t>(TapeTag::kEnd)};
        std::string why;
        ASSERT_TRUE(vexmo::KeepReplay(folder.string(), h, EncodeReplay(r), &why)) << why;
    }
    int games = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        games += entry.path().filename().string().rfind("game-", 0) == 0 ? 1 : 0;
    }
    EXPECT_EQ(games, vexmo::kKeptLastGames);
    const std::string best = vexmo::BestReplayPath(folder.string(), 2);
    ASSERT_FALSE(best.empty());
    ReplayHeader kept;
    std::string why;
    ASSERT_TRUE(DecodeReplayHeader(ReadFile(best), &kept, &why)) << why;
    EXPECT_EQ(kept.score, bestScore);
    EXPECT_TRUE(vexmo::BestReplayPath(folder.string(), 1).empty());

    // A folder that cannot be made is a reason, not a crash.
    const std::filesystem::path blocked = std::filesystem::path(pattern) / "file";
    std::ofstream(blocked) << "x";
    std::string reason;
    EXPECT_FALSE(vexmo::KeepReplay((blocked / "replays").string(), kept, ReadFile(best), &reason));
    EXPECT_FALSE(reason.empty());
    std::filesystem::remove_all(pattern);
}

}  // namespace

namespace {

// "Watch best" sits clear of its difficulty button and inside the screen, in both orientations.
TEST(Replay, WatchBestSitsBesideItsButtonOnTheScreen) {
    struct Screen {
        float w, h;
        int landscape;
    };
    const float savedW = jscrw;
    const float savedH = jscrh;
    for (const Screen s : {Screen{640, 480, 1}, Screen{853, 480, 1}, Screen{480, 640, 0}}) {
        jscrw = s.w;
        jscrh = s.h;
        vexmo::ScreenPoint buttons[3];
        vexmo::DifficultyButtonPositions(s.landscape, 0, buttons);
        for (int level = 1; level <= 3; ++level) {
            const vexmo::ScreenPoint at = vexmo::WatchBestPosition(s.landscape, 0, level);
            const vexmo::ScreenPoint b = buttons[level - 1];
            // The buttons are 84 units square at the menu's size.
            const bool clear = s.landscape ? at.y - vexmo::kWatchBestHeight / 2 > b.y + 42
                                           : at.x - vexmo::kWatchBestWidth / 2 > b.x + 42;
            EXPECT_TRUE(clear) << s.w << "x" << s.h << " level " << level;
            EXPECT_GT(at.x - vexmo::kWatchBestWidth / 2, 0);
            EXPECT_LT(at.x + vexmo::kWatchBestWidth / 2, s.w);
            EXPECT_LT(at.y + vexmo::kWatchBestHeight / 2, s.h);
        }
    }
    jscrw = savedW;
    jscrh = savedH;
}

}  // namespace
