// The saved record of settings, badges and scores, as MyApp::Save writes it and MyApp::Load
// reads it; the pieces are exposed so they can be checked on their own.
#pragma once

#include <cstdint>

#include "runtime/array.h"
#include "runtime/string.h"

class MyApp;

// One field's integer value the way atoi reads it (leading space, a sign, digits up to the first
// other character, 0 without digits), but saturating instead of overflowing.
int ParseRecordField(const String& field);

// The checksums of the record's blocks, in wrapping 32-bit arithmetic.
int32_t SettingsChecksum(const Array<int>& settings);
// Badges 32 * word .. 32 * word + 31 as the bits 0..31 of one integer.
int32_t BadgeWord(const Array<bool>& badgeGot, int word);
// Table 0..2 (difficulty 1..3).
int32_t TableChecksum(const Array<int>& highScores, int table);

// The whole record: 98 decimal fields, each followed by "|".
String BuildSaveRecord(const Array<int>& settings, const Array<bool>& badgeGot,
                       const Array<int>& highScores);
// The saved arrays a record is read into, and whether the per-block lines go to the console.
struct SavedArrays {
    Array<int>& settings;    // [25]
    Array<bool>& badgeGot;   // [256]
    Array<int>& highScores;  // at least [60]
    bool say;
};

// The blocks a record held whole with a matching checksum.
struct RecordBlocks {
    bool settings = false;
    bool badges = false;
    bool tables[3] = {false, false, false};
};

// Reads a record over the arrays' current values, as the game's load does.
RecordBlocks ReadSaveRecord(SavedArrays into, const String& record);

// Reads a record over the game's current values: blocks that are cut off are left alone, a block
// whose checksum fails is reset to its defaults; one line per block read goes to the console.
void ApplySaveRecord(MyApp& game, const String& record);

// The frame loop of the real program, then one more save once the window has been closed.
int RunGameSavingOnClose();
