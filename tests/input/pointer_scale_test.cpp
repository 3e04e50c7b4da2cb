// The pointer on a scaled display: the window system reports the cursor in window units, the
// game draws in framebuffer pixels, so the input device hands out the cursor in pixels.
#include <gtest/gtest.h>

#include "input/input_device.h"
#include "platform/platform.h"
#include "platform/platform_headless.h"

namespace {

class PointerScaleTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetCurrentPlatform(&platform);
        platform.Init();
        platform.OpenWindow(640, 480, "Vexmo");
        device = gc_new<gxtkInput>();
    }
    void TearDown() override { SetCurrentPlatform(nullptr); }

    HeadlessPlatform platform;
    gxtkInput* device = nullptr;
};

TEST_F(PointerScaleTest, AtScaleOneTheCursorIsUnchanged) {
    platform.SetCursorNow(123.5, 77.25);
    device->BeginUpdate();
    EXPECT_FLOAT_EQ(device->MouseX(), 123.5f);
    EXPECT_FLOAT_EQ(device->MouseY(), 77.25f);
}

TEST_F(PointerScaleTest, OnATwiceDenseDisplayTheCursorIsInPixels) {
    platform.SetFramebufferScale(2.0);
    platform.SetCursorNow(320, 240);  // the window's centre
    device->BeginUpdate();
    EXPECT_FLOAT_EQ(device->MouseX(), 640.0f);
    EXPECT_FLOAT_EQ(device->MouseY(), 480.0f);
    EXPECT_FLOAT_EQ(device->TouchX(0), 640.0f);
    device->OnTouch(1, Platform::kPress, 100, 50.5);  // fingers come in window units too
    EXPECT_FLOAT_EQ(device->TouchX(1), 200.0f);
    EXPECT_FLOAT_EQ(device->TouchY(1), 101.0f);
    platform.SetCursorNow(639.5, 0.25);
    device->BeginUpdate();
    EXPECT_FLOAT_EQ(device->MouseX(), 1279.0f);
    EXPECT_FLOAT_EQ(device->MouseY(), 0.5f);
}

TEST_F(PointerScaleTest, AFractionalScaleAndACursorOutsideTheWindow) {
    platform.SetFramebufferScale(1.5);  // 960 x 720 pixels
    platform.SetCursorNow(-10, 500);
    device->BeginUpdate();
    EXPECT_FLOAT_EQ(device->MouseX(), -15.0f);
    EXPECT_FLOAT_EQ(device->MouseY(), 750.0f);
}

TEST_F(PointerScaleTest, AWindowWithNoAreaLeavesTheCursorAsReported) {
    platform.SetFramebufferScale(2.0);
    platform.SetWindowSizeNow(0, 0);  // minimised
    platform.SetCursorNow(40, 30);
    device->BeginUpdate();
    EXPECT_FLOAT_EQ(device->MouseX(), 40.0f);
    EXPECT_FLOAT_EQ(device->MouseY(), 30.0f);
}

}  // namespace
