// Logical buttons from keys, joystick and virtual buttons; the iCade letters; screen buttons;
// the on-screen pad and the tilt input behind their switches.
#include <gtest/gtest.h>

#include "game/asset_slots.h"
#include "input/key_translation.h"
#include "tests/game/game_fixture.h"

using namespace vexmo;

namespace {

constexpr int kJoy = KeyCode::kJoyButton0;

class ControlsTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        game->loadStep = 0;  // these tests need no images: skip the loader
        game->screen = 7;    // no screen acts on the presses
    }
    void TearDown() override {
        game->iCade(0);
        OnScreenControls = 0;
        AccelerometerControls = 0;
        GameTest::TearDown();
    }
    // Holds the key for one check of PlayKey(b), then lets it go and ends the update (a key
    // pressed in an update reads held until that update ends).
    int WhileHeld(int key, int b) {
        harness->Press(key);
        const int held = game->PlayKey(b);
        harness->Release(key);
        input::device->EndUpdate();
        return held;
    }
};

struct KeyCase {
    int button;
    int key;
    bool inICadeMode;  // whether the key still counts while iCade mode is on
};

class PlayKeyTableTest : public ControlsTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(PlayKeyTableTest, KeyCountsPerTable) {
    const KeyCase& c = GetParam();
    EXPECT_EQ(WhileHeld(c.key, c.button), 1) << "iCade off, key " << c.key;
    game->iCade(1);
    EXPECT_EQ(WhileHeld(c.key, c.button), c.inICadeMode ? 1 : 0) << "iCade on, key " << c.key;
    EXPECT_EQ(game->PlayKey(c.button), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, PlayKeyTableTest,
    ::testing::Values(KeyCase{0, 38, true}, KeyCase{0, 'W', false}, KeyCase{0, kJoy + 9, true},
                      KeyCase{3, 37, true}, KeyCase{3, 'A', false}, KeyCase{3, kJoy + 8, true},
                      KeyCase{5, 39, true}, KeyCase{5, 'D', false}, KeyCase{5, kJoy + 10, true},
                      KeyCase{8, 40, true}, KeyCase{8, 'S', false}, KeyCase{8, kJoy + 11, true},
                      KeyCase{10, 'Z', false}, KeyCase{10, 'J', false}, KeyCase{10, 32, true},
                      KeyCase{10, 13, true}, KeyCase{10, kJoy + 0, true}, KeyCase{11, 'X', false},
                      KeyCase{11, 'K', false}, KeyCase{11, 17, true}, KeyCase{11, kJoy + 1, true},
                      KeyCase{12, 'C', false}, KeyCase{12, 'L', false}, KeyCase{12, 16, true},
                      KeyCase{12, kJoy + 2, true}, KeyCase{13, 'V', false}, KeyCase{13, 'I', false},
                      KeyCase{13, kJoy + 3, true}, KeyCase{99, 27, true}, KeyCase{99, 46, true},
                      KeyCase{99, 8, true}, KeyCase{99, kJoy + 7, true}));

TEST_F(ControlsTest, KeysOfOtherButtonsDoNotCount) {
    EXPECT_EQ(WhileHeld('W', 8), 0);
    EXPECT_EQ(WhileHeld(32, 11), 0);
    EXPECT_EQ(WhileHeld('Q', 0), 0);
}

TEST_F(ControlsTest, AxesCountOnlyBeyondFourTenths) {
    harness->SetJoystick({-0.4f, 0.4f});
    harness->Update();
    EXPECT_EQ(game->PlayKey(3), 0);
    EXPECT_EQ(game->PlayKey(8), 0);
    harness->SetJoystick({-0.41f, 0.41f});
    harness->Update();
    EXPECT_EQ(game->PlayKey(3), 1);
    EXPECT_EQ(game->PlayKey(8), 1);
    EXPECT_EQ(game->PlayKey(5), 0);
    EXPECT_EQ(game->PlayKey(0), 0);
    harness->SetJoystick({0.41f, -0.41f});
    harness->Update();
    EXPECT_EQ(game->PlayKey(5), 1);
    EXPECT_EQ(game->PlayKey(0), 1);
    // Axes still count in iCade mode.
    game->iCade(1);
    EXPECT_EQ(game->PlayKey(5), 1);
}

TEST_F(ControlsTest, ButtonFourteenAndUnknownButtonsAreAlwaysUp) {
    game->vbutton[14] = 2;
    game->vbutton[15] = 2;
    EXPECT_EQ(game->PlayKey(14), 0);
    EXPECT_EQ(game->PlayKey(15), 0);
    EXPECT_EQ(game->PlayKey(1), 0);
    EXPECT_EQ(game->PlayKey(-1), 0);
    EXPECT_EQ(game->PlayKey(100), 0);
}

TEST_F(ControlsTest, VirtualButtonsCountForTheirLogicalButton) {
    game->vbutton[10] = 1;
    EXPECT_EQ(game->PlayKey(10), 1);
    game->vbutton[10] = 0;
    game->vbutton[17] = 2;
    EXPECT_EQ(game->PlayKey(99), 1);
    game->vbutton[17] = 0;
    game->vbutton[16] = 1;
    EXPECT_EQ(game->PlayKey(99), 1);
}

TEST_F(ControlsTest, AnUnexpectedICadeStateReadsNothing) {
    iCadeControls = 2;
    harness->Press(38);
    EXPECT_EQ(game->PlayKey(0), 0);
    iCadeControls = 0;
    EXPECT_EQ(game->PlayKey(0), 1);
    harness->Release(38);
}

TEST_F(ControlsTest, ICadeLetterHoldsUntilItsReleaseLetter) {
    game->iCade(1);
    harness->Type('W');
    harness->Update();
    EXPECT_EQ(game->vbutton[0], 2);
    EXPECT_EQ(game->PlayKey(0), 1);
    harness->Update(3);  // nothing typed: still held
    EXPECT_EQ(game->PlayKey(0), 1);
    harness->Type('e');  // lower case releases too
    harness->Update();
    EXPECT_EQ(game->vbutton[0], 0);
    EXPECT_EQ(game->PlayKey(0), 0);
}

TEST_F(ControlsTest, TheWholeICadeTable) {
    game->iCade(1);
    const char* press = "WXADHJKYUIOL";
    const char* release = "EZQCRNPTFMGV";
    const int entries[] = {0, 8, 3, 5, 10, 11, 12, 13, 14, 15, 16, 17};
    for (int i = 0; i < 12; ++i) {
        game->ApplyICadeChar(press[i]);
        EXPECT_EQ(game->vbutton[entries[i]], 2) << press[i];
        game->ApplyICadeChar(release[i] + ('a' - 'A'));
        EXPECT_EQ(game->vbutton[entries[i]], 0) << release[i];
    }
}

TEST_F(ControlsTest, ICadeBackButtonsAndIgnoredCharacters) {
    game->iCade(1);
    harness->TypeText("O1!");
    harness->Type(65536 + 40);  // a cursor key's character is no iCade letter
    harness->Update();
    EXPECT_EQ(game->PlayKey(99), 1);
    int held = 0;
    for (int i = 0; i < 20; ++i) held += game->vbutton[i] != 0;
    EXPECT_EQ(held, 1);
    harness->Type('G');
    harness->TypeText("L");
    harness->Update();
    EXPECT_EQ(game->vbutton[16], 0);
    EXPECT_EQ(game->vbutton[17], 2);
    EXPECT_EQ(game->PlayKey(99), 1);
}

TEST_F(ControlsTest, LettersTypedBeforeICadeModeAreDiscarded) {
    harness->TypeText("WX");
    game->iCade(1);
    EXPECT_EQ(game->iCadeChar, 0);
    harness->Update();
    EXPECT_EQ(game->vbutton[0], 0);
    EXPECT_EQ(game->vbutton[8], 0);
}

TEST_F(ControlsTest, WithoutICadeModeLettersAreNotRead) {
    harness->Type('W');
    harness->Update();
    EXPECT_EQ(game->vbutton[0], 0);
}

TEST_F(ControlsTest, SwitchingICadeOffReleasesEverything) {
    game->iCade(1);
    for (int i = 0; i < 20; ++i) game->vbutton[i] = 2;
    game->iCade(0);
    EXPECT_EQ(iCadeControls, 0);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(game->vbutton[i], 0);
    game->iCade(7);  // any other mode does nothing
    EXPECT_EQ(iCadeControls, 0);
}

TEST_F(ControlsTest, OnScreenPressesLastOneUpdateAndICadeHoldsStay) {
    game->vbutton[3] = 1;
    game->vbutton[5] = 2;
    harness->Update();
    EXPECT_EQ(game->vbutton[3], 0);
    EXPECT_EQ(game->vbutton[5], 2);
}

TEST_F(ControlsTest, ICadeModeZeroesTheTilt) {
    game->tiltX = game->tiltY = game->tiltSmoothX = game->tiltSmoothY = 0.5f;
    game->iCade(1);
    harness->Update();
    EXPECT_EQ(game->tiltX, 0);
    EXPECT_EQ(game->tiltSmoothY, 0);
}

// ---- Screen buttons ----

class ButtonTest : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        game->imageInfo[kButtonsImage * 3] = 64;
        game->imageInfo[kButtonsImage * 3 + 1] = 64;
        game->imageScale = 1;
        game->ResetDraw();
        game->CLS2D();
    }
    void TouchAt(int x, int y) {
        game->touchX[0] = x;
        game->touchY[0] = y;
        game->touchDown[0] = 1;
        game->pointerDown = 1;
    }
};

