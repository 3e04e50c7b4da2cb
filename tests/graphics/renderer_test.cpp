#include "graphics/renderer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "graphics/surface.h"
#include "recorder_fixture.h"

namespace {

Array<float> Floats(std::initializer_list<float> values) {
    Array<float> a(static_cast<int>(values.size()));
    int i = 0;
    for (float v : values) a[i++] = v;
    return a;
}

TEST(RendererConstruction, QuadIndicesShareTheDiagonal) {
    gxtkGraphics* gfx = gc_new<gxtkGraphics>();
    EXPECT_EQ(gfx->Mode(), 1);
    EXPECT_EQ(gfx->Width(), 0);
    EXPECT_EQ(gfx->Height(), 0);
    EXPECT_EQ(gfx->primCount, 0);
    for (int q : {0, 1, 100, 255}) {
        const uint16_t* idx = gfx->quadIndices + q * 6;
        EXPECT_EQ(idx[0], 4 * q);
        EXPECT_EQ(idx[1], 4 * q + 1);
        EXPECT_EQ(idx[2], 4 * q + 2);
        EXPECT_EQ(idx[3], 4 * q);
        EXPECT_EQ(idx[4], 4 * q + 2);
        EXPECT_EQ(idx[5], 4 * q + 3);
    }
    EXPECT_EQ(sizeof(gfx->vertices), 20480u);
}

TEST(RendererValidate, ZeroSizedWindowIsNotValid) {
    HeadlessPlatform platform;
    platform.Init();
    platform.OpenWindow(0, 300, "Vexmo");
    SetCurrentPlatform(&platform);
    gxtkGraphics* gfx = gc_new<gxtkGraphics>();
    EXPECT_FALSE(gfx->Validate());
    platform.SetWindowSizeNow(320, 200);
    EXPECT_TRUE(gfx->Validate());
    EXPECT_EQ(gfx->width, 320);
    EXPECT_EQ(gfx->height, 200);
    SetCurrentPlatform(nullptr);
}

TEST(RendererFrame, BeginRenderSetsUpProjectionArraysAndBlending) {
    GlRecorder rec;
    HeadlessPlatform platform;
    platform.Init();
    platform.OpenWindow(300, 200, "Vexmo");
    SetCurrentPlatform(&platform);
    gxtkGraphics* gfx = gc_new<gxtkGraphics>();
    ASSERT_TRUE(gfx->Validate());
    gfx->BeginRender();
    const std::vector<std::string> expected = {"glViewport",
                                               "glMatrixMode",
                                               "glLoadIdentity",
                                               "glOrtho",
                                               "glMatrixMode",
                                               "glLoadIdentity",
                                               "glEnableClientState",
                                               "glEnableClientState",
                                               "glEnableClientState",
                                               "glVertexPointer",
                                               "glTexCoordPointer",
                                               "glColorPointer",
                                               "glEnable",
                                               "glBlendFunc",
                                               "glDisable"};
    EXPECT_EQ(rec.Names(), expected);
    EXPECT_EQ(rec.Named("glViewport")[0].args, (std::vector<double>{0, 0, 300, 200}));
    EXPECT_EQ(rec.Named("glOrtho")[0].args, (std::vector<double>{0, 300, 200, 0, -1, 1}));
    for (const char* name : {"glVertexPointer", "glTexCoordPointer", "glColorPointer"}) {
        EXPECT_EQ(rec.Named(name)[0].args[2], 20) << name;
    }
    EXPECT_EQ(rec.vertexPointer, reinterpret_cast<const uint8_t*>(gfx->vertices));
    EXPECT_EQ(rec.texCoordPointer, rec.vertexPointer + 8);
    EXPECT_EQ(rec.colorPointer, rec.vertexPointer + 16);
    EXPECT_EQ(rec.Named("glBlendFunc")[0].args,
              (std::vector<double>{GL_ONE, GL_ONE_MINUS_SRC_ALPHA}));

    gfx->mode = 0;
    rec.Clear();
    gfx->BeginRender();
    EXPECT_TRUE(rec.calls.empty());
    SetCurrentPlatform(nullptr);
}

TEST_F(RecorderTest, EndRenderFlushesThenSwaps) {
    gfx->DrawRect(0, 0, 1, 1);
    gfx->EndRender();
    EXPECT_EQ(rec.DrawCalls().size(), 1u);
    EXPECT_EQ(platform_.SwapCount(), 1);
    gfx->EndRender();
    EXPECT_EQ(rec.DrawCalls().size(), 1u);
    EXPECT_EQ(platform_.SwapCount(), 2);
}

TEST_F(RecorderTest, FullBatchOfRectanglesSplitsAt256) {
    for (int i = 0; i < 257; ++i) gfx->DrawRect(i, 0, 1, 1);
    const auto draws = Draws();
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0].name, "glDrawElements");
    EXPECT_EQ(draws[0].args, (std::vector<double>{GL_TRIANGLES, 1536, GL_UNSIGNED_SHORT}));
    EXPECT_EQ(draws[1].args, (std::vector<double>{GL_TRIANGLES, 6, GL_UNSIGNED_SHORT}));
    // The last rectangle starts the second batch at the front of the buffer.
    EXPECT_EQ(draws[1].vertices.size(), 4u);
    EXPECT_EQ(draws[1].vertices[0].x, 256.0f);
}

