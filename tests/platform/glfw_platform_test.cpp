// The GLFW backend on a real (virtual) display. Skipped where there is no display at all.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "platform/platform_glfw.h"

namespace {

class GlfwPlatformTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display";
        platform = NewGlfwPlatform();
        ASSERT_TRUE(platform->Init());
    }
    void TearDown() override {
        if (platform) platform->Terminate();
    }

    std::unique_ptr<Platform> platform;
};

TEST_F(GlfwPlatformTest, TheClockStartsNearZeroAtInit) {
    const double now = platform->Time();
    EXPECT_GE(now, 0.0);
    EXPECT_LT(now, 5.0);
    EXPECT_GE(platform->Time(), now);  // never runs backwards
}

TEST_F(GlfwPlatformTest, AWindowOpensWithTheRequestedSizeAndState) {
    ASSERT_TRUE(platform->OpenWindow(640, 480, "Vexmo"));
    int width = 0;
    int height = 0;
    platform->GetWindowSize(&width, &height);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 480);
    EXPECT_TRUE(platform->IsOpen());
    EXPECT_FALSE(platform->IsIconified());
    int desktopWidth = 0;
    int desktopHeight = 0;
    platform->GetDesktopSize(&desktopWidth, &desktopHeight);
    EXPECT_GT(desktopWidth, 0);
    EXPECT_GT(desktopHeight, 0);
    platform->SetWindowPos((desktopWidth - 640) / 2, (desktopHeight - 480) / 2);
    platform->PollEvents();
    platform->SwapBuffers();
    EXPECT_TRUE(platform->IsOpen());
    // Terminating would unload the GL driver with blocks of its own still held, which the leak
    // checker can no longer attribute; the process ends soon anyway.
    platform.release();
}

TEST_F(GlfwPlatformTest, SleepWaitsAtLeastTheTimeAsked) {
    const double before = platform->Time();
    platform->Sleep(0.02);
    EXPECT_GE(platform->Time() - before, 0.0195);
    platform->Sleep(-1.0);  // nothing to wait for
}

TEST_F(GlfwPlatformTest, WithoutAJoystickNothingIsRead) {
    float axes[Platform::kMaxJoyAxes] = {};
    unsigned char buttons[Platform::kMaxJoyButtons] = {};
    EXPECT_EQ(platform->GetJoystickAxes(axes, Platform::kMaxJoyAxes), 0);
    EXPECT_EQ(platform->GetJoystickButtons(buttons, Platform::kMaxJoyButtons), 0);
}

TEST_F(GlfwPlatformTest, QueriesBeforeAWindowExistAreHarmless) {
    int width = -1;
    int height = -1;
    platform->GetWindowSize(&width, &height);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(height, 0);
    EXPECT_FALSE(platform->IsOpen());
    double x = -1.0;
    double y = -1.0;
    platform->GetCursorPos(&x, &y);
    EXPECT_EQ(x, 0.0);
    platform->SwapBuffers();
}

}  // namespace
