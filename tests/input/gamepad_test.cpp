// Pads with a standard layout, read through the input device as the framework's joystick: which
// pad button arrives as which joystick button, the sticks and triggers, pads without a mapping,
// and pads plugged in and pulled out between updates.
#include <gtest/gtest.h>

#include <vector>

#include "input/gamepad_mapping.h"
#include "input/input_device.h"
#include "input/key_translation.h"
#include "platform/gamepad_state.h"
#include "platform/platform.h"
#include "platform/platform_headless.h"

namespace {

class GamepadTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetCurrentPlatform(&platform);
        device = gc_new<gxtkInput>();
    }
    void TearDown() override { SetCurrentPlatform(nullptr); }

    // One update as the host runs it: sample, read, clear hits.
    void Sample() {
        device->EndUpdate();
        device->BeginUpdate();
    }
    static GamepadState Holding(std::vector<GamepadState::Button> held) {
        GamepadState pad;
        for (const GamepadState::Button b : held) pad.buttons[b] = Platform::kPress;
        return pad;
    }
    int JoyDown(int b) { return device->KeyDown(KeyCode::kJoyButton0 + b); }
    // The joystick buttons down now, in order.
    std::vector<int> JoyButtonsDown() {
        std::vector<int> down;
        for (int b = 0; b < gxtkInput::kJoyButtons; ++b) {
            if (JoyDown(b)) down.push_back(b);
        }
        return down;
    }

    HeadlessPlatform platform;
    gxtkInput* device = nullptr;
};

TEST_F(GamepadTest, EachPadButtonArrivesAsItsJoystickButton) {
    // Face buttons and shoulders are the game's action buttons 0..5, Start its pause button 7,
    // the D-pad its direction buttons 8 left, 9 up, 10 right, 11 down.
    const struct {
        GamepadState::Button pad;
        int joystick;
    } expected[] = {
        {GamepadState::kA, 0},          {GamepadState::kB, 1},
        {GamepadState::kX, 2},          {GamepadState::kY, 3},
        {GamepadState::kLeftBumper, 4}, {GamepadState::kRightBumper, 5},
        {GamepadState::kBack, 6},       {GamepadState::kStart, 7},
        {GamepadState::kDpadLeft, 8},   {GamepadState::kDpadUp, 9},
        {GamepadState::kDpadRight, 10}, {GamepadState::kDpadDown, 11},
        {GamepadState::kLeftThumb, 12}, {GamepadState::kRightThumb, 13},
    };
    for (const auto& e : expected) {
        platform.SetGamepad(Holding({e.pad}));
        Sample();
        EXPECT_EQ(JoyButtonsDown(), std::vector<int>{e.joystick}) << "pad button " << e.pad;
        EXPECT_EQ(device->KeyHit(KeyCode::kJoyButton0 + e.joystick), 1);
    }
}

TEST_F(GamepadTest, TheGuideButtonIsLeftToTheSystem) {
    platform.SetGamepad(Holding({GamepadState::kGuide}));
    Sample();
    EXPECT_TRUE(JoyButtonsDown().empty());
}

TEST_F(GamepadTest, AHeldButtonHitsOnceAndReleasesWithThePad) {
    platform.SetGamepad(Holding({GamepadState::kA}));
    Sample();
    EXPECT_EQ(device->KeyHit(KeyCode::kJoyButton0), 1);
    Sample();
    EXPECT_EQ(JoyDown(0), 1);
    EXPECT_EQ(device->KeyHit(KeyCode::kJoyButton0), 0);
    platform.SetGamepad(GamepadState{});
    Sample();
    EXPECT_EQ(JoyDown(0), 0);
}

TEST_F(GamepadTest, SticksAndTriggersReadAsTheJoystickAxes) {
    GamepadState pad;
    pad.axes[GamepadState::kLeftX] = -0.75f;
    pad.axes[GamepadState::kLeftY] = -0.5f;  // pushed up
    pad.axes[GamepadState::kRightX] = 0.25f;
    pad.axes[GamepadState::kRightY] = 0.6f;       // pulled down
    pad.axes[GamepadState::kLeftTrigger] = 0.0f;  // half way
    pad.axes[GamepadState::kRightTrigger] = 1.0f;
    platform.SetGamepad(pad);
    Sample();
    EXPECT_FLOAT_EQ(device->JoyX(0), -0.75f);
    EXPECT_FLOAT_EQ(device->JoyY(0), -0.5f) << "up stays negative, as the game's up test wants";
    EXPECT_FLOAT_EQ(device->JoyX(1), 0.25f);
    EXPECT_FLOAT_EQ(device->JoyY(1), 0.6f) << "both sticks read y the same way";
    EXPECT_FLOAT_EQ(device->JoyZ(0), 0.5f);
    EXPECT_FLOAT_EQ(device->JoyZ(1), 1.0f);
}

