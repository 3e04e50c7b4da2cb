#include "game/replay_verify.h"

#include <cstdio>
#include <filesystem>

#include "game/my_app.h"
#include "game/replay_session.h"
#include "game/replay_start.h"
#include "graphics/gl_software_table.h"
#include "host/app_host.h"
#include "host/data_location.h"
#include "host/entry.h"
#include "host/replay_player.h"
#include "host/replay_tape.h"
#include "music/kuv_strip.h"
#include "platform/data_path.h"
#include "platform/platform_headless.h"
#include "runtime/console.h"
#include "runtime/gc.h"

namespace {

// More than a cold start of the loader ever takes.
constexpr int kMostLoadingUpdates = 600;
constexpr int kLargestSide = 16384;

// Holds back the game's console lines (tune names, load messages) while it plays, so a
// verification prints only its verdict.
class QuietConsole {
public:
    QuietConsole() : before_(SetConsoleSink({Drop, nullptr})) {}
    ~QuietConsole() { SetConsoleSink(before_); }
    QuietConsole(const QuietConsole&) = delete;
    QuietConsole& operator=(const QuietConsole&) = delete;

private:
    static void Drop(ConsoleStream, const char*, std::size_t, void*) {}
    ConsoleSinkSlot before_;
};

// What a verification changes in the process and puts back: the platform, the GL table, the
// record's place (nothing is saved while verifying), the hook observer and the recorder.
class Isolation {
public:
    explicit Isolation(const int size[4]) {
        previous_.dataFolder = DataFolder();
        previous_.recordPath = RecordPath();
        const std::filesystem::path folder =
            std::filesystem::path(previous_.recordPath).parent_path();
        previous_.recordFolder = folder.string();
        DataLocation none;
        none.dataFolder = previous_.dataFolder;
        UseDataLocation(none);
        observer_ = host::hookObserver;
        host::hookObserver = nullptr;
        recorder_ = vexmo::CurrentReplayRecorder();
        vexmo::SetReplayRecorder(nullptr);
        platform_ = &CurrentPlatform();
        gl_ = InstallSoftwareGl(size[2], size[3]);
        // Only the strip frames of the tunes are ever read back, from the top-left corner.
        LimitSoftwareGl(kuv::kFrameSide, kuv::kFrameSide);
        vexmo::SetPictureShown(false);
    }
    ~Isolation() {
        // Drop every global that reaches this game and collect it while the software table is
        // still installed, so no texture of it is deleted later through another GL.
        initGlobals(GameHooks{InitGameGlobals, nullptr});
        host::app = nullptr;
        for (int i = 0; i < 3; ++i) {
            gc_force_sweep = true;
            gc_collect();
        }
        vexmo::SetPictureShown(true);
        RemoveSoftwareGl();
        SetGlTable(gl_);
        SetCurrentPlatform(platform_);
        vexmo::SetReplayRecorder(recorder_);
        host::hookObserver = observer_;
        UseDataLocation(previous_);
    }
    Isolation(const Isolation&) = delete;
    Isolation& operator=(const Isolation&) = delete;

private:
    DataLocation previous_;
    HookObserver* observer_ = nullptr;
    ReplayRecorder* recorder_ = nullptr;
    Platform* platform_ = nullptr;
    GlTable gl_{};
};

bool PlausibleSize(const int size[4]) {
    for (int i = 0; i < 4; ++i) {
        if (size[i] < 1 || size[i] > kLargestSide) return false;
    }
    return true;
}

}  // namespace

const char* DifficultyName(int difficulty) {
    return vexmo::DifficultyName(difficulty);
}

long ReplayStepLimit(long updates) {
    // A render follows each batch of updates; suspends and resumes come in pairs.
    return 2 * updates + 1000;
}

