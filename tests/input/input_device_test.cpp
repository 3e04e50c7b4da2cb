#include "input/input_device.h"

#include <gtest/gtest.h>

#include "input/input.h"
#include "input/key_translation.h"
#include "platform/platform.h"
#include "platform/platform_headless.h"

namespace {

class InputDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetCurrentPlatform(&platform);
        device = gc_new<gxtkInput>();
    }
    void TearDown() override { SetCurrentPlatform(nullptr); }

    HeadlessPlatform platform;
    gxtkInput* device = nullptr;
};

TEST_F(InputDeviceTest, AHeldKeyHitsOnceAndStaysDown) {
    device->OnKeyDown('A');
    EXPECT_EQ(device->KeyDown('A'), 1);
    EXPECT_EQ(device->KeyHit('A'), 1);
    device->EndUpdate();
    EXPECT_EQ(device->KeyDown('A'), 1);
    EXPECT_EQ(device->KeyHit('A'), 0);
    device->EndUpdate();
    EXPECT_EQ(device->KeyDown('A'), 1);
}

TEST_F(InputDeviceTest, RepeatedPressesOfAHeldKeyDoNotCountAgain) {
    device->OnKeyDown(KeyCode::kSpace);
    device->OnKeyDown(KeyCode::kSpace);
    device->OnKeyDown(KeyCode::kSpace);
    EXPECT_EQ(device->KeyHit(KeyCode::kSpace), 1);
}

// A tap or click shorter than one update must not be lost: the update after it sees it held.
TEST_F(InputDeviceTest, APressAndReleaseBetweenUpdatesReadsHeldForOneUpdate) {
    device->OnKeyDown('Z');
    device->OnKeyUp('Z');
    device->OnKeyDown('Z');
    device->OnKeyUp('Z');
    EXPECT_EQ(device->KeyDown('Z'), 1);
    EXPECT_EQ(device->KeyHit('Z'), 2);
    device->EndUpdate();
    EXPECT_EQ(device->KeyDown('Z'), 0);
    EXPECT_EQ(device->KeyHit('Z'), 0);
    device->OnKeyDown(KeyCode::kMouseLeft);
    device->OnKeyUp(KeyCode::kMouseLeft);
    EXPECT_EQ(device->KeyDown(KeyCode::kTouch0), 1);
    device->EndUpdate();
    EXPECT_EQ(device->KeyDown(KeyCode::kTouch0), 0);
}

TEST_F(InputDeviceTest, HitCountSaturatesInsteadOfSettingTheDownBit) {
    for (int i = 0; i < 300; ++i) {
        device->OnKeyDown('Q');
        device->OnKeyUp('Q');
    }
    EXPECT_EQ(device->KeyHit('Q'), 255);
    device->EndUpdate();
    EXPECT_EQ(device->KeyDown('Q'), 0);
}

TEST_F(InputDeviceTest, EitherShiftKeyHoldsShift) {
    device->OnKeyDown(KeyCode::kLeftShift);
    EXPECT_EQ(device->KeyDown(KeyCode::kShift), 1);
    EXPECT_EQ(device->KeyHit(KeyCode::kShift), 1);

    device->OnKeyDown(KeyCode::kRightShift);
    EXPECT_EQ(device->KeyDown(KeyCode::kShift), 1);
    EXPECT_EQ(device->KeyHit(KeyCode::kShift), 1);

    device->OnKeyUp(KeyCode::kLeftShift);
    EXPECT_EQ(device->KeyDown(KeyCode::kShift), 1);
    device->OnKeyUp(KeyCode::kRightShift);
    EXPECT_EQ(device->KeyHit(KeyCode::kShift), 1);  // the count lasts until the update ends
    device->EndUpdate();
    EXPECT_EQ(device->KeyDown(KeyCode::kShift), 0);
}

TEST_F(InputDeviceTest, EitherControlKeyHoldsControl) {
    device->OnKeyDown(KeyCode::kRightControl);
    EXPECT_EQ(device->KeyDown(KeyCode::kControl), 1);
    device->OnKeyDown(KeyCode::kLeftControl);
    device->OnKeyUp(KeyCode::kRightControl);
    EXPECT_EQ(device->KeyDown(KeyCode::kControl), 1);
    device->OnKeyUp(KeyCode::kLeftControl);
    device->EndUpdate();
    EXPECT_EQ(device->KeyDown(KeyCode::kControl), 0);
    EXPECT_EQ(device->KeyDown(KeyCode::kShift), 0);
}

TEST_F(InputDeviceTest, KeysOutsideTheTableReadZeroAndAreIgnored) {
    device->OnKeyDown(0);
    device->OnKeyDown(512);
    device->OnKeyDown(-5);
    device->OnKeyUp(100000);
    EXPECT_EQ(device->KeyDown(0), 0);
    EXPECT_EQ(device->KeyDown(512), 0);
    EXPECT_EQ(device->KeyHit(-1), 0);
    EXPECT_EQ(device->KeyDown(511), 0);
    device->OnKeyDown(511);
    EXPECT_EQ(device->KeyDown(511), 1);
}

