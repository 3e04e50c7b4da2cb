#include "host/gamepad_mappings_file.h"

#include <cstdio>
#include <filesystem>

#include "platform/platform.h"
#include "platform/regular_file.h"
#include "runtime/console.h"

namespace fs = std::filesystem;

#if defined(__APPLE__)
const char* const kGamepadMappingsPlatform = "Mac OS X";
#elif defined(_WIN32)
const char* const kGamepadMappingsPlatform = "Windows";
#else
const char* const kGamepadMappingsPlatform = "Linux";
#endif

namespace {

// GLFW skips longer lines without a word, so they are reported here instead.
constexpr size_t kMaxLineLength = 1023;

// Mapping lines start with the GUID's first hex digit; anything else (comments, blank lines,
// stray text) is not a mapping and is skipped, as GLFW skips it.
bool IsMappingLine(const std::string& line) {
    if (line.empty()) return false;
    const char c = line[0];
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// A line whose "platform:" field names another system.
bool ForAnotherPlatform(const std::string& line) {
    static const std::string field = "platform:";
    const size_t at = line.find(field);
    if (at == std::string::npos || (at > 0 && line[at - 1] != ',')) return false;
    const size_t from = at + field.size();
    const size_t end = line.find(',', from);
    const std::string name =
        line.substr(from, end == std::string::npos ? std::string::npos : end - from);
    return name != kGamepadMappingsPlatform;
}

struct Tally {
    int lines = 0;
    int otherPlatforms = 0;
    int rejected = 0;
    int firstRejectedLine = 0;
    std::string firstReason;
};

void Reject(Tally& tally, int lineNumber, const std::string& reason) {
    if (tally.rejected++ == 0) {
        tally.firstRejectedLine = lineNumber;
        tally.firstReason = reason;
    }
}

std::string Report(const std::string& name, const std::string& outcome) {
    return "Gamepad mappings from " + name + outcome;
}

}  // namespace

std::vector<std::string> GamepadMappingFiles(const std::string& dataFolder) {
    fs::path data = dataFolder.empty() ? fs::path(".") : fs::path(dataFolder);
    // "data/" names the same folder as "data", whose parent is what "beside" means.
    if (data.filename().empty()) data = data.parent_path();
    fs::path parent = data.parent_path();
    if (parent.empty()) parent = ".";
    const std::string inside = (data / kGamepadMappingsName).string();
    const std::string beside = (parent / kGamepadMappingsName).string();
    // The working folder itself as the data folder has nothing "beside" it but itself.
    if (fs::path(inside).lexically_normal() == fs::path(beside).lexically_normal()) return {inside};
    return {inside, beside};
}

std::string AddGamepadMappings(Platform& platform, const std::string& text,
                               const std::string& name) {
    // A 0 byte would end the text early for the C string GLFW reads; such a file is no text.
    if (text.find('\0') != std::string::npos) return Report(name, " rejected: not a text file");
    Tally tally;
    int lineNumber = 0;
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = text.find_first_of("\r\n", at);
        const size_t stop = end == std::string::npos ? text.size() : end;
        const std::string line = text.substr(at, stop - at);
        ++lineNumber;
        at = stop;
        if (at < text.size() && text[at] == '\r') ++at;
        if (at < text.size() && text[at] == '\n') ++at;
        if (!IsMappingLine(line)) continue;
        if (ForAnotherPlatform(line)) {
            ++tally.otherPlatforms;
            continue;
        }
        ++tally.lines;
        if (line.size() > kMaxLineLength) {
            Reject(tally, lineNumber, "longer than 1023 characters");
            continue;
        }
        std::string reason;
        if (!platform.AddGamepadMapping(line, &reason)) Reject(tally, lineNumber, reason);
    }
    if (tally.lines == 0) {
        if (tally.otherPlatforms > 0) {
            return Report(name, std::string(": no lines for ") + kGamepadMappingsPlatform + " (" +
                                    std::to_string(tally.otherPlatforms) + " for other systems)");
        }
        return Report(name, " rejected: it holds no mapping lines");
    }
    const std::string first =
        "line " + std::to_string(tally.firstRejectedLine) + ": " + tally.firstReason;
    if (tally.rejected == tally.lines)
        return Report(name, " rejected: no valid mapping (" + first + ")");
    if (tally.rejected > 0) {
        return Report(name, ": " + std::to_string(tally.rejected) + " of " +
                                std::to_string(tally.lines) + " lines rejected (first at " + first +
                                "), the others loaded");
    }
    return Report(name, " loaded (" + std::to_string(tally.lines) +
                            (tally.lines == 1 ? " line)" : " lines)"));
}

std::string LoadGamepadMappingFile(Platform& platform, const std::string& path) {
    std::string text;
    FileRefusal refusal;
    if (!ReadRegularFile(path, kGamepadMappingsMaxBytes, &text, &refusal)) {
        return refusal.missing ? "" : Report(path, " rejected: " + refusal.reason);
    }
    return AddGamepadMappings(platform, text, path);
}

int LoadGamepadMappings(Platform& platform, const std::string& dataFolder) {
    if (!platform.TakesGamepadMappings()) return 0;
    int found = 0;
    for (const std::string& path : GamepadMappingFiles(dataFolder)) {
        const std::string report = LoadGamepadMappingFile(platform, path);
        if (report.empty()) continue;
        ++found;
        ConsoleLine(report);
    }
    return found;
}