TEST_F(GamepadTest, APadAtRestReadsZeroEverywhere) {
    platform.SetGamepad(GamepadState{});
    Sample();
    for (int i = 0; i < 2; ++i) {
        EXPECT_FLOAT_EQ(device->JoyX(i), 0.0f);
        EXPECT_FLOAT_EQ(device->JoyY(i), 0.0f);
        EXPECT_FLOAT_EQ(device->JoyZ(i), 0.0f) << "released triggers";
    }
    EXPECT_TRUE(JoyButtonsDown().empty());
}

TEST_F(GamepadTest, TheMappingWinsOverThePadsRawReport) {
    // The raw report of a mapped pad numbers things its own way; only the mapping counts.
    std::vector<unsigned char> raw(16, Platform::kPress);
    platform.SetJoystick({0.9f, 0.9f, 0.9f, 0.9f}, raw);
    platform.SetGamepad(Holding({GamepadState::kB}));
    Sample();
    EXPECT_EQ(JoyButtonsDown(), std::vector<int>{1});
    EXPECT_FLOAT_EQ(device->JoyX(0), 0.0f);
}

TEST_F(GamepadTest, APadWithoutAMappingKeepsItsRawAxesAndButtons) {
    std::vector<unsigned char> raw(17, Platform::kRelease);
    raw[7] = Platform::kPress;
    raw[16] = Platform::kPress;
    platform.SetJoystick({0.1f, 0.2f, 0.3f, 0.4f}, raw);
    Sample();
    EXPECT_EQ(JoyButtonsDown(), (std::vector<int>{7, 16}));
    EXPECT_FLOAT_EQ(device->JoyY(0), 0.2f);
    EXPECT_FLOAT_EQ(device->JoyY(1), -0.3f) << "four raw axes: the third is the right stick's y";
    EXPECT_FLOAT_EQ(device->JoyZ(0), 0.0f);
}

TEST_F(GamepadTest, APadPulledOutMidHoldReleasesEverything) {
    GamepadState pad = Holding(
        {GamepadState::kA, GamepadState::kStart, GamepadState::kDpadUp, GamepadState::kRightThumb});
    pad.axes[GamepadState::kLeftX] = 1.0f;
    pad.axes[GamepadState::kRightTrigger] = 1.0f;
    platform.SetGamepad(pad);
    Sample();
    ASSERT_EQ(JoyButtonsDown(), (std::vector<int>{0, 7, 9, 13}));
    platform.RemoveJoystick();
    Sample();
    EXPECT_TRUE(JoyButtonsDown().empty());
    EXPECT_FLOAT_EQ(device->JoyX(0), 0.0f);
    EXPECT_FLOAT_EQ(device->JoyZ(1), 0.0f);
}

TEST_F(GamepadTest, ButtonsTheMappingHeldAreReleasedWhenOnlyRawReportsRemain) {
    // The pad's mapping goes (another pad takes the slot, or a mapping update drops it) while
    // the right stick is pressed; the raw report has only four buttons.
    platform.SetJoystick({}, std::vector<unsigned char>(4, Platform::kRelease));
    platform.SetGamepad(Holding({GamepadState::kRightThumb}));
    Sample();
    ASSERT_EQ(JoyDown(13), 1);
    platform.ForgetGamepadMapping();
    Sample();
    EXPECT_TRUE(JoyButtonsDown().empty());
}

TEST_F(GamepadTest, APadPluggedInBetweenUpdatesIsReadAtTheNext) {
    Sample();
    EXPECT_TRUE(JoyButtonsDown().empty());
    platform.SetGamepad(Holding({GamepadState::kStart}));
    Sample();
    EXPECT_EQ(JoyButtonsDown(), std::vector<int>{7});
}

TEST(GamepadMapping, FillsEveryAxisAndButtonSlot) {
    float axes[kGamepadJoyAxes];
    unsigned char buttons[kGamepadJoyButtons];
    for (float& a : axes) a = 99.0f;
    for (unsigned char& b : buttons) b = 99;
    GamepadState pad;
    pad.buttons[GamepadState::kY] = 7;  // any non-zero value means held
    MapGamepadToJoystick(pad, axes, buttons);
    for (const float a : axes) EXPECT_EQ(a, 0.0f);
    for (int b = 0; b < kGamepadJoyButtons; ++b) {
        EXPECT_EQ(buttons[b], b == 3 ? Platform::kPress : 0) << "button " << b;
    }
}

}  // namespace
