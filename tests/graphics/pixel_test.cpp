// Real pixels: a GLFW window on the test display, read back through the graphics module. Every
// case runs twice: through the desktop's fixed-function table and through the shader table the
// browser draws with (on the same GL), which must give the very same pixels. Skipped when there
// is no display.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <memory>

#include "graphics/gl_table.h"
#include "graphics/gl_webgl.h"
#include "graphics/graphics.h"
#include "picture_files.h"
#include "platform/platform_glfw.h"
#include "recorder_fixture.h"
#include "scene.h"
#include "shader_table.h"

namespace {

constexpr uint32_t Argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
    return a << 24 | r << 16 | g << 8 | b;
}

class PixelTest : public ::testing::TestWithParam<GlTableKind> {
protected:
    static void SetUpTestSuite() {
        if (!std::getenv("DISPLAY")) return;
        platform_ = NewGlfwPlatform().release();
        windowOpen_ = platform_->Init() && platform_->OpenWindow(640, 480, "Vexmo pixels");
    }

    void SetUp() override {
        if (!windowOpen_) GTEST_SKIP() << "no display to open a window on";
        EnsureGraphicsGlobals();
        SetCurrentPlatform(platform_);
        ASSERT_TRUE(UseGlTable(GetParam()));
        gfx_ = gc_new<gxtkGraphics>();
        ASSERT_TRUE(gfx_->Validate());
        SetGraphicsDevice(gfx_);
        gfx_->BeginRender();
        ::BeginRender();
        Cls(0, 0, 0);
    }

    void TearDown() override {
        if (!windowOpen_) return;
        ::EndRender();
        UseGlTable(GlTableKind::kFixedFunction);
        SetGraphicsDevice(nullptr);
        SetCurrentPlatform(nullptr);
    }

    static uint32_t Pixel(int x, int y) {
        Array<int> px(1);
        ReadPixels(px, x, y, 1, 1);
        return static_cast<uint32_t>(px[0]);
    }

    static Platform* platform_;
    static bool windowOpen_;
    gxtkGraphics* gfx_ = nullptr;
};

Platform* PixelTest::platform_ = nullptr;
bool PixelTest::windowOpen_ = false;

TEST_P(PixelTest, ClearFillsTheFrameOpaque) {
    Cls(255, 51, 0);
    EXPECT_EQ(Pixel(0, 0), Argb(255, 255, 51, 0));
    EXPECT_EQ(Pixel(639, 479), Argb(255, 255, 51, 0));
}

TEST_P(PixelTest, TranslucentRectangleBlendsPremultiplied) {
    Cls(0, 0, 200);
    SetColor(255, 0, 0);
    SetAlpha(0.6f);  // packs as 153: the destination keeps 102/255 = 0.4 of itself
    DrawRect(10, 20, 5, 5);
    EXPECT_EQ(Pixel(10, 20), Argb(255, 153, 0, 80));
    EXPECT_EQ(Pixel(14, 24), Argb(255, 153, 0, 80));
    EXPECT_EQ(Pixel(15, 24), Argb(255, 0, 0, 200));
    EXPECT_EQ(Pixel(14, 25), Argb(255, 0, 0, 200));
    EXPECT_EQ(Pixel(9, 20), Argb(255, 0, 0, 200));
}

TEST_P(PixelTest, AdditiveBlendingAddsAndSaturates) {
    Cls(0, 0, 100);
    SetBlend(1);
    SetColor(50, 60, 70);
    DrawRect(0, 0, 4, 4);
    EXPECT_EQ(Pixel(1, 1), Argb(255, 50, 60, 170));
    SetColor(250, 0, 100);
    DrawRect(0, 0, 2, 2);
    EXPECT_EQ(Pixel(1, 1), Argb(255, 255, 60, 255));
    EXPECT_EQ(Pixel(3, 3), Argb(255, 50, 60, 170));
}

