// The drawing helpers record commands; the render replays them scaled to the device.
#include <gtest/gtest.h>

#include <cmath>

#include "input/key_translation.h"
#include "tests/game/game_fixture.h"

using namespace vexmo;

namespace {

class DrawingTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        // A known font metric: the loader gives 7 x 10, whatever the image set.
        game->imageInfo[kFontSlot * 3] = 7;
        game->imageInfo[kFontSlot * 3 + 1] = 10;
        game->fontSlot = kFontSlot;
        game->CLS2D();
    }
    std::vector<DrawCommand> Glyphs() const { return harness->CommandsOfKind(kFontSlot); }
};

TEST_F(DrawingTest, ResetDrawRestoresWhiteUnscaledUnrotated) {
    game->SetSize(3, 4);
    game->SetRot(20);
    game->SetCol(1, 2, 3, 0.5f);
    game->ResetDraw();
    EXPECT_EQ(game->drawSizeX, 1);
    EXPECT_EQ(game->drawSizeY, 1);
    EXPECT_EQ(game->drawRotation, 0);
    EXPECT_EQ(game->drawRed, 255);
    EXPECT_EQ(game->drawGreen, 255);
    EXPECT_EQ(game->drawBlue, 255);
    EXPECT_EQ(game->drawAlpha, 1);
}

TEST_F(DrawingTest, ClsWithTheMarkerKeepsTheBackgroundButEmptiesTheList) {
    game->CLS2D(1, 2, 3, 0.5f);
    game->Rect(0, 0, 1, 1);
    game->SetSize(2);
    game->CLS2D(kNotGiven, 9, 9, 9);
    EXPECT_EQ(game->clsRed, 1);
    EXPECT_EQ(game->clsGreen, 2);
    EXPECT_EQ(game->clsBlue, 3);
    EXPECT_EQ(game->clsAlpha, 0.5f);
    EXPECT_EQ(game->drawCount, 0);
    EXPECT_EQ(game->drawSizeX, 1);
}

TEST_F(DrawingTest, SetSizeWithOneValueScalesBothAxes) {
    game->SetSize(2, kNotGiven);
    EXPECT_EQ(game->drawSizeX, 2);
    EXPECT_EQ(game->drawSizeY, 2);
    game->SetSize(2, 3);
    EXPECT_EQ(game->drawSizeY, 3);
    game->SetSize(2, -5000);  // anything at or below the marker counts as not given
    EXPECT_EQ(game->drawSizeY, 2);
}

TEST_F(DrawingTest, SetColKeepsAlphaWhenNotGiven) {
    game->Alpha(0.25f);
    game->SetCol(255, 0, 0, kNotGiven);
    EXPECT_EQ(game->drawAlpha, 0.25f);
    EXPECT_EQ(game->drawRed, 255);
    game->SetCol(255, 0, 0, 0.5f);
    EXPECT_EQ(game->drawAlpha, 0.5f);
}

TEST_F(DrawingTest, SetRotStoresTheAngleNegated) {
    game->SetRot(30);
    EXPECT_EQ(game->drawRotation, -30);
}

TEST_F(DrawingTest, RainbowColourFollowsThePhaseAndLeavesAlpha) {
    game->Alpha(0.3f);
    game->CR(18);  // 90 degrees
    EXPECT_NEAR(game->drawRed, 250, 1e-3);
    EXPECT_NEAR(game->drawGreen, 125, 1e-3);
    EXPECT_NEAR(game->drawBlue, 125, 1e-3);
    EXPECT_EQ(game->drawAlpha, 0.3f);
    game->CR(0);
    EXPECT_NEAR(game->drawRed, 125, 1e-3);
    EXPECT_NEAR(game->drawGreen, 0, 1e-3);
    EXPECT_NEAR(game->drawBlue, 250, 1e-3);
}

TEST_F(DrawingTest, ImageCommandCarriesTheWholeDrawingState) {
    game->SetSize(2, 3);
    game->SetRot(45);
    game->SetCol(10, 20, 30, 0.4f);
    game->DrawImg(5, 100, 50, 2);
    const std::vector<DrawCommand> c = harness->Commands();
    ASSERT_EQ(c.size(), 1u);
    EXPECT_EQ(c[0].kind, 5);
    EXPECT_EQ(c[0].x, 100);
    EXPECT_EQ(c[0].y, 50);
    EXPECT_EQ(c[0].rotation, -45);
    EXPECT_EQ(c[0].sizeX, 2);
    EXPECT_EQ(c[0].sizeY, 3);
    EXPECT_EQ(c[0].frame, 2);
    EXPECT_FLOAT_EQ(c[0].alpha, 0.4f);
    EXPECT_EQ(c[0].red, 10);
    EXPECT_EQ(c[0].green, 20);
    EXPECT_EQ(c[0].blue, 30);
}

