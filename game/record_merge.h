// One record, many windows: a save merges what other copies of the game wrote since this one
// last read or wrote the record (host/state_file.h holds the lock around it).
//
// The record holds bare scores, so "the same game" is told by what this window knows: the score
// lists as the record held them when it last synced (read at start, or a save that went through)
// and how many games it finished since. Every other entry on disk came from the other windows.
//   - best lists: the union, sorted, ten kept. A score is kept as many times as this window
//     holds it plus the times the disk holds it, less the times both had it at the last sync
//     (and never fewer than either side alone holds it);
//   - last lists: this window's games since the sync, newest first, then the list on disk, ten
//     kept; a table the disk does not hold whole (missing, or damaged and so reset as the load
//     resets it) is taken from this window alone;
//   - badges: earned in either;
//   - settings: this window's.
#pragma once

#include <vector>

#include "runtime/string.h"

class MyApp;

// The 60 saved score entries (ten best and ten last per difficulty, as in MyApp::highScores).
constexpr int kSavedScoreEntries = 60;

struct RecordSync {
    bool known = false;             // false until the record was read or written once
    std::vector<int> scores;        // the saved entries as of the last sync
    int gamesSince[3] = {0, 0, 0};  // finished games per difficulty since then
    std::vector<int> mergedScores;  // the last merge's result, until it is adopted
    std::vector<bool> mergedBadges;

    // The record was read or written: its scores are now common to this window and the disk.
    void Synced(const MyApp& game);
    // A game of difficulty 1..3 went into the lists.
    void FinishedGame(int difficulty);
};

// The record to write for `game`, given the one on disk; keeps the merged lists in `sync`.
String MergeSaveRecord(const MyApp& game, const String& onDisk, RecordSync& sync);

// After the merged record was written: the window shows what the record now holds (scores and
// badges of other windows included) and starts counting from there.
void AdoptMergedRecord(MyApp& game, RecordSync& sync);
