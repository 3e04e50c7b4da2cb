// Placings and the game-over overlay that builds up over the dying field and fades over the menu.
#include <algorithm>

#include "game/my_app.h"
#include "game/score_table.h"
#include "music/kuv_player.h"

using namespace vexmo;

namespace {

constexpr int kOverlayUpdates = 90;  // the menu takes over when the timer reaches this
constexpr int kFadeStart = 75;       // timer value the menu starts fading from

const char* const kPlacingTexts[] = {"",    "1st!", "2nd", "3rd", "4th", "5th",
                                     "6th", "7th",  "8th", "9th", "10th"};

}  // namespace

// A tie takes the higher placing. The menu files scores by its own, stricter rule, which is why
// the overlay does not ask again once the menu has filed the score.
String MyApp::MyNth() {
    n = AnnouncedPlacing(highScores, difficulty, score);
    return T(kPlacingTexts[n]);
}

int MyApp::GameOver() {
    const int t = gameOverTimer;
    // Asked once, on the update the game ends: later the menu has filed the score, and the
    // table it is then compared with already holds it, one place higher.
    if (t == 0 && screen == kScreenPlay) {
        MyNth();
        gameOverPlacing = n;
    }
    if (t >= 1) {
        SetCol(0, 0, 0, std::min(t / 40.0f, 0.7f));
        Rect(-1, -1, jscrw + 2, jscrh + 2);
        const int h = std::min(12 * t, static_cast<int>(jscrh * 0.45f));

        ResetDraw();
        SetCol(255, 255, 0, 0.5f);
        Rect(-1, jscrh * 0.45f - 8, 2.0f * h, 16);
        SetCol(255, 128, 0, 0.5f);
        Rect(jscrw - 2.0f * h, jscrh * 0.55f - 8, 2.0f * h + 1, 16);

        ResetDraw();
        SetSize(4);
        SetCol(255, 180, 180, 1);
        Text(jscrw * 0.35f, static_cast<float>(h), T("GAME"), 1, 1);
        Text(jscrw * 0.65f, jscrh - h, T("OVER"), 1, 1);

        n = gameOverPlacing;
        if (n > 0) {
            SetSize(1);
            SetCol(0, 125, 255, 0.5f);
            Rect(jscrw * 0.35f, jscrh - h / 1.5f - 16, jscrw * 0.3f, 32);
            SetSize(2);
            SetCol(100, 255, 100, 1);
            Text(jscrw / 2, jscrh - h / 1.5f,
                 T("New Highscore\\n           ") + T(kPlacingTexts[n]), 0.5f, 2);
        }
    }

    if (screen == kScreenPlay) {
        gameOverTimer += 1;
        if (gameOverTimer >= kOverlayUpdates) {
            screen = kScreenBackToMenu;
            gameOverTimer = kFadeStart;
            // The game is over: the menu must not inherit a pause opened while dying.
            paused = 0;
            pauseMotion = -1;
            if (musicPlayer) {
                musicPlayer->Kuv_Stop(1);
                if (HasMusic == 1) musicPlayer->Kuv_Stop(1);
            }
        }
    } else if (screen < kScreenPlay) {
        gameOverTimer = std::max(0, gameOverTimer - 2);
    }
    return 0;
}
