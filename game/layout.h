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
// The world's score board's globe, beside the badge button: to its right in landscape, where
// the column of buttons down the left edge has no room left on a phone, and below it in
// portrait, where the buttons stand in a row along the top. Shown only with a board in use.
ScreenPoint WorldButtonPosition(int landscape, int slide);
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

// The how-to-play and settings buttons line up with the sound button on the side away from the
// badge button (below it in landscape; in portrait the how-to-play button to its right and the
// settings button beyond the badge button on the left, clear of the iCade button). The quit
// button, smaller, sits in a corner no other button uses: top left in landscape, bottom left in
// portrait. All slide in with the menu.
ScreenPoint HowToPlayButtonPosition(int landscape, int slide);
ScreenPoint SettingsButtonPosition(int landscape, int slide);
ScreenPoint QuitButtonPosition(int landscape, int slide);
constexpr float kMenuButtonSize = 2;  // how to play and settings, as the badge button
constexpr float kQuitButtonSize = 1;  // a 32-unit icon

// A box that covers the menu like the badge box (the same panel, title line and close button),
// whose content is laid out for a panel of kContentWidth x kContentHeight, centred in a wider one
// and shrunk into a smaller one. X and Y turn content units into screen units.
struct MenuBoxLayout {
    // 584 is the panel's width on a 5:4 screen (a virtual 600 x 480), so there too the texts
    // keep size 1.
    static constexpr float kContentWidth = 584;
    // 440 fits a window the desktop has trimmed by its title bar and panels (a virtual 640 x 456
    // on a 640 x 480 screen), so there too the texts keep size 1.
    static constexpr float kContentHeight = 440;
    float panelX, panelY, panelWidth, panelHeight;
    ScreenPoint title;
    ScreenPoint close;
    float originX, originY, scale;
    float X(float x) const { return originX + x * scale; }
    float Y(float y) const { return originY + y * scale; }
};
// deviceScale: device pixels per virtual unit. A shrunk box is shrunk a little further, to a
// whole number of device pixels per unit where that leaves at least one, so the pixel font keeps
// every stroke (a 1920 x 1080 screen: 2 pixels a unit instead of 2.35).
MenuBoxLayout LayoutMenuBox(float deviceScale = 1);

// The "Quit?" question: a small panel in the middle of the screen with two buttons.
struct QuitPromptLayout {
    float panelX, panelY, panelWidth, panelHeight;
    ScreenPoint question;
    ScreenPoint yes, no;  // centres of the two buttons
    float buttonWidth, buttonHeight;
};
QuitPromptLayout LayoutQuitPrompt();

// The pause panel's quit button, for a panel centred on cx whose middle is at height panelY.
ScreenPoint PauseQuitPosition(int landscape, float cx, float panelY);

}  // namespace vexmo