TEST_F(RecorderTest, FullBatchOfLinesSplitsAt512) {
    for (int i = 0; i < 513; ++i) gfx->DrawLine(0, 0, i, 1);
    const auto draws = Draws();
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0].args, (std::vector<double>{GL_LINES, 0, 1024}));
    EXPECT_EQ(draws[1].args, (std::vector<double>{GL_LINES, 0, 2}));
}

TEST_F(RecorderTest, FullBatchOfPointsSplitsAt1024) {
    for (int i = 0; i < 1025; ++i) gfx->DrawPoint(i, 0);
    const auto draws = Draws();
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0].args, (std::vector<double>{GL_POINTS, 0, 1024}));
    EXPECT_EQ(draws[1].args, (std::vector<double>{GL_POINTS, 0, 1}));
    EXPECT_EQ(draws[1].vertices[0].x, 1024.0f);
}

TEST_F(RecorderTest, ChangeOfKindFlushes) {
    gfx->DrawPoint(1, 1);
    gfx->DrawLine(0, 0, 1, 1);
    gfx->DrawRect(0, 0, 1, 1);
    const auto draws = Draws();
    ASSERT_EQ(draws.size(), 3u);
    EXPECT_EQ(draws[0].args[0], GL_POINTS);
    EXPECT_EQ(draws[1].args[0], GL_LINES);
    EXPECT_EQ(draws[2].args[0], GL_TRIANGLES);
}

TEST_F(RecorderTest, RectangleThenTexturedQuadFlushesAndBindsTexture) {
    gxtkSurface* s = MakeSurface(gfx, 16, 16);
    rec.Clear();
    gfx->DrawRect(0, 0, 4, 4);
    gfx->DrawSurface(s, 10, 10);
    gfx->Flush();
    const std::vector<std::string> expected = {"glDrawElements", "glEnable", "glBindTexture",
                                               "glDrawElements", "glDisable"};
    EXPECT_EQ(rec.Names(), expected);
    EXPECT_EQ(rec.Named("glBindTexture")[0].args[1], s->texture);
    EXPECT_EQ(rec.Named("glEnable")[0].args[0], GL_TEXTURE_2D);
}

TEST_F(RecorderTest, TwoSurfacesNeverShareADrawCall) {
    gxtkSurface* a = MakeSurface(gfx, 16, 16);
    gxtkSurface* b = MakeSurface(gfx, 16, 16);
    rec.Clear();
    gfx->DrawSurface(a, 0, 0);
    gfx->DrawSurface(b, 0, 0);
    gfx->DrawSurface(a, 0, 0);
    EXPECT_EQ(Draws().size(), 3u);
    const auto binds = rec.Named("glBindTexture");
    ASSERT_EQ(binds.size(), 3u);
    EXPECT_EQ(binds[0].args[1], a->texture);
    EXPECT_EQ(binds[1].args[1], b->texture);
    EXPECT_EQ(binds[2].args[1], a->texture);
}

