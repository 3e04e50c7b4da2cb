// What earns each badge, one test per badge named after it, played on the headless backend from
// the menu with the play field's state set where waiting for chance would be slow; and the rules
// every award keeps: once only, one pop-up slot each, earned flags kept by the saved record.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "game/badges.h"
#include "game/layout.h"
#include "game/score_table.h"
#include "host/state_file.h"
#include "tests/game/play_support.h"
#include "tests/runtime/console_capture.h"

namespace {

using namespace vexmo;

class BadgeAwardTest : public PlayTest {
protected:
    void SetUp() override {
        PlayTest::SetUp();
        EarnedNothing();
    }

    void EarnedNothing() {
        for (int b = 0; b < kBadges; ++b) ASSERT_FALSE(game->badgeGot[b]) << "badge " << b;
    }
    bool Got(int badge) const { return game->badgeGot[badge]; }
    // Badges whose pop-up is running, in slot order.
    std::vector<int> Popups() const {
        std::vector<int> shown;
        for (int slot = 0; slot < kBadgeQueue; ++slot) {
            if (game->badgeQueueTime[slot] > 0) shown.push_back(game->badgeQueue[slot]);
        }
        return shown;
    }

    // Starts a game and runs it past the round-start sequence.
    void Play(int level) {
        StartGame(level);
        SkipRoundStart();
    }
    // Empties the dish of the current round; the next update clears it and starts the next.
    void ClearTheRound() {
        SkipRoundStart();
        ClearCells();
        game->spawnsLeft = 0;
        const int before = game->round;
        Update();
        ASSERT_EQ(game->round, before + 1) << "the round was not cleared";
    }
    // One hit on a microbe put in the middle of the dish, as a shot arriving there makes it.
    void Hit(int kind, int growth = 79) {
        PutMicrobe(20, 20, kind, growth);
        game->currentShot = 0;
        game->shotHits = 0;
        game->Check(20, 20, 320, 240);
    }
    // A bounced shot that comes to rest on the ship strikes it in the next update.
    void StrikeTheShip() {
        const int s = play::Shot(0);
        game->shots[s + play::kShotKind] = 2;
        game->shots[s + play::kShotX] = static_cast<float>(game->shipX);
        game->shots[s + play::kShotY] = game->shipY;
        game->shots[s + play::kShotVX] = 0;
        game->shots[s + play::kShotVY] = 0;
        game->shots[s + play::kShotLife] = 0;
        const int energy = game->energy;
        Update();
        ASSERT_EQ(game->energy, energy - 10) << "the shot did not strike the ship";
    }
    // Reaching a round: the round before it is cleared at that difficulty.
    void ReachRound(int level, int wanted) {
        Play(level);
        game->round = wanted - 1;
        ClearTheRound();
        ASSERT_EQ(game->round, wanted);
    }
    void ExpectRoundBadge(int level, int wanted, int badge) {
        ReachRound(level, wanted - 1);
        EXPECT_FALSE(Got(badge)) << "earned at round " << wanted - 1;
        ClearTheRound();
        EXPECT_TRUE(Got(badge)) << "not earned at round " << wanted;
        ASSERT_FALSE(Popups().empty());
        EXPECT_EQ(Popups().back(), badge);
        // Only the badges of this difficulty.
        for (int other = 1; other <= 3; ++other) {
            if (other == level) continue;
            for (int i = 0; i < 3; ++i) EXPECT_FALSE(Got(kRoundBadges[other - 1][i]));
        }
    }
    // Runs the game into its game over and back to the settled menu.
    void EndTheGame() {
        game->energy = -1;
        for (int i = 0; i < 200 && game->screen != kScreenMenu; ++i) Update();
        ASSERT_EQ(game->screen, kScreenMenu);
        Update(40);  // the menu slides back into place
    }
};

TEST_F(BadgeAwardTest, CleanDish) {
    Play(1);
    EXPECT_FALSE(Got(kBadgeFirstRound));
    ClearTheRound();
    EXPECT_TRUE(Got(kBadgeFirstRound));
    EXPECT_EQ(game->BadgeName(kBadgeFirstRound), T("Clean Dish"));
}

TEST_F(BadgeAwardTest, CleanDishIsForTheFirstRoundOnly) {
    Play(2);
    game->round = 2;
    ClearTheRound();
    EXPECT_FALSE(Got(kBadgeFirstRound));
}

TEST_F(BadgeAwardTest, EasyGoing) {
    ExpectRoundBadge(1, 5, kBadgeEasyRound5);
}
TEST_F(BadgeAwardTest, SteadyHand) {
    ExpectRoundBadge(1, 10, kBadgeEasyRound10);
}
TEST_F(BadgeAwardTest, EasyMaster) {
    ExpectRoundBadge(1, 15, kBadgeEasyRound15);
}
TEST_F(BadgeAwardTest, LabAssistant) {
    ExpectRoundBadge(2, 5, kBadgeNormalRound5);
}
TEST_F(BadgeAwardTest, LabTechnician) {
    ExpectRoundBadge(2, 10, kBadgeNormalRound10);
}
TEST_F(BadgeAwardTest, HeadOfTheLab) {
    ExpectRoundBadge(2, 15, kBadgeNormalRound15);
}
TEST_F(BadgeAwardTest, HardGraft) {
    ExpectRoundBadge(3, 5, kBadgeHardRound5);
}
TEST_F(BadgeAwardTest, IronNerve) {
    ExpectRoundBadge(3, 10, kBadgeHardRound10);
}
TEST_F(BadgeAwardTest, PetriLegend) {
    ExpectRoundBadge(3, 15, kBadgeHardRound15);
}

TEST_F(BadgeAwardTest, ARoundThatBeginsAfterTheShipIsLostEarnsNothing) {
    Play(1);
    game->round = 4;
    game->dying = 1;
    game->energy = -5;
    ClearCells();
    game->spawnsLeft = 0;
    Update();
    EXPECT_EQ(game->round, 5);
    EarnedNothing();
}

TEST_F(BadgeAwardTest, FourFigures) {
    Play(2);
    game->score = 998;
    Hit(1);  // a kind-1 microbe scores 1
    EXPECT_EQ(game->score, 999);
    EXPECT_FALSE(Got(kBadgeScore1000));
    Hit(1);
    EXPECT_TRUE(Got(kBadgeScore1000));
    EXPECT_FALSE(Got(kBadgeScore5000));
}

TEST_F(BadgeAwardTest, HighFive) {
    Play(2);
    game->score = 4997;
    Hit(2);
    EXPECT_FALSE(Got(kBadgeScore5000));
    Hit(1);
    EXPECT_TRUE(Got(kBadgeScore5000));
    // A score past a lower mark earns that one too.
    EXPECT_TRUE(Got(kBadgeScore1000));
    EXPECT_FALSE(Got(kBadgeScore20000));
}

TEST_F(BadgeAwardTest, TopScientist) {
    Play(3);
    game->score = 19995;
    Hit(4);
    EXPECT_FALSE(Got(kBadgeScore20000));
    Hit(1);
    EXPECT_TRUE(Got(kBadgeScore20000));
}

TEST_F(BadgeAwardTest, Spotless) {
    Play(2);
    game->round = 3;
    ClearTheRound();
    EXPECT_TRUE(Got(kBadgeSpotless));
}

TEST_F(BadgeAwardTest, SpotlessNotAfterTheShipWasStruck) {
    Play(2);
    StrikeTheShip();
    ClearTheRound();
    EXPECT_FALSE(Got(kBadgeSpotless));
    EXPECT_TRUE(Got(kBadgeFirstRound));
    // The next round starts afresh.
    ClearTheRound();
    EXPECT_TRUE(Got(kBadgeSpotless));
}

TEST_F(BadgeAwardTest, OneHitWonder) {
    Play(3);
    for (int i = 0; i < 60; ++i) Hit(1);  // other kinds do not count
    for (int i = 0; i < kOneHitBadgeCount - 1; ++i) Hit(kOneHitKind);
    EXPECT_EQ(LiveCells(), 0) << "one hit destroys them";
    EXPECT_FALSE(Got(kBadgeOneHitHundred));
    Hit(kOneHitKind);
    EXPECT_TRUE(Got(kBadgeOneHitHundred));
}

TEST_F(BadgeAwardTest, OneHitWonderCountsOneGameOnly) {
    Play(3);
    for (int i = 0; i < kOneHitBadgeCount - 1; ++i) Hit(kOneHitKind);
    EndTheGame();
    StartGame(3);
    Hit(kOneHitKind);
    EXPECT_FALSE(Got(kBadgeOneHitHundred));
}

TEST_F(BadgeAwardTest, MirrorDodger) {
    Play(3);
    PutMicrobe(20, 20, kReflectingKind, 40);
    Update();
    ClearTheRound();
    EXPECT_TRUE(Got(kBadgeMirrorDodger));
}

TEST_F(BadgeAwardTest, MirrorDodgerNeedsReflectorsAndNoStrike) {
    Play(3);
    ClearTheRound();  // no reflecting microbe in this round
    EXPECT_FALSE(Got(kBadgeMirrorDodger));
    SkipRoundStart();
    PutMicrobe(20, 20, kReflectingKind, 40);
    Update();
    StrikeTheShip();
    ClearTheRound();
    EXPECT_FALSE(Got(kBadgeMirrorDodger));
}

TEST_F(BadgeAwardTest, StandingRoom) {
    Play(2);
    game->spawnsLeft = 0;
    // 410 microbes are more than the dish holds without draining energy.
    for (int row = 0; row < 10; ++row) {
        for (int column = 0; column <= 40; ++column) PutMicrobe(column, row, 1, 10);
    }
    const int energy = game->energy;
    Update(2);
    ASSERT_LT(game->energy, energy) << "no drain from crowding";
    ClearTheRound();
    EXPECT_TRUE(Got(kBadgeStandingRoom));
    EXPECT_FALSE(Got(kBadgeSpotless));
}

TEST_F(BadgeAwardTest, StandingRoomNotWhenTheShipIsLost) {
    Play(2);
    game->roundCrowded = 1;
    game->energy = -1;
    ClearCells();
    game->spawnsLeft = 0;
    Update();
    EXPECT_FALSE(Got(kBadgeStandingRoom));
    EXPECT_FALSE(Got(kBadgeFirstRound));
}

TEST_F(BadgeAwardTest, SoundCheck) {
    const ScreenPoint sound = SoundButtonPosition(game->landscape, 0);
    ClickAt(sound.x, sound.y);
    ClickAt(sound.x, sound.y);
    EXPECT_FALSE(Got(kBadgeSoundCheck)) << "three of the four modes";
    ClickAt(sound.x, sound.y);
    EXPECT_EQ(game->settings[5], 0);
    EXPECT_TRUE(Got(kBadgeSoundCheck));
}

TEST_F(BadgeAwardTest, SoundCheckCountsThePauseMenuToo) {
    const ScreenPoint sound = SoundButtonPosition(game->landscape, 0);
    ClickAt(sound.x, sound.y);  // 1 -> 2 on the menu
    StartGame(2);
    Tap(KeyCode::kEscape);
    Update(20);
    ASSERT_EQ(game->paused, 1);
    const float y = static_cast<float>(game->pauseSlide);
    ClickAt(jscrw / 2 + 140, y - 64);  // 2 -> 3
    EXPECT_FALSE(Got(kBadgeSoundCheck));
    ClickAt(jscrw / 2 + 140, y - 64);  // 3 -> 0
    EXPECT_EQ(game->settings[5], 0);
    EXPECT_TRUE(Got(kBadgeSoundCheck));
}

TEST_F(BadgeAwardTest, GrandTour) {
    game->highScores[BestListStart(1)] = 40;
    game->highScores[BestListStart(2)] = 15;
    Play(3);
    game->score = 7;
    EXPECT_FALSE(Got(kBadgeGrandTour));
    EndTheGame();
    EXPECT_TRUE(Got(kBadgeGrandTour));
}

TEST_F(BadgeAwardTest, GrandTourNeedsPointsOnEveryDifficulty) {
    game->highScores[BestListStart(1)] = 40;
    Play(3);
    game->score = 7;
    EndTheGame();
    EXPECT_FALSE(Got(kBadgeGrandTour));
    Play(2);
    game->score = 0;
    EndTheGame();
    EXPECT_FALSE(Got(kBadgeGrandTour)) << "a game without points";
}

// ---- Rules of every award ----

TEST_F(BadgeAwardTest, ABadgeIsAwardedOnceOnly) {
    EXPECT_EQ(game->AwardBadge(kBadgeFirstRound), 1);
    EXPECT_EQ(game->AwardBadge(kBadgeFirstRound), 0);
    EXPECT_EQ(Popups(), std::vector<int>{kBadgeFirstRound});
    while (!Popups().empty()) Update();
    // Clearing the first round again in a new game announces nothing.
    Play(1);
    ClearTheRound();
    EXPECT_TRUE(Got(kBadgeFirstRound));
    for (const int shown : Popups()) EXPECT_NE(shown, kBadgeFirstRound);
}

TEST_F(BadgeAwardTest, TheTestBadgeAndUndefinedNumbersAreNeverAwarded) {
    EXPECT_EQ(game->AwardBadge(kBadgeTest), 0);
    EXPECT_EQ(game->AwardBadge(kBadgeLastDefined + 1), 0);
    EXPECT_EQ(game->AwardBadge(-1), 0);
    EXPECT_EQ(game->AwardBadge(kBadges), 0);
    EarnedNothing();
    EXPECT_TRUE(Popups().empty());
}

TEST_F(BadgeAwardTest, TwoBadgesInOneUpdateTakeTwoPopupSlots) {
    Play(1);
    CaptureConsole();
    ClearTheRound();
    const std::string printed = TakeConsoleOutput();
    EXPECT_NE(printed.find("Badge earned: Clean Dish"), std::string::npos) << printed;
    EXPECT_NE(printed.find("Badge earned: Spotless"), std::string::npos) << printed;
    EXPECT_EQ(game->badgeQueue[0], kBadgeFirstRound);
    EXPECT_EQ(game->badgeQueue[1], kBadgeSpotless);
    EXPECT_GT(game->badgeQueueTime[0], 0);
    EXPECT_GT(game->badgeQueueTime[1], 0);
    // Both pop-ups show, one above the other at the bottom-left.
    Update(10);
    std::vector<float> rows;
    for (const DrawCommand& c : harness->CommandsOfKind(kRectKind)) {
        if (c.sizeX == 160 && c.sizeY == 32 && c.blue == 80) {
            EXPECT_EQ(c.x, 0);
            rows.push_back(c.y);
        }
    }
    EXPECT_EQ(rows, (std::vector<float>{jscrh - 34, jscrh - 68}));
}

TEST_F(BadgeAwardTest, APopupWaitsForAnIdleSlot) {
    for (int slot = 0; slot < kBadgePopupSlots; ++slot) {
        game->badgeQueue[slot] = 0;
        game->badgeQueueTime[slot] = 5;
    }
    game->badgeQueueTime[4] = 0;
    EXPECT_EQ(game->AwardBadge(kBadgeSoundCheck), 1);
    EXPECT_EQ(game->badgeQueue[4], kBadgeSoundCheck);
    EXPECT_EQ(game->badgeQueueTime[4], 1);
    // With every shown slot busy the badge is still earned.
    EXPECT_EQ(game->AwardBadge(kBadgeGrandTour), 1);
    EXPECT_TRUE(Got(kBadgeGrandTour));
    EXPECT_EQ(game->badgeQueueTime[13], 0);
}

std::string ReadStateFile() {
    std::ifstream in(kStateFileName, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> Fields(const std::string& record) {
    std::vector<std::string> fields(1);
    for (const char c : record) {
        if (c == '|') {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

TEST_F(BadgeAwardTest, ABadgeEarnedInAGameQuitThroughThePauseMenuIsSaved) {
    std::remove(kStateFileName);
    Play(2);
    ClearTheRound();
    ASSERT_TRUE(Got(kBadgeFirstRound));
    Tap(KeyCode::kEscape);
    Update(20);
    ASSERT_EQ(game->paused, 1);
    const ScreenPoint quit =
        PauseQuitPosition(game->landscape, jscrw / 2, static_cast<float>(game->pauseSlide));
    ClickAt(quit.x, quit.y);
    for (int i = 0; i < 200 && game->screen != kScreenMenu; ++i) Update();
    ASSERT_EQ(game->screen, kScreenMenu);
    const std::vector<std::string> fields = Fields(ReadStateFile());
    ASSERT_GE(fields.size(), 35u);
    // Badge word 0 holds badges 0..31, one bit each.
    const long word = std::stol(fields[26]);
    EXPECT_EQ(word & (1L << kBadgeFirstRound), 1L << kBadgeFirstRound);
    EXPECT_EQ(word & (1L << kBadgeSpotless), 1L << kBadgeSpotless);
}

TEST(BadgeRecordTest, EarnedBadgesSurviveASaveAndALoadInANewGameObject) {
    std::string record;
    {
        GameHarness first;
        first.Create();
        first.game->AwardBadge(kBadgeFirstRound);
        first.game->AwardBadge(kBadgeHardRound15);
        first.game->AwardBadge(kBadgeGrandTour);
        first.game->Save();
        record = ReadStateFile();
    }
    GameHarness second;
    {
        std::ofstream out(kStateFileName, std::ios::binary | std::ios::trunc);
        out << record;
    }
    CaptureConsole();
    second.Create();
    const std::string printed = TakeConsoleOutput();
    EXPECT_NE(printed.find("Badges Loaded"), std::string::npos) << printed;
    for (int b = 0; b < kBadges; ++b) {
        const bool earned = b == kBadgeFirstRound || b == kBadgeHardRound15 || b == kBadgeGrandTour;
        EXPECT_EQ(second.game->badgeGot[b], earned) << "badge " << b;
    }
    // Loading announces nothing.
    for (int slot = 0; slot < kBadgeQueue; ++slot) EXPECT_EQ(second.game->badgeQueueTime[slot], 0);
}

TEST(BadgeRecordTest, ADamagedBadgeBlockForgetsTheBadgesOnly) {
    std::string record;
    {
        GameHarness first;
        first.Create();
        first.game->AwardBadge(kBadgeSpotless);
        first.game->settings[5] = 2;
        first.game->Save();
        record = ReadStateFile();
    }
    std::vector<std::string> fields = Fields(record);
    ASSERT_EQ(fields.size(), 99u);
    fields[26] =
        std::to_string(std::stol(fields[26]) + 1);  // one more badge than the checksum says
    std::string damaged;
    for (size_t i = 0; i + 1 < fields.size(); ++i) damaged += fields[i] + "|";
    GameHarness second;
    {
        std::ofstream out(kStateFileName, std::ios::binary | std::ios::trunc);
        out << damaged;
    }
    CaptureConsole();
    second.Create();
    const std::string printed = TakeConsoleOutput();
    EXPECT_NE(printed.find("Badge Checksum Invalid"), std::string::npos) << printed;
    for (int b = 0; b < kBadges; ++b) EXPECT_FALSE(second.game->badgeGot[b]) << "badge " << b;
    EXPECT_EQ(second.game->settings[5], 2);
}

}  // namespace
