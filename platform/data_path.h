// Turning the game's asset names into files: the "vantor://" schemes, and the little-endian
// readers the sound file parser uses.
#pragma once

#include <cstdio>
#include <string>

#include "platform/regular_file.h"
#include "runtime/string.h"

// 'a.png' -> 'vantor://data/a.png'. Paths that already carry a scheme ("x:/") or start with
// "./" or "/" come back unchanged.
String FixDataPath(const String& path);

// Maps "vantor://data/", "vantor://internal/" and "vantor://external/" onto the data folder
// ("./data/" unless start-up chose another), "./internal/" and "./external/" and opens the file
// (the path in UTF-8). Any other "vantor://" path, or a path holding a 0 character, gives null
// without touching the disk.
FILE* fopenFile(const String& path, const String& mode);

// The same mapping, for the game's own reads: the file is opened only when it is a regular file
// of at most `maxBytes` (platform/regular_file.h); otherwise null with the reason.
FILE* OpenDataFile(const String& path, long long maxBytes, FileRefusal* refusal);

// The folder "vantor://data/" names, without a trailing "/": "./data" until start-up sets the
// one it found (host/data_location.h).
void SetDataFolder(const std::string& folder);
const std::string& DataFolder();

// Unsigned 16-bit little-endian value, or -1 when fewer than 2 bytes remain.
int readShort(FILE* file);
// 32-bit little-endian value, or -1 when fewer than 4 bytes remain (all-ones reads as -1 too).
int readInt(FILE* file);
