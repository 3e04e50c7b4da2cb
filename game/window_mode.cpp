// The window mode and place the player left come back at the next start: the saved record keeps
// the mode in one settings slot (0, as every older record has there, is a window) and the last
// windowed place and size in four more.
#include "host/window_mode.h"

#include "game/my_app.h"
#include "host/window_placement.h"

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

// The window's last windowed place and size come back at the next start, on a monitor that
// exists then. A record without one (width 0) keeps the size the host chose for this screen.
void MyApp::ApplySavedWindowPlace() {
    const int width = settings[kWindowWidthSetting];
    const int height = settings[kWindowHeightSetting];
    if (width <= 0 || height <= 0 || Fullscreen() != 0) return;
    RestoreWindowPlace(settings[kWindowXSetting], settings[kWindowYSetting], width, height);
}

void MyApp::FollowWindowPlace() {
    // Twice a second is often enough to notice a move and cheap enough to run during play.
    constexpr int kCheckEvery = 30;
    windowCheckClock += 1;
    if (windowCheckClock < kCheckEvery) return;
    windowCheckClock = 0;
    BringWindowBack();
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    if (!GetWindowPlace(&x, &y, &width, &height)) return;
    // Kept in the settings, written with the next save (a finished game, a minimise, the close).
    settings[kWindowXSetting] = x;
    settings[kWindowYSetting] = y;
    settings[kWindowWidthSetting] = width;
    settings[kWindowHeightSetting] = height;
}
