#include "host/data_path.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

struct Scheme {
    const char* prefix;
    const char* folder;
};

constexpr const char* kSchemePrefix = "vantor://";
constexpr Scheme kSchemes[] = {
    {"vantor://data/", "./data/"},
    {"vantor://internal/", "./internal/"},
    {"vantor://external/", "./external/"},
};

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

// The path the C library should open, or false for a scheme that maps to no folder.
bool ResolveScheme(const String& path, String* resolved) {
    if (!path.StartsWith(T(kSchemePrefix))) {
        *resolved = path;
        return true;
    }
    for (const Scheme& scheme : kSchemes) {
        const String prefix = T(scheme.prefix);
        if (path.StartsWith(prefix)) {
            *resolved = T(scheme.folder) + path.Slice(prefix.Length());
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
    String resolved;
    if (!ResolveScheme(path, &resolved)) return nullptr;
    // A 0 inside the name would silently cut it short in the C library and open another file.
    if (HoldsNul(resolved) || HoldsNul(mode)) return nullptr;
    return std::fopen(ToUtf8(resolved).c_str(), ToUtf8(mode).c_str());
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
