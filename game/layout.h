// Where things sit on the screen, in virtual units. The screens that draw them and the demo
// pilot that clicks them both ask here, so a layout change cannot leave the pilot clicking at
// nothing.
#pragma once

#include "game/my_app.h"

namespace vexmo {

struct ScreenPoint {
    float x;
    float y;
};

// Where the grid and the dish sit this update.
struct FieldLayout {
    float cx;
    float cy;
    float scale;  // one cell is 8 * scale virtual units
    float originX;
    float originY;
    float rimRadius;
};

FieldLayout LayoutField(const MyApp& app);

// The first int of a cell's record in the cell table.
inline int CellIndex(int column, int row) {
    return (row * kCellRowLength + column) * kCellStride;
}

// The easy, normal and hard buttons of the menu; slide is 0 once the menu has come to rest.
void DifficultyButtonPositions(int landscape, int slide, ScreenPoint out[3]);

// "Watch best" under a difficulty button (1 easy to 3 hard), shown once a best game of that
// difficulty is kept: below the button in landscape, to its right in portrait, where the
// buttons stand in a column. Its box is kWatchBestWidth x kWatchBestHeight around that point.
ScreenPoint WatchBestPosition(int landscape, int slide, int difficulty);
constexpr float kWatchBestWidth = 120;
constexpr float kWatchBestHeight = 20;

// The menu's sound button, and the badge box's button beside it: above it in landscape, where
// the sound button sits at the left edge, and to its left in portrait, where it sits at the top.
// Both slide in with the menu.
ScreenPoint SoundButtonPosition(int landscape, int slide);
ScreenPoint BadgesButtonPosition(int landscape, int slide);
// The badge button is an icon drawn at this size, so its box is 64 units square.
constexpr float kBadgesButtonSize = 2;

// The badge box: a panel over the whole menu with a title line and a close button at its top,
// and below them a scrolling list of one row per badge (picture on the left, name and detail
// to its right).
struct BadgesBoxLayout {
    float panelX, panelY, panelWidth, panelHeight;
    ScreenPoint title;  // left end and middle of the title line
    ScreenPoint close;  // the close button's centre; an icon drawn at size 1, 32 units square
    float listTop, listBottom;
    float rowHeight;
    float pictureX;  // centre of a row's picture, drawn at pictureSize
    float pictureSize;
    float textX;      // centre of the first character of a row's texts
    float textRight;  // no character may reach beyond this
    float nameY;      // middle of the name, from the top of its row
    float detailY;    // middle of the first detail line, from the top of its row
    float detailSize;
};
BadgesBoxLayout LayoutBadgesBox();

// The pause panel's quit button, for a panel centred on cx whose middle is at height panelY.
ScreenPoint PauseQuitPosition(int landscape, float cx, float panelY);

}  // namespace vexmo
