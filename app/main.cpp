// Process entry: the game on a real window. Options only add to the ordinary run (an autopilot,
// a run length, a screenshot); without any, the platform is the plain GLFW one.
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/program_main.h"
#include "game/demo_pilot.h"
#include "game/replay_session.h"
#include "game/replay_verify.h"
#include "game/replay_watch.h"
#include "game/score_board.h"
#include "host/app_host.h"
#include "host/command_line.h"
#include "host/data_location.h"
#include "host/entry.h"
#include "host/replay_file.h"
#include "host/replay_player.h"
#include "host/replay_recorder.h"
#include "host/window_mode.h"
#include "platform/data_path.h"
#include "platform/platform_glfw.h"
#include "platform/regular_file.h"
#include "platform/session_platform.h"
#include "platform/web_client.h"
#include "runtime/console.h"

namespace {

bool NeedsSession(const RunOptions& options) {
    return options.demo || options.frameLimit > 0 || !options.screenshot.empty();
}

// Every game is recorded: the recorder wraps what the game plays on (an autopilot's moves
// included, so a demo game's replay holds them as a hand's).
int RunRecorded(int argc, char** argv, Platform& platform, const RunOptions& options) {
    if (!options.scoresUrl.empty()) {
        std::string why;
        std::unique_ptr<WebClient> board = NewWebClient(options.scoresUrl, &why);
        if (!board) ConsoleLine("Score board not used: " + why);
        vexmo::UseScoreBoard(std::move(board), false);
    }
    ReplayRecorder recorder(platform);
    vexmo::SetReplayRecorder(&recorder);
    vexmo::SetReplayCopyFolder(options.recordDir);
    const int status = hostMain(argc, argv, recorder, VexmoHooks());
    vexmo::SetReplayRecorder(nullptr);
    vexmo::UseScoreBoard(nullptr, false);
    return status;
}

int RunSession(int argc, char** argv, Platform& glfw, const RunOptions& options) {
    SessionPlatform session(glfw);
    session.SetUpdateLimit(options.frameLimit);
    session.SetCaptureFrames(!options.screenshot.empty());
    DemoPilot pilot;
    if (options.demo) session.SetPilot(&pilot);
    // The demo plays on the player's record (its sound mode, its scores on the menu) but files
    // nothing into it, unless a test asks for that.
    if (options.demo && !options.demoSaves) {
        host::SetRecordWritable(false);
        ConsoleLine("demo: the saved record is read, not written");
    }
    const int status = RunRecorded(argc, argv, session, options);
    SetCurrentPlatform(nullptr);
    if (options.demo) ConsoleLine(pilot.Summary());
    int result = status;
    if (!options.screenshot.empty()) {
        std::string why;
        if (WriteFramePng(session.LastFrame(), options.screenshot, &why)) {
            ConsoleLine("screenshot: " + options.screenshot);
        } else {
            ConsoleLine("Screenshot failed: " + why);
            // Whoever asked for the picture must not take a missing one for a written one.
            if (result == 0) result = 1;
        }
    }
    return result;
}

// A replay of four hours is well under this; a larger file is not one, and is not read whole.
constexpr long long kLargestReplayBytes = 64LL << 20;

// Only a regular file is read (a pipe named on the command line must not hang a verification).
bool ReadReplayFile(const std::string& path, std::vector<unsigned char>* bytes, std::string* why) {
    std::string content;
    FileRefusal refusal;
    if (!ReadRegularFile(path, kLargestReplayBytes, &content, &refusal)) {
        *why = refusal.missing ? "cannot be read: no such file" : refusal.reason;
        return false;
    }
    bytes->assign(content.begin(), content.end());
    return true;
}

int Verify(const std::string& path) {
    std::vector<unsigned char> bytes;
    std::string why;
    if (!ReadReplayFile(path, &bytes, &why)) {
        ConsoleLine(path + ": " + why);
        return 1;
    }
    const ReplayVerdict verdict = VerifyReplay(bytes);
    ConsoleLine(VerdictLine(verdict, path));
    return verdict.ok ? 0 : 1;
}

// Watching saves nothing: the record stays as the player left it.
int Watch(int argc, char** argv, Platform& glfw, const std::string& path) {
    std::vector<unsigned char> bytes;
    Replay replay;
    std::string why = "cannot be read";
    if (!ReadReplayFile(path, &bytes, &why) || !DecodeReplay(bytes, &replay, &why)) {
        ConsoleLine(path + ": " + why);
        return 1;
    }
    DataLocation readOnly;
    readOnly.dataFolder = DataFolder();
    UseDataLocation(readOnly);
    ReplayPlayer player(glfw, &replay.tape, replay.header.size);
    vexmo::WatchReplayInLoop(&player, &replay.start);
    hostMain(argc, argv, player, VexmoHooks());
    SetCurrentPlatform(nullptr);
    if (!vexmo::WatchFailure().empty()) {
        ConsoleLine(path + ": " + vexmo::WatchFailure());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string program = argc > 0 && argv[0] ? argv[0] : "vexmo";
    const CommandLine line = ParseCommandLine(argc, argv);
    const int early = ReportCommandLine(line, program);
    if (line.action == CommandLineAction::kShowHelp) {
        const DataLocation location =
            FindDataLocation(ThisProcessPlaces(line.options.dataFolder, program.c_str()));
        ConsoleText(DescribeDataLocation(location));
    }
    if (early >= 0) return early;
    const int placeStatus = StartWithDataLocation(line.options.dataFolder, program.c_str());
    if (placeStatus >= 0) return placeStatus;
    if (!line.options.verifyFile.empty()) return Verify(line.options.verifyFile);

    host::SetStartFullscreen(line.options.fullscreen);
    const std::unique_ptr<Platform> platform = NewGlfwPlatform();
    if (!line.options.replayFile.empty())
        return Watch(argc, argv, *platform, line.options.replayFile);
    if (NeedsSession(line.options)) return RunSession(argc, argv, *platform, line.options);
    const int status = RunRecorded(argc, argv, *platform, line.options);
    SetCurrentPlatform(nullptr);
    return status;
}
