#include "host/data_location.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host/state_file.h"
#include "platform/data_path.h"
#include "platform/regular_file.h"
#include "runtime/console.h"

namespace {

constexpr const char* kInstalledData = "share/vexmo/data";
constexpr const char* kBesideData = "data";
constexpr const char* kPlayerFolder = "vexmo";
constexpr const char* kDefaultDataHome = ".local/share";

struct RecordPlace {
    std::string path = kStateFileName;
    std::string folder;
    bool folderFailureReported = false;
};

RecordPlace& CurrentRecord() {
    static RecordPlace place;
    return place;
}

bool IsFolder(const std::string& path) {
    struct stat info;
    return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Two names of one folder (a symbolic link, "data" and "./data/", an absolute path).
bool SameFolder(const std::string& a, const std::string& b) {
    struct stat first, second;
    return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 &&
           S_ISDIR(first.st_mode) && first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

std::string Join(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

// "/a/b" -> "/a", "/a" -> "/", "a" -> "".
std::string Parent(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return std::string();
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string FolderOfProgram(const char* argv0) {
    char buffer[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length > 0) {
        const std::string exe(buffer, static_cast<size_t>(length));
        // A program replaced on disk while it runs reads as "... (deleted)": that is no folder.
        if (exe.size() < 10 || exe.compare(exe.size() - 10, 10, " (deleted)") != 0) {
            return Parent(exe);
        }
    }
    // Without /proc: the name the program was started by, when it holds a folder.
    if (argv0 && std::strchr(argv0, '/') && realpath(argv0, buffer)) return Parent(buffer);
    return std::string();
}

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// $XDG_DATA_HOME/vexmo, else ~/.local/share/vexmo; empty when neither can be told. A relative
// XDG_DATA_HOME is not a valid setting and is ignored, as the base directory rules say.
// A relative HOME is no more valid: the record would follow the working folder about.
std::string PlayerFolder(const DataPlaces& places, std::vector<std::string>* notes) {
    const bool xdgValid = !places.xdgDataHome.empty() && places.xdgDataHome[0] == '/';
    if (!places.xdgDataHome.empty() && !xdgValid) {
        notes->push_back("XDG_DATA_HOME is ignored: " + places.xdgDataHome +
                         " is not an absolute path");
    }
    if (xdgValid) return Join(places.xdgDataHome, kPlayerFolder);
    if (!places.home.empty() && places.home[0] != '/') {
        notes->push_back("HOME is ignored: " + places.home + " is not an absolute path");
        return std::string();
    }
    if (!places.home.empty()) return Join(Join(places.home, kDefaultDataHome), kPlayerFolder);
    return std::string();
}

// Only the searched places that are found by name alone need the stamp.
bool NeedsStamp(const std::string& folder, const DataPlaces& places) {
    return folder == kWorkingDataFolder ||
           (!places.executableDir.empty() && folder == Join(places.executableDir, kBesideData));
}

std::string ListOf(const std::vector<std::string>& names) {
    std::string text;
    for (size_t i = 0; i < names.size(); ++i) {
        if (i > 0) text += i + 1 == names.size() ? " and " : ", ";
        text += names[i];
    }
    return text;
}

std::string NoDataLine(const DataLocation& location) {
    return "No data folder found (looked in " + ListOf(location.tried) +
           "): the game runs without its pictures and sounds";
}

constexpr const char* kNoRecordLine =
    "Neither XDG_DATA_HOME nor HOME is set to an absolute path: the game runs, but its scores and "
    "settings are not saved";

}  // namespace

bool HasDataStamp(const std::string& folder) {
    std::string text;
    FileRefusal refusal;
    if (!ReadRegularFile(Join(folder, kDataStampName), kMaxStampFileBytes, &text, &refusal)) {
        return false;
    }
    const std::string name = "vexmo data\n";
    return text.compare(0, name.size(), name) == 0 && text.compare(name.size(), 7, "format ") == 0;
}

DataPlaces ThisProcessPlaces(const std::string& chosen, const char* argv0) {
    DataPlaces places;
    places.chosen = chosen;
    places.executableDir = FolderOfProgram(argv0);
    places.xdgDataHome = Environment("XDG_DATA_HOME");
    places.home = Environment("HOME");
    return places;
}

DataLocation FindDataLocation(const DataPlaces& places) {
    DataLocation location;
    if (!places.chosen.empty()) {
        location.chosen = true;
        location.tried.push_back(places.chosen);
        if (IsFolder(places.chosen)) {
            location.dataFolder = places.chosen;
        } else {
            location.chosenMissing = true;
        }
    } else {
        location.tried.push_back(kWorkingDataFolder);
        if (!places.executableDir.empty()) {
            location.tried.push_back(Join(Parent(places.executableDir), kInstalledData));
            location.tried.push_back(Join(places.executableDir, kBesideData));
        }
        for (const std::string& folder : location.tried) {
            if (!IsFolder(folder)) continue;
            if (NeedsStamp(folder, places) && !HasDataStamp(folder)) {
                location.notes.push_back("Passed over " + folder + ": it holds no " +
                                         kDataStampName + ", so it is not this game's data");
                continue;
            }
            location.dataFolder = folder;
            break;
        }
    }
    if (location.chosen && !location.chosenMissing && !HasDataStamp(location.dataFolder)) {
        location.notes.push_back("Using " + location.dataFolder + " as asked, though it holds no " +
                                 kDataStampName + ": it may not be this game's data");
    }
    const bool besideUs =
        location.dataFolder == kWorkingDataFolder ||
        (!location.dataFolder.empty() && SameFolder(location.dataFolder, kWorkingDataFolder));
    if (besideUs) {
        location.recordPath = kStateFileName;
    } else {
        location.recordFolder = PlayerFolder(places, &location.notes);
        if (!location.recordFolder.empty()) {
            location.recordPath = Join(location.recordFolder, kStateFileName);
        }
    }
    return location;
}

DataLocation WorkingFolderLocation() {
    DataLocation location;
    location.dataFolder = kWorkingDataFolder;
    location.tried.push_back(kWorkingDataFolder);
    location.recordPath = kStateFileName;
    return location;
}

void UseDataLocation(const DataLocation& location) {
    // Without any data folder the names still go to ./data, where they are simply not found.
    SetDataFolder(location.dataFolder.empty() ? kWorkingDataFolder : location.dataFolder);
    RecordPlace& record = CurrentRecord();
    record.path = location.recordPath;
    record.folder = location.recordFolder;
    record.folderFailureReported = false;
}

const std::string& RecordPath() {
    return CurrentRecord().path;
}

bool PrepareRecordFolder() {
    RecordPlace& record = CurrentRecord();
    if (record.folder.empty() || IsFolder(record.folder)) return true;
    // Each missing folder on the way, from the top; only the player may look inside.
    int failure = 0;
    size_t from = record.folder[0] == '/' ? 1 : 0;
    while (failure == 0) {
        const size_t slash = record.folder.find('/', from);
        const std::string step = record.folder.substr(0, slash);
        if (!step.empty() && mkdir(step.c_str(), 0700) != 0 && errno != EEXIST) failure = errno;
        if (slash == std::string::npos) break;
        from = slash + 1;
    }
    if (failure == 0 && IsFolder(record.folder)) return true;
    if (!record.folderFailureReported) {
        ConsoleLinef("Cannot make the folder %s for the saved record: %s", record.folder.c_str(),
                     std::strerror(failure != 0 ? failure : ENOTDIR));
        record.folderFailureReported = true;
    }
    return false;
}

std::string DescribeDataLocation(const DataLocation& location) {
    std::string text = "\n";
    if (location.chosenMissing) {
        text += "Data folder: " + location.tried.front() + " (from --data) is not a folder\n";
    } else if (location.chosen) {
        text += "Data folder: " + location.dataFolder + " (from --data)\n";
    } else {
        text +=
            "Data folder: the first of " + ListOf(location.tried) + " (--data DIR names another)\n";
        text += "  in use: " +
                (location.dataFolder.empty() ? std::string("none found") : location.dataFolder) +
                "\n";
    }
    if (location.recordPath.empty()) {
        text +=
            "Saved record: none, as neither XDG_DATA_HOME nor HOME is set to an absolute path\n";
    } else if (location.recordFolder.empty()) {
        text += "Saved record: ./" + location.recordPath + " (in the working folder)\n";
    } else {
        text += "Saved record: " + location.recordPath + "\n";
    }
    return text;
}

int StartWithDataLocation(const std::string& chosen, const char* argv0) {
    const DataLocation location = FindDataLocation(ThisProcessPlaces(chosen, argv0));
    if (location.chosenMissing) {
        ConsoleErrorLine(std::string(argv0 ? argv0 : "vexmo") + ": --data: " + chosen +
                         " is not a folder");
        return 2;
    }
    for (const std::string& note : location.notes) ConsoleLine(note);
    if (location.dataFolder.empty()) ConsoleLine(NoDataLine(location));
    if (location.recordPath.empty()) ConsoleLine(kNoRecordLine);
    UseDataLocation(location);
    return -1;
}
