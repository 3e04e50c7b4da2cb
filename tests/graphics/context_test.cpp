#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>

#include "graphics/graphics.h"
#include "recorder_fixture.h"

namespace {

using ContextTest = RecorderTest;
using graphics::context;

void ExpectMatrix(float ix, float iy, float jx, float jy, float tx, float ty) {
    EXPECT_FLOAT_EQ(context->ix, ix);
    EXPECT_FLOAT_EQ(context->iy, iy);
    EXPECT_FLOAT_EQ(context->jx, jx);
    EXPECT_FLOAT_EQ(context->jy, jy);
    EXPECT_FLOAT_EQ(context->tx, tx);
    EXPECT_FLOAT_EQ(context->ty, ty);
}

TEST_F(ContextTest, FrameStartResetsTheDrawingState) {
    Translate(5, 5);
    PushMatrix();
    SetColor(1, 2, 3);
    SetAlpha(0.25f);
    SetBlend(1);
    SetScissor(1, 2, 3, 4);
    rec.Clear();

    ASSERT_EQ(::BeginRender(), 0);
    ExpectMatrix(1, 0, 0, 1, 0, 0);
    EXPECT_EQ(context->tformed, 0);
    EXPECT_EQ(context->matDirty, 1);
    EXPECT_EQ(context->matrixSp, 0);
    EXPECT_EQ(context->r, 255.0f);
    EXPECT_EQ(context->g, 255.0f);
    EXPECT_EQ(context->b, 255.0f);
    EXPECT_EQ(context->alpha, 1.0f);
    EXPECT_EQ(context->blend, 0);
    EXPECT_EQ(context->scissorX, 0.0f);
    EXPECT_EQ(context->scissorY, 0.0f);
    EXPECT_EQ(context->scissorW, 640.0f);
    EXPECT_EQ(context->scissorH, 480.0f);
    EXPECT_EQ(gfx->color, Rgba(255, 255, 255, 255));
    EXPECT_EQ(graphics::renderDevice.get(), gfx);
    const std::vector<std::string> expected = {"glBlendFunc", "glDisable"};
    EXPECT_EQ(rec.Names(), expected);
    EXPECT_EQ(rec.calls[1].args[0], GL_SCISSOR_TEST);
    EXPECT_EQ(DeviceWidth(), 640);
    EXPECT_EQ(DeviceHeight(), 480);
}

TEST_F(ContextTest, EndRenderReleasesTheRenderDevice) {
    ::EndRender();
    EXPECT_EQ(graphics::renderDevice.get(), nullptr);
    EXPECT_EQ(DeviceWidth(), 640);  // still answers between frames
}

TEST_F(ContextTest, TranslateThenScale) {
    Translate(10, 20);
    Scale(2, 2);
    ExpectMatrix(2, 0, 0, 2, 10, 20);
    EXPECT_EQ(context->tformed, 1);
    DrawPoint(1, 1);
    const auto draws = Draws();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].vertices[0].x, 12.0f);
    EXPECT_EQ(draws[0].vertices[0].y, 22.0f);
}

TEST_F(ContextTest, ScaleThenTranslateScalesTheTranslation) {
    Scale(2, 3);
    Translate(10, 20);
    ExpectMatrix(2, 0, 0, 3, 20, 60);
}

TEST_F(ContextTest, RotateNinetyTurnsCounterClockwiseOnScreen) {
    Rotate(90);
    EXPECT_NEAR(context->ix, 0, 1e-6);
    EXPECT_NEAR(context->iy, -1, 1e-6);
    EXPECT_NEAR(context->jx, 1, 1e-6);
    EXPECT_NEAR(context->jy, 0, 1e-6);
    DrawPoint(1, 0);
    const auto draws = Draws();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_NEAR(draws[0].vertices[0].x, 0, 1e-6);
    EXPECT_NEAR(draws[0].vertices[0].y, -1, 1e-6);
}

TEST_F(ContextTest, TranslateThenRotateTurnsAboutTheTranslatedOrigin) {
    Translate(100, 0);
    Rotate(180);
    DrawPoint(10, 0);
    const auto draws = Draws();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_NEAR(draws[0].vertices[0].x, 90, 1e-4);
    EXPECT_NEAR(draws[0].vertices[0].y, 0, 1e-4);
}

TEST_F(ContextTest, PushAndPopRestoreExactly) {
    Transform(1.1f, 0.3f, -0.7f, 0.9f, 3.3f, 4.4f);
    const float saved[6] = {context->ix, context->iy, context->jx,
                            context->jy, context->tx, context->ty};
    PushMatrix();
    EXPECT_EQ(context->matrixSp, 6);
    Rotate(33);
    Scale(0.3f, 7);
    Translate(-5, 1e6f);
    PopMatrix();
    EXPECT_EQ(context->matrixSp, 0);
    EXPECT_EQ(context->ix, saved[0]);
    EXPECT_EQ(context->iy, saved[1]);
    EXPECT_EQ(context->jx, saved[2]);
    EXPECT_EQ(context->jy, saved[3]);
    EXPECT_EQ(context->tx, saved[4]);
    EXPECT_EQ(context->ty, saved[5]);
    EXPECT_EQ(context->matDirty, 1);
}

TEST_F(ContextTest, PopBackToIdentityClearsTformed) {
    PushMatrix();
    Translate(1, 1);
    EXPECT_EQ(context->tformed, 1);
    PopMatrix();
    EXPECT_EQ(context->tformed, 0);
}