TEST_F(RecorderTest, ColourAndMatrixChangesNeverFlush) {
    gxtkSurface* s = MakeSurface(gfx, 16, 16);
    rec.Clear();
    gfx->SetColor(255, 0, 0);
    gfx->SetAlpha(1);
    gfx->DrawSurface(s, 0, 0);
    gfx->SetColor(0, 255, 0);
    gfx->SetAlpha(0.5f);
    gfx->SetMatrix(2, 0, 0, 2, 5, 5);
    gfx->DrawSurface(s, 0, 0);
    EXPECT_TRUE(rec.calls.empty());
    const auto draws = Draws();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].args[1], 12);
    ASSERT_EQ(draws[0].vertices.size(), 8u);
    EXPECT_EQ(draws[0].vertices[0].color, Rgba(255, 0, 0, 255));
    EXPECT_EQ(draws[0].vertices[4].color, Rgba(0, 127, 0, 127));
    EXPECT_EQ(draws[0].vertices[4].x, 5.0f);
    EXPECT_EQ(draws[0].vertices[6].x, 37.0f);
    EXPECT_EQ(draws[0].vertices[6].y, 37.0f);
}

TEST_F(RecorderTest, ClsDiscardsPendingPrimitives) {
    gfx->DrawRect(0, 0, 10, 10);
    gfx->DrawRect(0, 0, 10, 10);
    gfx->Cls(255, 51, 0);
    EXPECT_EQ(gfx->primCount, 0);
    gfx->EndRender();
    EXPECT_TRUE(rec.DrawCalls().empty());
    const auto clear = rec.Named("glClearColor");
    ASSERT_EQ(clear.size(), 1u);
    EXPECT_FLOAT_EQ(clear[0].args[0], 1.0f);
    EXPECT_FLOAT_EQ(clear[0].args[1], 0.2f);
    EXPECT_FLOAT_EQ(clear[0].args[2], 0.0f);
    EXPECT_FLOAT_EQ(clear[0].args[3], 1.0f);
    EXPECT_EQ(rec.Named("glClear")[0].args[0], GL_COLOR_BUFFER_BIT);
}

TEST_F(RecorderTest, ScissorIsFlippedAndFullScreenDisablesIt) {
    gfx->DrawRect(0, 0, 1, 1);
    gfx->SetScissor(10, 20, 100, 50);
    std::vector<std::string> expected = {"glDrawElements", "glEnable", "glScissor"};
    EXPECT_EQ(rec.Names(), expected);
    EXPECT_EQ(rec.calls[1].args[0], GL_SCISSOR_TEST);
    EXPECT_EQ(rec.calls[2].args, (std::vector<double>{10, 480 - 20 - 50, 100, 50}));

    rec.Clear();
    gfx->SetScissor(0, 0, kWidth, kHeight);
    expected = {"glDisable"};
    EXPECT_EQ(rec.Names(), expected);
    EXPECT_EQ(rec.calls[0].args[0], GL_SCISSOR_TEST);

    rec.Clear();
    gfx->SetScissor(0, 0, kWidth, kHeight - 1);
    EXPECT_EQ(rec.Count("glEnable"), 1u);
    EXPECT_EQ(rec.Named("glScissor")[0].args[1], 1);
}

TEST_F(RecorderTest, BlendModesAndTheirFlush) {
    gfx->DrawRect(0, 0, 1, 1);
    gfx->SetBlend(1);
    ASSERT_EQ(rec.calls.size(), 2u);
    EXPECT_EQ(rec.calls[0].name, "glDrawElements");
    EXPECT_EQ(rec.calls[1].args, (std::vector<double>{GL_ONE, GL_ONE}));
    rec.Clear();
    gfx->SetBlend(2);
    gfx->SetBlend(0);
    const auto blends = rec.Named("glBlendFunc");
    ASSERT_EQ(blends.size(), 2u);
    for (const GlCall& c : blends) {
        EXPECT_EQ(c.args, (std::vector<double>{GL_ONE, GL_ONE_MINUS_SRC_ALPHA}));
    }
    EXPECT_TRUE(rec.DrawCalls().empty());
}