TEST_F(ButtonTest, TheHitBoxIsStrict) {
    TouchAt(131, 100);
    EXPECT_EQ(game->Button(95, 100, 100, 3), 1);
    EXPECT_EQ(game->buttonHit, 1);
    TouchAt(132, 100);
    EXPECT_EQ(game->Button(95, 100, 100, 3), 0);
    EXPECT_EQ(game->buttonHit, 0);
    TouchAt(68, 131);
    EXPECT_EQ(game->Button(95, 100, 100, 3), 0);
    TouchAt(69, 69);
    EXPECT_EQ(game->Button(95, 100, 100, 3), 1);
    EXPECT_EQ(game->n, 10);
}

TEST_F(ButtonTest, TheButtonIsDrawnWhetherOrNotItIsHit) {
    game->SetSize(2);
    game->Button(95, 100, 100, 3);
    const std::vector<DrawCommand> c = harness->Commands();
    ASSERT_EQ(c.size(), 1u);
    EXPECT_TRUE(c[0].IsImage(95));
    EXPECT_EQ(c[0].frame, 3);
    EXPECT_EQ(c[0].sizeX, 2);
}

TEST_F(ButtonTest, TheBoxFollowsDrawSizeAndImageScale) {
    game->SetSize(2);
    TouchAt(163, 100);
    EXPECT_EQ(game->Button(95, 100, 100, 0), 1);
    // The double-density set draws its 128-pixel frame at half scale: same box.
    game->imageInfo[kButtonsImage * 3] = 128;
    game->imageInfo[kButtonsImage * 3 + 1] = 128;
    game->imageScale = 0.5f;
    EXPECT_EQ(game->Button(95, 100, 100, 0), 1);
    TouchAt(164, 100);
    EXPECT_EQ(game->Button(95, 100, 100, 0), 0);
}