TEST_F(DrawingTest, RectAndOvalStoreTheirBoxAndFrameZero) {
    game->SetCol(1, 2, 3, 1);
    game->Rect(1, 2, 30, 40);
    game->Oval(5, 6, 7, 8);
    const std::vector<DrawCommand> c = harness->Commands();
    ASSERT_EQ(c.size(), 2u);
    EXPECT_TRUE(c[0].IsRect());
    EXPECT_EQ(c[0].sizeX, 30);
    EXPECT_EQ(c[0].sizeY, 40);
    EXPECT_EQ(c[0].frame, 0);
    EXPECT_TRUE(c[1].IsOval());
    EXPECT_EQ(c[1].x, 5);
    EXPECT_EQ(c[1].sizeY, 8);
}

TEST_F(DrawingTest, TheCommandAfterTwoThousandFiveHundredIsDropped) {
    for (int i = 0; i < kMaxCommands; ++i) game->Rect(static_cast<float>(i), 0, 1, 1);
    EXPECT_EQ(game->drawCount, 37500);
    game->Oval(0, 0, 1, 1);
    EXPECT_EQ(game->drawCount, 37500);
    EXPECT_TRUE(harness->Commands().back().IsRect());
    EXPECT_EQ(harness->Commands().back().x, 2499);
    game->CLS2D();
    game->Oval(0, 0, 1, 1);
    EXPECT_EQ(game->drawCount, 15);
}

TEST_F(DrawingTest, CentredTextPutsTwoCharactersHalfAnAdvanceEitherSide) {
    game->Text(100, 50, String("AB"), 1, 1);
    const std::vector<DrawCommand> g = Glyphs();
    ASSERT_EQ(g.size(), 2u);
    EXPECT_NEAR(g[0].x, 96.5f, 1e-4);
    EXPECT_NEAR(g[1].x, 103.5f, 1e-4);
    EXPECT_NEAR(g[0].y, 50, 1e-4);
    EXPECT_EQ(g[0].frame, 'A' - 32);
    EXPECT_EQ(g[1].frame, 'B' - 32);
}

TEST_F(DrawingTest, TextAlignmentZeroAndTwo) {
    game->Text(100, 50, String("ABC"), 0, 0);
    std::vector<DrawCommand> g = Glyphs();
    ASSERT_EQ(g.size(), 3u);
    EXPECT_NEAR(g[0].x, 100, 1e-4);
    EXPECT_NEAR(g[0].y, 55, 1e-4);  // top of the line at y: centre half a line lower
    game->CLS2D();
    game->Text(100, 50, String("ABC"), 2, 2);
    g = Glyphs();
    ASSERT_EQ(g.size(), 3u);
    EXPECT_NEAR(g[2].x, 100, 1e-4);
    EXPECT_NEAR(g[0].y, 45, 1e-4);
}

TEST_F(DrawingTest, RotatedTextAdvancesAlongTheRotation) {
    game->SetRot(30);
    game->Text(0, 0, String("AB"), 0, 1);
    const std::vector<DrawCommand> g = Glyphs();
    ASSERT_EQ(g.size(), 2u);
    EXPECT_NEAR(g[1].x - g[0].x, 7 * std::sin(120 * M_PI / 180), 1e-4);  // about 6.06
    EXPECT_NEAR(g[1].y - g[0].y, 3.5, 1e-4);
    EXPECT_EQ(g[0].rotation, -30);
    EXPECT_EQ(g[1].rotation, -30);
}

TEST_F(DrawingTest, BackslashNBreaksTheLineAndCountsForAlignment) {
    game->Text(100, 50, String("A\\nB"), 1, 1);
    const std::vector<DrawCommand> g = Glyphs();
    ASSERT_EQ(g.size(), 2u);
    // Aligned as four characters: the first centre is 1.5 advances left of x.
    EXPECT_NEAR(g[0].x, 100 - 10.5f, 1e-4);
    EXPECT_NEAR(g[1].x, g[0].x, 1e-4);
    EXPECT_NEAR(g[1].y - g[0].y, 10, 1e-4);
    EXPECT_EQ(g[1].frame, 'B' - 32);
}

TEST_F(DrawingTest, OtherBackslashesAreDrawnAndAdvance) {
    game->Text(0, 0, String("A\\xB\\"), 0, 1);
    const std::vector<DrawCommand> g = Glyphs();
    ASSERT_EQ(g.size(), 5u);
    EXPECT_EQ(g[1].frame, 60);
    EXPECT_EQ(g[4].frame, 60);  // a trailing backslash is drawn
    EXPECT_NEAR(g[4].x, 28, 1e-4);
}

TEST_F(DrawingTest, SpacesAdvanceWithoutDrawingAndZeroDoesNeither) {
    const String::Char text[] = {'A', ' ', 0, 200, 'B'};
    game->Text(0, 0, String(text, 5), 0, 1);
    const std::vector<DrawCommand> g = Glyphs();
    ASSERT_EQ(g.size(), 2u);
    // A, space and code 200 advance; code 0 does not: B is three advances on.
    EXPECT_NEAR(g[1].x, 21, 1e-4);
}

