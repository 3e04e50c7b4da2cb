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

// The updates one browser pass may run: 4x with a quarter of a second to catch up, and then some.
constexpr int kMostUpdatesInPass = 72;

ReplayPlayer* g_player = nullptr;
const std::vector<uint8_t>* g_start = nullptr;
std::string g_failure;
void (*g_finished)() = nullptr;

// Where the watching stands between turns.
struct Pace {
    bool begun = false;
    bool over = false;
    double due = 0.0;
    long limit = 0;
    long updates = 0;
};
Pace g_pace;

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

// Puts the game just made at the replay's starting point. False (WatchFailure says why) when
// it cannot be.
bool BeginWatch(gxtkApp& host) {
    ReplayPlayer& player = *g_player;
    g_pace = Pace();
    g_pace.begun = true;
    MyApp* game = GameOf();
    if (game == nullptr) {
        g_failure = "the game could not be made";
        return false;
    }
    if (!BringToReplayStart(*game, host, player, *g_start, &g_failure)) return false;
    g_pace.due = player.WallTime();
    g_pace.limit = ReplayStepLimit(kReplayMaxUpdates);
    return true;
}

enum class Turn { kStepped, kWaited, kOver };

// One turn of watching: the watcher's keys, then one update when it is due. A turn that waits
// sleeps on the window's clock, which a browser's does not: its pass ends there instead.
Turn WatchTurn(gxtkApp& host) {
    ReplayPlayer& player = *g_player;
    if (!player.IsOpen()) return Turn::kOver;
    player.PollEvents();
    if (player.Watching().paused) {
        player.WallSleep(kPausedPoll);
        g_pace.due = player.WallTime();
        return Turn::kWaited;
    }
    const double now = player.WallTime();
    if (now < g_pace.due) {
        player.WallSleep(g_pace.due - now);
        return Turn::kWaited;
    }
    if (!StepOneUpdate(player, host) || ++g_pace.updates > g_pace.limit) return Turn::kOver;
    g_pace.due += kUpdatePeriod / (player.Watching().fast ? kFastFactor : 1.0);
    if (now - g_pace.due > kLargestLag) g_pace.due = now;
    return Turn::kStepped;
}

void EndWatch() {
    g_pace.over = true;
    if (g_player->Failed()) g_failure = g_player->Why();
}

void WatchLoop(gxtkApp& host) {
    if (!BeginWatch(host)) return;
    while (WatchTurn(host) != Turn::kOver) {
    }
    EndWatch();
}

void FinishPasses() {
    g_pace.over = true;
    if (g_finished) g_finished();
}

void WatchPass(gxtkApp& host) {
    if (g_pace.over) return;
    if (!g_pace.begun && !BeginWatch(host)) {
        FinishPasses();
        return;
    }
    for (int i = 0; i < kMostUpdatesInPass; ++i) {
        const Turn turn = WatchTurn(host);
        if (turn == Turn::kWaited) return;
        if (turn == Turn::kOver) {
            EndWatch();
            FinishPasses();
            return;
        }
    }
}

}  // namespace

void WatchReplayInLoop(ReplayPlayer* player, const std::vector<uint8_t>* start) {
    g_player = player;
    g_start = start;
    g_failure.clear();
    host::loopOverride = WatchLoop;
}

void WatchReplayInPasses(ReplayPlayer* player, const std::vector<uint8_t>* start,
                         void (*finished)()) {
    g_player = player;
    g_start = start;
    g_failure.clear();
    g_finished = finished;
    g_pace = Pace();
    host::passOverride = WatchPass;
}

const std::string& WatchFailure() {
    return g_failure;
}

}  // namespace vexmo
