// Every picture sheet of the data folder: file name, frame grid and how to draw one frame.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tools/canvas.h"

namespace assets {

struct PictureSheet {
    std::string name;             // path under data/ without density suffix or ".png"
    int frameWidth, frameHeight;  // at 1x
    int frames;
    int columns;  // frames per row of the file; the loader cuts row by row
    // Draws one frame; the pen's design units are 1x pixels of the frame.
    std::function<void(Pen&, int)> draw;
};

// The sheets in a fixed order (the order of the review sheet).
std::vector<PictureSheet> pictureSheets();

// File name for a density: "microbes.png", "microbes-hd.png", "microbes-hd2.png".
std::string densityFileName(const std::string& name, int density);

// Rasterises every frame of a sheet at `density` texels per design unit.
Canvas renderSheet(const PictureSheet& sheet, int density);

// Picture families, one file each.
void drawMicrobe(Pen& pen, int frame);
void drawGameSprite(Pen& pen, int frame);  // "gfx"
void drawDish(Pen& pen, int frame);        // "circle"
void drawDebris(Pen& pen, int frame);      // "parts"
void drawIcon(Pen& pen, int frame);        // "common/icons"
void drawButton(Pen& pen, int frame);      // "common/Buttons"
void drawPad(Pen& pen, int frame);         // "common/dpad"
void drawIcade(Pen& pen, int frame);       // "common/icade"
void drawBadge(Pen& pen, int frame);       // "BadgesA"
void drawMakerLogo(Pen& pen, int frame);   // "common/DorvLogo"
void drawTestCard(Pen& pen, int frame);    // "common/Testcard_Circle"
void drawTitle(Pen& pen, int frame);       // "logo"
void drawMenuArt(Pen& pen, int frame);     // "menu"
void drawFontCell(Pen& pen, int frame);    // "fonts/editundo"

// The built-in font strip: 96 glyphs of 8x10 with a transparent column either side.
Canvas renderBuiltinFont();

// The program's icon, square, written as "icons/vexmo_<size>.png" for each of these sizes (the
// desktop's usual ones; the window icon loads the same files).
const std::vector<int>& appIconSizes();
// The sizes an installed web page asks for (its manifest); the same picture, drawn larger.
const std::vector<int>& webIconSizes();
Canvas renderAppIcon(int size);
std::string appIconFileName(int size);

}  // namespace assets
