// Where the window opens and where it goes back to. The first start opens a window that suits
// the screen; later starts put back the last windowed place and size, on a monitor that exists
// now; and a window left on no monitor at all (dragged away, or its monitor unplugged) is
// brought back. The rules are plain functions of rectangles, so they are tested without a
// display; the app module's functions below apply them to the real window.
#pragma once

#include <vector>

#include "platform/monitor_choice.h"

namespace host {

// The first window: the largest of 640 x 480 times k/2 (k = 2, 3, 4, ...) whose width and height
// both fit in 70 % of the work area; 640 x 480 on a screen too small for any.
void FirstWindowSize(const MonitorArea& workArea, int* width, int* height);

// A saved place and size put on the monitors there are now: on the work area of the monitor
// nearest its centre, shrunk to fit it (never below 320 x 240) and moved wholly inside it. With
// no monitor it stays as it is.
MonitorArea PlaceOnWorkAreas(const MonitorArea& wanted, const std::vector<MonitorArea>& workAreas);

// Whether enough of the window shows on some work area to be grabbed again: a strip 48 units
// wide and 24 high, at least, of its top.
bool WindowReachable(const MonitorArea& window, const std::vector<MonitorArea>& workAreas);

// The current platform's work areas, in a list that is reused from call to call.
const std::vector<MonitorArea>& CurrentWorkAreas();

}  // namespace host

// App module: the window's place and size on the desktop in screen units, while it is a window
// with a place of its own; 0 while fullscreen or where a window has no place (a browser page).
int GetWindowPlace(int* x, int* y, int* width, int* height);
// App module: puts the window at a saved place and size, moved onto a monitor that exists now.
void RestoreWindowPlace(int x, int y, int width, int height);
// App module: brings a window that no monitor shows back onto the nearest one; 1 when moved.
int BringWindowBack();
