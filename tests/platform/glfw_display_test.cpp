// The GLFW backend's display calls on a real (virtual) display; fullscreen itself is checked end
// to end under a window manager. Skipped where there is no display at all.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/key_tokens.h"
#include "platform/platform_glfw.h"

namespace {

class GlfwDisplayTest : public ::testing::Test {
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

TEST_F(GlfwDisplayTest, BeforeAWindowExistsNothingHappens) {
    int width = -1;
    int height = -1;
    platform->GetFramebufferSize(&width, &height);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(height, 0);
    EXPECT_FALSE(platform->SetFullscreen(true));
    EXPECT_FALSE(platform->IsFullscreen());
    EXPECT_FALSE(platform->IsKeyDown(KeyToken::kLeftAlt));
    platform->SetWindowIcon({});
}

TEST_F(GlfwDisplayTest, AnX11FramebufferHasTheWindowsSizeAndIconsAreAccepted) {
    ASSERT_TRUE(platform->OpenWindow(320, 240, "Vexmo"));
    int width = 0;
    int height = 0;
    platform->GetFramebufferSize(&width, &height);
    EXPECT_EQ(width, 320);
    EXPECT_EQ(height, 240);
    EXPECT_FALSE(platform->IsFullscreen());
    EXPECT_FALSE(platform->IsKeyDown(KeyToken::kEnter));
    EXPECT_FALSE(platform->IsKeyDown(-5)) << "outside the key range is simply not held";
    IconImage icon;
    icon.width = 16;
    icon.height = 16;
    icon.rgba.assign(16 * 16 * 4, 200);
    IconImage shortOfPixels;
    shortOfPixels.width = 32;
    shortOfPixels.height = 32;
    shortOfPixels.rgba.assign(10, 0);
    platform->SetWindowIcon({icon, shortOfPixels});
    platform->SetWindowIcon({});
    platform->PollEvents();
    EXPECT_TRUE(platform->IsOpen());
    // As in the other GLFW tests: terminating would unload the GL driver with blocks of its own
    // still held, which the leak checker can no longer attribute; the process ends soon anyway.
    platform.release();
}

}  // namespace
