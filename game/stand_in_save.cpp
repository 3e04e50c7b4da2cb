// TEMPORARY stand-in for the saved record until the real one lands: remembers nothing.
#include "game/my_app.h"

int MyApp::Save() {
    return 0;
}
int MyApp::Load() {
    return 0;
}
