#include "game/replay_watch.h"

#include "game/my_app.h"
#include "game/replay_verify.h"
#include "host/app.h"
#include "host/app_host.h"
#include "host/replay_player.h"

namespace vexmo {

namespace {

constexpr double kUpdatePeriod = 1.0 / 60.0;
constexpr double kFastFactor = 4.0;
// After a stall (a dragged window, a slow disk) the replay goes on from now rather than racing
// through what it missed.
constexpr double kLargestLag = 0.25;
constexpr double kPausedPoll = 0.02;

ReplayPlayer* g_player = nullptr;
const std::vector<uint8_t>* g_start = nullptr;
std::string g_failure;

MyApp* GameOf() {
    if (app::device == nullptr) return nullptr;
    return dynamic_cast<MyApp*>(static_cast<App*>(app::device->app));
}

// Runs the next update and whatever the tape holds before the one after it (its render).
bool StepOneUpdate(ReplayPlayer& player, gxtkApp& host) {
    bool ran = false;
    while (!ran || !player.NextIsUpdate()) {
        if (!player.Step(host)) return false;
        ran = ran || player.SteppedUpdate();
        if (ran && player.NextIsUpdate()) break;
    }
    return true;
}

void WatchLoop(gxtkApp& host) {
    ReplayPlayer& player = *g_player;
    MyApp* game = GameOf();
    if (game == nullptr) {
        g_failure = "the game could not be made";
        return;
    }
    if (!BringToReplayStart(*game, host, player, *g_start, &g_failure)) return;
    double due = player.WallTime();
    const long limit = ReplayStepLimit(kReplayMaxUpdates);
    long updates = 0;
    while (player.IsOpen()) {
        player.PollEvents();
        if (player.Watching().paused) {
            player.WallSleep(kPausedPoll);
            due = player.WallTime();
            continue;
        }
        const double now = player.WallTime();
        if (now < due) {
            player.WallSleep(due - now);
            continue;
        }
        if (!StepOneUpdate(player, host) || ++updates > limit) break;
        due += kUpdatePeriod / (player.Watching().fast ? kFastFactor : 1.0);
        if (now - due > kLargestLag) due = now;
    }
    if (player.Failed()) g_failure = player.Why();
}

}  // namespace

void WatchReplayInLoop(ReplayPlayer* player, const std::vector<uint8_t>* start) {
    g_player = player;
    g_start = start;
    g_failure.clear();
    host::loopOverride = WatchLoop;
}

const std::string& WatchFailure() {
    return g_failure;
}

}  // namespace vexmo
