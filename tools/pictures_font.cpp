// The two bitmap fonts: the game's 16x16-cell text font and the framework's built-in strip.
#include "tools/catalogue.h"
#include "tools/pixel_font.h"

namespace assets {

// Cell i holds character i + 32. The glyph's capitals are centred in the cell (the font is
// drawn with a middle handle), so text lines up on the characters' centres.
void drawFontCell(Pen& pen, int frame) {
    const int code = frame + 32;
    drawGlyph(pen, code, 6, 4, 1.0, solid(rgb(255, 255, 255)));
}

Canvas renderBuiltinFont() {
    constexpr int kCount = 96, kFrameWidth = 10, kHeight = 10;
    Canvas canvas(kCount * kFrameWidth, kHeight);
    for (int i = 0; i < kCount; ++i) {
        // one clear texel each side of the 8-texel glyph area
        Pen pen(canvas, i * kFrameWidth, 0, kFrameWidth, kHeight, 1.0);
        drawGlyph(pen, 32 + i, 2, 1, 1.0, solid(rgb(255, 255, 255)));
    }
    return canvas;
}

}  // namespace assets
