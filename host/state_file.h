// The program's only persistent storage: one UTF-8 text file in the working directory.
#pragma once

#include <functional>
#include <string>

#include "runtime/string.h"

constexpr const char* kStateFileName = ".vantorstate";

// A valid record is about a kilobyte; anything past this bound is not one.
constexpr long kLargestStateFile = 1L << 20;

// The saved text, or the empty string when there is no file. Only a regular file of at most
// kLargestStateFile bytes is read: anything else (a folder, a pipe, a device, a huge file) is
// ignored with one line on standard output saying why, and the game starts from its defaults.
String LoadStateFile(const char* path = kStateFileName);

// Two copies of the game may share one record. A save therefore holds an exclusive lock on the
// file "<record>.lock" beside it (beside a link's target) while it reads what is on disk, merges
// and writes: a second copy saving at the same moment waits (at most kStateLockWaitSeconds, then it
// saves anyway and says so). The lock file stays, empty: removing it would let two savers lock two
// files.
constexpr const char* kStateLockSuffix = ".lock";
constexpr int kStateLockWaitSeconds = 5;

// Given the record another copy may have written since (the file's text as LoadStateFile reads
// it, the empty string when there is none), returns the text to store instead of the caller's.
using StateMerge = std::function<String(const String& onDisk)>;

// The merge used by the saves made while it is in place (one at a time; the game's Save sets it
// around its call to SaveState).
class ScopedStateMerge {
public:
    explicit ScopedStateMerge(StateMerge merge);
    ~ScopedStateMerge();
    ScopedStateMerge(const ScopedStateMerge&) = delete;
    ScopedStateMerge& operator=(const ScopedStateMerge&) = delete;

private:
    StateMerge previous_;
};

// Where a save really writes: a symbolic link is followed to its target (a dangling one
// included), so the record is replaced in the target's folder and the link stays a link.
std::string StateFileTarget(const char* path);

// Replaces the file with `text` in UTF-8 (no byte-order mark), under the lock above and after
// the merge in place, if any. The text goes to a temporary file beside the target first
// ("<target>.<pid>.tmp"), which is synced to disk and then renamed over the old one, and the
// folder is synced after the rename, so a crash, a power cut or a full disk mid-save never leaves
// a truncated file. Temporaries left by saves that were killed part-way are removed first.
// Returns 0 on success, -1 when the file cannot be created or replaced, -2 when not every byte
// reached the disk; on failure the previous file is untouched and one line
// "Save failed: <reason>" goes to standard output.
int SaveStateFile(const String& text, const char* path = kStateFileName);
