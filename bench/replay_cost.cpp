// What replays cost: a typical demo game (normal difficulty, the autopilot of `vexmo --demo`,
// quit through the pause menu after three minutes at the latest) is played on the headless
// backend twice over the same clock, once recorded and once not, then its replay is verified.
//
//   bench_replay_cost --data DIR [--longest UPDATES] [--difficulty 1|2|3] [--seed N] [--save FILE]
//
// Prints "key=value" lines: replay_bytes, updates, bytes_per_minute, verify_seconds,
// verify_updates_per_second, verify_realtime_factor, allocations_per_update_recorded (steady
// play, counted from 30 s into the game to the end of the game), and processor ns per frame
// with and without recording. --save keeps the replay; --seed N starts the clock N ms later,
// which makes another game (the score board's bench posts twenty of them).
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/alloc_hook.h"
#include "bench/measure.h"
#include "game/demo_pilot.h"
#include "game/my_app.h"
#include "game/replay_session.h"
#include "game/replay_verify.h"
#include "graphics/gl_software_table.h"
#include "host/app_host.h"
#include "host/data_location.h"
#include "host/entry.h"
#include "host/replay_recorder.h"
#include "platform/platform_headless.h"
#include "platform/session_platform.h"
#include "runtime/gc.h"

namespace {

struct Run {
    std::vector<uint8_t> replay;
    long frames = 0;
    double seconds = 0;
    long countedUpdates = 0;
    long allocations = 0;
};

double CpuNow() {
    return CpuSample::Now().cpu;
}

// One demo game from start-up to its filed score; recorded or not.
Run PlayOneGame(bool recorded, int longest, int difficulty, int seed) {
    Run run;
    HeadlessPlatform headless;
    headless.Init();
    headless.OpenWindow(640, 480, "Vexmo");
    // The clock at start seeds the rounds: another start, another game.
    headless.SetTime(2.0 + 0.001 * seed);
    SessionPlatform session(headless);
    DemoPilot pilot;
    pilot.SetLongestGame(longest);
    pilot.SetDifficulty(difficulty);
    session.SetPilot(&pilot);
    ReplayRecorder recorder(session);
    SetCurrentPlatform(&recorder);
    vexmo::SetReplayRecorder(recorded ? &recorder : nullptr);
    if (!recorded) host::hookObserver = nullptr;
    const GlTable previous = InstallSoftwareGl(640, 480);
    LimitSoftwareGl(64, 64);
    initGlobals(GameHooks{InitGameGlobals, nullptr});
    gc_mark();
    MyApp* game = gc_new<MyApp>();
    gxtkApp* host = host::app;
    recorder.SetListener(&host::HostListener());
    host->InvokeOnCreate();
    host->InvokeOnRender();
    int lastScreen = game->screen;
    long playUpdates = 0;
    const double start = CpuNow();
    for (long frame = 0; frame < 100000; ++frame) {
        headless.AdvanceTime(1.0 / 60.0 + ((frame % 7) - 3) * 0.0007);
        // Steady play: from 30 seconds into the game on.
        // Tunes load as rounds begin, and allocate while they do (the music player's own
        // business, measured by its own benchmarks): those updates are left out.
        const bool inPlay = game->screen == vexmo::kScreenPlay;
        playUpdates += inPlay ? 1 : 0;
        const bool steady = inPlay && playUpdates > 1800 && game->startCountdown == 0 &&
                            game->dying == 0 && game->musicPlayer->tuneLoadStep == 0;
        g_counting = steady;
        host->InvokeOnUpdate();
        g_counting = false;
        host->InvokeOnRender();
        if (steady) ++run.countedUpdates;
        ++run.frames;
        if (lastScreen == vexmo::kScreenBackToMenu && game->screen == vexmo::kScreenMenu) break;
        lastScreen = game->screen;
    }
    run.seconds = CpuNow() - start;
    run.allocations = g_allocations;
    g_allocations = 0;
    run.replay = vexmo::LastReplay();
    recorder.SetListener(nullptr);
    vexmo::SetReplayRecorder(nullptr);
    initGlobals(GameHooks{InitGameGlobals, nullptr});
    host::app = nullptr;
    for (int i = 0; i < 3; ++i) {
        gc_force_sweep = true;
        gc_collect();
    }
    RemoveSoftwareGl();
    SetGlTable(previous);
    SetCurrentPlatform(nullptr);
    return run;
}

}  // namespace

