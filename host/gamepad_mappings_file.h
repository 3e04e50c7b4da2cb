// Extra gamepad mappings from a "gamecontrollerdb.txt" (the community's database format: one
// pad a line, "GUID,name,a:b0,b:b1,...,platform:Linux,"), for pads the window system's own
// database does not know. Two places are read, both optional, in this order:
//   1. inside the data folder:  <data>/gamecontrollerdb.txt
//   2. beside the data folder:  <data>/../gamecontrollerdb.txt
// A pad listed in both ends up with the mapping of the file beside the data folder, the place a
// player puts a newer database. A missing file is silent; a file that is found gets one line on
// standard output saying what came of it, and a bad one changes nothing else.
#pragma once

#include <string>
#include <vector>

class Platform;

constexpr const char* kGamepadMappingsName = "gamecontrollerdb.txt";
// The largest file read; the full community database is well under a megabyte. GLFW's cost per
// line grows with the mappings it already has, so a far larger file would stall start-up.
constexpr long kGamepadMappingsMaxBytes = 2L << 20;
// The system name of the database's "platform:" field for this build; lines naming another are
// not handed to GLFW, which would only compare and drop them.
extern const char* const kGamepadMappingsPlatform;

// The two files, in the order they are loaded.
std::vector<std::string> GamepadMappingFiles(const std::string& dataFolder);

// Hands every mapping line of `text` for this system (or for none named) to the platform. Returns
// the report line for `name`.
std::string AddGamepadMappings(Platform& platform, const std::string& text,
                               const std::string& name);

// Reads the file at `path` and adds its mappings. Returns the report line, or "" when there is
// no file there.
std::string LoadGamepadMappingFile(Platform& platform, const std::string& path);

// Loads both files of `dataFolder` into a platform that takes mappings, printing each report.
// Returns how many files were found.
int LoadGamepadMappings(Platform& platform, const std::string& dataFolder);
