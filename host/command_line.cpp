#include "host/command_line.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "runtime/console.h"

namespace {

constexpr const char* kVersion = "1.0.0";
// More updates than a week of play at 60 a second is certainly a typing mistake.
constexpr long kMaxFrames = 60L * 60 * 60 * 24 * 7;

bool ParseFrameCount(const std::string& text, long* frames) {
    if (text.empty() || text[0] < '0' || text[0] > '9') return false;
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || value < 1 || value > kMaxFrames) return false;
    *frames = value;
    return true;
}

// Splits "--name=value" into its parts; a bare "--name" leaves `value` empty.
void SplitOption(const std::string& arg, std::string* name, std::string* value, bool* inlined) {
    const auto eq = arg.find('=');
    *inlined = eq != std::string::npos;
    *name = *inlined ? arg.substr(0, eq) : arg;
    *value = *inlined ? arg.substr(eq + 1) : std::string();
}

CommandLine Bad(const std::string& why) {
    CommandLine line;
    line.action = CommandLineAction::kBadUsage;
    line.error = why;
    return line;
}

}  // namespace

CommandLine ParseCommandLine(int argc, const char* const* argv) {
    CommandLine line;
    for (int i = 1; i < argc; ++i) {
        std::string name;
        std::string value;
        bool inlined = false;
        SplitOption(argv[i] ? argv[i] : "", &name, &value, &inlined);
        const bool takesValue = name == "--frames" || name == "--screenshot" || name == "--data" ||
                                name == "--verify" || name == "--replay" || name == "--record" ||
                                name == "--scores";
        if (!takesValue && inlined) return Bad("option " + name + " takes no value");
        if (takesValue && !inlined) {
            if (i + 1 >= argc || !argv[i + 1]) return Bad("option " + name + " needs a value");
            value = argv[++i];
        }
        if (name == "--help" || name == "-h") {
            line.action = CommandLineAction::kShowHelp;
            return line;
        }
        if (name == "--version") {
            line.action = CommandLineAction::kShowVersion;
            return line;
        }
        if (name == "--demo") {
            line.options.demo = true;
        } else if (name == "--demo-saves") {
            line.options.demoSaves = true;
        } else if (name == "--frames") {
            if (!ParseFrameCount(value, &line.options.frameLimit)) {
                return Bad("--frames needs a whole number of updates from 1 to " +
                           std::to_string(kMaxFrames) + ", not \"" + value + "\"");
            }
        } else if (name == "--fullscreen") {
            line.options.fullscreen = true;
        } else if (name == "--screenshot") {
            if (value.empty()) return Bad("--screenshot needs a file name");
            line.options.screenshot = value;
        } else if (name == "--verify" || name == "--replay" || name == "--record") {
            if (value.empty()) {
                return Bad(name + (name == "--record" ? " needs a folder" : " needs a file name"));
            }
            std::string& slot = name == "--verify"   ? line.options.verifyFile
                                : name == "--replay" ? line.options.replayFile
                                                     : line.options.recordDir;
            slot = value;
        } else if (name == "--scores") {
            if (value.rfind("http://", 0) != 0 || value.size() <= 7) {
                return Bad("--scores needs the score board's address, as http://host:port, not \"" +
                           value + "\"");
            }
            line.options.scoresUrl = value;
        } else if (name == "--data") {
            if (value.empty()) return Bad("--data needs a folder");
            line.options.dataFolder = value;
        } else {
            return Bad("unknown option \"" + name + "\"");
        }
    }
    return line;
}

std::string UsageText(const std::string& program) {
    return "Usage: " + program +
           " [options]\n"
           "Vexmo, an arcade game: circle the dish and shoot the microbes.\n"
           "It reads its pictures and sounds from a data folder (see below).\n"
           "\n"
           "Options:\n"
           "  --demo             the game plays itself, one game after another; it reads the\n"
           "                     saved record but never writes it\n"
           "  --demo-saves       with --demo, the demo's scores and badges are saved (tests)\n"
           "  --frames N         quit after N updates (60 updates are one second)\n"
           "  --screenshot FILE  write the last frame shown to FILE as a PNG image\n"
           "  --data DIR         read the pictures and sounds from the folder DIR\n"
           "  --fullscreen       start fullscreen (F11 or Alt+Enter switches at any time)\n"
           "  --record DIR       also write the replay of every finished game into DIR\n"
           "  --replay FILE      watch a replay in the window, then exit (Space pauses,\n"
           "                     Right arrow held plays at 4x, Escape stops)\n"
           "  --verify FILE      play a replay without a window as fast as possible and print\n"
           "                     \"score N difficulty D rounds R updates U\" (exit 1 if it fails)\n"
           "  --scores URL       post every finished game's replay to the score board at URL\n"
           "                     (http://host:port) and show its World box on the menu\n"
           "  --help             show this help and exit\n"
           "  --version          show the version and exit\n";
}

std::string VersionText() {
    return std::string("vexmo ") + kVersion + "\n";
}

int ReportCommandLine(const CommandLine& line, const std::string& program) {
    switch (line.action) {
        case CommandLineAction::kRun:
            return -1;
        case CommandLineAction::kShowHelp:
            ConsoleText(UsageText(program));
            return 0;
        case CommandLineAction::kShowVersion:
            ConsoleText(VersionText());
            return 0;
        case CommandLineAction::kBadUsage:
            ConsoleErrorText(program + ": " + line.error + "\n" + UsageText(program));
            return 2;
    }
    return 2;
}
