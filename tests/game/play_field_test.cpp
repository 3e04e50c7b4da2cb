// Whole games on the headless backend: the round start, spawning per difficulty, firing, hits,
// the ship strike, overcrowding, pausing and the end of a game.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "host/random.h"
#include "tests/game/play_support.h"

using namespace vexmo;

namespace {

constexpr int kFontFrameR = 'R' - 32;

// x of the caption's "R" in the current picture, or NAN when the caption is not drawn.
float CaptionX(const GameHarness& h) {
    for (const DrawCommand& c : h.CommandsOfKind(static_cast<float>(kFontSlot))) {
        if (c.frame == kFontFrameR) return c.x;
    }
    return NAN;
}

TEST_F(PlayTest, AClickOnADifficultyButtonStartsAGame) {
    StartGame(3);
    EXPECT_EQ(game->round, 1);
    EXPECT_EQ(game->energy, 300);
    EXPECT_EQ(game->score, 0);
    EXPECT_EQ(game->dying, 0);
    EXPECT_EQ(game->startCountdown, 120);
    EXPECT_EQ(game->spawnsLeft, 9);
    EXPECT_EQ(game->spawnCap, 3);
    EXPECT_EQ(game->maxKind, 2);
    EXPECT_EQ(LiveCells(), 0);
}

TEST_F(PlayTest, TheRoundStartsWithACaptionASoundAndLaterATune) {
    StartGame(1);
    std::vector<float> captionX;
    int sound13At = 0;
    int tuneAt = 0;
    for (int update = 1; update <= 120; ++update) {
        const size_t playsBefore = sfx->plays.size();
        const size_t tunesBefore = tunes->starts.size();
        Update();
        if (sfx->CountOf(13, playsBefore) > 0) {
            EXPECT_EQ(sound13At, 0) << "sound 13 played twice";
            sound13At = update;
        }
        if (tunes->starts.size() > tunesBefore) {
            EXPECT_EQ(tuneAt, 0) << "a second tune started";
            tuneAt = update;
        }
        captionX.push_back(CaptionX(*harness));
        EXPECT_EQ(LiveCells(), 0) << "a microbe appeared during the round start, update " << update;
    }
    EXPECT_EQ(sound13At, 5);
    EXPECT_EQ(tuneAt, 90);
    ASSERT_EQ(tunes->starts.size(), 1u);
    const TuneSpy::Start& tune = tunes->starts[0];
    EXPECT_EQ(tune.name.rfind("Wendle/Tune_", 0), 0u) << tune.name;
    const int number = std::atoi(tune.name.c_str() + 12);
    EXPECT_GE(number, 10);
    EXPECT_LE(number, 18);
    EXPECT_EQ((tune.tempo - 85) % 5, 0);
    EXPECT_GE(tune.tempo, 85);
    EXPECT_LE(tune.tempo, 110);

    // In from the right, 20 units an update, resting at the centre, out to the left.
    for (int i = 1; i < 20; ++i) EXPECT_FLOAT_EQ(captionX[i], captionX[i - 1] - 20) << i;
    for (int i = 20; i < 100; ++i) EXPECT_FLOAT_EQ(captionX[i], captionX[19]) << i;
    for (int i = 100; i < 120; ++i) EXPECT_FLOAT_EQ(captionX[i], captionX[i - 1] - 20) << i;
    EXPECT_GT(captionX[0], jscrw);   // starts off screen at the right
    EXPECT_LT(captionX[119], 0.0f);  // and leaves at the left
    EXPECT_EQ(game->startCountdown, 0);
    Update();
    EXPECT_TRUE(std::isnan(CaptionX(*harness))) << "the caption outlived the sequence";
}

TEST_F(PlayTest, EasyRoundOneSpawnsThreeKindOneMicrobesOneAtATime) {
    StartGame(1);
    EXPECT_EQ(game->spawnCap, 1);
    SkipRoundStart();
    int spawned = 0;
    for (int update = 0; update < 3000 && game->round == 1; ++update) {
        const int before = game->spawnsLeft;
        const int countedBefore = game->liveCount;
        Update();
        if (game->round != 1 || game->spawnsLeft == before) continue;
        EXPECT_EQ(before - game->spawnsLeft, 1) << "two microbes in one pass";
        EXPECT_EQ(countedBefore, 0) << "spawned while the previous pass counted microbes";
        EXPECT_EQ(LiveCells(), 1);
        for (int i = 0; i < game->cells.Length(); i += 10) {
            if (game->cells[i] > 0) {
                EXPECT_EQ(game->cells[i], 1);
            }
        }
        ++spawned;
        ClearCells();  // the player shoots it down
    }
    EXPECT_EQ(spawned, 3);
    // With the last microbe gone the next round begins at once.
    EXPECT_EQ(game->round, 2);
    EXPECT_EQ(game->spawnsLeft, 6);
    EXPECT_EQ(game->spawnCap, 2);
    EXPECT_EQ(game->maxKind, 1);
    EXPECT_EQ(game->startCountdown, 120);
    EXPECT_EQ(tunes->fullStops, 2);  // LoadGame's round and this one
}

TEST_F(PlayTest, HardRoundOneSpawnsNineMicrobesOfTheFirstTwoKindsUpToThreeAtOnce) {
    StartGame(3);
    SkipRoundStart();
    int spawned = 0;
    std::set<int> kinds;
    for (int update = 0; update < 3000 && game->round == 1; ++update) {
        const int before = game->spawnsLeft;
        const int countedBefore = game->liveCount;
        Update();
        if (game->round != 1) break;
        for (int i = 0; i < game->cells.Length(); i += 10) {
            if (game->cells[i] == 0) continue;
            EXPECT_GE(game->cells[i], 1);
            EXPECT_LE(game->cells[i], 2);
            kinds.insert(game->cells[i]);
        }
        if (game->spawnsLeft < before) {
            EXPECT_LT(countedBefore, 3) << "spawned above the cap";
            spawned += before - game->spawnsLeft;
        }
        if (LiveCells() >= 3) ClearCells();
    }
    EXPECT_EQ(spawned, 9);
    EXPECT_EQ(game->round, 2);
    EXPECT_EQ(kinds, (std::set<int>{1, 2}));
}

TEST_F(PlayTest, HoldingThePointerFiresAtOnceThenEverMoreSlowly) {
    StartGame(2);
    Update(3);
    harness->MoveMouseVirtual(jscrw / 2, jscrh - 10);  // aim at the ship's own place
    harness->Press(KeyCode::kMouseLeft);
    std::vector<int> firedOn;
    for (int update = 1; update <= 40; ++update) {
        const int before = game->fireCount;
        const int shotsBefore = ActiveShots(1);
        Update();
        if (game->fireCount > before) {
            firedOn.push_back(update);
            EXPECT_EQ(ActiveShots(1), shotsBefore + 1);
        }
    }
    const std::vector<int> expected = {1,  2,  3,  4,  5,  6,  8,  10, 12, 14,
                                       16, 18, 21, 24, 27, 30, 33, 36, 40};
    EXPECT_EQ(firedOn, expected);
    EXPECT_EQ(game->energy, 300) << "a fresh shot struck the ship";

    // Letting go and pressing again restarts the fast rate.
    harness->Release(KeyCode::kMouseLeft);
    Update();
    EXPECT_EQ(game->fireCount, 0);
    harness->Press(KeyCode::kMouseLeft);
    Update();
    Update();
    EXPECT_EQ(game->fireCount, 2);
}

TEST_F(PlayTest, AShotLeavesTheShipTowardTheCentreAtEightUnitsAnUpdate) {
    StartGame(2);
    harness->MoveMouseVirtual(jscrw / 2, jscrh - 10);
    harness->Press(KeyCode::kMouseLeft);
    Update();
    int slot = -1;
    for (int i = 0; i < 201; ++i) {
        if (game->shots[play::Shot(i)] == 1) slot = i;
    }
    ASSERT_EQ(slot, 200) << "the highest free slot is taken first";
    const int s = play::Shot(slot);
    EXPECT_NEAR(game->shots[s + play::kShotVX], 0, 1e-4);
    EXPECT_NEAR(game->shots[s + play::kShotVY], -8, 1e-4);  // up, from the ship at the bottom
    EXPECT_EQ(game->shots[s + play::kShotLife], 9);         // fired with 10, one update flown
}

TEST_F(PlayTest, AKindThreeMicrobeDiesFromOneHitAndScoresThree) {
    StartGame(1);
    // Below the centre, in the path of the first shot from the ship at the bottom (which of the
    // two middle columns it flies in depends on rounding), and outside the disc where microbes
    // spread.
    PutMicrobe(19, 38, 3, 79);
    PutMicrobe(20, 38, 3, 79);
    const size_t playsBefore = sfx->plays.size();
    harness->MoveMouseVirtual(jscrw / 2, jscrh - 10);
    harness->Press(KeyCode::kMouseLeft);
    Update();
    const int left = play::Cell(19, 38);
    const int right = play::Cell(20, 38);
    EXPECT_EQ(game->cells[left] + game->cells[right], 3) << "exactly one of the two died";
    EXPECT_EQ(game->cells[left + play::kGrowth] + game->cells[right + play::kGrowth], 79);
    EXPECT_EQ(game->score, 3);
    int hitSounds = 0;
    for (size_t i = playsBefore; i < sfx->plays.size(); ++i) {
        const SfxSpy::Play& p = sfx->plays[i];
        if (p.sfx >= 1 && p.sfx <= 8) {
            ++hitSounds;
            EXPECT_GE(p.rate, 0.8f);
            EXPECT_LT(p.rate, 1.2f);
        }
    }
    EXPECT_EQ(hitSounds, 1);
}

// Arms shot slot 5 as the player's shot under test, as the shot loop does before its checks.
void ArmShot(MyApp* game) {
    game->shots[play::Shot(5) + play::kShotKind] = 1;
    game->currentShot = 5;
    game->shotHits = 0;
}

TEST_F(PlayTest, AFullGrownKindTwoMicrobeTakesThreeHits) {
    StartGame(1);
    PutMicrobe(20, 20, 2, 79);
    const int expectedGrowth[] = {44, 9};
    for (const int growth : expectedGrowth) {
        ArmShot(game);
        game->Check(20, 20, 100, 100);
        EXPECT_EQ(game->cells[play::Cell(20, 20) + play::kKind], 2);
        EXPECT_EQ(game->cells[play::Cell(20, 20) + play::kGrowth], growth);
        EXPECT_EQ(game->shots[play::Shot(5)], 0) << "the hit uses the shot up";
        EXPECT_EQ(game->shotHits, 1);
    }
    ArmShot(game);
    game->Check(20, 20, 100, 100);
    EXPECT_EQ(game->cells[play::Cell(20, 20) + play::kKind], 0);
    EXPECT_EQ(game->score, 6);
}

TEST_F(PlayTest, CheckIgnoresEmptyCellsCellsOffTheGridAndAShotThatHitThreeTimes) {
    StartGame(1);
    ArmShot(game);
    game->Check(20, 20, 0, 0);  // empty
    game->Check(-1, 20, 0, 0);
    game->Check(41, 20, 0, 0);
    game->Check(20, -1, 0, 0);
    game->Check(20, 41, 0, 0);
    EXPECT_EQ(game->shots[play::Shot(5)], 1);
    EXPECT_EQ(game->score, 0);

    for (int column = 10; column <= 13; ++column) PutMicrobe(column, 20, 1, 79);
    for (int column = 10; column <= 13; ++column) game->Check(column, 20, 0, 0);
    EXPECT_EQ(game->shotHits, 3);
    EXPECT_EQ(game->score, 3) << "a shot damages at most three cells in its update";
    EXPECT_EQ(game->cells[play::Cell(13, 20) + play::kGrowth], 79);
}

TEST_F(PlayTest, AReflectingMicrobeSometimesSendsTheShotBackAtHalfSpeed) {
    StartGame(1);
    int bounced = 0;
    for (int attempt = 0; attempt < 200 && bounced == 0; ++attempt) {
        PutMicrobe(20, 20, 6, 79);
        ArmShot(game);
        game->shots[play::Shot(5) + play::kShotAngle] = 30;
        game->Check(20, 20, 0, 0);
        if (game->shots[play::Shot(5)] == 2) ++bounced;
    }
    ASSERT_EQ(bounced, 1) << "no shot bounced in 200 hits";
    const int s = play::Shot(5);
    const float angle = game->shots[s + play::kShotAngle];
    EXPECT_GE(angle, 30 + 160);
    EXPECT_LE(angle, 30 + 200);
    const float speed = std::hypot(game->shots[s + play::kShotVX], game->shots[s + play::kShotVY]);
    EXPECT_NEAR(speed, 4, 1e-4);
}

TEST_F(PlayTest, AReturningShotStrikingTheShipCostsTenEnergy) {
    StartGame(2);
    Update();  // the ship takes its place at the bottom of the rim
    const int s = play::Shot(7);
    game->shots[s + play::kShotKind] = 2;
    game->shots[s + play::kShotX] = static_cast<float>(game->shipX);
    game->shots[s + play::kShotY] = game->shipY - 40;
    game->shots[s + play::kShotVX] = 0;
    game->shots[s + play::kShotVY] = 4;  // heading out, toward the ship
    game->shots[s + play::kShotLife] = 0;
    const size_t playsBefore = sfx->plays.size();
    Update(4);  // 36, 32, 28 and 24 units away: not yet
    EXPECT_EQ(game->energy, 300);
    EXPECT_EQ(game->shots[s], 2);
    Update();
    EXPECT_EQ(game->energy, 290);
    EXPECT_EQ(game->shots[s], 0);
    EXPECT_EQ(sfx->CountOf(9, playsBefore), 1);
    Update(3);
    EXPECT_EQ(game->energy, 290) << "a freed shot strikes only once";
}

TEST_F(PlayTest, AShotStillYoungDoesNotStrikeTheShip) {
    StartGame(2);
    Update();
    const int s = play::Shot(7);
    game->shots[s + play::kShotKind] = 2;
    game->shots[s + play::kShotX] = static_cast<float>(game->shipX);
    game->shots[s + play::kShotY] = game->shipY;
    game->shots[s + play::kShotVY] = 0.0f;
    game->shots[s + play::kShotLife] = 3;
    Update(2);
    EXPECT_EQ(game->energy, 300);
    Update(2);  // life ran out while it sits on the ship
    EXPECT_EQ(game->energy, 290);
}

// Fills `count` cells of the rows far above and below the centre with full-grown microbes; out
// there they ripen but never spread, so the count stays put.
void Crowd(MyApp* game, int count) {
    int placed = 0;
    for (int row = 0; row <= 40 && placed < count; ++row) {
        if (row > 4 && row < 36) continue;
        for (int column = 0; column <= 40 && placed < count; ++column, ++placed) {
            const int c = play::Cell(column, row);
            game->cells[c] = 1;
            game->cells[c + 1] = 79;
        }
    }
}

TEST_F(PlayTest, AtFourHundredAndFourLiveCellsEnergyDrainsOnePerUpdate) {
    StartGame(1);
    Crowd(game, 404);
    Update();  // the pass counts them; the drain reads the count of the pass before
    EXPECT_EQ(game->liveCount, 404);
    EXPECT_EQ(game->energy, 300);
    std::set<int> reds;
    for (int update = 1; update <= 60; ++update) {
        Update();
        EXPECT_EQ(game->energy, 300 - update);
        reds.insert(static_cast<int>(game->clsRed));
        EXPECT_GE(game->clsRed, 100);
        EXPECT_LE(game->clsRed, 200);
        EXPECT_EQ(game->clsBlue, std::max(0, 100 - static_cast<int>(game->clsRed) / 2));
    }
    EXPECT_TRUE(reds.count(100) && reds.count(200)) << "the background pulses from 100 to 200";
}

TEST_F(PlayTest, FourHundredAndThreeLiveCellsDoNotDrain) {
    StartGame(1);
    Crowd(game, 403);
    Update(30);
    EXPECT_EQ(game->liveCount, 403);
    EXPECT_EQ(game->energy, 300);
    EXPECT_EQ(game->clsRed, 100);
    EXPECT_EQ(game->clsBlue, 50);
}

TEST_F(PlayTest, ShownEnergyIsCappedAtNinetyNineAndWarnsAtEachTenItFalls) {
    StartGame(1);
    Update();
    // Landscape: the two energy digits stand one above the other at x = 40.
    std::string digits;
    for (const DrawCommand& c : harness->CommandsOfKind(static_cast<float>(kFontSlot))) {
        if (c.x > 30 && c.x < 60) digits += static_cast<char>(c.frame + 32);
    }
    EXPECT_EQ(digits, "99");
    const size_t playsBefore = sfx->plays.size();
    game->energy = 269;  // shown as 89
    Update();
    EXPECT_EQ(sfx->CountOf(11, playsBefore), 1);
    Update(5);
    EXPECT_EQ(sfx->CountOf(11, playsBefore), 1) << "one warning per step of ten";
    game->energy = 240;  // 80
    Update();
    EXPECT_EQ(sfx->CountOf(11, playsBefore), 2);
}

TEST_F(PlayTest, ThePausedFieldKeepsCountingItsMicrobes) {
    StartGame(1);
    SkipRoundStart();
    ClearCells();
    game->spawnsLeft = 0;
    PutMicrobe(20, 20, 1, 30);
    Update();
    ASSERT_EQ(game->liveCount, 1);
    const float redBefore = game->clsRed;
    harness->Press(KeyCode::kEscape);
    Update();
    harness->Release(KeyCode::kEscape);
    ASSERT_EQ(game->paused, 1);
    const int growth = game->cells[play::Cell(20, 20) + play::kGrowth];
    for (int update = 0; update < 60; ++update) {
        Update();
        ASSERT_EQ(game->paused, 1);
        EXPECT_EQ(game->liveCount, 1) << "a pause must not look like an empty dish";
        EXPECT_EQ(game->round, 1) << "a pause ended the round";
        EXPECT_EQ(game->clsRed, redBefore);
    }
    EXPECT_EQ(game->cells[play::Cell(20, 20) + play::kGrowth], growth) << "grew while paused";
    EXPECT_EQ(game->energy, 300);
}

TEST_F(PlayTest, EnergyBelowZeroEndsTheGameAndTheMenuFilesTheScore) {
    StartGame(2);
    // Best list of difficulty 2: 500, 200, 100, then zeros.
    game->highScores[10] = 500;
    game->highScores[11] = 200;
    game->highScores[12] = 100;
    game->score = 150;
    game->energy = -1;
    const size_t playsBefore = sfx->plays.size();
    const int stopsBefore = tunes->fullStops;
    Update();
    EXPECT_EQ(game->dying, 1);
    EXPECT_EQ(sfx->CountOf(12, playsBefore), 1);
    EXPECT_GT(tunes->fullStops, stopsBefore);
    EXPECT_EQ(game->gameOverTimer, 1);

    Update(88);
    EXPECT_EQ(game->screen, kScreenPlay);
    EXPECT_EQ(game->gameOverTimer, 89);
    Update();  // 89 updates after the first game-over call the menu takes over
    EXPECT_EQ(game->screen, kScreenBackToMenu);
    EXPECT_EQ(game->gameOverTimer, 73) << "75, and the second call of that update";
    EXPECT_EQ(game->highScores[40], 0) << "filed before LoadMenu ran";
    Update();  // LoadMenu
    EXPECT_EQ(game->screen, kScreenMenu);
    EXPECT_EQ(game->highScores[40], 150) << "the last list of difficulty 2 starts with it";
    const int best[] = {500, 200, 150, 100, 0};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(game->highScores[10 + i], best[i]) << i;
    // The overlay fades over the menu, 2 an update.
    EXPECT_EQ(game->gameOverTimer, 71);
    Update(35);
    EXPECT_EQ(game->gameOverTimer, 1);
    Update();
    EXPECT_EQ(game->gameOverTimer, 0);
    Update();
    EXPECT_EQ(game->gameOverTimer, 0);
}

TEST_F(PlayTest, ANewGameStartsWithoutTheLastGamesDebrisOrScore) {
    const auto liveDebris = [this] {
        int live = 0;
        for (int i = 0; i < kParticleSlots; ++i) live += game->particles[i * kParticleStride] > 0;
        return live;
    };
    StartGame(2);
    game->score = 150;
    game->energy = -1;
    Update(91);  // the ship breaks up, then the menu takes over
    ASSERT_EQ(game->screen, kScreenMenu);
    ASSERT_GT(liveDebris(), 0) << "the dying ship left debris behind";
    ASSERT_GT(game->shownScore, 0);
    Update(60);  // the menu slides in
    StartGame(2);
    EXPECT_EQ(liveDebris(), 0);
    EXPECT_EQ(game->shownScore, 0);
}

TEST_F(PlayTest, AScoreNotAboveAnyEntryOnlyEntersTheLastList) {
    StartGame(1);
    for (int i = 0; i < 10; ++i) game->highScores[i] = 100 - i;
    game->score = 91;  // equal to the tenth
    game->energy = -1;
    Update(91);
    ASSERT_EQ(game->screen, kScreenMenu);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(game->highScores[i], 100 - i);
    EXPECT_EQ(game->highScores[30], 91);
}

TEST(PlayAngles, WhichWayDoIGoGivesTheSignedTurn) {
    GameHarness h;
    MyApp* game = h.game;
    EXPECT_EQ(game->WhichWayDoIGo(10, 5, 0, 359), -4);
    EXPECT_EQ(game->WhichWayDoIGo(350, -10, 0, 359), 0);
    EXPECT_EQ(game->WhichWayDoIGo(5, 10, 0, 359), 5);
    EXPECT_EQ(game->WhichWayDoIGo(350, 10, 0, 359), 20);
    EXPECT_EQ(game->WhichWayDoIGo(10, 350, 0, 359), -19);
    EXPECT_EQ(game->WhichWayDoIGo(-170, 190, 0, 359), 0);
}

TEST(PlayRandom, RandIncludesBothEnds) {
    GameHarness h;
    Seed = 1234;
    EXPECT_EQ(h.game->Rand(0, 10), 7);  // the first unit value from 1234 is about 0.7143
    std::set<int> seen;
    for (int i = 0; i < 2000; ++i) seen.insert(h.game->Rand(1, 3));
    EXPECT_EQ(seen, (std::set<int>{1, 2, 3}));
}

}  // namespace
