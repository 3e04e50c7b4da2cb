// The game's few command-line options. Without any, the game runs exactly as it always has; the
// options exist for demonstrations, automated runs and packaging checks.
#pragma once

#include <string>

struct RunOptions {
    bool demo = false;       // the autopilot plays, game after game
    bool demoSaves = false;  // --demo-saves: the demo writes the record as a player's game does
    long frameLimit = 0;     // end after this many updates; 0 runs until the window closes
    std::string screenshot;  // PNG of the last frame, written at exit; empty for none
    std::string dataFolder;  // --data: the data folder to use; empty searches the usual places
    // The window starts fullscreen.
    bool fullscreen = false;
    std::string verifyFile;  // --verify: play this replay without a window, print its score
    std::string replayFile;  // --replay: watch this replay in the window, then exit
    std::string recordDir;   // --record: also write every finished game's replay here
    std::string scoresUrl;   // --scores: the score board to post finished games to
};

enum class CommandLineAction {
    kRun,          // start the game with the parsed options
    kShowHelp,     // print the usage on standard output, exit 0
    kShowVersion,  // print the version on standard output, exit 0
    kBadUsage,     // print the error and the usage on standard error, exit 2
};

struct CommandLine {
    CommandLineAction action = CommandLineAction::kRun;
    RunOptions options;
    std::string error;  // why the usage was bad
};

// Accepts "--option value" and "--option=value"; the first problem found stops the parse.
CommandLine ParseCommandLine(int argc, const char* const* argv);

// The text for --help and for bad usage; `program` is how the user called us.
std::string UsageText(const std::string& program);
std::string VersionText();

// Handles help, version and bad usage by printing; returns the exit status the process should
// end with, or -1 when the game should run.
int ReportCommandLine(const CommandLine& line, const std::string& program);
