// The game's hand-made pixel glyphs: 5 columns by 9 rows (capitals use rows 0..6, rows 7 and 8
// hold descenders). Used for both bitmap fonts, the button labels and the review sheets.
#pragma once

#include <string>

#include "tools/canvas.h"

namespace assets {

constexpr int kGlyphColumns = 5;
constexpr int kGlyphRows = 9;

// True when pixel (col, row) of the glyph for `code` is ink. Codes without a glyph are blank.
bool glyphPixel(int code, int col, int row);

// One glyph as a shape, top-left at (x, y), each glyph pixel `size` units square.
Shape glyphShape(int code, double x, double y, double size, bool bridgeDiagonals);

// Draws one glyph with its top-left at (x, y), each glyph pixel `size` units square. At high
// densities diagonal steps are bridged so strokes stay continuous when enlarged.
void drawGlyph(Pen& pen, int code, double x, double y, double size, const Paint& paint);

// Width in units of `text` drawn with drawText (6 glyph pixels per character, no trailing gap).
double textWidth(const std::string& text, double size);
// Draws a single line centred on (cx, cy) (centre of the capital height), moved by less than
// a texel so the glyph cells line up with texels (assumes the pen is not rotated).
void drawText(Pen& pen, const std::string& text, double cx, double cy, double size,
              const Paint& paint);

}  // namespace assets
