// The credits box: its tile grid at two screen shapes, the fly-in, the ring colours, the scrolling
// credit lines, the gauges and the click that closes it.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "input/key_translation.h"
#include "tests/game/play_support.h"

namespace {

// Tiles are the rectangles of the current drawn size plus one (the grey blocks and ring colours
// are smaller or have other shapes).
std::vector<DrawCommand> Tiles(const GameHarness& harness, float size) {
    std::vector<DrawCommand> tiles;
    for (const DrawCommand& c : harness.CommandsOfKind(vexmo::kRectKind)) {
        if (c.sizeX == size + 1 && c.sizeY == size + 1) tiles.push_back(c);
    }
    return tiles;
}

// Runs the box alone on an emptied list, as the menu update would after its CLS2D.
void DrawBox(MyApp& game) {
    game.CLS2D(0, 0, 80, 1);
    game.CreditBox();
}

class CreditLayoutTest : public ::testing::Test {
protected:
    void Open(int width, int height) {
        harness = std::make_unique<GameHarness>(width, height);
        harness->Create();
        ASSERT_GE(harness->FinishLoading(), 0);
        game = harness->game;
        game->creditsSlide = 30;
    }
    void TearDown() override { harness.reset(); }

    std::unique_ptr<GameHarness> harness;
    MyApp* game = nullptr;
};

TEST_F(CreditLayoutTest, LandscapeHasTwelveByNineTiles) {
    Open(640, 480);
    DrawBox(*game);
    EXPECT_EQ(game->creditCols, 12);
    EXPECT_EQ(game->creditRows, 9);
    EXPECT_EQ(game->creditHide, 0);
    const float t = 640.0f / 12;
    const std::vector<DrawCommand> tiles = Tiles(*harness, t);
    ASSERT_EQ(tiles.size(), 13u * 10u);
    // Fully in, the tiles sit centred on the grid points from (0, 0) to (640, 480).
    float minX = 1e9f, maxX = -1e9f, minY = 1e9f, maxY = -1e9f;
    for (const DrawCommand& c : tiles) {
        minX = std::min(minX, c.x + t / 2);
        maxX = std::max(maxX, c.x + t / 2);
        minY = std::min(minY, c.y + t / 2);
        maxY = std::max(maxY, c.y + t / 2);
        EXPECT_EQ(c.alpha, 1);
    }
    EXPECT_NEAR(minX, 0, 1e-3);
    EXPECT_NEAR(maxX, 640, 1e-3);
    EXPECT_NEAR(minY, 0, 1e-3);
    EXPECT_NEAR(maxY, t * 9, 1e-3);
    int black = 0;
    for (const DrawCommand& c : tiles) black += c.red == 0 && c.green == 0 && c.blue == 0;
    EXPECT_EQ(black, 13 * 10 - 11 * 8) << "the outer ring is black";
}

TEST_F(CreditLayoutTest, PortraitHasEightByTwelveTiles) {
    Open(320, 480);
    ASSERT_EQ(jscrw, 320);
    DrawBox(*game);
    EXPECT_EQ(game->creditCols, 8);
    EXPECT_EQ(game->creditRows, 12);
    EXPECT_EQ(Tiles(*harness, 40).size(), 9u * 13u);
}

TEST_F(CreditLayoutTest, AScreenNarrowerThanThreeTilesDrawsWithoutFault) {
    Open(640, 480);
    for (const float width : {100.0f, 40.0f, 1.0f}) {
        jscrw = width;
        jscrh = 480;
        DrawBox(*game);
        for (const DrawCommand& c : harness->Commands()) {
            ASSERT_TRUE(std::isfinite(c.x) && std::isfinite(c.y)) << width;
            ASSERT_TRUE(std::isfinite(c.red) && std::isfinite(c.green)) << width;
        }
    }
}

TEST_F(CreditLayoutTest, TilesGrowAndFlyInWithTheSlide) {
    Open(640, 480);
    game->creditsSlide = 10;
    DrawBox(*game);
    const float t = 640.0f / 12;
    const float s = t / 2;
    const std::vector<DrawCommand> tiles = Tiles(*harness, s);
    ASSERT_EQ(tiles.size(), 130u);
    EXPECT_EQ(game->creditHide, 20);
    for (const DrawCommand& c : tiles) EXPECT_FLOAT_EQ(c.alpha, 1.0f / 3);
    // Column 0 is seven columns left of the centre: 49 * 20 units out; column 12 six right.
    const DrawCommand& first = tiles.front();  // column 0, row 0
    EXPECT_FLOAT_EQ(first.x, -49 * 20 - s / 2);
    const DrawCommand& last = tiles.back();  // column 12, row 9
    EXPECT_FLOAT_EQ(last.x, t * 12 + 36 * 20 - s / 2);
    EXPECT_FLOAT_EQ(last.y, t * 9 + 25 * 20 - s / 2);
}

TEST_F(CreditLayoutTest, RingColoursRunAlongTheEdges) {
    Open(640, 480);
    DrawBox(*game);
    const float t = 640.0f / 12;
    // The coloured block of a ring tile follows its tile; find it by its corner.
    auto blockAt = [&](int col, int row) {
        const float x = t * col - t / 2;
        const float y = t * row - t / 2;
        for (const DrawCommand& c : harness->CommandsOfKind(vexmo::kRectKind)) {
            if (c.sizeX == t + 1) continue;
            if (std::fabs(c.x - x) <= 8.01f && std::fabs(c.y - y) <= 8.01f) return c;
        }
        ADD_FAILURE() << "no block at " << col << ", " << row;
        return DrawCommand{};
    };
    const DrawCommand topLeft = blockAt(0, 0);  // the left edge wins over the top
    EXPECT_EQ(topLeft.red, 0);
    EXPECT_EQ(topLeft.green, 255);
    EXPECT_EQ(topLeft.blue, 0);
    EXPECT_EQ(topLeft.sizeX, t);
    EXPECT_EQ(topLeft.sizeY, t);
    const DrawCommand top = blockAt(6, 0);  // gc = 256: red and green both full
    EXPECT_EQ(top.red, 255);
    EXPECT_EQ(top.green, 255);
    EXPECT_EQ(top.sizeY, t);
    EXPECT_EQ(top.sizeX, t - 16);
    const DrawCommand top2 = blockAt(2, 0);  // gc = 51
    EXPECT_EQ(top2.red, 51);
    EXPECT_EQ(top2.green, 255);
    const DrawCommand right = blockAt(12, 7);  // gr = 512 / 7 * 6 = 438
    EXPECT_EQ(right.red, 74);
    EXPECT_EQ(right.blue, 255);
    const DrawCommand bottom = blockAt(3, 9);  // grey 2 * 255 / 10
    EXPECT_EQ(bottom.red, 51);
    EXPECT_EQ(bottom.green, 51);
    EXPECT_EQ(bottom.blue, 51);
}

TEST_F(CreditLayoutTest, CreditLinesScrollOneLineIn49Updates) {
    Open(640, 480);
    game->creditScroll = 0;
    game->creditLine = 0;
    for (int i = 0; i < 48; ++i) DrawBox(*game);
    EXPECT_EQ(game->creditLine, 0);
    DrawBox(*game);
    EXPECT_EQ(game->creditLine, 1);
    EXPECT_NEAR(game->creditScroll, 16 - 49 * 0.33f, 1e-3);
}

TEST_F(CreditLayoutTest, TheLineWindowWrapsBeforeTheLastLine) {
    Open(640, 480);
    // Line 16 ("End") is never shown: the window index wraps at 16.
    game->creditLine = 15;
    game->creditScroll = -8;
    DrawBox(*game);
    // Line k = 1 is (1 + 15) mod 16 = line 0, empty; k = 2 is line 1, "A Game by".
    const float lineY = 240 + 16 * 2 + game->creditScroll;
    int glyphs = 0;
    for (const DrawCommand& c : harness->CommandsOfKind(static_cast<float>(game->fontSlot))) {
        glyphs += std::fabs(c.y - lineY) < 8;
    }
    EXPECT_EQ(glyphs, 7);  // "A Game by" without its two spaces
}

TEST_F(CreditLayoutTest, GaugesSitInTheCornersAndShowSizesAndRates) {
    Open(640, 480);
    game->updateFps = 59;
    game->renderFps = 61;
    DrawBox(*game);
    const float t = 640.0f / 12;
    const std::vector<DrawCommand> ovals = harness->CommandsOfKind(vexmo::kOvalKind);
    ASSERT_EQ(ovals.size(), 8u);
    EXPECT_FLOAT_EQ(ovals[0].x, 1.5f * t);
    EXPECT_FLOAT_EQ(ovals[0].y, 1.5f * t);
    EXPECT_FLOAT_EQ(ovals[0].sizeX, t);
    EXPECT_EQ(ovals[0].red, 255);
    EXPECT_FLOAT_EQ(ovals[1].sizeX, t - 3);
    EXPECT_EQ(ovals[1].red, 128);
    EXPECT_FLOAT_EQ(ovals[2].x, 10.5f * t);
    EXPECT_FLOAT_EQ(ovals[4].y, 7.5f * t);
    // Bottom left: the button sheet's frame 12; bottom right: the maker's logo at 0.4.
    const std::vector<DrawCommand> buttons = harness->CommandsOfKind(95);
    ASSERT_EQ(buttons.size(), 1u);
    EXPECT_EQ(buttons[0].frame, 12);
    EXPECT_FLOAT_EQ(buttons[0].x, 1.5f * t);
    const std::vector<DrawCommand> logo = harness->CommandsOfKind(kLogoSlot);
    ASSERT_EQ(logo.size(), 1u);
    EXPECT_FLOAT_EQ(logo[0].sizeX, 0.4f);
    EXPECT_FLOAT_EQ(logo[0].x, 10.5f * t);
    EXPECT_FLOAT_EQ(logo[0].y, 7.5f * t);
    // " 640", " 480", " 59" around the top-left gauge: 3 + 3 + 2 glyphs.
    int glyphs = 0;
    for (const DrawCommand& c : harness->CommandsOfKind(static_cast<float>(game->fontSlot))) {
        glyphs += std::fabs(c.x - 1.5f * t) < 40 && std::fabs(c.y - 1.5f * t) < 30;
    }
    EXPECT_EQ(glyphs, 8);
}

// Opening from the menu's maker logo and closing with a click, with the sounds heard.
class CreditFlowTest : public PlayTest {
protected:
    void OpenFromTheLogo() {
        ClickAt(jscrw - 70, jscrh - 40);
        ASSERT_EQ(game->creditsOpen, 1);
        Update(40);
        ASSERT_EQ(game->creditsSlide, 30);
    }
};

TEST_F(CreditFlowTest, AClickClosesTheBoxOnceWithItsSound) {
    OpenFromTheLogo();
    const size_t before = sfx->plays.size();
    harness->MoveMouseVirtual(320, 240);
    harness->Press(KeyCode::kMouseLeft);
    Update();
    EXPECT_EQ(game->creditsOpen, 0);
    EXPECT_EQ(sfx->CountOf(99, before), 1);
    // Held down: the box neither reopens nor plays again, and the menu does not start a game.
    Update(10);
    EXPECT_EQ(game->creditsOpen, 0);
    EXPECT_EQ(sfx->CountOf(99, before), 1);
    EXPECT_EQ(game->screen, vexmo::kScreenMenu);
    harness->Release(KeyCode::kMouseLeft);
    Update();
    // A second click while it slides out is no second close.
    harness->Press(KeyCode::kMouseLeft);
    Update();
    harness->Release(KeyCode::kMouseLeft);
    EXPECT_EQ(sfx->CountOf(99, before), 1);
    Update(30);
    EXPECT_EQ(game->creditsSlide, 0);
    // Closed, the box draws nothing more.
    harness->Update();
    EXPECT_TRUE(harness->CommandsOfKind(91).empty());
}

TEST_F(CreditFlowTest, TheScrollContinuesWhereItStoppedOnReopening) {
    OpenFromTheLogo();
    ClickAt(320, 240);
    Update(40);
    ASSERT_EQ(game->creditsSlide, 0);
    // Scrolled distance in units: whole lines and the part of the current one.
    auto travelled = [this]() { return game->creditLine * 16 - game->creditScroll; };
    const float stopped = travelled();
    Update(20);
    EXPECT_FLOAT_EQ(travelled(), stopped);
    ClickAt(jscrw - 70, jscrh - 40);  // the box runs in both updates of the click
    ASSERT_EQ(game->creditsOpen, 1);
    EXPECT_NEAR(travelled(), stopped + 2 * 0.33f, 1e-3);
}

TEST_F(CreditFlowTest, TheBoxDrawsOverTheMenu) {
    OpenFromTheLogo();
    const std::vector<DrawCommand> all = harness->Commands();
    // The menu's title art comes first; the test card's circle follows it.
    size_t menuArt = all.size(), circle = all.size();
    for (size_t i = 0; i < all.size(); ++i) {
        if (all[i].IsImage(99) && menuArt == all.size()) menuArt = i;
        if (all[i].IsImage(91)) circle = i;
    }
    ASSERT_LT(circle, all.size());
    EXPECT_LT(menuArt, circle);
    EXPECT_FLOAT_EQ(all[circle].x, 320);
    EXPECT_FLOAT_EQ(all[circle].y, 240);
}

}  // namespace