TEST_F(ButtonTest, NothingIsHitWithoutAHeldPointer) {
    TouchAt(100, 100);
    game->pointerDown = 0;
    EXPECT_EQ(game->Button(95, 100, 100, 0), 0);
    EXPECT_EQ(game->Button0(95, 100, 100, 0), 0);
}

TEST_F(ButtonTest, ButtonZeroReadsOnlyTheFirstTouchAndKeepsButtonHit) {
    game->touchX[1] = 100;
    game->touchY[1] = 100;
    game->pointerDown = 1;
    game->buttonHit = 1;
    EXPECT_EQ(game->Button0(95, 100, 100, 0), 0);
    EXPECT_EQ(game->buttonHit, 1);
    EXPECT_EQ(game->Button(95, 100, 100, 0), 1);  // Button sees every touch
    TouchAt(100, 100);
    EXPECT_EQ(game->Button0(95, 100, 100, 0), 1);
    EXPECT_EQ(game->n, 0);
}

TEST_F(ButtonTest, TheMouseHitsAButtonThroughAFullUpdate) {
    harness->MoveMouse(120, 110);
    harness->Press(KeyCode::kMouseLeft);
    harness->Update();
    EXPECT_EQ(game->Button(95, 100, 100, 0), 1);
    harness->Release(KeyCode::kMouseLeft);
    harness->Update();
    EXPECT_EQ(game->Button(95, 100, 100, 0), 0);
}

// ---- On-screen pad ----

class PadTest : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        game->imageInfo[kDpadImage * 3] = 32;
        game->imageInfo[kDpadImage * 3 + 1] = 32;
        game->imageScale = 1;
        game->settings[10] = 100;
        game->settings[11] = 100;
        game->settings[12] = 10;
    }
};

TEST_F(PadTest, SettingsArePulledIntoRange) {
    game->settings[10] = 5;
    game->settings[11] = 1000;
    game->settings[12] = 30;
    game->ClampPadSettings();
    EXPECT_EQ(game->settings[10], 32);
    EXPECT_EQ(game->settings[11], 448);
    EXPECT_EQ(game->settings[12], 25);
    game->settings[10] = 1000;
    game->settings[11] = -4;
    game->settings[12] = 3;
    game->ClampPadSettings();
    EXPECT_EQ(game->settings[10], 608);
    EXPECT_EQ(game->settings[11], 32);
    EXPECT_EQ(game->settings[12], 8);
}

