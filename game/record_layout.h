// Where each block of the saved record sits: 98 decimal fields, each followed by "|".
//   0..24   settings              25      sum of n * settings[n]
//   26..33  badge words W0..W7    34      W0 + ... + W7
//   then per difficulty table t (0..2): ten (best k, recent k) pairs and the sum of
//   (k + 4) * best k + (t + k + 3) * recent k.
// Stored records rely on these numbers: the reader, the writer and the tests all take them
// from here.
#pragma once

constexpr int kRecordSettings = 25;
constexpr int kRecordSettingsChecksumField = kRecordSettings;
constexpr int kRecordBadgeWords = 8;
constexpr int kRecordFirstBadgeField = kRecordSettingsChecksumField + 1;
constexpr int kRecordBadgeChecksumField = kRecordFirstBadgeField + kRecordBadgeWords;
constexpr int kRecordTables = 3;
constexpr int kRecordTableEntries = 10;
constexpr int kRecordTableFields = 2 * kRecordTableEntries + 1;  // ten pairs and the checksum

constexpr int RecordTableField(int table) {
    return kRecordBadgeChecksumField + 1 + kRecordTableFields * table;
}
constexpr int RecordBestField(int table, int k) {
    return RecordTableField(table) + 2 * k;
}
constexpr int RecordRecentField(int table, int k) {
    return RecordBestField(table, k) + 1;
}
constexpr int RecordTableChecksumField(int table) {
    return RecordTableField(table) + 2 * kRecordTableEntries;
}
constexpr int kRecordFields = RecordTableField(kRecordTables);

// Settings slots with a meaning of their own.
constexpr int kSoundModeSetting = 5;
constexpr int kPadSizeSettingX = 10;
constexpr int kPadSizeSettingY = 11;
constexpr int kPadReachSetting = 12;

static_assert(kRecordFields == 98, "the saved record has 98 fields");
