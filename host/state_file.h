// The program's only persistent storage: one UTF-8 text file in the working directory.
#pragma once

#include "runtime/string.h"

constexpr const char* kStateFileName = ".vantorstate";

// A valid record is about a kilobyte; anything past this bound is not one.
constexpr long kLargestStateFile = 1L << 20;

// The saved text, or the empty string when there is no file. Only a regular file of at most
// kLargestStateFile bytes is read: anything else (a folder, a pipe, a device, a huge file) is
// ignored with one line on standard output saying why, and the game starts from its defaults.
String LoadStateFile(const char* path = kStateFileName);

// Replaces the file with `text` in UTF-8 (no byte-order mark). The text goes to a temporary
// file beside it first ("<path>.<pid>.tmp"), which is synced to disk and then renamed over the
// old one, and the folder is synced after the rename, so a crash, a power cut or a full disk
// mid-save never leaves a truncated file. Temporaries left by saves that were killed part-way
// are removed first.
// Returns 0 on success, -1 when the file cannot be created or replaced, -2 when not every byte
// reached the disk; on failure the previous file is untouched and one line
// "Save failed: <reason>" goes to standard output.
int SaveStateFile(const String& text, const char* path = kStateFileName);
