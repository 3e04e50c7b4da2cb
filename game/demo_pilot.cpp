#include "game/demo_pilot.h"

#include <algorithm>
#include <cmath>

#include "game/angles.h"
#include "game/layout.h"
#include "game/my_app.h"
#include "host/app.h"
#include "runtime/errors.h"
#include "runtime/gc.h"

using namespace vexmo;

namespace {

// A hand needs a moment to reach the button, and holds it for a few updates.
constexpr int kGlideUpdates = 20;
constexpr int kPressUpdates = 3;
// If a click did not take (the menu was still moving), try again after this long.
constexpr int kRetryUpdates = 60;
// Held fire slows down the longer the button stays down, so the pilot lets go briefly now and
// then, as players learn to do.
constexpr int kBurstUpdates = 24;
constexpr int kBurstRelease = 2;
constexpr float kPauseButtonX = 16;
constexpr float kPauseButtonY = 16;

MyApp* CurrentGame() {
    AppDevice* device = app::device;
    if (!device) return nullptr;
    App* bound = device->app;
    return dynamic_cast<MyApp*>(bound);
}

float ScaleOf(float scale) {
    return scale > 0 ? scale : 1.0f;
}

// A difficulty button's place on the menu at rest, in virtual units (1 easy to 3 hard).
ScreenPoint DifficultyButton(const MyApp& game, int difficulty) {
    ScreenPoint buttons[3];
    DifficultyButtonPositions(game.landscape, 0, buttons);
    return buttons[std::max(1, std::min(difficulty, 3)) - 1];
}

// Degrees between two bearings, 0 to 180.
float AngleBetween(float a, float b) {
    const float d = std::fmod(std::fabs(a - b), 360.0f);
    return d > 180.0f ? 360.0f - d : d;
}

}  // namespace

void DemoPilot::Steer(int windowWidth, int windowHeight, double* x, double* y, bool* buttonHeld) {
    const MyApp* game = CurrentGame();
    if (!game || game->loadStep != 0) {
        *buttonHeld = false;
        return;
    }
    if (heapAtStart_ < 0) heapAtStart_ = gc_alloced_bytes;
    const bool playing = game->screen == kScreenPlay;
    if (playing && !wasPlaying_) {
        ++gamesStarted_;
        sawDying_ = false;
        quitting_ = false;
        playTicks_ = 0;
        clickTicks_ = 0;
        targetColumn_ = -1;
    }
    wasPlaying_ = playing;
    if (playing) {
        InPlay(*game, x, y, buttonHeld);
    } else if (game->screen == kScreenMenu) {
        OnMenu(*game, x, y, buttonHeld);
    } else {
        *buttonHeld = false;
    }
    *x = std::max(0.0, std::min(*x, static_cast<double>(windowWidth - 1)));
    *y = std::max(0.0, std::min(*y, static_cast<double>(windowHeight - 1)));
}

void DemoPilot::ClickAt(const MyApp& game, float virtualX, float virtualY, double* x, double* y,
                        bool* held) {
    const double toX = virtualX * ScaleOf(game.scaleX);
    const double toY = virtualY * ScaleOf(game.scaleY);
    const int tick = clickTicks_ % kRetryUpdates;
    if (tick < kGlideUpdates) {
        const double remaining = kGlideUpdates - tick;
        *x += (toX - *x) / remaining;
        *y += (toY - *y) / remaining;
        *held = false;
    } else {
        *x = toX;
        *y = toY;
        *held = tick < kGlideUpdates + kPressUpdates;
    }
    ++clickTicks_;
}

void DemoPilot::OnMenu(const MyApp& game, double* x, double* y, bool* held) {
    *held = false;
    // Wait until the overlay of the last game has faded and the menu has slid into place.
    const bool ready =
        game.gameOverTimer == 0 && game.menuSlide == 0 && !game.creditsOpen && !game.badgesOpen;
    if (!ready) {
        clickTicks_ = 0;
        return;
    }
    const ScreenPoint button = DifficultyButton(game, difficulty_);
    ClickAt(game, button.x, button.y, x, y, held);
}

