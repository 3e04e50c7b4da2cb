// A scaled display ("retina", or a desktop scale of 2): the window is 640 x 480 units but its
// framebuffer has 1280 x 960 pixels. The renderer must draw, clip and read back in pixels, so
// every pixel of the framebuffer is reachable and the picture is sharp.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "graphics/gl_table.h"
#include "graphics/graphics.h"
#include "graphics/renderer.h"
#include "platform/platform.h"
#include "platform/platform_headless.h"
#include "recorder_fixture.h"

namespace {

constexpr int kWindowWidth = 640;
constexpr int kWindowHeight = 480;
constexpr int kPixelWidth = 1280;
constexpr int kPixelHeight = 960;

class FramebufferScaleTest : public ::testing::Test {
protected:
    void SetUp() override {
        rec.EnableSoftwareRaster(kPixelWidth, kPixelHeight);
        EnsureGraphicsGlobals();
        platform.Init();
        platform.OpenWindow(kWindowWidth, kWindowHeight, "Vexmo");
        platform.SetFramebufferScale(2.0);
        SetCurrentPlatform(&platform);
        gfx = gc_new<gxtkGraphics>();
        SetGraphicsDevice(gfx);
    }
    void TearDown() override {
        ::EndRender();
        SetGraphicsDevice(nullptr);
        SetCurrentPlatform(nullptr);
    }
    void Begin() {
        ASSERT_TRUE(gfx->Validate());
        gfx->BeginRender();
        ::BeginRender();
    }

    GlRecorder rec;
    HeadlessPlatform platform;
    gxtkGraphics* gfx = nullptr;
};

TEST_F(FramebufferScaleTest, TheDeviceAndTheViewportAreTheFramebuffersPixels) {
    Begin();
    EXPECT_EQ(DeviceWidth(), kPixelWidth);
    EXPECT_EQ(DeviceHeight(), kPixelHeight);
    EXPECT_EQ(rec.Named("glViewport").at(0).args,
              (std::vector<double>{0, 0, kPixelWidth, kPixelHeight}));
    EXPECT_EQ(rec.Named("glOrtho").at(0).args,
              (std::vector<double>{0, kPixelWidth, kPixelHeight, 0, -1, 1}));
    // The frame's own full-device scissor is "no scissor".
    EXPECT_EQ(rec.Count("glScissor"), 0u);
}

TEST_F(FramebufferScaleTest, TheScissorIsFlippedWithThePixelHeight) {
    Begin();
    rec.Clear();
    gfx->SetScissor(10, 20, 100, 50);
    ASSERT_EQ(rec.Named("glScissor").size(), 1u);
    EXPECT_EQ(rec.Named("glScissor")[0].args,
              (std::vector<double>{10, kPixelHeight - 20 - 50, 100, 50}));
    gfx->SetScissor(0, 0, kPixelWidth, kPixelHeight);
    EXPECT_EQ(rec.Named("glDisable").back().args, (std::vector<double>{GL_SCISSOR_TEST}));
}

TEST_F(FramebufferScaleTest, DrawingAndReadBackReachTheFarCornerOfThePixels) {
    Begin();
    Cls(0, 0, 0);
    SetColor(255, 0, 0);
    DrawRect(kPixelWidth - 4, kPixelHeight - 4, 4, 4);  // beyond the window's 640 x 480 units
    SetColor(0, 0, 255);
    DrawRect(0, 0, 2, 2);
    Array<int> corner(4);
    ReadPixels(corner, kPixelWidth - 2, kPixelHeight - 2, 2, 2);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(static_cast<uint32_t>(corner[i]), 0xFFFF0000u) << i;
    const auto reads = rec.Named("glReadPixels");
    ASSERT_EQ(reads.size(), 1u);
    EXPECT_EQ(reads[0].args[1], 0) << "the bottom rows of the framebuffer are GL row 0";
    Array<int> origin(1);
    ReadPixels(origin, 0, 0, 1, 1);
    EXPECT_EQ(static_cast<uint32_t>(origin[0]), 0xFF0000FFu);
    EXPECT_EQ(rec.Named("glReadPixels").back().args[1], kPixelHeight - 1);
}

TEST_F(FramebufferScaleTest, AFramebufferFollowsAResize) {
    Begin();
    ::EndRender();
    platform.SetWindowSizeNow(800, 600);
    Begin();
    EXPECT_EQ(DeviceWidth(), 1600);
    EXPECT_EQ(DeviceHeight(), 1200);
    EXPECT_EQ(rec.Named("glViewport").back().args, (std::vector<double>{0, 0, 1600, 1200}));
}

}  // namespace