TEST_F(RecorderTest, ColourIsPremultipliedAndTruncated) {
    gfx->SetColor(255, 128, 0);
    gfx->SetAlpha(0.5f);
    EXPECT_EQ(gfx->color, Rgba(127, 64, 0, 127));
    gfx->SetAlpha(1);
    EXPECT_EQ(gfx->color, Rgba(255, 128, 0, 255));
    gfx->SetColor(10.9f, 20.5f, 254.99f);
    EXPECT_EQ(gfx->color, Rgba(10, 20, 254, 255));
    // Out of range never wraps into another byte.
    gfx->SetColor(300, -5, 0);
    gfx->SetAlpha(2);
    EXPECT_EQ(gfx->color, Rgba(255, 0, 0, 255));
}

int FanSize(GlRecorder& rec) {
    const auto draws = rec.DrawCalls();
    EXPECT_EQ(draws.size(), 1u);
    if (draws.empty()) return -1;
    EXPECT_EQ(draws[0].args[0], GL_TRIANGLE_FAN);
    return static_cast<int>(draws[0].args[2]);
}

struct OvalCase {
    const char* name;
    float w, h;
    int segments;
};

class OvalSegmentTest : public RecorderTest, public ::testing::WithParamInterface<OvalCase> {};

TEST_P(OvalSegmentTest, SegmentCountFollowsRadii) {
    const OvalCase c = GetParam();
    gfx->DrawOval(0, 0, c.w, c.h);
    EXPECT_EQ(FanSize(rec), c.segments);
    EXPECT_EQ(gfx->primCount, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, OvalSegmentTest,
    ::testing::Values(OvalCase{"Box100x60", 100, 60, 80}, OvalCase{"Box14x14", 14, 14, 12},
                      OvalCase{"Empty", 0, 0, 12}, OvalCase{"Box3000x10", 3000, 10, 1024},
                      OvalCase{"Box101x61", 101, 61, 80}, OvalCase{"Negative", -100, -60, 80},
                      OvalCase{"Flat49", 49, 0, 24}, OvalCase{"Huge", 1e30f, 1e30f, 1024}),
    [](const ::testing::TestParamInfo<OvalCase>& info) { return std::string(info.param.name); });

TEST_F(RecorderTest, OvalSegmentsUnderAScaledMatrix) {
    gfx->SetMatrix(2, 0, 0, 1, 0, 0);
    gfx->DrawOval(0, 0, 100, 60);
    EXPECT_EQ(FanSize(rec), 128);
}

TEST_F(RecorderTest, OvalUnderADegenerateMatrixUsesTheMinimum) {
    gfx->SetMatrix(NAN, 0, 0, 1, 0, 0);
    gfx->DrawOval(0, 0, 100, 60);
    EXPECT_EQ(FanSize(rec), 12);
}

TEST_F(RecorderTest, OvalStartsRightAndRunsUpwards) {
    gfx->DrawRect(0, 0, 1, 1);
    gfx->DrawOval(100, 200, 100, 60);
    const auto draws = rec.DrawCalls();
    ASSERT_EQ(draws.size(), 2u);  // the pending rectangle first
    const auto& v = draws[1].vertices;
    ASSERT_EQ(v.size(), 80u);
    EXPECT_FLOAT_EQ(v[0].x, 200);
    EXPECT_FLOAT_EQ(v[0].y, 230);
    EXPECT_LT(v[1].y, v[0].y);
    EXPECT_NEAR(v[20].x, 150, 1e-3);  // a quarter turn: the top
    EXPECT_NEAR(v[20].y, 200, 1e-3);
    EXPECT_NEAR(v[40].x, 100, 1e-3);
}

TEST_F(RecorderTest, PolygonNeedsThreeToThousandTwentyFourPoints) {
    gfx->DrawRect(0, 0, 1, 1);
    gfx->DrawPoly(Floats({0, 0, 10, 0, 10}));
    EXPECT_TRUE(rec.calls.empty());
    EXPECT_EQ(gfx->primCount, 1);  // the pending rectangle is untouched

    gfx->DrawPoly(Array<float>(2050));
    EXPECT_TRUE(rec.calls.empty());

    gfx->SetMatrix(1, 0, 0, 1, 5, 0);
    gfx->DrawPoly(Floats({0, 0, 10, 0, 10, 10}));
    const auto draws = rec.DrawCalls();
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[1].args, (std::vector<double>{GL_TRIANGLE_FAN, 0, 3}));
    EXPECT_EQ(draws[1].vertices[1].x, 15.0f);

    rec.Clear();
    gfx->DrawPoly(Array<float>(2048));
    EXPECT_EQ(FanSize(rec), 1024);
}

