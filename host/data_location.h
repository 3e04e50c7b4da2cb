// Where the game finds its data folder and keeps its saved record.
//
// A game started beside its data (a "data" folder under the working folder) keeps its record
// there too, as ".vantorstate", as it always has. An installed game finds its data under its
// own prefix (<prefix>/share/vexmo/data, next to <prefix>/bin/vexmo) or beside the program, and
// keeps the record in the player's data folder: $XDG_DATA_HOME/vexmo, by default
// ~/.local/share/vexmo, made on the first save.
#pragma once

#include <string>
#include <vector>

// What the search looks at, read from the process by ThisProcessPlaces (or filled by tests).
struct DataPlaces {
    std::string chosen;         // --data DIR; empty: search the usual places
    std::string executableDir;  // the running program's folder; empty when it cannot be told
    std::string xdgDataHome;    // the environment's XDG_DATA_HOME; empty when unset
    std::string home;           // the environment's HOME; empty when unset
};

struct DataLocation {
    std::string dataFolder;          // what "vantor://data/" maps to; empty: none was found
    std::vector<std::string> tried;  // the folders looked at, in order
    bool chosen = false;             // the folder came from --data
    bool chosenMissing = false;      // --data named something that is not a folder
    std::string recordPath;          // the saved record; empty: there is nowhere to keep it
    std::string recordFolder;        // made (with its parents) before saving; empty: the working
                                     // folder, which is there already
    std::vector<std::string> notes;  // one line each for start-up: folders passed over, settings
                                     // ignored, a chosen folder that is not the game's
};

// The file the asset generator leaves in every data folder it makes: "vexmo data" on its first
// line, "format <n>" on its second. A folder named "data" without it is some other program's.
constexpr const char* kDataStampName = "vexmo-data.stamp";
bool HasDataStamp(const std::string& folder);

constexpr const char* kWorkingDataFolder = "./data";

// The process's own places: the folder of /proc/self/exe (or of argv[0] when that cannot be
// read), and the environment.
DataPlaces ThisProcessPlaces(const std::string& chosen, const char* argv0);

// The search itself, without printing: --data if given, else ./data, then
// <exe dir>/../share/vexmo/data, then <exe dir>/data; ./data and <exe dir>/data count only when
// they carry the stamp (the installed folder is the game's by its place). The record stays
// ./.vantorstate when the data is ./data (or --data names that same folder); otherwise it goes to
// the player's folder.
DataLocation FindDataLocation(const DataPlaces& places);

// Where a run starts: the data folder and record of the working folder, as before any search.
DataLocation WorkingFolderLocation();

// Makes the location the one file access and the saved record use.
void UseDataLocation(const DataLocation& location);

// The saved record's path now in use (".vantorstate" until a location is used); empty when
// there is nowhere to save.
const std::string& RecordPath();

// Creates the record's folder and its parents (as mkdir -p) when missing. On failure prints
// once why, and returns false; the save then fails on its own.
bool PrepareRecordFolder();

// Lines for --help: where the data is read from and where the record is kept.
std::string DescribeDataLocation(const DataLocation& location);

// The start-up's part: finds the location, prints what is missing (one line each) and uses it.
// Returns -1 to go on, or the exit status when --data names no folder (the message is printed
// on standard error).
int StartWithDataLocation(const std::string& chosen, const char* argv0);