TEST_F(InputDeviceTest, TouchZeroIsTheLeftMouseButton) {
    device->OnKeyDown(KeyCode::kMouseLeft);
    EXPECT_EQ(device->KeyDown(KeyCode::kTouch0), 1);
    EXPECT_EQ(device->KeyHit(KeyCode::kTouch0), 1);
    EXPECT_EQ(device->KeyDown(KeyCode::kTouch0 + 1), 0);
    device->OnKeyUp(KeyCode::kMouseLeft);
    device->EndUpdate();
    EXPECT_EQ(device->KeyDown(KeyCode::kTouch0), 0);
}

// Fingers beyond the first hold their own touch keys at their own places; slots no finger has
// been to read the mouse.
TEST_F(InputDeviceTest, FurtherFingersHoldTheirOwnKeysAtTheirOwnPlaces) {
    platform.SetCursorNow(20, 40);
    device->OnTouch(2, Platform::kPress, 100, 50);
    device->BeginUpdate();
    EXPECT_EQ(device->KeyDown(KeyCode::kTouch0 + 2), 1);
    EXPECT_EQ(device->KeyHit(KeyCode::kTouch0 + 2), 1);
    EXPECT_EQ(device->KeyDown(KeyCode::kTouch0 + 1), 0);
    EXPECT_FLOAT_EQ(device->TouchX(2), 100.0f);
    EXPECT_FLOAT_EQ(device->TouchY(2), 50.0f);
    EXPECT_FLOAT_EQ(device->TouchX(1), 20.0f);  // never touched: the mouse
    EXPECT_FLOAT_EQ(device->TouchY(0), 40.0f);  // slot 0 is the pointer
    device->EndUpdate();
    device->OnTouch(2, Platform::kRepeat, 120, 60);
    device->OnTouch(2, Platform::kRelease, 130, 70);
    device->OnTouch(2, Platform::kPress, 1e9f, 5);  // no place: the last one stays
    device->BeginUpdate();
    EXPECT_EQ(device->KeyHit(KeyCode::kTouch0 + 2), 1);
    EXPECT_FLOAT_EQ(device->TouchX(2), 130.0f);
    device->OnTouch(2, Platform::kRelease, 130, 70);
    device->EndUpdate();
    EXPECT_EQ(device->KeyDown(KeyCode::kTouch0 + 2), 0);
    device->OnTouch(10, Platform::kPress, 1, 1);
    device->OnTouch(-1, Platform::kPress, 1, 1);
    EXPECT_EQ(device->KeyDown(KeyCode::kTouch0 + 10), 0);
}

TEST_F(InputDeviceTest, FortyCharactersQueueTheFirstThirtyTwo) {
    for (int i = 0; i < 40; ++i) device->PutChar('a' + i);
    for (int i = 0; i < 32; ++i) EXPECT_EQ(device->GetChar(), 'a' + i) << i;
    EXPECT_EQ(device->GetChar(), 0);
    EXPECT_EQ(device->GetChar(), 0);
    device->EndUpdate();
    device->PutChar('x');
    EXPECT_EQ(device->GetChar(), 'x');
}

TEST_F(InputDeviceTest, BeginUpdateSamplesTheMouse) {
    platform.SetCursorNow(123.75, -4.5);
    device->BeginUpdate();
    EXPECT_FLOAT_EQ(device->MouseX(), 123.75f);
    EXPECT_FLOAT_EQ(device->MouseY(), -4.5f);
    EXPECT_FLOAT_EQ(device->TouchX(5), 123.75f);
    EXPECT_FLOAT_EQ(device->TouchY(9), -4.5f);
}

TEST_F(InputDeviceTest, SixAxesAreReadAsTheyAre) {
    platform.SetJoystick({0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f}, {});
    device->BeginUpdate();
    EXPECT_FLOAT_EQ(device->JoyX(0), 0.1f);
    EXPECT_FLOAT_EQ(device->JoyY(0), 0.2f);
    EXPECT_FLOAT_EQ(device->JoyZ(0), 0.3f);
    EXPECT_FLOAT_EQ(device->JoyX(1), 0.4f);
    EXPECT_FLOAT_EQ(device->JoyY(1), -0.5f);  // the right stick's y reads upside down
    EXPECT_FLOAT_EQ(device->JoyZ(1), 0.6f);
    EXPECT_FLOAT_EQ(device->JoyX(2), 0.0f);
    EXPECT_FLOAT_EQ(device->JoyY(-1), 0.0f);
}

TEST_F(InputDeviceTest, FourAxesPutTheThirdOnTheRightStickY) {
    platform.SetJoystick({0.1f, 0.2f, 0.3f, 0.4f}, {});
    device->BeginUpdate();
    EXPECT_FLOAT_EQ(device->JoyY(1), -0.3f);
    EXPECT_FLOAT_EQ(device->JoyZ(0), 0.0f);
    EXPECT_FLOAT_EQ(device->JoyX(1), 0.4f);
}