TEST_P(PixelTest, ReadPixelsReturnsTheTopRowFirst) {
    SetColor(0, 255, 0);
    DrawRect(0, 0, 3, 1);
    Array<int> px(3 * 3);
    ReadPixels(px, 0, 0, 3, 3);
    EXPECT_EQ(static_cast<uint32_t>(px[0]), Argb(255, 0, 255, 0));
    EXPECT_EQ(static_cast<uint32_t>(px[2]), Argb(255, 0, 255, 0));
    EXPECT_EQ(static_cast<uint32_t>(px[3]), Argb(255, 0, 0, 0));
    EXPECT_EQ(static_cast<uint32_t>(px[8]), Argb(255, 0, 0, 0));
}

// A 4 x 4 picture whose pixel (x, y) is (60x, 60y, 7, 255).
std::string WriteGradientPng(const std::string& name, int width, int height) {
    std::vector<uint8_t> pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            pixels.insert(pixels.end(),
                          {static_cast<uint8_t>(60 * x), static_cast<uint8_t>(60 * y), 7, 255});
        }
    }
    return WritePng(name, width, height, 4, pixels);
}

TEST_P(PixelTest, ImageWithMiddleHandleLandsCentredOnThePosition) {
    const std::string path = WriteGradientPng("pixel_mid_4x4.png", 4, 4);
    Image* image = LoadImage(String(path.c_str()), 1, Image::MidHandle);
    ASSERT_NE(image, nullptr);
    DrawImage(image, 100, 100, 0);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(Pixel(98 + x, 98 + y), Argb(255, 60 * x, 60 * y, 7)) << x << "," << y;
        }
    }
    EXPECT_EQ(Pixel(97, 98), Argb(255, 0, 0, 0));
    EXPECT_EQ(Pixel(102, 101), Argb(255, 0, 0, 0));
    EXPECT_EQ(Pixel(101, 102), Argb(255, 0, 0, 0));
}

TEST_P(PixelTest, RotatedImageTurnsCounterClockwise) {
    const std::string path = WriteGradientPng("pixel_rot_4x2.png", 4, 2);
    Image* image = LoadImage(String(path.c_str()), 1, 0);
    ASSERT_NE(image, nullptr);
    DrawImage2(image, 200, 200, 90, 1, 1, 0);
    // Texel (u, v) turns a quarter counter-clockwise about the handle at (200, 200): it lands
    // on the pixel (200 + v, 199 - u).
    for (int v = 0; v < 2; ++v) {
        for (int u = 0; u < 4; ++u) {
            EXPECT_EQ(Pixel(200 + v, 199 - u), Argb(255, 60 * u, 60 * v, 7)) << u << "," << v;
        }
    }
    EXPECT_EQ(Pixel(202, 199), Argb(255, 0, 0, 0));
    EXPECT_EQ(Pixel(200, 200), Argb(255, 0, 0, 0));
    EXPECT_EQ(Pixel(200, 195), Argb(255, 0, 0, 0));
}

TEST_P(PixelTest, FramesOfAStripDrawTheirOwnTexels) {
    const std::string path = WriteGradientPng("pixel_strip_4x2.png", 4, 2);
    Image* image = LoadImage(String(path.c_str()), 2, 0);
    ASSERT_NE(image, nullptr);
    DrawImage(image, 10, 10, 1);
    EXPECT_EQ(Pixel(10, 10), Argb(255, 120, 0, 7));
    EXPECT_EQ(Pixel(11, 11), Argb(255, 180, 60, 7));
    EXPECT_EQ(Pixel(12, 10), Argb(255, 0, 0, 0));
}

TEST_P(PixelTest, ScissorClipsDrawing) {
    SetScissor(50, 60, 10, 5);
    SetColor(255, 255, 255);
    DrawRect(0, 0, 640, 480);
    SetScissor(0, 0, 640, 480);
    const uint32_t white = Argb(255, 255, 255, 255);
    const uint32_t black = Argb(255, 0, 0, 0);
    EXPECT_EQ(Pixel(50, 60), white);
    EXPECT_EQ(Pixel(59, 64), white);
    EXPECT_EQ(Pixel(49, 60), black);
    EXPECT_EQ(Pixel(60, 64), black);
    EXPECT_EQ(Pixel(55, 59), black);
    EXPECT_EQ(Pixel(55, 65), black);
    DrawRect(0, 0, 1, 1);  // the test is off again
    EXPECT_EQ(Pixel(0, 0), white);
}

