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

// The pause panel's quit button, for a panel centred on cx whose middle is at height panelY.
ScreenPoint PauseQuitPosition(int landscape, float cx, float panelY);

}  // namespace vexmo
