// TEMPORARY stand-in for the loading picture, the placings and the game-over overlay until the
// real ones land. The play screens replace this file.
#include <cmath>

#include "game/my_app.h"

int MyApp::WaitStart(int mode) {
    CLS2D(40, 40, 80, 1);
    const float size = static_cast<float>(static_cast<int>(jscrw < jscrh ? jscrw : jscrh));
    const float cx = jscrw * 0.5f;
    const float cy = jscrh * 0.5f;
    spinAngle += 16;
    SetCol(255, 255, 0, 0.8f);
    Oval(cx, cy, size * 0.3f, size * 0.3f);
    SetCol(250, 160, 60, 0.7f);
    Rect(0, jscrh * 0.4f, jscrw, jscrh * 0.2f);
    ResetDraw();
    DrawImg(93, cx, jscrh * 0.48f, 0);
    if (mode == 1) {
        for (int i = 0; i <= 10; ++i) {
            const double a = (spinAngle + 16 * i) * 3.14159265358979 / 180.0;
            SetCol(50, 50, 50, i / 10.0f);
            Oval(cx + static_cast<float>(std::sin(a)) * size * 0.25f,
                 cy - static_cast<float>(std::cos(a)) * size * 0.25f, 8, 8);
        }
    }
    return 0;
}

String MyApp::MyNth() {
    n = 0;
    return String();
}

int MyApp::GameOver() {
    if (screen == vexmo::kScreenPlay) {
        screen = vexmo::kScreenBackToMenu;
        gameOverTimer = 0;
    }
    return 0;
}
