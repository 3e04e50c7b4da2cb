// The credits box: a test card whose tiles fly in from beyond the screen edges, the test-card
// circle in the middle, the credit lines scrolling beside it, the game logo below and four round
// gauges in the corners. A click closes it; it then slides out the way it came.
#include <algorithm>
#include <cmath>

#include "game/asset_slots.h"
#include "game/my_app.h"
#include "graphics/graphics.h"

using namespace vexmo;

namespace {

constexpr int kGameLogoImage = 98;
constexpr int kSlideFull = 30;
constexpr int kGrowUpdates = 20;  // tiles reach full size this many updates into the slide
constexpr float kLineSpacing = 16;
constexpr float kScrollStep = 0.33f;

float Clamp255(float v) {
    return std::clamp(std::trunc(v), 0.0f, 255.0f);
}

// Signed distance of a tile index from the centre one; the centre counts as -1 so that no tile
// stays put while the others fly.
int CentreDistance(int index, int count) {
    const int d = index - count / 2;
    return d < 1 ? d - 1 : d;
}

struct Grid {
    float tile;  // spacing of the grid points
    float size;  // drawn size of a tile (grows in at the start of the slide)
    float ox;    // the grid's top-left point, centring it on the screen
    float oy;
    int cols;
    int rows;
};

struct RingColour {
    float r, g, b;
};

// Colour of a ring tile's inner block: gradients along each edge; where edges meet the later
// one (top, then the sides, then the bottom) wins.
RingColour RingTileColour(const Grid& grid, int col, int row) {
    const float colSpan = static_cast<float>(std::max(1, grid.cols - 2));
    const float rowSpan = static_cast<float>(std::max(1, grid.rows - 2));
    const float gc = std::trunc(512.0f / colSpan * static_cast<float>(col - 1));
    const float gr = std::trunc(512.0f / rowSpan * static_cast<float>(row - 1));
    RingColour colour{0, 0, 0};
    if (row == 0) colour = {Clamp255(gc), Clamp255(512 - gc), 0};
    if (col == 0) colour = {0, Clamp255(512 - gr), Clamp255(gr)};
    if (col == grid.cols) colour = {Clamp255(512 - gr), 0, Clamp255(gr)};
    if (row == grid.rows) {
        const float level = Clamp255(static_cast<float>(col - 1) * 255.0f / colSpan);
        colour = {level, level, level};
    }
    return colour;
}

}  // namespace

