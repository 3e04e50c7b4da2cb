// "Watch best" on the main menu: under each difficulty button whose best game is kept among the
// replays, a line that plays that game in a window of its own (vexmo --replay) while the menu
// waits. Until a difficulty has a kept best game the menu shows nothing new.
#pragma once

class MyApp;

namespace vexmo {

void WatchBestButtons(MyApp& app, int slide);

}  // namespace vexmo
