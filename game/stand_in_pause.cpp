// TEMPORARY stand-in for the pause menu until the real one lands: closes at once.
// The play screens replace this file.
#include "game/my_app.h"

int MyApp::PauseMenu() {
    paused = 0;
    return 0;
}
