// Which monitor a window belongs to, for going fullscreen "where the window is". Both backends
// use it, so the choice can be tested without a display.
#pragma once

#include <vector>

// A monitor's place and size on the virtual desktop, in screen units.
struct MonitorArea {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The index of the monitor that holds the point (x, y), usually the window's centre. A point on
// no monitor (a window dragged half off the desktop) goes to the nearest one. -1 when the list
// is empty; monitors of no area are never chosen.
int PickMonitor(const std::vector<MonitorArea>& monitors, int x, int y);
