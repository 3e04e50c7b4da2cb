// The loading picture: the maker's logo on a sunny backdrop with a two-ring spinner.
#include <algorithm>

#include "game/angles.h"
#include "game/my_app.h"

using namespace vexmo;

namespace {

constexpr int kSpinnerDots = 11;
constexpr float kSpinnerDotRadius = 8;

void DrawSpinnerRing(MyApp& app, float radius, float grey, float startAngle) {
    const float cx = jscrw / 2;
    const float cy = jscrh / 2;
    for (int i = 0; i < kSpinnerDots; ++i) {
        const float a = startAngle + 16 * i;
        app.SetCol(grey, grey, grey, i / 10.0f);
        app.Oval(cx + SinDeg(a) * radius, cy - CosDeg(a) * radius, kSpinnerDotRadius,
                 kSpinnerDotRadius);
    }
}

}  // namespace

// Mode 1 is the loader's picture with its spinner. The start screen (mode 0) is not offered:
// nothing leads to it, so it shows the backdrop alone.
int MyApp::WaitStart(int mode) {
    CLS2D(40, 40, 80, 1);
    const int size = static_cast<int>(std::min(jscrw, jscrh));
    const float ringRadius = size * 0.25f;
    spinAngle += 16;
    if (mode == 1) DrawSpinnerRing(*this, ringRadius, 250, static_cast<float>(spinAngle + 180));

    const float cx = jscrw / 2;
    const float cy = jscrh / 2;
    SetCol(255, 255, 0, 0.8f);
    Oval(cx, cy, size * 0.3f, size * 0.3f);
    SetCol(250, 160, 60, 0.7f);
    Rect(0, jscrh * 0.4f, jscrw, jscrh * 0.2f);
    ResetDraw();
    DrawImg(kLogoSlot, cx, jscrh * 0.48f, 0);

    if (mode == 1) DrawSpinnerRing(*this, ringRadius, 50, static_cast<float>(spinAngle));
    return 0;
}
