// Recorded games for the replay tests: the real game on the headless platform, steered by the
// demo autopilot through the session wrapper, with the replay recorder outermost, exactly as
// `vexmo --demo` stacks them, but with the clock advanced by hand so a game takes no real time.
// The clock steps are uneven (now and then two updates fall before one render, and the render
// clock drifts), as on a real machine, so replays are tested on more than a perfect rhythm.
//
// The GL is the software frame buffer that verification uses, so tunes read back the same
// pixels while recording as while verifying.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "game/demo_pilot.h"
#include "game/my_app.h"
#include "game/replay_session.h"
#include "graphics/gl_software_table.h"
#include "host/app_host.h"
#include "host/data_location.h"
#include "host/entry.h"
#include "host/replay_recorder.h"
#include "host/state_file.h"
#include "platform/platform_headless.h"
#include "platform/session_platform.h"
#include "runtime/gc.h"

struct RecordedGame {
    std::vector<uint8_t> bytes;
    int score = 0;  // as the game had it when it filed its score
    int difficulty = 0;
    int rounds = 0;
    std::string record;  // the saved record's text right after the game
};

// Plays `games` demo games at `difficulty` (each quit through the pause menu after
// `longestGame` updates at the latest) and returns their replays. Verify them only after this
// returns: it owns the process's game while it runs.
// With `resizeAt` > 0 the window takes `resized` size after that many frames, mid-game.
struct WindowPlan {
    int width = 640;
    int height = 480;
    long resizeAt = 0;
    int resizedWidth = 0;
    int resizedHeight = 0;
};

// `copyFolder` is handed to --record's setting ("" for none).
inline std::vector<RecordedGame> RecordDemoGames(int difficulty, int games, int longestGame,
                                                 WindowPlan window = WindowPlan(),
                                                 const std::string& copyFolder = "") {
    const int width = window.width;
    const int height = window.height;
    std::vector<RecordedGame> recorded;
    char pattern[] = "/tmp/vexmo-replay-test-XXXXXX";
    const char* made = mkdtemp(pattern);
    if (made == nullptr) return recorded;
    const std::filesystem::path scratch = made;
    const std::filesystem::path previous = std::filesystem::current_path();
    std::error_code error;
    std::filesystem::create_directory_symlink(std::filesystem::path(VEXMO_BINARY_DIR) / "data",
                                              scratch / "data", error);
    std::filesystem::current_path(scratch);
    UseDataLocation(WorkingFolderLocation());
    {
        HeadlessPlatform headless;
        headless.Init();
        headless.OpenWindow(width, height, "Vexmo");
        headless.SetTime(3.25);
        SessionPlatform session(headless);
        DemoPilot pilot;
        pilot.SetDifficulty(difficulty);
        pilot.SetLongestGame(longestGame);
        session.SetPilot(&pilot);
        ReplayRecorder recorder(session);
        SetCurrentPlatform(&recorder);
        vexmo::SetReplayRecorder(&recorder);
        vexmo::SetReplayCopyFolder(copyFolder);
        const GlTable previousGl = InstallSoftwareGl(width, height);
        LimitSoftwareGl(64, 64);
        initGlobals(GameHooks{InitGameGlobals, nullptr});
        gc_mark();
        MyApp* game = gc_new<MyApp>();
        gxtkApp* host = host::app;
        recorder.SetListener(&host::HostListener());
        host->InvokeOnCreate();
        host->InvokeOnRender();
        int lastScreen = game->screen;
        for (long frame = 0; frame < 400000 && static_cast<int>(recorded.size()) < games; ++frame) {
            headless.AdvanceTime(1.0 / 60.0 + ((frame % 7) - 3) * 0.0007);
            if (window.resizeAt > 0 && frame == window.resizeAt) {
                headless.SetWindowSizeNow(window.resizedWidth, window.resizedHeight);
            }
            host->InvokeOnUpdate();
            if (lastScreen == vexmo::kScreenBackToMenu && game->screen == vexmo::kScreenMenu) {
                RecordedGame g;
                g.bytes = vexmo::LastReplay();
                g.score = game->score;
                g.difficulty = game->difficulty;
                g.rounds = game->round;
                g.record = Narrow(LoadStateFile(".vantorstate"));
                recorded.push_back(g);
            }
            lastScreen = game->screen;
            if (frame % 11 == 5) continue;  // two updates before this render
            host->InvokeOnRender();
        }
        recorder.SetListener(nullptr);
        vexmo::SetReplayRecorder(nullptr);
        vexmo::SetReplayCopyFolder("");
        initGlobals(GameHooks{InitGameGlobals, nullptr});
        host::app = nullptr;
        for (int i = 0; i < 3; ++i) {
            gc_force_sweep = true;
            gc_collect();
        }
        RemoveSoftwareGl();
        SetGlTable(previousGl);
        SetCurrentPlatform(nullptr);
    }
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(scratch, error);
    UseDataLocation(WorkingFolderLocation());
    return recorded;
}