TEST_F(RecorderTest, SurfaceQuadsCarryTextureCoordinates) {
    gxtkSurface* s = MakeSurface(gfx, 100, 50);
    gfx->DrawSurface(s, 1, 2);
    gfx->DrawSurface2(s, 0, 0, 10, 20, 30, 15);
    const auto draws = Draws();
    ASSERT_EQ(draws.size(), 1u);
    const auto& v = draws[0].vertices;
    ASSERT_EQ(v.size(), 8u);
    EXPECT_EQ(v[2].x, 101.0f);
    EXPECT_EQ(v[2].y, 52.0f);
    EXPECT_FLOAT_EQ(v[2].u, 1.0f);
    EXPECT_FLOAT_EQ(v[2].v, 1.0f);
    EXPECT_FLOAT_EQ(v[4].u, 0.1f);
    EXPECT_FLOAT_EQ(v[4].v, 0.4f);
    EXPECT_FLOAT_EQ(v[6].u, 0.4f);
    EXPECT_FLOAT_EQ(v[6].v, 0.7f);
    EXPECT_EQ(v[6].x, 30.0f);
    EXPECT_EQ(v[6].y, 15.0f);
}

TEST_F(RecorderTest, UnknownKindDrawsNothing) {
    gfx->primType = 3;
    gfx->primCount = 4;
    gfx->Flush();
    EXPECT_TRUE(rec.DrawCalls().empty());
    EXPECT_EQ(gfx->primCount, 0);
}

// A frame buffer whose pixel at GL row y, column x is 0xAA000000 | y << 8 | x (BGRA bytes).
void FillRowsBottomFirst(int x, int y, int w, int h, uint8_t* out) {
    for (int row = 0; row < h; ++row) {
        for (int col = 0; col < w; ++col) {
            const uint32_t p =
                0xAA000000u | static_cast<uint32_t>(y + row) << 8 | static_cast<uint32_t>(x + col);
            std::memcpy(out + (row * w + col) * 4, &p, 4);
        }
    }
}

TEST_F(RecorderTest, ReadPixelsReturnsRowsTopFirst) {
    rec.frameBuffer = FillRowsBottomFirst;
    gfx->DrawRect(0, 0, 1, 1);
    Array<int> pixels(2 + 3 * 5);
    gfx->ReadPixels(pixels, 4, 10, 3, 3, 2, 5);
    const auto reads = rec.Named("glReadPixels");
    ASSERT_EQ(reads.size(), 1u);
    EXPECT_EQ(reads[0].args,
              (std::vector<double>{4, 480 - 10 - 3, 3, 3, GL_BGRA, GL_UNSIGNED_BYTE}));
    EXPECT_EQ(rec.calls[0].name, "glDrawElements");  // flushed first
    // Screen row 10 is GL row 469.
    EXPECT_EQ(static_cast<uint32_t>(pixels[2]), 0xAA000000u | 469u << 8 | 4u);
    EXPECT_EQ(static_cast<uint32_t>(pixels[2 + 2]), 0xAA000000u | 469u << 8 | 6u);
    EXPECT_EQ(static_cast<uint32_t>(pixels[2 + 5]), 0xAA000000u | 468u << 8 | 4u);
    EXPECT_EQ(static_cast<uint32_t>(pixels[2 + 10 + 2]), 0xAA000000u | 467u << 8 | 6u);
    EXPECT_EQ(pixels[0], 0);
    EXPECT_EQ(pixels[2 + 3], 0);  // the gap between rows is left alone
}