TEST_P(PixelTest, OvalAndPolygonFill) {
    SetColor(0, 0, 255);
    DrawEllipse(300, 300, 20, 10);
    EXPECT_EQ(Pixel(300, 300), Argb(255, 0, 0, 255));
    EXPECT_EQ(Pixel(318, 300), Argb(255, 0, 0, 255));
    EXPECT_EQ(Pixel(300, 312), Argb(255, 0, 0, 0));
    EXPECT_EQ(Pixel(282, 292), Argb(255, 0, 0, 0));  // outside, near the box corner
    Array<float> tri(6);
    const float corners[6] = {400, 400, 420, 400, 400, 420};
    for (int i = 0; i < 6; ++i) tri[i] = corners[i];
    DrawPoly(tri);
    EXPECT_EQ(Pixel(402, 402), Argb(255, 0, 0, 255));
    EXPECT_EQ(Pixel(418, 418), Argb(255, 0, 0, 0));
}

TEST_P(PixelTest, WrittenPixelsArePremultipliedInTheTexture) {
    gxtkSurface* surface = gfx_->CreateSurface(2, 1);
    ASSERT_NE(surface, nullptr);
    Array<int> px(2);
    px[0] = static_cast<int>(Argb(128, 255, 0, 0));
    px[1] = static_cast<int>(Argb(255, 1, 2, 3));
    gfx_->WritePixels2(surface, px, 0, 0, 2, 1, 0, 2);
    Cls(0, 0, 0);
    gfx_->DrawSurface(surface, 5, 5);
    EXPECT_EQ(Pixel(5, 5), Argb(255, 128, 0, 0));
    EXPECT_EQ(Pixel(6, 5), Argb(255, 1, 2, 3));
}

TEST_P(PixelTest, CorruptOrMissingPicturesGiveNull) {
    EXPECT_EQ(LoadImage(T("./graphics_test_files/missing_pixels.png"), 1, 0), nullptr);
    const std::string junk = WriteBytes("pixel_corrupt.png", {0x89, 'P', 'N', 'G', 13, 10, 26});
    EXPECT_EQ(LoadImage(String(junk.c_str()), 1, 0), nullptr);
    DrawRect(0, 0, 1, 1);  // the renderer is unharmed
    EXPECT_EQ(Pixel(0, 0), Argb(255, 255, 255, 255));
}

// The recorder's software frame buffer stands in for the window in headless tests, so it must
// produce the same pixels as the real GL for drawing on whole pixels.
TEST_P(PixelTest, SoftwareFrameBufferMatchesTheRealOne) {
    const std::string picture = WriteScenePng("scene_4x4.png", 4, 4);
    DrawScene(picture);
    Array<int> real(640 * 480);
    ReadPixels(real, 0, 0, 640, 480);
    ::EndRender();

    HeadlessPlatform headless;
    headless.Init();
    headless.OpenWindow(640, 480, "Vexmo");
    SetCurrentPlatform(&headless);
    GlRecorder rec;
    rec.EnableSoftwareRaster(640, 480);
    gxtkGraphics* soft = gc_new<gxtkGraphics>();
    ASSERT_TRUE(soft->Validate());
    SetGraphicsDevice(soft);
    soft->BeginRender();
    ::BeginRender();
    DrawScene(picture);
    Array<int> emulated(640 * 480);
    ReadPixels(emulated, 0, 0, 640, 480);

    int mismatches = 0;
    for (int i = 0; i < 640 * 480 && mismatches < 10; ++i) {
        if (real[i] != emulated[i]) {
            ++mismatches;
            ADD_FAILURE() << "pixel (" << i % 640 << ", " << i / 640 << ") real " << std::hex
                          << static_cast<uint32_t>(real[i]) << " software "
                          << static_cast<uint32_t>(emulated[i]);
        }
    }
    SetCurrentPlatform(platform_);
}

INSTANTIATE_TEST_SUITE_P(Tables, PixelTest,
                         ::testing::Values(GlTableKind::kFixedFunction, GlTableKind::kShader),
                         GlTableKindName);

}  // namespace
