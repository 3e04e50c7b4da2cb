// TEMPORARY stand-in for the play field until the real one lands: a game that ends at once.
// The play screens replace this file.
#include "game/my_app.h"
#include "host/random.h"

int MyApp::LoadGame() {
    screen = vexmo::kScreenPlay;
    dying = 0;
    gameOverTimer = 0;
    return 0;
}
int MyApp::NewRound() {
    return 0;
}
int MyApp::Game() {
    CLS2D(0, 0, 0, 1);
    dying = 1;
    return 0;
}
int MyApp::InGame() {
    menuSlide = -32;
    return 0;
}
int MyApp::Fire(float, int, float) {
    return 0;
}
int MyApp::Mess(float, float) {
    return 0;
}
int MyApp::Check(int, int, int, int) {
    return 0;
}
int MyApp::WhichWayDoIGo(float, float, int, int) {
    return 0;
}
int MyApp::Rand(float lo, float hi) {
    return static_cast<int>(lo + Rnd() * ((hi + 0.99f) - lo));
}