TEST_F(InputDeviceTest, FiveAxesSwapTheRightStick) {
    platform.SetJoystick({0.1f, 0.2f, 0.3f, 0.4f, 0.5f}, {});
    device->BeginUpdate();
    EXPECT_FLOAT_EQ(device->JoyX(1), 0.5f);
    EXPECT_FLOAT_EQ(device->JoyY(1), -0.4f);
    EXPECT_FLOAT_EQ(device->JoyZ(0), 0.3f);
}

TEST_F(InputDeviceTest, AxesFromAnEarlierUpdateAreClearedWhenTheStickGoes) {
    platform.SetJoystick({0.9f, 0.9f}, {});
    device->BeginUpdate();
    platform.RemoveJoystick();
    device->BeginUpdate();
    EXPECT_FLOAT_EQ(device->JoyX(0), 0.0f);
    EXPECT_FLOAT_EQ(device->JoyY(0), 0.0f);
}

TEST_F(InputDeviceTest, AButtonHeldAsThePadGoesIsReleased) {
    std::vector<unsigned char> buttons(12, Platform::kRelease);
    buttons[2] = Platform::kPress;
    platform.SetJoystick({}, buttons);
    device->BeginUpdate();
    ASSERT_EQ(device->KeyDown(KeyCode::kJoyButton0 + 2), 1);
    device->EndUpdate();
    platform.RemoveJoystick();
    device->BeginUpdate();
    EXPECT_EQ(device->KeyDown(KeyCode::kJoyButton0 + 2), 0);
}

TEST_F(InputDeviceTest, JoystickButtonsAreKeysFrom256) {
    std::vector<unsigned char> buttons(40, Platform::kRelease);
    buttons[0] = Platform::kPress;
    buttons[31] = Platform::kPress;
    buttons[35] = Platform::kPress;  // past the 32 the device reads
    platform.SetJoystick({}, buttons);
    device->BeginUpdate();
    EXPECT_EQ(device->KeyDown(256), 1);
    EXPECT_EQ(device->KeyHit(256), 1);
    EXPECT_EQ(device->KeyDown(287), 1);
    EXPECT_EQ(device->KeyDown(291), 0);

    device->EndUpdate();
    device->BeginUpdate();  // still held: no new hit
    EXPECT_EQ(device->KeyHit(256), 0);
    buttons[0] = Platform::kRelease;
    platform.SetJoystick({}, buttons);
    device->BeginUpdate();
    EXPECT_EQ(device->KeyDown(256), 0);
}

TEST_F(InputDeviceTest, AccelerometerAndKeyboardSwitchAreInert) {
    EXPECT_EQ(device->AccelX(), 0.0f);
    EXPECT_EQ(device->AccelY(), 0.0f);
    EXPECT_EQ(device->AccelZ(), 0.0f);
    EXPECT_EQ(device->SetKeyboardEnabled(0), 0);
}

class InputModuleTest : public InputDeviceTest {
protected:
    void SetUp() override {
        InputDeviceTest::SetUp();
        SetInputDevice(device);
    }
    void TearDown() override {
        SetInputDevice(nullptr);
        InputDeviceTest::TearDown();
    }
};

TEST_F(InputModuleTest, MouseAndTouchFollowTheDevice) {
    device->OnKeyDown(KeyCode::kMouseRight);
    EXPECT_EQ(MouseDown(1), 1);
    EXPECT_EQ(MouseHit(1), 1);
    EXPECT_EQ(MouseDown(0), 0);
    device->OnKeyDown(KeyCode::kMouseLeft);
    EXPECT_EQ(TouchDown(0), 1);
    EXPECT_EQ(TouchDown(1), 0);
    platform.SetCursorNow(10, 20);
    device->BeginUpdate();
    EXPECT_FLOAT_EQ(TouchX(5), MouseX());
    EXPECT_FLOAT_EQ(TouchY(3), MouseY());
}

TEST_F(InputModuleTest, OnlyTheFirstJoystickUnitReads) {
    platform.SetJoystick({0.5f, 0.25f}, {Platform::kPress});
    device->BeginUpdate();
    EXPECT_FLOAT_EQ(JoyX(0, 0), 0.5f);
    EXPECT_FLOAT_EQ(JoyY(0, 0), 0.25f);
    EXPECT_FLOAT_EQ(JoyX(0, 1), 0.0f);
    EXPECT_FLOAT_EQ(JoyY(0, 1), 0.0f);
    EXPECT_EQ(JoyDown(0, 0), 1);
    EXPECT_EQ(JoyDown(1, 0), 0);
}

TEST(InputModuleWithoutDevice, EverythingReadsZero) {
    SetInputDevice(nullptr);
    EXPECT_EQ(KeyDown('A'), 0);
    EXPECT_EQ(KeyHit('A'), 0);
    EXPECT_EQ(GetChar(), 0);
    EXPECT_EQ(MouseX(), 0.0f);
    EXPECT_EQ(JoyX(), 0.0f);
    EXPECT_EQ(TouchDown(), 0);
}

}  // namespace