TEST_F(PadTest, ArmsPressTheirVirtualButtonsForOneUpdate) {
    OnScreenControls = 1;
    game->screen = 7;
    // The up arm sits at (100, 380 - 32).
    harness->MoveMouse(100, 348);
    harness->Press(KeyCode::kMouseLeft);
    harness->Update();
    EXPECT_EQ(game->padX, 100);
    EXPECT_EQ(game->padY, 380);
    EXPECT_FLOAT_EQ(game->padScale, 1.0f);
    EXPECT_EQ(game->vbutton[0], 1);
    EXPECT_EQ(game->PlayKey(0), 1);
    EXPECT_EQ(game->vbutton[8], 0);
    harness->Release(KeyCode::kMouseLeft);
    harness->Update();
    EXPECT_EQ(game->vbutton[0], 0);
}

TEST_F(PadTest, ActionButtonsMirrorOnTheRight) {
    OnScreenControls = 1;
    // Action 1 at (640 - 100 + 24, 380 - 24).
    harness->MoveMouse(564, 356);
    harness->Press(KeyCode::kMouseLeft);
    harness->Update();
    EXPECT_EQ(game->vbutton[10], 1);
    EXPECT_EQ(game->vbutton[11], 0);
    harness->Release(KeyCode::kMouseLeft);
}

TEST_F(PadTest, ThePadRunsOnlyPastTheWaitScreenAndOutsideICadeMode) {
    OnScreenControls = 1;
    game->screen = kScreenWaitStart;
    game->settings[12] = 30;
    harness->Update();
    EXPECT_EQ(game->settings[12], 30);
    game->screen = 7;
    game->iCade(1);
    harness->Update();
    EXPECT_EQ(game->settings[12], 30);
    game->iCade(0);
    harness->Update();
    EXPECT_EQ(game->settings[12], 25);
}

TEST_F(PadTest, ArmsAreIgnoredWhilePausedButThePadFollowsTheFinger) {
    OnScreenControls = 1;
    game->paused = 1;
    harness->MoveMouse(100, 380);  // on the pad's centre
    harness->Press(KeyCode::kMouseLeft);
    harness->Update();
    EXPECT_EQ(game->settings[10], 100);
    EXPECT_EQ(game->settings[11], 100);
    harness->MoveMouse(130, 350);
    harness->Update();
    EXPECT_EQ(game->settings[10], 130);
    EXPECT_EQ(game->settings[11], 130);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(game->vbutton[i], 0);
    harness->Release(KeyCode::kMouseLeft);
}

TEST_F(PadTest, TwoFingersSpreadResizeThePad) {
    game->paused = 1;
    game->touchDown[0] = 1;
    game->touchDown[1] = 1;
    game->touchX[0] = 0;
    game->touchX[1] = 160;  // q = 10
    game->MovePad();
    EXPECT_EQ(game->pinchActive, 1);
    EXPECT_EQ(game->settings[12], 10);
    game->touchX[1] = 208;  // q = 13
    game->MovePad();
    EXPECT_EQ(game->settings[12], 13);
    EXPECT_EQ(game->pinchLast, 13);
    game->touchDown[1] = 0;
    game->MovePad();
    EXPECT_EQ(game->pinchActive, 0);
    EXPECT_EQ(game->pinchLast, 0);
}

// ---- Tilt ----

TEST_F(ControlsTest, TiltSmoothsTowardTheReadingAndDrawsItsIndicator) {
    AccelerometerControls = 1;
    game->imageInfo[kIconsImage * 3] = 32;
    game->imageInfo[kIconsImage * 3 + 1] = 32;
    game->tiltZeroX = -0.5f;  // the device reads 0, so the calibrated tilt is 0.5
    game->CLS2D();
    game->TiltInput();
    EXPECT_FLOAT_EQ(game->tiltX, 0.5f);
    EXPECT_FLOAT_EQ(game->tiltSmoothX, 0.125f);
    for (int i = 0; i < 40; ++i) game->TiltInput();
    EXPECT_FLOAT_EQ(game->tiltSmoothX, 0.5f);  // snapped once within 0.005
    const std::vector<DrawCommand> ovals = harness->CommandsOfKind(kOvalKind);
    ASSERT_FALSE(ovals.empty());
    EXPECT_FLOAT_EQ(ovals.back().x, 34);
    EXPECT_FLOAT_EQ(ovals.back().y, jscrh - 24);
}

TEST_F(ControlsTest, TiltCalibrateButtonTakesTheCurrentReadingAsZero) {
    AccelerometerControls = 1;
    game->imageInfo[kIconsImage * 3] = 32;
    game->imageInfo[kIconsImage * 3 + 1] = 32;
    game->tiltZeroX = 0.3f;
    harness->MoveMouse(24, 456);
    harness->Press(KeyCode::kMouseLeft);
    harness->Update();
    EXPECT_EQ(game->tiltZeroX, 0);
    EXPECT_EQ(game->tiltZeroY, 0);
    harness->Release(KeyCode::kMouseLeft);
}

}  // namespace
