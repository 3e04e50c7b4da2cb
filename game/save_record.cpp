// The saved record: settings, earned badges and the three score tables in one line of decimal
// fields separated by "|". Each of the five blocks carries its own checksum, so a damaged block
// is reset on its own while the others still load.
//
// Layout (98 fields, every field followed by "|"):
//   0..24   settings              25      sum of n * settings[n]
//   26..33  badge words W0..W7    34      W0 + ... + W7
//   then per difficulty table t: ten (best k, recent k) pairs and the sum of
//   (k + 4) * best k + (t + k + 3) * recent k.
// All sums wrap in 32 bits the same way on both sides.
#include "game/save_record.h"

#include <cstdint>

#include "game/my_app.h"
#include "game/record_layout.h"
#include "game/score_table.h"
#include "host/app.h"
#include "host/app_host.h"
#include "host/state_file.h"
#include "runtime/errors.h"

using namespace vexmo;

namespace {

constexpr int kSettingsFields = kRecordSettings + 1;  // the values and their checksum
constexpr int kBadgeWords = kRecordBadgeWords;
constexpr int kTableCount = kRecordTables;
constexpr int kTableFields = kRecordTableFields;
static_assert(kRecordSettings == kSettings && kBadgeWords * 32 == kBadges &&
                  kRecordTableEntries == kScoreListLength,
              "the record holds every setting, badge and score");

// Wrapping 32-bit arithmetic without signed overflow.
int32_t WrapAdd(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
int32_t WrapMul(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}

bool IsSpace(String::Char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Weights of the score tables; they differ between best and recent lists from the second table.
int BestWeight(int k) {
    return k + 4;
}
int RecentWeight(int table, int k) {
    return table + k + 3;
}
// Entry k of the best and recent lists of table 0..2 (difficulties 1..3).
int BestIndex(int table, int k) {
    return BestListStart(table + 1) + k;
}
int RecentIndex(int table, int k) {
    return LastListStart(table + 1) + k;
}

void Append(String& record, int value) {
    record += String(value);
    record += T("|");
}

}  // namespace

int ParseRecordField(const String& field) {
    // What atoi reads, without its undefined overflow: a value too large for an int saturates,
    // and a character outside ASCII ends the digits instead of being narrowed into one.
    int i = 0;
    const int length = field.Length();
    while (i < length && IsSpace(field[i])) ++i;
    bool negative = false;
    if (i < length && (field[i] == '+' || field[i] == '-')) {
        negative = field[i] == '-';
        ++i;
    }
    const int64_t limit = negative ? -static_cast<int64_t>(INT32_MIN) : INT32_MAX;
    int64_t value = 0;
    for (; i < length && field[i] >= '0' && field[i] <= '9'; ++i) {
        value = value * 10 + (field[i] - '0');
        if (value > limit) {
            value = limit;
            break;
        }
    }
    return static_cast<int>(negative ? -value : value);
}

int32_t SettingsChecksum(const Array<int>& settings) {
    int32_t sum = 0;
    for (int n = 0; n < kSettings; ++n) sum = WrapAdd(sum, WrapMul(n, settings[n]));
    return sum;
}

int32_t BadgeWord(const Array<bool>& badgeGot, int word) {
    uint32_t bits = 0;
    for (int i = 0; i < 32; ++i) {
        if (badgeGot[32 * word + i]) bits |= uint32_t{1} << i;
    }
    return static_cast<int32_t>(bits);
}

int32_t TableChecksum(const Array<int>& highScores, int table) {
    int32_t sum = 0;
    for (int k = 0; k < kScoreListLength; ++k) {
        sum = WrapAdd(sum, WrapMul(BestWeight(k), highScores[BestIndex(table, k)]));
        sum = WrapAdd(sum, WrapMul(RecentWeight(table, k), highScores[RecentIndex(table, k)]));
    }
    return sum;
}

String BuildSaveRecord(const Array<int>& settings, const Array<bool>& badgeGot,
                       const Array<int>& highScores) {
    String record;
    for (int n = 0; n < kSettings; ++n) Append(record, settings[n]);
    Append(record, SettingsChecksum(settings));

    int32_t badgeSum = 0;
    for (int j = 0; j < kBadgeWords; ++j) {
        const int32_t word = BadgeWord(badgeGot, j);
        Append(record, word);
        badgeSum = WrapAdd(badgeSum, word);
    }
    Append(record, badgeSum);

    for (int t = 0; t < kTableCount; ++t) {
        for (int k = 0; k < kScoreListLength; ++k) {
            Append(record, highScores[BestIndex(t, k)]);
            Append(record, highScores[RecentIndex(t, k)]);
        }
        Append(record, TableChecksum(highScores, t));
    }
    return record;
}

namespace {

// The fields of a record: its pieces between separators, without the empty piece after the
// final "|" (a complete record has 98 fields, not 99).
struct RecordFields {
    Array<String> pieces;
    int count;
};

RecordFields SplitRecord(const String& record) {
    RecordFields fields{record.Split(T("|")), 0};
    fields.count = fields.pieces.Length();
    if (fields.count > 0 && fields.pieces[fields.count - 1].Length() == 0) --fields.count;
    return fields;
}

// Each reader takes its block from the fields at `pos` when the record holds it whole, and
// returns how many fields it used (0 when the block was cut off and left alone).

void Say(bool say, const String& line) {
    if (say) Print(line);
}

int ReadSettings(SavedArrays& into, const RecordFields& record, RecordBlocks& blocks) {
    if (record.count < kSettingsFields) return 0;
    const Array<String>& fields = record.pieces;
    for (int n = 0; n < kSettings; ++n) into.settings[n] = ParseRecordField(fields[n]);
    blocks.settings = SettingsChecksum(into.settings) == ParseRecordField(fields[kSettings]);
    if (blocks.settings) {
        Say(into.say, T("Settings Loaded"));
    } else {
        Say(into.say, T("Settings Checksum Invalid"));
        for (int n = 0; n < kSettings; ++n) into.settings[n] = 0;
        into.settings[kSoundModeSetting] = 1;
    }
    return kSettingsFields;
}

// The on-screen pad must stay usable whatever was stored.
void ClampPadSettings(Array<int>& settings) {
    if (settings[kPadSizeSettingX] < 64) settings[kPadSizeSettingX] = 64;
    if (settings[kPadSizeSettingY] < 64) settings[kPadSizeSettingY] = 64;
    if (settings[kPadReachSetting] < 8) settings[kPadReachSetting] = 10;
}

int ReadBadges(SavedArrays& into, const RecordFields& record, int pos, RecordBlocks& blocks) {
    if (record.count <= pos + kBadgeWords) return 0;
    const Array<String>& fields = record.pieces;
    int32_t sum = 0;
    for (int j = 0; j < kBadgeWords; ++j) {
        const int32_t word = ParseRecordField(fields[pos + j]);
        for (int i = 0; i < 32; ++i) {
            into.badgeGot[32 * j + i] = ((static_cast<uint32_t>(word) >> i) & 1u) != 0;
        }
        sum = WrapAdd(sum, word);
    }
    blocks.badges = sum == ParseRecordField(fields[pos + kBadgeWords]);
    if (blocks.badges) {
        Say(into.say, T("Badges Loaded"));
    } else {
        Say(into.say, T("Badge Checksum Invalid"));
        for (int b = 0; b < kBadges; ++b) into.badgeGot[b] = false;
    }
    return kBadgeWords + 1;
}

int ReadTable(SavedArrays& into, const RecordFields& record, int pos, int table,
              RecordBlocks& blocks) {
    if (record.count <= pos + 2 * kScoreListLength) return 0;
    const Array<String>& fields = record.pieces;
    for (int k = 0; k < kScoreListLength; ++k) {
        into.highScores[BestIndex(table, k)] = ParseRecordField(fields[pos + 2 * k]);
        into.highScores[RecentIndex(table, k)] = ParseRecordField(fields[pos + 2 * k + 1]);
    }
    const String name = T("Highscore ") + String(table);
    blocks.tables[table] = TableChecksum(into.highScores, table) ==
                           ParseRecordField(fields[pos + 2 * kScoreListLength]);
    if (blocks.tables[table]) {
        Say(into.say, name + T(" Loaded"));
    } else {
        Say(into.say, name + T(" Checksum Invalid"));
        for (int k = 0; k < kScoreListLength; ++k) {
            into.highScores[BestIndex(table, k)] = 0;
            into.highScores[RecentIndex(table, k)] = 0;
        }
    }
    return kTableFields;
}

}  // namespace

RecordBlocks ReadSaveRecord(SavedArrays into, const String& record) {
    const RecordFields fields = SplitRecord(record);
    RecordBlocks blocks;
    int pos = ReadSettings(into, fields, blocks);
    ClampPadSettings(into.settings);
    pos += ReadBadges(into, fields, pos, blocks);
    for (int t = 0; t < kTableCount; ++t) pos += ReadTable(into, fields, pos, t, blocks);
    return blocks;
}

void ApplySaveRecord(MyApp& game, const String& record) {
    if (DebugMode == 1) DebugLog(record);
    ReadSaveRecord({game.settings, game.badgeGot, game.highScores, true}, record);
}

int MyApp::Save() {
    const String record = BuildSaveRecord(settings, badgeGot, highScores);
    if (DebugMode == 1) DebugLog(record);
    // Another window may have saved since this one read the record: what it wrote is merged in
    // under the record's lock rather than overwritten.
    const ScopedStateMerge merge(
        [this](const String& onDisk) { return MergeSaveRecord(*this, onDisk, recordSync); });
    // The framework has already said why on the console; the menu keeps telling the player
    // until a save goes through.
    const int result = SaveState(record);
    saveFailing = result != 0 ? 1 : 0;
    if (result == 0) AdoptMergedRecord(*this, recordSync);
    return 0;
}

int MyApp::Load() {
    ApplySaveRecord(*this, LoadState());
    recordSync.Synced(*this);
    return 0;
}

int RunGameSavingOnClose() {
    const int status = RunApp();
    // Closing the window is the usual way out on a desktop: keep what changed since the last
    // save (a sound mode picked in the menu, for one).
    if (app::device != nullptr) {
        if (MyApp* game = dynamic_cast<MyApp*>(static_cast<App*>(app::device->app))) game->Save();
    }
    return status;
}
