// Drawing read back from the recorder's software frame buffer: the same expectations as on a
// real window, without one.
#include <gtest/gtest.h>

#include <cmath>

#include "graphics/gl_software.h"
#include "picture_files.h"
#include "recorder_fixture.h"

namespace {

constexpr uint32_t Argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
    return a << 24 | r << 16 | g << 8 | b;
}

class SoftwareRasterTest : public RecorderTest {
protected:
    SoftwareRasterTest() { softwareRaster_ = true; }

    static uint32_t Pixel(int x, int y) {
        Array<int> px(1);
        ReadPixels(px, x, y, 1, 1);
        return static_cast<uint32_t>(px[0]);
    }
};

TEST_F(SoftwareRasterTest, ClearRespectsTheScissor) {
    Cls(255, 51, 0);
    EXPECT_EQ(Pixel(0, 0), Argb(255, 255, 51, 0));
    SetScissor(10, 10, 5, 5);
    Cls(0, 0, 0);
    SetScissor(0, 0, 640, 480);
    EXPECT_EQ(Pixel(12, 12), Argb(255, 0, 0, 0));
    EXPECT_EQ(Pixel(9, 12), Argb(255, 255, 51, 0));
}

TEST_F(SoftwareRasterTest, TranslucentQuadBlendsEachPixelOnce) {
    Cls(0, 0, 200);
    SetColor(255, 0, 0);
    SetAlpha(0.6f);
    DrawRect(10, 20, 5, 5);  // square: pixel centres lie on the shared diagonal
    for (int i = 0; i < 5; ++i) EXPECT_EQ(Pixel(10 + i, 20 + i), Argb(255, 153, 0, 80)) << i;
    EXPECT_EQ(Pixel(14, 20), Argb(255, 153, 0, 80));
    EXPECT_EQ(Pixel(15, 24), Argb(255, 0, 0, 200));
    EXPECT_EQ(Pixel(14, 25), Argb(255, 0, 0, 200));
}

TEST_F(SoftwareRasterTest, AdditiveBlendingSaturates) {
    Cls(0, 0, 100);
    SetBlend(1);
    SetColor(250, 60, 200);
    DrawRect(0, 0, 2, 2);
    DrawRect(0, 0, 1, 1);
    EXPECT_EQ(Pixel(0, 0), Argb(255, 255, 120, 255));
    EXPECT_EQ(Pixel(1, 1), Argb(255, 250, 60, 255));
}

TEST_F(SoftwareRasterTest, ImageFramesLandOnTheirPixels) {
    std::vector<uint8_t> texels;
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 4; ++x) {
            texels.insert(texels.end(),
                          {static_cast<uint8_t>(60 * x), static_cast<uint8_t>(60 * y), 7, 255});
        }
    }
    const std::string path = WritePng("soft_strip_4x2.png", 4, 2, 4, texels);
    Image* strip = LoadImage(String(path.c_str()), 2, Image::MidHandle);
    ASSERT_NE(strip, nullptr);
    Cls(0, 0, 0);
    DrawImage(strip, 100, 100, 1);  // 2 x 2 frame, handle (1, 1)
    EXPECT_EQ(Pixel(99, 99), Argb(255, 120, 0, 7));
    EXPECT_EQ(Pixel(100, 100), Argb(255, 180, 60, 7));
    EXPECT_EQ(Pixel(101, 100), Argb(255, 0, 0, 0));

    Image* whole = LoadImage(String(path.c_str()), 1, 0);
    DrawImage2(whole, 200, 200, 90, 1, 1, 0);
    for (int v = 0; v < 2; ++v) {
        for (int u = 0; u < 4; ++u) {
            EXPECT_EQ(Pixel(200 + v, 199 - u), Argb(255, 60 * u, 60 * v, 7)) << u << "," << v;
        }
    }
}

TEST_F(SoftwareRasterTest, OvalFillsItsBox) {
    Cls(0, 0, 0);
    SetColor(0, 0, 255);
    DrawEllipse(300, 300, 20, 10);
    EXPECT_EQ(Pixel(300, 300), Argb(255, 0, 0, 255));
    EXPECT_EQ(Pixel(318, 300), Argb(255, 0, 0, 255));
    EXPECT_EQ(Pixel(300, 312), Argb(255, 0, 0, 0));
    EXPECT_EQ(Pixel(282, 292), Argb(255, 0, 0, 0));
}

TEST_F(SoftwareRasterTest, WrittenPixelsComeBackPremultiplied) {
    gxtkSurface* surface = gfx->CreateSurface(2, 1);
    ASSERT_NE(surface, nullptr);
    Array<int> px(2);
    px[0] = static_cast<int>(Argb(128, 255, 0, 0));
    px[1] = static_cast<int>(Argb(255, 1, 2, 3));
    gfx->WritePixels2(surface, px, 0, 0, 2, 1, 0, 2);
    Cls(0, 0, 0);
    gfx->DrawSurface(surface, 5, 5);
    EXPECT_EQ(Pixel(5, 5), Argb(255, 128, 0, 0));
    EXPECT_EQ(Pixel(6, 5), Argb(255, 1, 2, 3));
}

TEST_F(SoftwareRasterTest, PointsAndLines) {
    Cls(0, 0, 0);
    SetColor(255, 255, 255);
    DrawPoint(3.7f, 4.2f);
    DrawLine(10, 10.5f, 20, 10.5f);
    EXPECT_EQ(Pixel(3, 4), Argb(255, 255, 255, 255));
    EXPECT_EQ(Pixel(10, 10), Argb(255, 255, 255, 255));
    EXPECT_EQ(Pixel(19, 10), Argb(255, 255, 255, 255));
    EXPECT_EQ(Pixel(20, 10), Argb(255, 0, 0, 0));
}

TEST(SoftwareTarget, DegenerateAndHugeTrianglesAreSafe) {
    GlSoftwareTarget target(8, 8);
    target.ClearColor(0, 0, 0, 1);
    target.Clear();
    const uint32_t white = 0xFFFFFFFFu;
    std::vector<GlVertexRecord> v = {{0, 0, 0, 0, white}, {4, 4, 0, 0, white}, {8, 8, 0, 0, white}};
    target.Draw(GL_TRIANGLES, v);  // no area
    EXPECT_EQ(target.PixelAt(4, 4), 0xFF000000u);
    v = {{NAN, 0, 0, 0, white}, {4, 4, 0, 0, white}, {0, 8, 0, 0, white}};
    target.Draw(GL_TRIANGLES, v);
    EXPECT_EQ(target.PixelAt(1, 4), 0xFF000000u);
    // Too large to have a finite area: dropped, not looped over.
    v = {{-1e30f, -1e30f, 0, 0, white}, {1e30f, -1e30f, 0, 0, white}, {0, 1e30f, 0, 0, white}};
    target.Draw(GL_TRIANGLES, v);
    v = {{-1e6f, -1e6f, 0, 0, white}, {1e6f, -1e6f, 0, 0, white}, {0, 1e6f, 0, 0, white}};
    target.Draw(GL_TRIANGLES, v);
    EXPECT_EQ(target.PixelAt(4, 4), white);
    EXPECT_EQ(target.PixelAt(-1, 0), 0u);
}

}  // namespace
