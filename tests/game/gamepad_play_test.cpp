// A pad with a standard layout playing the real game on the headless backend: the D-pad and the
// left stick choose the difficulty, A starts and activates, Start pauses, and a pad pulled out
// mid-hold leaves nothing held behind.
#include <gtest/gtest.h>

#include <initializer_list>

#include "platform/gamepad_state.h"
#include "tests/game/play_support.h"

using namespace vexmo;

namespace {

constexpr int kLogicalButtons[] = {kButtonUp,      kButtonLeft,    kButtonRight,
                                   kButtonDown,    kButtonAction1, kButtonAction2,
                                   kButtonAction3, kButtonAction4, kButtonBack};

class GamepadPlayTest : public PlayTest {
protected:
    static GamepadState Holding(std::initializer_list<GamepadState::Button> held) {
        GamepadState pad;
        for (const GamepadState::Button b : held) pad.buttons[b] = Platform::kPress;
        return pad;
    }
    void Pad(const GamepadState& state) { harness->platform.SetGamepad(state); }
    // One pad button held for one update, then let go for one update.
    void TapPad(GamepadState::Button b) {
        Pad(Holding({b}));
        Update();
        Pad(GamepadState{});
        Update();
    }
    void LeftStick(float x, float y) {
        GamepadState pad;
        pad.axes[GamepadState::kLeftX] = x;
        pad.axes[GamepadState::kLeftY] = y;
        Pad(pad);
    }
    int HeldLogicalButtons() {
        int held = 0;
        for (const int b : kLogicalButtons) held += game->PlayKey(b);
        return held;
    }
};

TEST_F(GamepadPlayTest, TheDpadChoosesTheDifficultyAndAStartsTheGame) {
    game->difficulty = 1;
    TapPad(GamepadState::kDpadDown);
    EXPECT_EQ(game->difficulty, 2);
    EXPECT_FLOAT_EQ(sfx->plays.back().rate, 1.2f);
    TapPad(GamepadState::kDpadRight);
    EXPECT_EQ(game->difficulty, 3);
    TapPad(GamepadState::kDpadUp);
    EXPECT_EQ(game->difficulty, 2);
    EXPECT_FLOAT_EQ(sfx->plays.back().rate, 0.8f);
    TapPad(GamepadState::kDpadLeft);
    EXPECT_EQ(game->difficulty, 1);
    TapPad(GamepadState::kDpadRight);
    ASSERT_EQ(game->difficulty, 2);

    Pad(Holding({GamepadState::kA}));
    Update();
    EXPECT_EQ(game->screen, kScreenStartPlay);
    Update();
    EXPECT_EQ(game->screen, kScreenPlay);
    EXPECT_EQ(game->difficulty, 2);
    EXPECT_EQ(game->spawnsLeft, 3 * 2);
}

TEST_F(GamepadPlayTest, HoldingTheDpadMovesTheSelectionOnce) {
    game->difficulty = 1;
    Pad(Holding({GamepadState::kDpadDown}));
    Update(10);
    EXPECT_EQ(game->difficulty, 2);
}

TEST_F(GamepadPlayTest, TheLeftStickMovesTheSelectionBeyondFourTenths) {
    game->difficulty = 2;
    LeftStick(0.0f, 0.35f);
    Update();
    EXPECT_EQ(game->difficulty, 2) << "inside the dead zone";
    LeftStick(0.0f, 0.9f);  // pulled down
    Update();
    EXPECT_EQ(game->difficulty, 3);
    LeftStick(0.0f, 0.0f);
    Update();
    LeftStick(0.0f, -0.9f);  // pushed up
    Update();
    EXPECT_EQ(game->difficulty, 2);
    LeftStick(0.0f, 0.0f);
    Update();
    LeftStick(-0.9f, 0.0f);  // left
    Update();
    EXPECT_EQ(game->difficulty, 1);
}

TEST_F(GamepadPlayTest, StartPausesPlayTheDpadMovesTheFocusAndAResumes) {
    StartGame(1);
    SkipRoundStart();
    Pad(Holding({GamepadState::kA}));
    Update();
    EXPECT_EQ(game->PlayKey(kButtonAction1), 1) << "A is the first action button in play too";
    EXPECT_EQ(game->paused, 0);
    Pad(GamepadState{});
    Update();

    TapPad(GamepadState::kStart);
    ASSERT_EQ(game->paused, 1);
    EXPECT_EQ(game->pauseMotion, 1);
    EXPECT_EQ(game->pauseFocus, 0);
    Update(20);
    TapPad(GamepadState::kDpadLeft);
    EXPECT_EQ(game->pauseFocus, -1);
    TapPad(GamepadState::kDpadRight);
    EXPECT_EQ(game->pauseFocus, 0);
    TapPad(GamepadState::kA);
    EXPECT_EQ(game->pauseMotion, -1);
    for (int i = 0; i < 30 && game->paused; ++i) Update();
    EXPECT_EQ(game->paused, 0);
    EXPECT_EQ(game->screen, kScreenPlay);
    EXPECT_EQ(game->dying, 0);
}

TEST_F(GamepadPlayTest, StartAgainResumesFromThePauseMenu) {
    StartGame(1);
    TapPad(GamepadState::kStart);
    ASSERT_EQ(game->paused, 1);
    Update(20);
    TapPad(GamepadState::kStart);
    EXPECT_EQ(game->pauseMotion, -1);
}

TEST_F(GamepadPlayTest, APadPulledOutMidHoldReleasesEverything) {
    StartGame(1);
    GamepadState pad = Holding({GamepadState::kStart, GamepadState::kA, GamepadState::kB,
                                GamepadState::kDpadLeft, GamepadState::kLeftBumper});
    pad.axes[GamepadState::kLeftY] = -1.0f;
    Pad(pad);
    Update();
    ASSERT_EQ(game->paused, 1);
    ASSERT_GT(HeldLogicalButtons(), 3);
    harness->platform.RemoveJoystick();
    Update();
    EXPECT_EQ(HeldLogicalButtons(), 0);
    EXPECT_EQ(game->keyLatch, 0) << "nothing held keeps the key latch";
    for (int b = 0; b < 32; ++b) EXPECT_EQ(KeyDown(KeyCode::kJoyButton0 + b), 0) << b;
    EXPECT_FLOAT_EQ(JoyY(0), 0.0f);
}

TEST_F(GamepadPlayTest, APadPluggedBackInAfterBeingPulledMidHoldWorksAtOnce) {
    // Were the D-pad left held by the pad that went, the latch would never open for the next.
    game->difficulty = 1;
    Pad(Holding({GamepadState::kDpadDown}));
    Update();
    ASSERT_EQ(game->difficulty, 2);
    harness->platform.RemoveJoystick();
    Update();
    Pad(Holding({GamepadState::kDpadDown}));
    Update();
    EXPECT_EQ(game->difficulty, 3);
}

TEST_F(GamepadPlayTest, APadPluggedInDuringPlayIsUsed) {
    StartGame(2);
    Update(30);
    EXPECT_EQ(game->paused, 0);
    Pad(Holding({GamepadState::kStart}));
    Update();
    EXPECT_EQ(game->paused, 1);
}

TEST_F(GamepadPlayTest, APadWithoutAMappingStillPausesWithItsRawButtonSeven) {
    StartGame(1);
    std::vector<unsigned char> raw(12, Platform::kRelease);
    raw[7] = Platform::kPress;
    harness->SetJoystick({0.0f, 0.0f}, raw);
    Update();
    EXPECT_EQ(game->paused, 1);
}

}  // namespace
