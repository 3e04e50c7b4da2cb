// Two windows on one record: what another copy of the game saved since this one read the record
// survives this one's save, and two copies saving in a tight loop lose nothing.
#include "game/record_merge.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "game/save_record.h"
#include "game/score_table.h"
#include "host/state_file.h"
#include "tests/game/game_fixture.h"
#include "tests/runtime/console_capture.h"

namespace {

using vexmo::BestListStart;
using vexmo::LastListStart;

std::string ReadStateFile() {
    std::ifstream in(kStateFileName, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The saved arrays as another window holds them; written with the game's own record builder.
struct Copy {
    Array<int> settings{vexmo::kSettings};
    Array<bool> badges{vexmo::kBadges};
    Array<int> scores{vexmo::kHighScores};

    void Write() const { ASSERT_EQ(SaveStateFile(BuildSaveRecord(settings, badges, scores)), 0); }
    static Copy Read() {
        Copy copy;
        ReadSaveRecord({copy.settings, copy.badges, copy.scores, false},
                       String(ReadStateFile().c_str()));
        return copy;
    }
    std::vector<int> List(int start) const {
        std::vector<int> list;
        for (int k = 0; k < 10; ++k) list.push_back(scores[start + k]);
        return list;
    }
};

// A finished game of this window, as the way back to the menu files it (and saves).
void FinishGame(GameHarness& h, int difficulty, int score) {
    h.game->difficulty = difficulty;
    h.game->score = score;
    h.game->LoadMenu();
}

struct MergeCase {
    const char* what;
    std::vector<int> startBest, startLast;  // difficulty 2, as both windows read it
    std::vector<int> otherGames;            // the other window's games since, oldest first
    std::vector<int> ourGames;              // this window's games since, oldest first
    std::vector<int> best, last;            // difficulty 2 on disk afterwards
};

std::vector<int> Padded(std::vector<int> list) {
    list.resize(10, 0);
    return list;
}

class RecordMergeTest : public testing::TestWithParam<MergeCase> {};

TEST_P(RecordMergeTest, AnotherWindowsGamesSurviveThisWindowsSave) {
    const MergeCase& c = GetParam();
    GameHarness h;
    Copy start;
    start.settings[5] = 1;
    for (size_t k = 0; k < c.startBest.size(); ++k) {
        start.scores[BestListStart(2) + static_cast<int>(k)] = c.startBest[k];
    }
    for (size_t k = 0; k < c.startLast.size(); ++k) {
        start.scores[LastListStart(2) + static_cast<int>(k)] = c.startLast[k];
    }
    start.Write();
    CaptureConsole();
    h.Create();  // this window reads the record

    // The other window read the same record, played, earned badge 3 and chose sound mode 3.
    Copy other = Copy::Read();
    for (const int score : c.otherGames) {
        vexmo::RecordBest(other.scores, 2, score);
        vexmo::RecordLast(other.scores, 2, score);
    }
    other.badges[3] = true;
    other.settings[5] = 3;
    other.Write();

    h.game->badgeGot[7] = true;
    h.game->settings[5] = 2;
    for (const int score : c.ourGames) FinishGame(h, 2, score);
    if (c.ourGames.empty()) h.game->Save();  // as on close
    TakeConsoleOutput();

    const Copy saved = Copy::Read();
    EXPECT_EQ(saved.List(BestListStart(2)), Padded(c.best)) << c.what;
    EXPECT_EQ(saved.List(LastListStart(2)), Padded(c.last)) << c.what;
    EXPECT_TRUE(saved.badges[7]) << "this window's badge";
    EXPECT_TRUE(saved.badges[3]) << "the other window's badge";
    EXPECT_EQ(saved.settings[5], 2) << "the saving window's settings";
    // The window shows what the record now holds.
    for (int k = 0; k < 10; ++k) {
        EXPECT_EQ(h.game->highScores[BestListStart(2) + k], saved.scores[BestListStart(2) + k]);
        EXPECT_EQ(h.game->highScores[LastListStart(2) + k], saved.scores[LastListStart(2) + k]);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RecordMergeTest,
    testing::Values(MergeCase{"the probe's loss: a game in each window",
                              {900, 300},
                              {300, 900},
                              {1709},
                              {128},
                              {1709, 900, 300, 128},
                              {128, 1709, 300, 900}},
                    MergeCase{"the other window played, this one only saves (on close)",
                              {900},
                              {900},
                              {1709, 40},
                              {},
                              {1709, 900, 40},
                              {40, 1709, 900}},
                    MergeCase{"the same score in both windows and in the shared past",
                              {500},
                              {500},
                              {500},
                              {500},
                              {500, 500, 500},
                              {500, 500, 500}},
                    MergeCase{"full lists: ten kept, the best first, the newest first",
                              {100, 90, 80, 70, 60, 50, 40, 30, 20, 10},
                              {1, 2, 3, 4, 5, 6, 7, 8, 9, 10},
                              {95, 5},
                              {85, 15},
                              {100, 95, 90, 85, 80, 70, 60, 50, 40, 30},
                              {15, 85, 5, 95, 1, 2, 3, 4, 5, 6}},
                    MergeCase{"many games in a row here, each saved",
                              {},
                              {},
                              {7},
                              {1, 2, 3, 4, 5, 6, 8, 9, 10, 11, 12},
                              {12, 11, 10, 9, 8, 7, 6, 5, 4, 3},
                              {12, 11, 10, 9, 8, 6, 5, 4, 3, 2}}));

// The record on disk was damaged (its badge block here): the save treats it as the load would,
// as no badges, and keeps this window's.
TEST(RecordMergeDamageTest, ADamagedRecordOnDiskIsReadAsTheLoadReadsIt) {
    GameHarness h;
    h.Create();
    h.game->badgeGot[7] = true;
    h.game->highScores[BestListStart(1)] = 250;
    h.game->highScores[LastListStart(1)] = 250;
    std::ofstream(kStateFileName, std::ios::binary) << "this is|no record|at all|";
    h.game->Save();
    const Copy saved = Copy::Read();
    EXPECT_TRUE(saved.badges[7]);
    EXPECT_EQ(saved.scores[BestListStart(1)], 250);
    EXPECT_EQ(saved.scores[LastListStart(1)], 250);
}

// Two processes, each a game finishing games and saving as fast as it can, every game with a
// score and a badge of its own. At the end every badge is in the record, the best list is the
// best ten of all games, and the last list holds ten distinct games, each process's newest first,
// headed by the last game saved.
TEST(RecordMergeLoopTest, TwoCopiesSavingInATightLoopLoseNothing) {
    constexpr int kGamesEach = 100;  // badges 0..99 and 128..227
    // Game i of copy c: scores spread over the run so the best ten come from all of it.
    const auto scoreOf = [](int copy, int i) { return 1000 + 2 * ((i * 37) % kGamesEach) + copy; };
    GameHarness h;  // the children share its scratch folder and game object
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    std::vector<pid_t> children;
    const auto started = std::chrono::steady_clock::now();
    for (int copy = 0; copy < 2; ++copy) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            close(ready[1]);
            char go = 0;
            if (read(ready[0], &go, 1) < 0) _exit(3);  // returns at the parent's close
            CaptureConsole();
            h.game->Load();
            for (int i = 0; i < kGamesEach; ++i) {
                h.game->badgeGot[128 * copy + i] = true;
                FinishGame(h, 1, scoreOf(copy, i));
                if (h.game->saveFailing != 0) _exit(4);
            }
            _exit(0);
        }
        children.push_back(pid);
    }
    close(ready[0]);
    close(ready[1]);  // both start at once
    for (const pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::cout << "[ timing ] " << 2 * kGamesEach << " saves in " << seconds << " s" << std::endl;

    const Copy saved = Copy::Read();
    for (int copy = 0; copy < 2; ++copy) {
        for (int i = 0; i < kGamesEach; ++i) {
            EXPECT_TRUE(saved.badges[128 * copy + i]) << "copy " << copy << " game " << i;
        }
    }
    std::vector<int> all;
    std::map<int, int> gameOf;  // score -> its game's number within its copy
    for (int copy = 0; copy < 2; ++copy) {
        for (int i = 0; i < kGamesEach; ++i) {
            all.push_back(scoreOf(copy, i));
            gameOf[scoreOf(copy, i)] = i;
        }
    }
    std::sort(all.rbegin(), all.rend());
    all.resize(10);
    EXPECT_EQ(saved.List(BestListStart(1)), all);
    const std::vector<int> last = saved.List(LastListStart(1));
    EXPECT_EQ(std::set<int>(last.begin(), last.end()).size(), 10u) << "a game twice";
    for (int copy = 0; copy < 2; ++copy) {
        std::vector<int> games;
        for (const int score : last) {
            ASSERT_EQ(gameOf.count(score), 1u) << score << " was never played";
            if (score % 2 == copy) games.push_back(gameOf[score]);
        }
        EXPECT_TRUE(std::is_sorted(games.rbegin(), games.rend())) << "copy " << copy;
    }
    EXPECT_EQ(gameOf[last[0]], kGamesEach - 1) << "the newest game is not the last one saved";
}

}  // namespace