TEST_F(ContextTest, SetMatrixBackToIdentityClearsTformed) {
    SetMatrix(1, 0, 0, 1, 0, 1);
    EXPECT_EQ(context->tformed, 1);
    SetMatrix(1, 0, 0, 1, 0, 0);
    EXPECT_EQ(context->tformed, 0);
    Array<float> m(6);
    const float values[6] = {2, 0, 0, 2, 3, 4};
    std::memcpy(m.Data(), values, sizeof(values));
    SetMatrix2(m);
    ExpectMatrix(2, 0, 0, 2, 3, 4);
    Transform2(m);
    ExpectMatrix(4, 0, 0, 4, 9, 12);
}

TEST_F(ContextTest, MatrixReachesTheRendererOnlyAtTheNextDrawingCall) {
    Translate(5, 0);
    Rotate(10);
    Scale(2, 2);
    EXPECT_FALSE(gfx->tformed);
    EXPECT_EQ(context->matDirty, 1);
    DrawRect(0, 0, 1, 1);
    EXPECT_TRUE(gfx->tformed);
    EXPECT_EQ(gfx->ix, context->ix);
    EXPECT_EQ(gfx->tx, 5.0f);
    EXPECT_EQ(context->matDirty, 0);
    EXPECT_TRUE(rec.calls.empty());  // no flush for any of it
}

TEST_F(ContextTest, ColourAlphaBlendAndScissorGoStraightToTheRenderer) {
    SetColor(10, 20, 30);
    EXPECT_EQ(gfx->r, 10.0f);
    SetAlpha(0.5f);
    EXPECT_EQ(gfx->alpha, 0.5f);
    SetBlend(1);
    EXPECT_EQ(context->blend, 1);
    EXPECT_EQ(rec.Named("glBlendFunc").back().args, (std::vector<double>{GL_ONE, GL_ONE}));
    SetScissor(10.9f, 20.2f, 100.7f, 50.5f);
    EXPECT_EQ(context->scissorX, 10.9f);
    EXPECT_EQ(rec.Named("glScissor").back().args,
              (std::vector<double>{10, 480 - 20 - 50, 100, 50}));
}

TEST_F(ContextTest, DrawEllipseDrawsTheBoundingBox) {
    DrawEllipse(100, 100, 10, 5);
    const auto draws = rec.DrawCalls();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].args[2], 12);  // 10 + 5 rounds down to the minimum
    EXPECT_FLOAT_EQ(draws[0].vertices[0].x, 110);
    EXPECT_FLOAT_EQ(draws[0].vertices[0].y, 100);
    EXPECT_NEAR(draws[0].vertices[3].y, 95, 1e-4);
}

TEST_F(ContextTest, ClsAndLineGoThroughTheContext) {
    DrawLine(0, 0, 5, 5);
    Cls(0, 0, 0);
    DrawLine(1, 2, 3, 4);
    const auto draws = Draws();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].vertices[1].y, 4.0f);
}

TEST_F(ContextTest, ReadPixelsWithPitchZeroUsesTheWidth) {
    rec.frameBuffer = [](int, int, int w, int h, uint8_t* out) {
        for (int i = 0; i < w * h; ++i) {
            const uint32_t p = 0xFF000000u | static_cast<uint32_t>(i);
            std::memcpy(out + i * 4, &p, 4);
        }
    };
    Array<int> pixels(6);
    ReadPixels(pixels, 0, 0, 3, 2);
    // Buffer row 1 (the upper one on screen) comes first and rows follow without gaps.
    EXPECT_EQ(pixels[0] & 0xFFFFFF, 3);
    EXPECT_EQ(pixels[2] & 0xFFFFFF, 5);
    EXPECT_EQ(pixels[3] & 0xFFFFFF, 0);
    EXPECT_EQ(pixels[5] & 0xFFFFFF, 2);
}

TEST_F(ContextTest, ThirtyTwoPushesFitAndTheThirtyThirdIsAnError) {
    for (int i = 0; i < 32; ++i) PushMatrix();
    EXPECT_EQ(context->matrixSp, 192);
    EXPECT_RUNTIME_ERROR(PushMatrix(), "Matrix stack overflow");
    for (int i = 0; i < 32; ++i) PopMatrix();
    EXPECT_EQ(context->matrixSp, 0);
}

TEST_F(ContextTest, PopWithoutPushIsAnError) {
    EXPECT_RUNTIME_ERROR(PopMatrix(), "Matrix stack underflow");
}

TEST_F(ContextTest, DrawingOutsideAFrameIsAnError) {
    ::EndRender();
    EXPECT_RUNTIME_ERROR(DrawRect(0, 0, 1, 1), "Graphics drawn outside");
    EXPECT_RUNTIME_ERROR(SetColor(1, 1, 1), "Graphics drawn outside");
    EXPECT_RUNTIME_ERROR(Cls(0, 0, 0), "Graphics drawn outside");
    // Transforms only touch the context and stay allowed between frames.
    Translate(1, 1);
    EXPECT_EQ(context->tformed, 1);
}

TEST(ContextGlobals, ContextIsARootAndDevicesStartNull) {
    EnsureGraphicsGlobals();
    ASSERT_NE(graphics::context.get(), nullptr);
    EXPECT_EQ(graphics::context->matrixStack.Length(), 192);
    EXPECT_EQ(Image::DefaultFlags, 0);
    EXPECT_EQ(::BeginRender(), 0);  // no device yet: nothing to begin
    EXPECT_EQ(graphics::renderDevice.get(), nullptr);
}

}  // namespace
