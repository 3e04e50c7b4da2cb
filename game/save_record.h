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
// Reads a record over the game's current values: blocks that are cut off are left alone, a block
// whose checksum fails is reset to its defaults; one line per block read goes to the console.
void ApplySaveRecord(MyApp& game, const String& record);

// The frame loop of the real program, then one more save once the window has been closed.
int RunGameSavingOnClose();
