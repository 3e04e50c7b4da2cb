// The game object's hooks: start-up defaults, the virtual screen, the loader's pace, the
// latches, the back button on the menu, suspend and resume, and a resize during play.
#include <gtest/gtest.h>

#include "input/key_translation.h"
#include "tests/game/game_fixture.h"

using namespace vexmo;

namespace {

struct VirtualScreenCase {
    int width, height;
    float scale, virtualWidth, virtualHeight;
    int landscape;
};

class VirtualScreenTest : public ::testing::TestWithParam<VirtualScreenCase> {};

TEST_P(VirtualScreenTest, OneAxisKeepsTheDesignSizeAndTheScaleIsUniform) {
    const VirtualScreenCase& c = GetParam();
    GameHarness h(c.width, c.height);
    h.Create();
    EXPECT_FLOAT_EQ(h.game->scaleX, c.scale);
    EXPECT_FLOAT_EQ(h.game->scaleY, c.scale);
    EXPECT_NEAR(jscrw, c.virtualWidth, 1e-3);
    EXPECT_NEAR(jscrh, c.virtualHeight, 1e-3);
    EXPECT_EQ(h.game->landscape, c.landscape);
}

INSTANTIATE_TEST_SUITE_P(DeviceSizes, VirtualScreenTest,
                         ::testing::Values(VirtualScreenCase{1280, 720, 2.0f, 640, 360, 1},
                                           VirtualScreenCase{480, 640, 640.0f / 480.0f, 360, 480,
                                                             0},
                                           VirtualScreenCase{640, 480, 1.0f, 640, 480, 1},
                                           VirtualScreenCase{320, 240, 0.5f, 640, 480, 1}));

TEST_F(GameTest, OnCreateSetsTheWorkingDefaults) {
    EXPECT_EQ(game->screen, kScreenMenu);
    EXPECT_EQ(game->loadStep, 1);
    EXPECT_EQ(game->difficulty, 2);
    EXPECT_EQ(game->menuSlide, -32);
    EXPECT_EQ(game->pauseMotion, -1);
    EXPECT_EQ(game->pauseSlide, -64);
    EXPECT_EQ(game->settings[5], 1);
    EXPECT_EQ(game->deviceWidth, 640);
    EXPECT_EQ(game->deviceHeight, 480);
    EXPECT_EQ(game->clsAlpha, 1.0f);
    EXPECT_EQ(harness->host->updateRate, 60);
    for (int i = 0; i < kChannels; ++i) EXPECT_EQ(game->sfxChannels[i], i);
}

TEST_F(GameTest, ArraysHaveTheirFinalSizesFromConstruction) {
    EXPECT_EQ(game->drawList.Length(), 37500);
    EXPECT_EQ(game->images.Length(), 100);
    EXPECT_EQ(game->imageInfo.Length(), 300);
    EXPECT_EQ(game->sounds.Length(), 100);
    EXPECT_EQ(game->sfxChannels.Length(), 33);
    EXPECT_EQ(game->settings.Length(), 25);
    EXPECT_EQ(game->highScores.Length(), 150);
    EXPECT_EQ(game->badgeGot.Length(), 256);
    EXPECT_EQ(game->badgeQueue.Length(), 15);
    EXPECT_EQ(game->badgeQueueTime.Length(), 15);
    EXPECT_EQ(game->vbutton.Length(), 20);
    EXPECT_EQ(game->touchX.Length(), 10);
    EXPECT_EQ(game->cells.Length(), 64000);
    EXPECT_EQ(game->shots.Length(), 2048);
    EXPECT_EQ(game->particles.Length(), 1024);
    EXPECT_NE(game->musicPlayer.get(), nullptr);
}

TEST_F(GameTest, AFullLoadTakesThirtyUpdatesAndNoScreenRunsMeanwhile) {
    game->creditsOpen = 1;  // the credits slide is part of the screens, so it must wait too
    int updates = 0;
    while (game->loadStep > 0 && updates < 100) {
        EXPECT_EQ(game->creditsSlide, 0) << "a screen ran during loading step " << updates;
        harness->Frame();
        ++updates;
    }
    EXPECT_EQ(updates, kLoadSteps);
    EXPECT_EQ(game->loadStep, 0);
    harness->Frame();
    EXPECT_EQ(game->creditsSlide, 1);
}

TEST_F(GameTest, LoaderStepsCountUpThenFinish) {
    std::vector<int> seen;
    while (game->loadStep > 0 && seen.size() < 100) {
        seen.push_back(game->loadStep);
        harness->Update();
    }
    ASSERT_EQ(seen.size(), 30u);
    for (int i = 0; i < 30; ++i) EXPECT_EQ(seen[i], i + 1);
}

TEST_F(GameTest, CollectionsDuringPlayKeepEveryArrayAlive) {
    // Many updates with collection steps in between; a field the mark hook forgot would be
    // freed and then read (the sanitizer build turns that into a failure).
    harness->FinishLoading();
    for (int i = 0; i < 5; ++i) {
        gc_force_sweep = true;
        harness->Frame();
    }
    game->drawList[37499] = 1;
    game->cells[63999] = 1;
    game->badgeGot[255] = true;
    EXPECT_EQ(game->drawList.Length(), 37500);
    EXPECT_EQ(game->musicPlayer->voiceCount, 5);
}

TEST_F(GameTest, PointerIsReadInVirtualUnits) {
    harness->Resize(1280, 960);
    harness->Render();
    ASSERT_FLOAT_EQ(game->scaleX, 2.0f);
    harness->MoveMouse(301, 99);
    harness->Update();
    EXPECT_EQ(game->pointerX, 150);
    EXPECT_EQ(game->pointerY, 49);
}

TEST_F(GameTest, ADragStartsWithAZeroDelta) {
    harness->MoveMouse(100, 100);
    harness->Update();
    harness->MoveMouse(140, 120);
    harness->Press(KeyCode::kMouseLeft);
    harness->Update();
    EXPECT_EQ(game->lastPointerX, 140);
    EXPECT_EQ(game->lastPointerY, 120);
    harness->MoveMouse(150, 125);
    harness->Update();
    EXPECT_EQ(game->lastPointerX, 140);
    EXPECT_EQ(game->pointerX, 150);
}

TEST_F(GameTest, AReleasedTouchReportsTheMarkerPosition) {
    harness->MoveMouse(200, 100);
    harness->Press(KeyCode::kMouseLeft);
    harness->Update();
    EXPECT_EQ(game->touchDown[0], 1);
    EXPECT_EQ(game->touchX[0], 200);
    EXPECT_EQ(game->touchY[0], 100);
    EXPECT_EQ(game->pointerDown, 1);
    EXPECT_EQ(game->touchX[1], kNoTouch);
    harness->Release(KeyCode::kMouseLeft);
    harness->Update();
    EXPECT_EQ(game->touchDown[0], 0);
    EXPECT_EQ(game->touchX[0], kNoTouch);
    EXPECT_EQ(game->touchY[0], kNoTouch);
}

TEST_F(GameTest, PointerHitCountsAPressBetweenUpdates) {
    harness->Press(KeyCode::kMouseLeft);
    harness->Release(KeyCode::kMouseLeft);
    harness->Update();
    EXPECT_EQ(game->pointerHit, 1);
    EXPECT_EQ(game->pointerDown, 1) << "a click shorter than an update is seen held once";
    harness->Update();
    EXPECT_EQ(game->pointerHit, 0);
    EXPECT_EQ(game->pointerDown, 0);
}

TEST_F(GameTest, ClickLatchClearsOnlyOnceThePointerIsUp) {
    harness->Press(KeyCode::kMouseLeft);
    harness->Update();
    game->clickLatch = 1;
    harness->Update();
    EXPECT_EQ(game->clickLatch, 1) << "cleared while the button is still held";
    harness->Release(KeyCode::kMouseLeft);
    harness->Update();
    EXPECT_EQ(game->clickLatch, 0);
}

TEST_F(GameTest, KeyLatchHoldsWhileAnyLogicalButtonIsHeld) {
    harness->Press('X');  // action 2
    game->keyLatch = 1;
    harness->Update();
    EXPECT_EQ(game->keyLatch, 1);
    harness->Release('X');
    harness->Press(KeyCode::kJoyButton0 + 7);  // back on the joystick
    harness->Update();
    EXPECT_EQ(game->keyLatch, 1);
    harness->Release(KeyCode::kJoyButton0 + 7);
    harness->Update();
    EXPECT_EQ(game->keyLatch, 0);
}

TEST_F(GameTest, KeyLatchIgnoresKeysThatAreNoLogicalButton) {
    game->keyLatch = 1;
    harness->Press('Q');
    harness->Update();
    EXPECT_EQ(game->keyLatch, 0);
}

TEST_F(GameTest, BackOnTheMenuClosesBothBoxesAndUsesUpThePress) {
    harness->FinishLoading();
    game->creditsOpen = 1;
    game->badgesOpen = 1;
    harness->Press(27);
    harness->Update();
    EXPECT_EQ(game->creditsOpen, 0);
    EXPECT_EQ(game->badgesOpen, 0);
    EXPECT_EQ(game->keyLatch, 1);
    EXPECT_EQ(game->clickLatch, 1);
    // Still held: nothing more happens and the latch stays.
    game->creditsOpen = 1;
    harness->Update();
    EXPECT_EQ(game->creditsOpen, 1);
}

// With no box to close, the back button asks "Quit?"; the held key is used up by asking, so the
// same press cannot answer, and the pointer stays free.
TEST_F(GameTest, BackWithNoBoxOpenAsksToQuitAndLatchesOnlyTheKey) {
    harness->FinishLoading();
    harness->Press(27);
    harness->Update();
    EXPECT_EQ(game->quitAsking, 1);
    EXPECT_EQ(game->keyLatch, 1);
    EXPECT_EQ(game->clickLatch, 0);
    harness->Update(5);
    EXPECT_EQ(game->quitAsking, 1) << "still asking while the key is held";
}

TEST_F(GameTest, BackDuringPlayDoesNotTouchTheBoxes) {
    harness->FinishLoading();
    game->screen = kScreenPlay;
    game->creditsOpen = 1;
    game->dying = 0;
    harness->Press(27);
    game->UpdateLatches();
    EXPECT_EQ(game->creditsOpen, 1);
}

TEST_F(GameTest, CreditsSlideInAndOutOneStepPerUpdate) {
    harness->FinishLoading();
    game->creditsOpen = 1;
    harness->Update(35);
    EXPECT_EQ(game->creditsSlide, 30);
    game->creditsOpen = 0;
    harness->Update(10);
    EXPECT_EQ(game->creditsSlide, 20);
}

TEST_F(GameTest, ScreenTwoRunsTheMenuEntryOnceAndLandsOnTheMenu) {
    harness->FinishLoading();
    game->screen = kScreenBackToMenu;
    harness->Update();
    EXPECT_EQ(game->screen, kScreenMenu);
}

TEST_F(GameTest, AnUnknownScreenRunsNothing) {
    harness->FinishLoading();
    game->screen = 7;
    harness->Frame();
    EXPECT_EQ(game->screen, 7);
}

TEST_F(GameTest, SuspendInTheMenuClearsThePause) {
    harness->FinishLoading();
    game->paused = 1;
    harness->Suspend();
    EXPECT_EQ(game->paused, 0);
    EXPECT_EQ(game->pauseMotion, 0);
    EXPECT_EQ(game->pauseSlide, 0);
    harness->Resume();
    EXPECT_EQ(game->paused, 0);
    EXPECT_EQ(harness->host->updateRate, 60);
}

TEST_F(GameTest, SuspendDuringPlayComesBackPausedWithTheMenuOpen) {
    harness->FinishLoading();
    game->screen = kScreenPlay;
    harness->Suspend();
    EXPECT_EQ(game->paused, 1);
    EXPECT_EQ(game->pauseMotion, 1);
    EXPECT_EQ(game->pauseSlide, 240);
    harness->Resume();
    EXPECT_EQ(game->paused, 1);
    EXPECT_EQ(game->pauseSlide, 240);
}

TEST_F(GameTest, SuspendAndResumeSwitchICadeModeOff) {
    game->iCade(1);
    harness->Suspend();
    EXPECT_EQ(iCadeControls, 0);
    game->iCade(1);
    harness->Resume();
    EXPECT_EQ(iCadeControls, 0);
}

TEST_F(GameTest, SuspendAsksForTheSlowRateWhichTheHostRemembers) {
    harness->Suspend();
    // The host holds updates while suspended but keeps the rate the hook asked for.
    EXPECT_EQ(harness->host->updateRate, 5);
    harness->Resume();
    EXPECT_EQ(harness->host->updateRate, 60);
}

TEST_F(GameTest, AResizeReloadsEverythingWhileTheScreenWaits) {
    harness->FinishLoading();
    game->screen = 7;  // a screen that changes nothing, so only the loader moves
    harness->Resize(1280, 720);
    harness->Render();
    EXPECT_EQ(game->loadStep, 1);
    EXPECT_EQ(game->deviceWidth, 1280);
    EXPECT_EQ(game->deviceHeight, 720);
    EXPECT_EQ(harness->FinishLoading(), kLoadSteps);
    EXPECT_EQ(game->imageSet, 4);  // 1280 is above 1230
    EXPECT_EQ(game->screen, 7);
}

TEST_F(GameTest, AResizeDuringPlayHoldsThePlayFieldUntilTheLoadIsDone) {
    harness->FinishLoading();
    game->screen = kScreenStartPlay;
    harness->Frame();
    ASSERT_EQ(game->screen, kScreenPlay);
    harness->Frame(3);
    const int phase = game->wobblePhase;
    harness->Resize(800, 600);
    harness->Render();
    ASSERT_EQ(game->loadStep, 1);
    for (int i = 0; i < kLoadSteps; ++i) {
        harness->Frame();
        EXPECT_EQ(game->wobblePhase, phase) << "play ran during loading step " << i;
    }
    EXPECT_EQ(game->loadStep, 0);
    harness->Frame();
    EXPECT_EQ(game->screen, kScreenPlay);
    EXPECT_EQ(game->wobblePhase, phase + 6);
}

TEST_F(GameTest, GameOverRunsTwiceInTheUpdateThatEndsTheGame) {
    harness->FinishLoading();
    game->screen = kScreenStartPlay;
    harness->Frame();
    ASSERT_EQ(game->screen, kScreenPlay);
    game->dying = 1;
    game->gameOverTimer = 89;
    harness->Update();
    // The first call reaches 90 and hands over to the menu at 75; the second counts down by 2.
    EXPECT_EQ(game->screen, kScreenBackToMenu);
    EXPECT_EQ(game->gameOverTimer, 73);
    harness->Update();
    EXPECT_EQ(game->screen, kScreenMenu);
    EXPECT_EQ(game->gameOverTimer, 71);
}

TEST_F(GameTest, RenderFillsTheDeviceWithTheClearColourFirst) {
    game->CLS2D(10, 20, 30, 1);
    harness->recorder.Clear();
    harness->Render();
    const std::vector<GlCall> draws = harness->recorder.DrawCalls();
    ASSERT_FALSE(draws.empty());
    // The first quad spans one pixel past every edge of the 640 x 480 device.
    const std::vector<GlVertexRecord>& v = draws.front().vertices;
    ASSERT_GE(v.size(), 4u);
    float minX = 1e9f, maxX = -1e9f, minY = 1e9f, maxY = -1e9f;
    for (int i = 0; i < 4; ++i) {
        minX = std::min(minX, v[i].x);
        maxX = std::max(maxX, v[i].x);
        minY = std::min(minY, v[i].y);
        maxY = std::max(maxY, v[i].y);
    }
    EXPECT_FLOAT_EQ(minX, -1);
    EXPECT_FLOAT_EQ(maxX, 641);
    EXPECT_FLOAT_EQ(minY, -1);
    EXPECT_FLOAT_EQ(maxY, 481);
    const uint32_t colour = v[0].color;
    EXPECT_EQ(colour & 0xff, 10u);
    EXPECT_EQ((colour >> 8) & 0xff, 20u);
    EXPECT_EQ((colour >> 16) & 0xff, 30u);
}

TEST_F(GameTest, TimingRatesAreSmoothedAndSurviveAZeroInterval) {
    // 60 updates 1/60 s apart: the instant rate is 1000 / 16 or 1000 / 17.
    harness->Update(60);
    EXPECT_GE(game->updateFpsNow, 58);
    EXPECT_LE(game->updateFpsNow, 62);
    const int instant = game->updateFpsNow;
    const int smoothed = game->updateFps;
    harness->host->InvokeOnUpdate();  // no time passed
    EXPECT_EQ(game->updateFpsNow, instant);
    EXPECT_EQ(game->updateFps, (smoothed * 9 + instant) / 10);
}

TEST_F(GameTest, DebugReadoutShowsRateAndScale) {
    harness->FinishLoading();
    DebugMode = 1;
    game->screen = 7;
    game->CLS2D();
    harness->Update();
    DebugMode = 0;
    // "0:1,1" is five characters at y = jscrh - 16; each drawn glyph is a font command.
    const std::vector<DrawCommand> glyphs = harness->CommandsOfKind(kFontSlot);
    ASSERT_FALSE(glyphs.empty());
    EXPECT_FLOAT_EQ(glyphs.front().x, 16);
}

}  // namespace
