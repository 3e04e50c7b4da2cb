#include "platform/data_path.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

struct Scheme {
    const char* prefix;
    const char* folder;  // null: the data folder, wherever start-up found it
};

constexpr const char* kSchemePrefix = "vantor://";
constexpr Scheme kSchemes[] = {
    {"vantor://data/", nullptr},
    {"vantor://internal/", "./internal/"},
    {"vantor://external/", "./external/"},
};

std::string& ChosenDataFolder() {
    static std::string folder = "./data";
    return folder;
}

// The C library takes bytes; the program's names are 16-bit text, so they go through UTF-8.
std::string ToUtf8(const String& text) {
    std::vector<unsigned char> bytes;
    text.Save(bytes);
    return std::string(bytes.begin(), bytes.end());
}

bool HoldsNul(const String& text) {
    for (int i = 0; i < text.Length(); ++i) {
        if (text[i] == 0) return true;
    }
    return false;
}

bool StartsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

// The path the C library should open, or false for a scheme that maps to no folder. The
// prefixes are ASCII, so comparing the UTF-8 bytes is comparing the characters.
bool ResolveScheme(const std::string& path, std::string* resolved) {
    if (!StartsWith(path, kSchemePrefix)) {
        *resolved = path;
        return true;
    }
    for (const Scheme& scheme : kSchemes) {
        if (StartsWith(path, scheme.prefix)) {
            const std::string folder = scheme.folder ? scheme.folder : ChosenDataFolder() + "/";
            *resolved = folder + path.substr(std::char_traits<char>::length(scheme.prefix));
            return true;
        }
    }
    return false;
}

}  // namespace

String FixDataPath(const String& path) {
    const int colonSlash = path.Find(T(":/"));
    if (colonSlash != -1 && path.Find(T("/")) == colonSlash + 1) return path;
    if (path.StartsWith(T("./")) || path.StartsWith(T("/"))) return path;
    return T("vantor://data/") + path;
}

FILE* fopenFile(const String& path, const String& mode) {
    std::string resolved;
    if (!ResolveScheme(ToUtf8(path), &resolved)) return nullptr;
    // A 0 inside the name would silently cut it short in the C library and open another file.
    if (HoldsNul(path) || HoldsNul(mode)) return nullptr;
    return std::fopen(resolved.c_str(), ToUtf8(mode).c_str());
}

FILE* OpenDataFile(const String& path, long long maxBytes, FileRefusal* refusal) {
    std::string resolved;
    *refusal = FileRefusal();
    if (!ResolveScheme(ToUtf8(path), &resolved)) {
        refusal->reason = "no such data folder";
        return nullptr;
    }
    if (HoldsNul(path)) {
        refusal->reason = "a name holding a 0 character";
        return nullptr;
    }
    return OpenRegularFile(resolved, maxBytes, refusal);
}

void SetDataFolder(const std::string& folder) {
    ChosenDataFolder() = folder;
}

const std::string& DataFolder() {
    return ChosenDataFolder();
}

int readShort(FILE* file) {
    unsigned char bytes[2];
    if (std::fread(bytes, sizeof bytes, 1, file) != 1) return -1;
    return bytes[0] | (bytes[1] << 8);
}

int readInt(FILE* file) {
    unsigned char bytes[4];
    if (std::fread(bytes, sizeof bytes, 1, file) != 1) return -1;
    const uint32_t value =
        static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
        (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
    return static_cast<int>(value);
}
