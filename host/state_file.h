// The program's only persistent storage: one UTF-8 text file in the working directory.
#pragma once

#include "runtime/string.h"

constexpr const char* kStateFileName = ".vantorstate";

// The saved text, or the empty string when there is no readable file.
String LoadStateFile(const char* path = kStateFileName);

// Replaces the file with `text` in UTF-8 (no byte-order mark). The text goes to a temporary
// file beside it first, which is flushed to disk and then renamed over the old one, so a crash
// or a full disk mid-save never leaves a truncated file.
// Returns 0 on success, -1 when the file cannot be created or replaced, -2 when not every byte
// reached the disk; on failure the previous file is untouched.
int SaveStateFile(const String& text, const char* path = kStateFileName);
