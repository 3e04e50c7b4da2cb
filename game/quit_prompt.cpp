// Leaving the game from the menu: a quit button (on a desktop only: a browser tab is closed by
// the browser), and Escape on the menu with no box open, which asks "Quit?" first. The question
// is answered by pointer, keys (left and right, Enter or Space, Y or N) or pad (D-pad and A);
// Escape or the pad's Start again means no.
#include "game/asset_slots.h"
#include "game/layout.h"
#include "game/my_app.h"
#include "host/window_mode.h"
#include "input/input.h"

using namespace vexmo;

namespace {

constexpr int kKeyY = 89;
constexpr int kKeyN = 78;

bool Inside(const MyApp& app, ScreenPoint at, float width, float height) {
    return app.pointerX >= at.x - width / 2 && app.pointerX < at.x + width / 2 &&
           app.pointerY >= at.y - height / 2 && app.pointerY < at.y + height / 2;
}

void Answer(MyApp& app, bool yes) {
    app.quitAsking = 0;
    app.PlaySFX(kSfxToggle, 1, 1, 0);
    // The window closes as by its own close button: the record is saved on the way out.
    if (yes) EndApp();
}

}  // namespace

void MyApp::QuitButton(int slide) {
    if (!CanEndApp()) return;
    const ScreenPoint at = QuitButtonPosition(landscape, slide);
    ResetDraw();
    SetSize(kQuitButtonSize);
    SetCol(255, 110, 110, 1);
    if (Button(kIconsImage, at.x, at.y, kQuitIcon) && !clickLatch && !MenuBoxOpen()) {
        clickLatch = 1;
        quitAsking = 1;
        quitFocus = 0;
        PlaySFX(kSfxToggle, 1, 1, 0);
    }
}

int MyApp::QuitPrompt() {
    const QuitPromptLayout l = LayoutQuitPrompt();
    if (!keyLatch) {
        if (PlayKey(kButtonLeft)) {
            keyLatch = 1;
            quitFocus = 1;
            PlaySFX(kSfxMenu, 0.8f, 0.5f, 0);
        } else if (PlayKey(kButtonRight)) {
            keyLatch = 1;
            quitFocus = 0;
            PlaySFX(kSfxMenu, 1.2f, 0.5f, 0);
        } else if (PlayKey(kButtonAction1)) {
            keyLatch = 1;
            Answer(*this, quitFocus == 1);
        } else if (KeyDown(kKeyY) && iCadeControls == 0) {
            keyLatch = 1;
            Answer(*this, true);
        } else if (KeyDown(kKeyN) && iCadeControls == 0) {
            keyLatch = 1;
            Answer(*this, false);
        }
    }
    if (pointerDown > 0 && !clickLatch) {
        if (Inside(*this, l.yes, l.buttonWidth, l.buttonHeight)) {
            clickLatch = 1;
            Answer(*this, true);
        } else if (Inside(*this, l.no, l.buttonWidth, l.buttonHeight)) {
            clickLatch = 1;
            Answer(*this, false);
        }
    }

    ResetDraw();
    SetCol(0, 0, 0, 0.5f);
    Rect(-1, -1, jscrw + 2, jscrh + 2);
    SetCol(0, 0, 40, 0.95f);
    Rect(l.panelX, l.panelY, l.panelWidth, l.panelHeight);
    SetSize(2);
    SetCol(255, 225, 110, 1);
    Text(l.question.x, l.question.y, T("Quit?"), 1, 1);
    const ScreenPoint at[2] = {l.no, l.yes};
    const char* const labels[2] = {"No", "Yes"};
    for (int answer = 0; answer <= 1; ++answer) {
        ResetDraw();
        if (quitFocus == answer) {
            SetCol(60, 140, 255, 0.9f);
        } else {
            SetCol(255, 255, 255, 0.12f);
        }
        Rect(at[answer].x - l.buttonWidth / 2, at[answer].y - l.buttonHeight / 2, l.buttonWidth,
             l.buttonHeight);
        SetSize(1.5f);
        SetCol(255, 255, 255, 1);
        Text(at[answer].x, at[answer].y, T(labels[answer]), 1, 1);
    }
    return 0;
}
