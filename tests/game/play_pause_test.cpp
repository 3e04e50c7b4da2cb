// The pause menu during a real game: opening and closing, the slide, the keyboard focus, the
// sound button and quitting.
#include <gtest/gtest.h>

#include "game/asset_slots.h"
#include "tests/game/play_support.h"

using namespace vexmo;

namespace {

class PauseTest : public PlayTest {
protected:
    void SetUp() override {
        PlayTest::SetUp();
        StartGame(2);
    }
    // Escape held for one update and released in the next.
    void PressBack() { Tap(KeyCode::kEscape); }
    void OpenFully() {
        PressBack();
        for (int i = 0; i < 20; ++i) Update();
        ASSERT_EQ(game->paused, 1);
        ASSERT_GE(game->pauseSlide, jscrh * 0.5f);
    }
    // Where the sound button sits on the resting panel (landscape).
    float SoundX() const { return jscrw * 0.5f + 140; }
    float SoundY() const { return game->pauseSlide - 64.0f; }
    bool DrawnAt(int slot, float x, float y, int frame) const {
        for (const DrawCommand& c : harness->CommandsOfKind(static_cast<float>(slot))) {
            if (c.x == x && c.y == y && c.frame == frame) return true;
        }
        return false;
    }
};

TEST_F(PauseTest, EscapeOpensThePanelWhichSlidesDownAndRests) {
    const size_t playsBefore = sfx->plays.size();
    harness->Press(KeyCode::kEscape);
    Update();
    EXPECT_EQ(game->paused, 1);
    EXPECT_EQ(game->pauseMotion, 1);
    EXPECT_EQ(game->pauseFocus, 0);
    EXPECT_EQ(game->pauseSlide, -64 + 24);
    EXPECT_EQ(sfx->CountOf(98, playsBefore), 1);
    std::vector<int> slides;
    for (int i = 0; i < 14; ++i) {
        Update();
        slides.push_back(game->pauseSlide);
    }
    // From -64, 24 a step, until it is at or past half the height (240): 13 steps to 248.
    EXPECT_EQ(slides[11], 248);
    EXPECT_EQ(slides[12], 248);
    EXPECT_EQ(slides[13], 248);
    // The veil darkens with the slide.
    const std::vector<DrawCommand> rects = harness->CommandsOfKind(kRectKind);
    bool veil = false;
    for (const DrawCommand& r : rects) {
        if (r.x == 0 && r.y == 0 && r.sizeX == jscrw && r.red == 0) {
            veil = true;
            EXPECT_NEAR(r.alpha, 248 / (0.8f * 480), 1e-5);
        }
    }
    EXPECT_TRUE(veil);
}

TEST_F(PauseTest, BackWhileSlidingInReversesItAtOnce) {
    harness->Press(KeyCode::kEscape);
    Update();
    harness->Release(KeyCode::kEscape);
    Update();
    const int slideBefore = game->pauseSlide;
    harness->Press(KeyCode::kEscape);
    Update();
    EXPECT_EQ(game->pauseMotion, -1);
    EXPECT_EQ(game->paused, 1) << "play resumes only once the panel has left";
    harness->Release(KeyCode::kEscape);
    int previous = game->pauseSlide;
    EXPECT_EQ(previous, slideBefore + 24) << "the slide of that update still went down";
    int updates = 0;
    while (game->paused == 1 && updates < 20) {
        Update();
        ++updates;
        if (game->paused == 1) {
            EXPECT_EQ(game->pauseSlide, previous - 24);
        }
        previous = game->pauseSlide;
    }
    EXPECT_EQ(game->paused, 0);
    EXPECT_LT(game->pauseSlide, -32);
}

TEST_F(PauseTest, LeftAndRightInOneUpdateMoveTheFocusOnce) {
    OpenFully();
    const size_t playsBefore = sfx->plays.size();
    harness->Press(KeyCode::kLeft);
    harness->Press(KeyCode::kRight);
    Update();
    EXPECT_EQ(game->pauseFocus, -1);
    EXPECT_EQ(game->keyLatch, 1);
    ASSERT_EQ(sfx->plays.size(), playsBefore + 1);
    EXPECT_FLOAT_EQ(sfx->plays.back().rate, 0.8f);
    Update(3);  // still held: nothing more
    EXPECT_EQ(game->pauseFocus, -1);
    harness->Release(KeyCode::kLeft);
    Update();  // both must be let go before the focus moves again
    EXPECT_EQ(game->pauseFocus, -1);
    harness->Release(KeyCode::kRight);
    Update();
    Tap(KeyCode::kRight);
    EXPECT_EQ(game->pauseFocus, 0);
    Tap(KeyCode::kRight);
    EXPECT_EQ(game->pauseFocus, 1);
    Tap(KeyCode::kRight);
    EXPECT_EQ(game->pauseFocus, 1) << "nothing lies right of the sound button";
}

TEST_F(PauseTest, TheSoundButtonCyclesThreeToZeroAndShowsTheSilentIcon) {
    OpenFully();
    game->settings[5] = 3;
    Update();
    EXPECT_TRUE(DrawnAt(kIconsImage, SoundX(), SoundY(), 4));
    EXPECT_TRUE(DrawnAt(kIconsImage, SoundX() + 20, SoundY(), 3 + 7)) << "mode badge";
    ClickAt(SoundX(), SoundY());
    EXPECT_EQ(game->settings[5], 0);
    EXPECT_EQ(game->paused, 1) << "the panel stays";
    EXPECT_TRUE(DrawnAt(kIconsImage, SoundX(), SoundY(), 5));
    for (int frame = 8; frame <= 10; ++frame) {
        EXPECT_FALSE(DrawnAt(kIconsImage, SoundX() + 20, SoundY(), static_cast<float>(frame)));
    }
    // A held click acts once.
    harness->MoveMouseVirtual(SoundX(), SoundY());
    harness->Press(KeyCode::kMouseLeft);
    Update(5);
    harness->Release(KeyCode::kMouseLeft);
    EXPECT_EQ(game->settings[5], 1);
}

TEST_F(PauseTest, ActionOnTheSoundFocusAdvancesTheMode) {
    OpenFully();
    game->settings[5] = 2;
    Tap(KeyCode::kRight);
    ASSERT_EQ(game->pauseFocus, 1);
    Tap(KeyCode::kSpace);
    EXPECT_EQ(game->settings[5], 3);
    Tap(KeyCode::kSpace);
    EXPECT_EQ(game->settings[5], 0);
}

TEST_F(PauseTest, ResumeSlidesThePanelOutAndPlayGoesOn) {
    OpenFully();
    ClickAt(jscrw * 0.5f, static_cast<float>(game->pauseSlide));
    EXPECT_EQ(game->pauseMotion, -1);
    for (int i = 0; i < 20 && game->paused; ++i) Update();
    EXPECT_EQ(game->paused, 0);
    EXPECT_EQ(game->dying, 0);
    harness->Press(KeyCode::kMouseLeft);
    Update();
    EXPECT_EQ(game->fireCount, 1) << "firing works again";
}

TEST_F(PauseTest, QuitFromTheKeyboardSetsBothLatchesAndEndsTheGame) {
    OpenFully();
    Tap(KeyCode::kLeft);
    ASSERT_EQ(game->pauseFocus, -1);
    harness->Press(KeyCode::kEnter);
    Update();
    EXPECT_EQ(game->dying, 1);
    EXPECT_EQ(game->paused, 0);
    EXPECT_EQ(game->pauseSlide, -64);
    EXPECT_EQ(game->keyLatch, 1);
    EXPECT_EQ(game->clickLatch, 1);
    // Still held when the menu comes: it must not start a new game.
    for (int i = 0; i < 120; ++i) Update();
    EXPECT_EQ(game->screen, kScreenMenu);
    harness->Release(KeyCode::kEnter);
    Update(3);
    EXPECT_EQ(game->screen, kScreenMenu);
}

TEST_F(PauseTest, QuitByClickEndsTheGameIntoTheMenu) {
    OpenFully();
    game->score = 42;
    ClickAt(static_cast<float>(static_cast<int>(jscrw * 0.5f - 140)), game->pauseSlide - 64.0f);
    EXPECT_EQ(game->dying, 1);
    for (int i = 0; i < 100 && game->screen != kScreenMenu; ++i) Update();
    EXPECT_EQ(game->screen, kScreenMenu);
    EXPECT_EQ(game->highScores[30 + 10], 42);
}

TEST_F(PauseTest, APauseOpenedWhileDyingDoesNotFollowIntoTheMenu) {
    game->energy = -1;
    Update();
    ASSERT_EQ(game->dying, 1);
    PressBack();
    ASSERT_EQ(game->paused, 1);
    for (int i = 0; i < 100 && game->screen != kScreenMenu; ++i) Update();
    ASSERT_EQ(game->screen, kScreenMenu);
    EXPECT_EQ(game->paused, 0);
    // The next game starts running, not paused.
    Update(40);
    StartGame(1);
    Update();
    EXPECT_EQ(game->paused, 0);
    EXPECT_EQ(game->startCountdown, 119);
}

TEST_F(PauseTest, ThePauseIconAtTheTopLeftOpensThePanel) {
    ClickAt(16, 16);
    EXPECT_EQ(game->paused, 1);
    EXPECT_EQ(game->pauseMotion, 1);
}

}  // namespace
