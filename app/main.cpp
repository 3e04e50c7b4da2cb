// Process entry: the game on a real window. Options only add to the ordinary run (an autopilot,
// a run length, a screenshot); without any, the platform is the plain GLFW one.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "game/demo_pilot.h"
#include "game/replay_session.h"
#include "game/replay_verify.h"
#include "game/replay_watch.h"
#include "host/command_line.h"
#include "host/data_location.h"
#include "host/entry.h"
#include "host/replay_file.h"
#include "host/replay_player.h"
#include "host/replay_recorder.h"
#include "host/window_mode.h"
#include "platform/data_path.h"
#include "platform/platform_glfw.h"
#include "platform/session_platform.h"

namespace {

bool NeedsSession(const RunOptions& options) {
    return options.demo || options.frameLimit > 0 || !options.screenshot.empty();
}

// Every game is recorded: the recorder wraps what the game plays on (an autopilot's moves
// included, so a demo game's replay holds them as a hand's).
int RunRecorded(int argc, char** argv, Platform& platform, const RunOptions& options) {
    ReplayRecorder recorder(platform);
    vexmo::SetReplayRecorder(&recorder);
    vexmo::SetReplayCopyFolder(options.recordDir);
    const int status = hostMain(argc, argv, recorder);
    vexmo::SetReplayRecorder(nullptr);
    return status;
}

int RunSession(int argc, char** argv, Platform& glfw, const RunOptions& options) {
    SessionPlatform session(glfw);
    session.SetUpdateLimit(options.frameLimit);
    session.SetCaptureFrames(!options.screenshot.empty());
    DemoPilot pilot;
    if (options.demo) session.SetPilot(&pilot);
    const int status = RunRecorded(argc, argv, session, options);
    SetCurrentPlatform(nullptr);
    if (options.demo) std::printf("%s\n", pilot.Summary().c_str());
    if (!options.screenshot.empty()) {
        if (WriteFramePng(session.LastFrame(), options.screenshot)) {
            std::printf("screenshot: %s\n", options.screenshot.c_str());
        } else {
            std::printf("screenshot: could not write %s\n", options.screenshot.c_str());
        }
    }
    std::fflush(stdout);
    return status;
}

bool ReadReplayFile(const std::string& path, std::vector<unsigned char>* bytes) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    unsigned char buffer[16384];
    size_t got = 0;
    // A replay of four hours is well under this; a larger file is not one, and is not read whole.
    constexpr size_t kLargest = 64u << 20;
    while ((got = std::fread(buffer, 1, sizeof(buffer), file)) > 0 && bytes->size() <= kLargest) {
        bytes->insert(bytes->end(), buffer, buffer + got);
    }
    std::fclose(file);
    return true;
}

int Verify(const std::string& path) {
    std::vector<unsigned char> bytes;
    if (!ReadReplayFile(path, &bytes)) {
        std::printf("%s: cannot be read\n", path.c_str());
        return 1;
    }
    const ReplayVerdict verdict = VerifyReplay(bytes);
    if (!verdict.ok) {
        std::printf("%s: %s\n", path.c_str(), verdict.reason.c_str());
        return 1;
    }
    std::printf("score %d difficulty %d rounds %d updates %ld\n", verdict.score, verdict.difficulty,
                verdict.rounds, verdict.updates);
    return 0;
}

// Watching saves nothing: the record stays as the player left it.
int Watch(int argc, char** argv, Platform& glfw, const std::string& path) {
    std::vector<unsigned char> bytes;
    Replay replay;
    std::string why = "cannot be read";
    if (!ReadReplayFile(path, &bytes) || !DecodeReplay(bytes, &replay, &why)) {
        std::printf("%s: %s\n", path.c_str(), why.c_str());
        return 1;
    }
    DataLocation readOnly;
    readOnly.dataFolder = DataFolder();
    UseDataLocation(readOnly);
    ReplayPlayer player(glfw, &replay.tape, replay.header.size);
    vexmo::WatchReplayInLoop(&player, &replay.start);
    hostMain(argc, argv, player);
    SetCurrentPlatform(nullptr);
    if (!vexmo::WatchFailure().empty()) {
        std::printf("%s: %s\n", path.c_str(), vexmo::WatchFailure().c_str());
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
        std::fputs(DescribeDataLocation(location).c_str(), stdout);
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
