// The pause menu: a veil and a panel that slides down from the top with quit, resume and sound
// buttons, driven by the pointer or by a keyboard focus ring.
#include <cmath>

#include "game/asset_slots.h"
#include "game/layout.h"
#include "game/my_app.h"
#include "game/sound_modes.h"

using namespace vexmo;

namespace {

constexpr int kSlideStep = 24;
constexpr int kRestAbove = -64;  // where the panel waits above the screen
constexpr int kClosedBelow = -32;

constexpr int kFocusQuit = -1;
constexpr int kFocusResume = 0;
constexpr int kFocusSound = 1;

void Beep(MyApp& app, float rate) {
    app.PlaySFX(kSfxMenu, rate, 0.5f, 0);
}

void FocusRing(MyApp& app, ScreenPoint at) {
    app.SetSize(2.5f);
    app.SetCol(255, 255, 100, 1);
    app.DrawImg(kIconsImage, at.x, at.y, 6);
}

// Resume slides the panel out; play continues once it has left the screen.
void Resume(MyApp& app) {
    app.paused = 1;
    app.pauseMotion = -1;
    Beep(app, 1.0f);
}

// Quit closes the panel at once and hands the field to its game-over sequence.
void Quit(MyApp& app) {
    app.paused = 0;
    app.pauseMotion = -1;
    app.pauseSlide = kRestAbove;
    app.dying = 1;
    Beep(app, 0.5f);
}

void SlidePanel(MyApp& app) {
    if (app.pauseMotion == 1 && app.pauseSlide < jscrh * 0.5f) app.pauseSlide += kSlideStep;
    if (app.pauseMotion == -1) {
        if (app.pauseSlide < kRestAbove + 1) {
            app.paused = 0;
        } else {
            app.pauseSlide -= kSlideStep;
            if (app.pauseSlide < kClosedBelow) app.paused = 0;
        }
    }
}

void DrawPanel(MyApp& app, float cx, float y) {
    app.ResetDraw();
    const bool wide = app.landscape != 0;
    app.SetCol(255, 255, 10, 0.6f);
    if (wide)
        app.Rect(cx - 128, y - 64, 256, 8);
    else
        app.Rect(cx - 96, y - 92, 192, 8);
    app.SetCol(255, 150, 10, 0.7f);
    if (wide)
        app.Rect(cx - 140, y - 52, 280, 104);
    else
        app.Rect(cx - 128, y - 80, 256, 160);
    app.SetCol(10, 150, 255, 0.6f);
    if (wide)
        app.Rect(cx - 128, y + 56, 256, 8);
    else
        app.Rect(cx - 96, y + 84, 192, 8);
}

}  // namespace

int MyApp::PauseMenu() {
    ResetDraw();
    SetCol(0, 0, 0, std::fabs(static_cast<float>(pauseSlide)) / (0.8f * jscrh));
    Rect(0, 0, jscrw, jscrh);
    SlidePanel(*this);

    const float cx = jscrw * 0.5f;
    const float y = static_cast<float>(pauseSlide);
    DrawPanel(*this, cx, y);

    // Resume, in the middle.
    const ScreenPoint resumeAt{cx, y};
    SetSize(2);
    SetCol(50, 50, 250, 1);
    if (Button(kIconsImage, resumeAt.x, resumeAt.y, 3) && !clickLatch) {
        clickLatch = 1;
        Resume(*this);
    }
    if (pauseFocus == kFocusResume) {
        FocusRing(*this, resumeAt);
        if (!keyLatch && PlayKey(kButtonAction1)) {
            keyLatch = 1;
            Resume(*this);
        }
        if (!keyLatch && (PlayKey(kButtonLeft) || PlayKey(kButtonUp))) {
            keyLatch = 1;
            pauseFocus = kFocusQuit;
            Beep(*this, 0.8f);
        }
        if (!keyLatch && PlayKey(kButtonRight)) {
            keyLatch = 1;
            pauseFocus = kFocusSound;
            Beep(*this, 1.2f);
        }
    }

    // Quit, top left of the panel.
    const ScreenPoint quitAt = PauseQuitPosition(landscape, cx, y);
    SetSize(2);
    SetCol(255, 50, 50, 1);
    if (Button(kIconsImage, quitAt.x, quitAt.y, 1) && !clickLatch) {
        clickLatch = 1;
        Quit(*this);
    }
    if (pauseFocus == kFocusQuit) {
        FocusRing(*this, quitAt);
        if (!keyLatch && PlayKey(kButtonAction1)) {
            keyLatch = 1;
            clickLatch = 1;
            Quit(*this);
        }
        if (!keyLatch && (PlayKey(kButtonRight) || PlayKey(kButtonDown))) {
            keyLatch = 1;
            pauseFocus = kFocusResume;
            Beep(*this, 0.8f);
        }
    }

    // Sound mode, top right of the panel.
    const ScreenPoint soundAt =
        landscape ? ScreenPoint{cx + 140, y - 64} : ScreenPoint{cx + 96, y - 96};
    SetSize(2);
    SetCol(50, 250, 50, 1);
    if (Button(kIconsImage, soundAt.x, soundAt.y, settings[5] == 0 ? 5 : 4) && !clickLatch) {
        clickLatch = 1;
        const int before = settings[5];
        settings[5] = NextSoundMode(before);
        BadgesForSoundMode(before);
        Beep(*this, 1.0f);
    }
    if (HasMusic == 1 && settings[5] >= 1 && settings[5] <= 3) {
        SetSize(1.5f);
        SetCol(180, 255, 255, 1);
        DrawImg(kIconsImage, soundAt.x + 20, soundAt.y, static_cast<float>(settings[5] + 7));
    }
    if (pauseFocus == kFocusSound) {
        FocusRing(*this, soundAt);
        if (!keyLatch && PlayKey(kButtonAction1)) {
            keyLatch = 1;
            const int before = settings[5];
            settings[5] = NextSoundMode(before);
            BadgesForSoundMode(before);
            Beep(*this, 1.0f);
        }
        if (!keyLatch && (PlayKey(kButtonLeft) || PlayKey(kButtonDown))) {
            keyLatch = 1;
            pauseFocus = kFocusResume;
            Beep(*this, 0.8f);
        }
    }

    if (PlayKey(kButtonBack) && !keyLatch) {
        keyLatch = 1;
        Resume(*this);
    }
    return 0;
}