bool BringToReplayStart(MyApp& game, gxtkApp& host, ReplayPlayer& player,
                        const std::vector<uint8_t>& start, std::string* why) {
    for (int i = 0; i < kMostLoadingUpdates; ++i) {
        if (game.loadStep == 0 && game.screen == vexmo::kScreenMenu) break;
        player.AdvanceFreeClock(1.0 / 60.0);
        host.InvokeOnUpdate();
        host.InvokeOnRender();
    }
    if (game.loadStep != 0 || game.screen != vexmo::kScreenMenu) {
        *why = "the game could not load its data to play the replay";
        return false;
    }
    if (!vexmo::ApplyReplayStart(game, start, why)) return false;
    player.StartTape();
    return true;
}

std::string VerdictLine(const ReplayVerdict& verdict, const std::string& name) {
    if (!verdict.ok) return name + ": " + verdict.reason;
    return "score " + std::to_string(verdict.score) + " difficulty " +
           std::to_string(verdict.difficulty) + " rounds " + std::to_string(verdict.rounds) +
           " updates " + std::to_string(verdict.updates);
}

ReplayVerdict VerifyReplay(const std::vector<unsigned char>& bytes) {
    ReplayVerdict verdict;
    Replay replay;
    if (!DecodeReplay(bytes, &replay, &verdict.reason)) return verdict;
    const ReplayHeader& header = replay.header;
    if (!PlausibleSize(header.size)) {
        verdict.reason = "the replay's window size is damaged";
        return verdict;
    }
    // Read through before anything runs: a damaged tape, or one longer than it claims, never
    // starts a long run.
    const TapeSummary summary = WalkTape(replay.tape);
    if (!summary.ok) {
        verdict.reason = summary.why;
        return verdict;
    }
    if (summary.updates != header.updates || summary.hooks > ReplayStepLimit(header.updates)) {
        verdict.reason = "the replay holds " + std::to_string(summary.updates) +
                         " updates, not the " + std::to_string(header.updates) + " it claims";
        return verdict;
    }

    const QuietConsole quiet;
    HeadlessPlatform headless;
    headless.Init();
    headless.OpenWindow(header.size[0], header.size[1], "Vexmo");
    ReplayPlayer player(headless, &replay.tape, header.size);
    // Last made, first undone: the game is collected while the player is still there.
    const Isolation isolation(header.size);
    SetCurrentPlatform(&player);
    initGlobals(GameHooks{InitGameGlobals, nullptr});
    gc_mark();
    MyApp* game = gc_new<MyApp>();
    gxtkApp* host = host::app;
    player.SetListener(&host::HostListener());
    host->InvokeOnCreate();
    host->InvokeOnRender();
    if (!BringToReplayStart(*game, *host, player, replay.start, &verdict.reason)) return verdict;

    const long limit = ReplayStepLimit(header.updates);
    long steps = 0;
    while (player.Step(*host)) {
        if (++steps > limit || player.Updates() > header.updates) {
            verdict.reason =
                "the replay runs past the " + std::to_string(header.updates) + " updates it claims";
            return verdict;
        }
    }
    if (player.Failed()) {
        verdict.reason = player.Why();
        return verdict;
    }
    verdict.score = game->score;
    verdict.difficulty = game->difficulty;
    verdict.rounds = game->round;
    verdict.updates = player.Updates();
    if (verdict.updates != header.updates || verdict.score != header.score ||
        verdict.difficulty != header.difficulty || verdict.rounds != header.rounds) {
        verdict.reason = "the replay plays to score " + std::to_string(verdict.score) + " in " +
                         std::to_string(verdict.rounds) + " rounds and " +
                         std::to_string(verdict.updates) + " updates, not the score " +
                         std::to_string(header.score) + " in " + std::to_string(header.rounds) +
                         " rounds and " + std::to_string(header.updates) + " updates it claims";
        return verdict;
    }
    if (vexmo::RecordCrc(*game) != header.recordCrc) {
        verdict.reason = "the replay plays to its score but leaves another saved record";
        return verdict;
    }
    verdict.ok = true;
    return verdict;
}
