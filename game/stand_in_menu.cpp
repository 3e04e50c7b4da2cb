// TEMPORARY stand-in for the main menu until the real menu lands: shows the title art and starts
// nothing. The play screens replace this file.
#include "game/my_app.h"

int MyApp::Menu() {
    CLS2D(0, 0, 80, 1);
    SetSize(3);
    DrawImg(99, jscrw * 0.5f, jscrh * 0.5f, 0);
    SetSize(1);
    DrawImg(98, jscrw * 0.4f, jscrh * 0.2f, 0);
    Text(jscrw * 0.5f, jscrh * 0.8f, String("menu stand-in"), 1, 1);
    return 0;
}

int MyApp::LoadMenu() {
    return 0;
}