int MyApp::CreditBox() {
    ResetDraw();
    const float tile = std::max(jscrw, jscrh) / 12;
    // A screen too small to hold a tile has nothing to lay out.
    if (!(tile > 0)) return 0;
    creditCols = static_cast<int>(jscrw / tile);
    creditRows = static_cast<int>(jscrh / tile);
    const float slideAlpha = static_cast<float>(creditsSlide) / kSlideFull;
    creditHide = kSlideFull - creditsSlide;
    Alpha(slideAlpha);
    const float size = creditsSlide >= kGrowUpdates
                           ? tile
                           : static_cast<float>(creditsSlide) / kGrowUpdates * tile;
    const Grid grid{
        tile,       size,      jscrw / 2 - tile * creditCols / 2, jscrh / 2 - tile * creditRows / 2,
        creditCols, creditRows};
    const float hide = static_cast<float>(creditHide);

    // Tiles, centred on the grid points, the outer ring straddling the screen edges.
    for (int col = 0; col <= grid.cols; ++col) {
        for (int row = 0; row <= grid.rows; ++row) {
            const int dc = CentreDistance(col, grid.cols);
            const int dr = CentreDistance(row, grid.rows);
            const float x = grid.tile * col + dc * std::abs(dc) * hide + grid.ox - size / 2;
            const float y = grid.tile * row + dr * std::abs(dr) * hide + grid.oy - size / 2;
            const bool ring = col == 0 || row == 0 || col == grid.cols || row == grid.rows;
            if (ring) {
                SetCol(0, 0, 0);
            } else {
                SetCol(255, 255, 255);
            }
            Rect(x, y, size + 1, size + 1);
            if (!ring) {
                // Above the bottom ring the middle blocks widen into one grey bar.
                float a = 2;
                float b = 4;
                if (row == grid.rows - 1 && col >= 4 && col <= grid.cols - 3) {
                    a = -6;
                    b = col == grid.cols - 3 ? -4 : -24;
                }
                SetCol(128, 128, 128);
                Rect(x + a, y + 2, size - b, size - 4);
            } else {
                const bool side = col == 0 || col == grid.cols;
                const bool edge = row == 0 || row == grid.rows;
                const float insetX = side ? 0 : 8;
                const float insetY = edge ? 0 : 8;
                const RingColour c = RingTileColour(grid, col, row);
                SetCol(c.r, c.g, c.b);
                Rect(x + insetX, y + insetY, size - 2 * insetX, size - 2 * insetY);
            }
        }
    }

    // The test-card circle.
    const float centreY = jscrh / 2 - hide * 24;
    Alpha(slideAlpha);
    SetSize(1);
    SetCol(255, 255, 255);
    DrawImg(kCircleImage, jscrw / 2, centreY, 0);

    // Credit lines scroll up through a window beside the circle, fading out away from its middle.
    creditScroll -= kScrollStep;
    if (creditScroll < -kLineSpacing) {
        creditScroll += kLineSpacing;
        creditLine += 1;
    }
    const int shownLines = CreditText.Length() - 1;  // the closing "End" is never shown
    for (int k = -3; k <= 4 && shownLines > 0; ++k) {
        const float fade =
            std::clamp(std::fabs((creditScroll + kLineSpacing * k) / 40) - 0.3f, 0.0f, 1.0f);
        Alpha(1 - fade);
        const int line = ((k + creditLine) % shownLines + shownLines) % shownLines;
        Text(jscrw / 2 + 24, centreY + kLineSpacing * k + creditScroll, CreditText[line], 0.8f,
             0.8f);
    }

    // The game logo below.
    Alpha(slideAlpha);
    SetCol(255, 255, 255);
    SetSize(0.4f);
    DrawImg(kGameLogoImage, jscrw / 2, tile * (grid.rows - 1) + hide * 4 + grid.oy, 0);

    // Four gauges 1.5 tiles in from the grid's corners, sliding in with the panel.
    ResetDraw();
    Alpha(slideAlpha);
    const float left = 1.5f * tile + grid.ox - 6 * hide;
    const float right = (grid.cols - 1.5f) * tile + grid.ox + 6 * hide;
    const float top = 1.5f * tile + grid.oy - 3 * hide;
    const float bottom = (grid.rows - 1.5f) * tile + grid.oy + 3 * hide;
    auto gauge = [this, size](float x, float y) {
        SetCol(255, 255, 255);
        Oval(x, y, size, size);
        SetCol(128, 128, 128);
        Oval(x, y, size - 3, size - 3);
        SetCol(255, 255, 255);
    };
    auto readout = [this](float x, float y, int a, int b, int c) {
        Text(x, y - 16, T(" ") + String(a), 0.8f, 0.8f);
        Text(x, y, T(" ") + String(b), 0.8f, 0.8f);
        Text(x, y + 16, T(" ") + String(c), 0.8f, 0.8f);
    };
    gauge(left, top);
    readout(left, top, DeviceWidth(), DeviceHeight(), updateFps);
    gauge(right, top);
    readout(right, top, static_cast<int>(std::floor(jscrw)), static_cast<int>(std::floor(jscrh)),
            renderFps);
    gauge(left, bottom);
    SetSize(1);
    DrawImg(kButtonsImage, left, bottom, 12);
    gauge(right, bottom);
    SetSize(0.4f);
    DrawImg(kLogoSlot, right, bottom, 0);

    // A click closes the box once; holding the button or clicking while it slides out does not
    // close it again or repeat the sound.
    if (pointerDown > 0 && clickLatch == 0 && creditsOpen == 1) {
        clickLatch = 1;
        creditsOpen = 0;
        PlaySFX(kSfxClose, 1, 1, 0);
    }
    return 0;
}