int main(int argc, char** argv) {
    std::string data;
    int longest = DemoPilot::kLongestGame;
    int difficulty = 2;
    int seed = 0;
    std::string save;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string arg = argv[i];
        if (arg == "--data") data = argv[i + 1];
        if (arg == "--longest") longest = std::atoi(argv[i + 1]);
        if (arg == "--difficulty") difficulty = std::atoi(argv[i + 1]);
        if (arg == "--seed") seed = std::atoi(argv[i + 1]);
        if (arg == "--save") save = std::filesystem::absolute(argv[i + 1]).string();
    }
    if (data.empty()) {
        std::fprintf(stderr,
                     "usage: bench_replay_cost --data DIR [--longest UPDATES] [--difficulty D] "
                     "[--seed N] [--save FILE]\n");
        return 2;
    }
    char pattern[] = "/tmp/vexmo-bench-replay-XXXXXX";
    const char* made = mkdtemp(pattern);
    if (!made) return 1;
    std::error_code error;
    std::filesystem::create_directory_symlink(std::filesystem::absolute(data),
                                              std::filesystem::path(made) / "data", error);
    std::filesystem::current_path(made);
    UseDataLocation(WorkingFolderLocation());

    const Run plain = PlayOneGame(false, longest, difficulty, seed);
    const Run recorded = PlayOneGame(true, longest, difficulty, seed);
    ReplayHeader header;
    std::string why;
    if (!DecodeReplayHeader(recorded.replay, &header, &why)) {
        std::fprintf(stderr, "no replay: %s\n", why.c_str());
        return 1;
    }
    // Processor time: the machine may be shared, and the target is for one core.
    const double verifyStart = CpuNow();
    const ReplayVerdict verdict = VerifyReplay(recorded.replay);
    const double verifySeconds = CpuNow() - verifyStart;
    if (!save.empty()) {
        if (std::FILE* f = std::fopen(save.c_str(), "wb")) {
            std::fwrite(recorded.replay.data(), 1, recorded.replay.size(), f);
            std::fclose(f);
        }
    }
    std::filesystem::current_path("/");
    std::filesystem::remove_all(made, error);
    if (!verdict.ok) {
        std::fprintf(stderr, "did not verify: %s\n", verdict.reason.c_str());
        return 1;
    }
    const double minutes = header.updates / 3600.0;
    std::printf("replay_bytes=%zu\n", recorded.replay.size());
    std::printf("updates=%ld\n", header.updates);
    std::printf("score=%d\n", verdict.score);
    std::printf("bytes_per_minute=%.0f\n", recorded.replay.size() / minutes);
    std::printf("verify_seconds=%.3f\n", verifySeconds);
    std::printf("verify_updates_per_second=%.0f\n", header.updates / verifySeconds);
    std::printf("verify_realtime_factor=%.0f\n", header.updates / verifySeconds / 60.0);
    std::printf(
        "allocations_per_update_recorded=%.4f (%ld in %ld updates)\n",
        recorded.countedUpdates ? double(recorded.allocations) / recorded.countedUpdates : 0.0,
        recorded.allocations, recorded.countedUpdates);
    std::printf("allocations_per_update_plain=%.4f\n",
                plain.countedUpdates ? double(plain.allocations) / plain.countedUpdates : 0.0);
    std::printf("ns_per_frame_recorded=%.0f\n", recorded.seconds / recorded.frames * 1e9);
    std::printf("ns_per_frame_plain=%.0f\n", plain.seconds / plain.frames * 1e9);
    return 0;
}
