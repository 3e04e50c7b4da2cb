// Process entry: the game on a real window. Options only add to the ordinary run (an autopilot,
// a run length, a screenshot); without any, the platform is the plain GLFW one.
#include <cstdio>
#include <memory>
#include <string>

#include "app/program_main.h"
#include "game/demo_pilot.h"
#include "host/app_host.h"
#include "host/command_line.h"
#include "host/data_location.h"
#include "host/entry.h"
#include "host/window_mode.h"
#include "platform/platform_glfw.h"
#include "platform/session_platform.h"
#include "runtime/console.h"

namespace {

bool NeedsSession(const RunOptions& options) {
    return options.demo || options.frameLimit > 0 || !options.screenshot.empty();
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
    const int status = hostMain(argc, argv, session, VexmoHooks());
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

    host::SetStartFullscreen(line.options.fullscreen);
    const std::unique_ptr<Platform> platform = NewGlfwPlatform();
    if (NeedsSession(line.options)) return RunSession(argc, argv, *platform, line.options);
    const int status = hostMain(argc, argv, *platform, VexmoHooks());
    SetCurrentPlatform(nullptr);
    return status;
}