void DemoPilot::InPlay(const MyApp& game, double* x, double* y, bool* held) {
    *held = false;
    if (game.dying) {
        if (!sawDying_) {
            sawDying_ = true;
            ++gamesFinished_;
            Print(String("demo: game ") + String(gamesFinished_) + String(" over, score ") +
                  String(game.score) + String(" in round ") + String(game.round) +
                  String(", collector heap ") + String(gc_alloced_bytes) + String(" bytes"));
        }
        return;
    }
    if (game.paused) {
        InPauseMenu(game, x, y, held);
        return;
    }
    if (++playTicks_ >= longestGame_) {
        // Time to give up: the pause button in the corner, then quit.
        if (!quitting_) clickTicks_ = 0;
        quitting_ = true;
        ClickAt(game, kPauseButtonX, kPauseButtonY, x, y, held);
        return;
    }
    float targetX = 0;
    float targetY = 0;
    if (!PickTarget(game, &targetX, &targetY)) return;
    *x = targetX * ScaleOf(game.scaleX);
    *y = targetY * ScaleOf(game.scaleY);
    *held = playTicks_ % kBurstUpdates >= kBurstRelease;
}

void DemoPilot::InPauseMenu(const MyApp& game, double* x, double* y, bool* held) {
    *held = false;
    const float restY = jscrh * 0.5f;
    // Buttons only count once the panel has come to rest.
    if (game.pauseMotion != 1 || game.pauseSlide < restY) {
        clickTicks_ = 0;
        return;
    }
    const float cx = jscrw * 0.5f;
    const float y0 = static_cast<float>(game.pauseSlide);
    if (!quitting_) {
        // Paused by something else (the window lost the focus): carry on playing.
        ClickAt(game, cx, y0, x, y, held);
        return;
    }
    const ScreenPoint quit = PauseQuitPosition(game.landscape, cx, y0);
    ClickAt(game, quit.x, quit.y, x, y, held);
}

bool DemoPilot::PickTarget(const MyApp& game, float* targetX, float* targetY) {
    const int columns = std::min(game.gridW, kCellRowLength - 1);
    const int rows = std::min(game.gridH, kCellInts / (kCellRowLength * kCellStride) - 1);
    if (columns <= 0 || rows <= 0) return false;
    const FieldLayout field = LayoutField(game);
    const float cell = 8 * field.scale;
    auto alive = [&game](int column, int row) { return game.cells[CellIndex(column, row)] > 0; };
    // Stay on the current microbe until it is gone; otherwise take the one the ship can reach
    // soonest.
    if (targetColumn_ < 0 || targetColumn_ > columns || targetRow_ < 0 || targetRow_ > rows ||
        !alive(targetColumn_, targetRow_)) {
        float best = 1e9f;
        targetColumn_ = -1;
        for (int row = 0; row <= rows; ++row) {
            for (int column = 0; column <= columns; ++column) {
                if (!alive(column, row)) continue;
                const float bearing = ATan2Deg(field.originX + cell * column - field.cx,
                                               field.cy - (field.originY + cell * row));
                const float turn = AngleBetween(bearing, static_cast<float>(game.shipAngle));
                if (turn < best) {
                    best = turn;
                    targetColumn_ = column;
                    targetRow_ = row;
                }
            }
        }
        if (targetColumn_ < 0) return false;
    }
    *targetX = field.originX + cell * targetColumn_;
    *targetY = field.originY + cell * targetRow_;
    return true;
}

std::string DemoPilot::Summary() const {
    return "demo: " + std::to_string(gamesStarted_) + " games started, " +
           std::to_string(gamesFinished_) + " finished; collector heap " +
           std::to_string(heapAtStart_) + " bytes at start, " + std::to_string(gc_alloced_bytes) +
           " bytes at the end (peak " + std::to_string(gc_max_alloced_bytes) + ")";
}