TEST_F(DrawingTest, EmptyTextDrawsNothing) {
    game->Text(0, 0, String(), 1, 1);
    EXPECT_EQ(game->drawCount, 0);
}

TEST_F(DrawingTest, TextFollowsTheDrawSize) {
    game->SetSize(2, 3);
    game->Text(0, 0, String("AB"), 0, 0);
    const std::vector<DrawCommand> g = Glyphs();
    ASSERT_EQ(g.size(), 2u);
    EXPECT_NEAR(g[1].x - g[0].x, 14, 1e-4);
    EXPECT_NEAR(g[0].y, 15, 1e-4);
    EXPECT_EQ(g[0].sizeX, 2);
    EXPECT_EQ(g[0].sizeY, 3);
}

TEST_F(DrawingTest, RstrPadsAndCuts) {
    EXPECT_TRUE(game->rstr(42, 5, String("0")) == String("00042"));
    EXPECT_TRUE(game->rstr(123456, 3, String(" ")) == String("456"));
    EXPECT_TRUE(game->rstr(7, 11, String(" ")) == String("          7"));
    EXPECT_TRUE(game->rstr(-5, 4, String("0")) == String("00-5"));
    EXPECT_TRUE(game->rstr(42, 0, String("0")) == String("042"));
}

// ---- Replay ----

class ReplayTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        harness->FinishLoading();
        game->screen = 7;  // no screen redraws the list behind the test's back
        game->CLS2D(0, 0, 0, 1);
    }
    // Draw calls of one render, after the background rectangle.
    std::vector<GlVertexRecord> RenderedVertices() {
        harness->recorder.Clear();
        harness->Render();
        std::vector<GlVertexRecord> all;
        for (const GlCall& call : harness->recorder.DrawCalls()) {
            all.insert(all.end(), call.vertices.begin(), call.vertices.end());
        }
        // The background quad comes first.
        if (all.size() >= 4) all.erase(all.begin(), all.begin() + 4);
        return all;
    }
};

TEST_F(ReplayTest, RectanglesAreScaledToTheDevice) {
    harness->Resize(1280, 960);
    harness->Render();  // picks up the new scale (and starts a reload, irrelevant here)
    game->CLS2D(0, 0, 0, 1);
    game->SetCol(255, 0, 0, 1);
    game->Rect(10, 20, 30, 40);
    const std::vector<GlVertexRecord> v = RenderedVertices();
    ASSERT_EQ(v.size(), 4u);
    float minX = 1e9f, maxX = -1e9f, minY = 1e9f, maxY = -1e9f;
    for (const GlVertexRecord& p : v) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    EXPECT_FLOAT_EQ(minX, 20);
    EXPECT_FLOAT_EQ(maxX, 80);
    EXPECT_FLOAT_EQ(minY, 40);
    EXPECT_FLOAT_EQ(maxY, 120);
    EXPECT_EQ(v[0].color & 0xffffff, 0x0000ffu);
}

TEST_F(ReplayTest, ASecondRenderWithoutAnUpdateDrawsTheSamePicture) {
    game->Rect(10, 20, 30, 40);
    game->Oval(100, 100, 10, 5);
    const std::vector<GlVertexRecord> first = RenderedVertices();
    const std::vector<GlVertexRecord> second = RenderedVertices();
    ASSERT_EQ(first.size(), second.size());
    ASSERT_FALSE(first.empty());
    for (size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(first[i].x, second[i].x);
        EXPECT_EQ(first[i].y, second[i].y);
    }
}

TEST_F(ReplayTest, CommandsForMissingImagesOrUnknownKindsAreSkipped) {
    game->images[42] = nullptr;
    game->DrawImg(42, 10, 10, 0);
    game->DrawImg(150, 10, 10, 0);                 // no such slot
    game->drawList[game->drawCount - 15] = -5000;  // an unknown kind
    EXPECT_TRUE(RenderedVertices().empty());
}

TEST_F(ReplayTest, AFrameTheImageDoesNotHaveIsSkippedNotFatal) {
    if (game->images[kFontSlot] == nullptr) GTEST_SKIP() << "no font in the data folder";
    game->DrawImg(kFontSlot, 10, 10, 128);
    game->DrawImg(kFontSlot, 10, 10, -1);
    EXPECT_TRUE(RenderedVertices().empty());
    game->DrawImg(kFontSlot, 10, 10, 127);
    EXPECT_EQ(RenderedVertices().size(), 4u);
}

TEST_F(ReplayTest, AnIncompleteTrailingCommandIsNotReplayed) {
    game->Rect(10, 20, 30, 40);
    game->drawCount = 14;
    EXPECT_TRUE(RenderedVertices().empty());
}

}  // namespace
