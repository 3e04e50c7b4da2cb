// Opening the files the game reads: only a regular file within a size cap fit for its kind is
// opened, and never with a wait, so a named pipe, a device, a folder or a huge file in the data
// folder is refused with a reason instead of hanging or swamping the game. Read errors come back
// as values, never as exceptions.
#pragma once

#include <cstdio>
#include <string>

// The caps, by kind of file; each is many times the largest file the game ships of that kind.
constexpr long long kMaxPictureFileBytes = 16LL << 20;  // pictures, fonts, tunes, icons
constexpr long long kMaxSoundFileBytes = 8LL << 20;     // about 47 s of 16-bit stereo at 44.1 kHz
constexpr long long kMaxTextFileBytes = 1LL << 20;      // text read through LoadString
constexpr long long kMaxStampFileBytes = 4LL << 10;     // the data folder's stamp

struct FileRefusal {
    bool missing = false;  // there is no such file (nothing to say for an optional one)
    std::string reason;    // why it was not opened or read, e.g. "is a named pipe"
};

// Opens `path` for reading ("rb") when it is a regular file of at most `maxBytes`; otherwise null
// with the reason in *refusal.
FILE* OpenRegularFile(const std::string& path, long long maxBytes, FileRefusal* refusal);

// The whole content of such a file; false with the reason (a read error included).
bool ReadRegularFile(const std::string& path, long long maxBytes, std::string* bytes,
                     FileRefusal* refusal);

// "2 MiB", "4 KiB", "100 bytes": a cap as a message shows it.
std::string DescribeFileSize(long long bytes);
