// The scenes the benchmarks measure, steering the real game between updates.
//
// Crowded play: the game is started straight from the menu, and before every update each empty
// cell within 20 cells of the dish's middle is given a full-grown microbe and the energy is
// topped up, but for a lane in front of the ship, so more than a thousand microbes live, shots fly
// down the lane into them, debris spins and the game never ends. The pointer circles the dish with
// the button held in bursts (held fire slows down, as in play). The game's own rules never reach
// this crowd (spreading stops at about 14 cells from the middle and crowding drains the energy): it
// is a load, not a game. The player has every badge already: an award is a one-off event (it
// announces itself and builds the pop-up's name once), not the steady play measured here.
#pragma once

#include <cmath>

#include "game/badges.h"
#include "game/my_app.h"
#include "host/app.h"

inline MyApp* BenchGame() {
    AppDevice* device = app::device;
    if (!device) return nullptr;
    return dynamic_cast<MyApp*>(static_cast<App*>(device->app));
}

// The microbes the game drew on its last cell pass (the shown crowd).
inline int LiveMicrobes(const MyApp& game) {
    return game.liveCount;
}

inline int FlyingShots(const MyApp& game) {
    int n = 0;
    for (int i = 0; i < vexmo::kShotSlots; ++i) n += game.shots[i * vexmo::kShotStride] > 0;
    return n;
}

inline int FlyingDebris(const MyApp& game) {
    int n = 0;
    for (int i = 0; i < vexmo::kParticleSlots; ++i) {
        n += game.particles[i * vexmo::kParticleStride] > 0;
    }
    return n;
}

class CrowdScene {
public:
    static constexpr int kCrowdRadius = 20;
    static constexpr int kBurst = 12;

    // Before an update: steer the game, and say where the pointer is (window pixels) and
    // whether the left button is held.
    void BeforeUpdate(MyApp& game, int width, int height, double* x, double* y, bool* held) {
        *x = width / 2.0;
        *y = height / 2.0;
        *held = false;
        if (game.loadStep != 0) return;
        if (game.screen == vexmo::kScreenMenu) {
            for (int badge = 0; badge <= vexmo::kBadgeLastDefined; ++badge)
                game.badgeGot[badge] = true;
            game.screen = vexmo::kScreenStartPlay;
            return;
        }
        if (game.screen != vexmo::kScreenPlay) return;
        Fill(game);
        game.energy = 300;
        ++ticks_;
        const double angle = ticks_ * 0.05;
        const double radius = 0.45 * (width < height ? width : height);
        *x = width / 2.0 + std::sin(angle) * radius;
        *y = height / 2.0 - std::cos(angle) * radius;
        *held = ticks_ % kBurst != 0;
    }

    // Playing with the crowd in place.
    bool Ready(const MyApp& game) const {
        return game.loadStep == 0 && game.screen == vexmo::kScreenPlay && ticks_ > 150 &&
               LiveMicrobes(game) >= 1000;
    }

private:
    // A narrow lane from the ship toward the middle stays empty, so shots fly a while before
    // they meet the crowd.
    static bool InFiringLane(const MyApp& game, int dx, int dy) {
        if (dx * dx + dy * dy < kLaneInner * kLaneInner) return false;
        const double bearing = std::atan2(double(dx), double(-dy)) * 180.0 / 3.14159265358979;
        double off = std::fmod(std::fabs(bearing - game.shipAngle), 360.0);
        if (off > 180.0) off = 360.0 - off;
        return off < kLaneHalfWidth;
    }

    static constexpr int kLaneInner = 8;
    static constexpr double kLaneHalfWidth = 12.0;

    static void Fill(MyApp& game) {
        const int cx = game.gridW / 2;
        const int cy = game.gridH / 2;
        for (int row = 0; row <= game.gridH; ++row) {
            for (int column = 0; column <= game.gridW; ++column) {
                const int dx = column - cx;
                const int dy = row - cy;
                if (dx * dx + dy * dy > kCrowdRadius * kCrowdRadius) continue;
                const int c = (row * vexmo::kCellRowLength + column) * vexmo::kCellStride;
                if (InFiringLane(game, dx, dy)) {
                    game.cells[c] = 0;
                    continue;
                }
                if (game.cells[c] != 0) continue;
                game.cells[c] = 1 + (column * 7 + row * 3) % 5;  // never the reflecting kind
                game.cells[c + 1] = 79;                          // full grown
                game.cells[c + 2] = 0;
            }
        }
    }

    long ticks_ = 0;
};
