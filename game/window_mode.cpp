// The window mode the player chose last time comes back at the next start: the saved record
// keeps it in one settings slot (0, as every older record has there, is a window).
#include "host/window_mode.h"

#include "game/my_app.h"

using namespace vexmo;

void MyApp::ApplySavedWindowMode() {
    // Started fullscreen (--fullscreen) stays fullscreen; the next update records that choice.
    if (settings[kFullscreenSetting] != 0 && Fullscreen() == 0) SetFullscreen(1);
}

void MyApp::FollowWindowMode() {
    const int fullscreen = Fullscreen();
    if (settings[kFullscreenSetting] == fullscreen) return;
    settings[kFullscreenSetting] = fullscreen;
    // At once, not at the next minimise or finished game: a window closed right after the
    // switch must still come back in the mode the player chose.
    Save();
}
