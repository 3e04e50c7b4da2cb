#include "host/state_file.h"

#include <unistd.h>

#include <cstdio>
#include <string>

namespace {

constexpr int kCannotCreate = -1;
constexpr int kShortWrite = -2;

// One temporary name per process, so two running copies never write into the same file.
std::string TemporaryNameFor(const char* path) {
    return std::string(path) + "." + std::to_string(static_cast<long>(getpid())) + ".tmp";
}

// Writes, flushes and syncs; false if any byte may not have reached the disk.
bool WriteFully(FILE* file, const String& text) {
    if (!text.Save(file)) return false;
    if (std::fflush(file) != 0) return false;
    return fsync(fileno(file)) == 0;
}

}  // namespace

String LoadStateFile(const char* path) {
    FILE* file = std::fopen(path, "rb");
    if (!file) return String();
    String text = String::Load(file);
    std::fclose(file);
    return text;
}

int SaveStateFile(const String& text, const char* path) {
    const std::string temporary = TemporaryNameFor(path);
    FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) return kCannotCreate;
    const bool written = WriteFully(file, text);
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        std::remove(temporary.c_str());
        return kShortWrite;
    }
    if (std::rename(temporary.c_str(), path) != 0) {
        std::remove(temporary.c_str());
        return kCannotCreate;
    }
    return 0;
}
