// TEMPORARY stand-in for the credits box until the real one lands: closes on a click.
#include "game/my_app.h"

int MyApp::CreditBox() {
    ResetDraw();
    Alpha(creditsSlide / 30.0f);
    Rect(0, 0, jscrw, jscrh);
    if (pointerDown > 0 && clickLatch == 0) {
        clickLatch = 1;
        creditsOpen = 0;
    }
    return 0;
}