TEST_F(RecorderTest, ReadPixelsOfTheTopLeftPixelReadsTheLastGlRow) {
    Array<int> pixels(1);
    gfx->ReadPixels(pixels, 0, 0, 1, 1, 0, 1);
    EXPECT_EQ(rec.Named("glReadPixels")[0].args[1], 479);
}

TEST_F(RecorderTest, ReadPixelsIntoTooSmallAnArrayDoesNothing) {
    Array<int> pixels(15);
    gfx->ReadPixels(pixels, 0, 0, 4, 4, 0, 4);
    gfx->ReadPixels(pixels, 0, 0, 3, 3, 7, 4);
    gfx->ReadPixels(pixels, 0, 0, 3, 3, -1, 3);
    gfx->ReadPixels(pixels, 0, 0, 0, 3, 0, 3);
    EXPECT_EQ(rec.Count("glReadPixels"), 0u);
    gfx->ReadPixels(pixels, 0, 0, 3, 3, 4, 4);  // ends exactly at the last element
    EXPECT_EQ(rec.Count("glReadPixels"), 1u);
}

uint32_t WrittenPixel(const GlCall& call, int index) {
    uint32_t p = 0;
    std::memcpy(&p, call.pixels.data() + index * 4, 4);
    return p;
}

TEST_F(RecorderTest, WritePixelsPremultipliesBeforeUpload) {
    gxtkSurface* s = MakeSurface(gfx, 8, 8);
    rec.Clear();
    Array<int> pixels(5);
    pixels[0] = static_cast<int>(0x80FF0000u);
    pixels[1] = static_cast<int>(0xFF123456u);
    pixels[2] = static_cast<int>(0x00FFFFFFu);
    pixels[3] = static_cast<int>(0x7F010101u);
    pixels[4] = static_cast<int>(0xC8C86432u);
    gfx->WritePixels2(s, pixels, 2, 3, 5, 1, 0, 5);
    const auto uploads = rec.Named("glTexSubImage2D");
    ASSERT_EQ(uploads.size(), 1u);
    EXPECT_EQ(uploads[0].args,
              (std::vector<double>{GL_TEXTURE_2D, 0, 2, 3, 5, 1, GL_BGRA, GL_UNSIGNED_BYTE}));
    EXPECT_EQ(WrittenPixel(uploads[0], 0), 0x80800000u);
    EXPECT_EQ(WrittenPixel(uploads[0], 1), 0xFF123456u);
    EXPECT_EQ(WrittenPixel(uploads[0], 2), 0u);
    EXPECT_EQ(WrittenPixel(uploads[0], 3), 0x7F000000u);
    EXPECT_EQ(WrittenPixel(uploads[0], 4), 0xC89C4E27u);  // 200*200/255, 100*200/255, 50*200/255
    EXPECT_EQ(rec.Named("glBindTexture")[0].args[1], s->texture);
    EXPECT_EQ(rec.Count("glEnable") + rec.Count("glDisable"), 0u);
}

TEST_F(RecorderTest, WritePixelsWithRowsOutsideTheArrayDoesNothing) {
    gxtkSurface* s = MakeSurface(gfx, 8, 8);
    rec.Clear();
    Array<int> pixels(7);
    gfx->WritePixels2(s, pixels, 0, 0, 4, 2, 0, 4);
    EXPECT_EQ(rec.Count("glTexSubImage2D"), 0u);
}

}  // namespace
