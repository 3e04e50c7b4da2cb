// The saved record: its layout and checksums, the per-block reset of damaged blocks, cut records,
// odd field texts, a state file of noise, and the saves on suspend, after a game and on close.
#include "game/save_record.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "game/record_layout.h"
#include "game/score_table.h"
#include "host/state_file.h"
#include "tests/game/game_fixture.h"
#include "tests/runtime/console_capture.h"

namespace {

std::vector<std::string> SplitFields(const std::string& record) {
    std::vector<std::string> fields;
    std::string field;
    for (const char c : record) {
        if (c == '|') {
            fields.push_back(field);
            field.clear();
        } else {
            field += c;
        }
    }
    if (!field.empty()) fields.push_back(field);
    return fields;
}

std::string Join(const std::vector<std::string>& fields, size_t count) {
    std::string record;
    for (size_t i = 0; i < count && i < fields.size(); ++i) record += fields[i] + "|";
    return record;
}

std::string ReadStateFile() {
    std::ifstream in(kStateFileName, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteStateFile(const std::string& bytes) {
    std::ofstream out(kStateFileName, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// Fills the saved arrays with values that differ everywhere, so a lost or swapped entry shows.
void FillSavedData(MyApp& game) {
    for (int n = 0; n < vexmo::kSettings; ++n) game.settings[n] = 100 + 3 * n;
    game.settings[5] = 2;
    for (int b = 0; b < vexmo::kBadges; ++b) game.badgeGot[b] = (b * 7) % 5 == 0;
    for (int i = 0; i < 60; ++i) game.highScores[i] = 1000 * (i + 1) + i;
}

// The defaults OnCreate leaves before Load, with the pad clamps Load applies.
void ExpectDefaultSettings(const MyApp& game) {
    for (int n = 0; n < vexmo::kSettings; ++n) {
        int expected = 0;
        if (n == 5) expected = 1;
        if (n == 10 || n == 11) expected = 64;
        if (n == 12) expected = 10;
        EXPECT_EQ(game.settings[n], expected) << "setting " << n;
    }
}

void ExpectNoBadges(const MyApp& game) {
    for (int b = 0; b < vexmo::kBadges; ++b) EXPECT_FALSE(game.badgeGot[b]) << "badge " << b;
}

void ExpectTable(const MyApp& game, int table, int value) {
    for (int k = 0; k < 10; ++k) {
        EXPECT_EQ(game.highScores[10 * table + k], value) << "best " << k;
        EXPECT_EQ(game.highScores[30 + 10 * table + k], value) << "recent " << k;
    }
}

// Loads `record` into a game reset to the start defaults, returning what Load printed.
std::string LoadRecord(MyApp& game, const std::string& record) {
    for (int n = 0; n < vexmo::kSettings; ++n) game.settings[n] = 0;
    game.settings[5] = 1;
    for (int b = 0; b < vexmo::kBadges; ++b) game.badgeGot[b] = false;
    for (int i = 0; i < vexmo::kHighScores; ++i) game.highScores[i] = 0;
    WriteStateFile(record);
    CaptureConsole();
    game.Load();
    return TakeConsoleOutput();
}

class SaveRecordTest : public GameTest {
protected:
    std::string SavedRecord() {
        game->Save();
        return ReadStateFile();
    }
};

TEST_F(SaveRecordTest, AFreshInstallSavesTheDefaultsWithTheirChecksums) {
    const std::string record = SavedRecord();
    ASSERT_FALSE(record.empty());
    EXPECT_EQ(record.back(), '|');
    const std::vector<std::string> fields = SplitFields(record);
    ASSERT_EQ(fields.size(), static_cast<size_t>(kRecordFields));
    EXPECT_EQ(fields[kSoundModeSetting], "1");
    EXPECT_EQ(fields[kPadSizeSettingX], "64");
    EXPECT_EQ(fields[kPadSizeSettingY], "64");
    EXPECT_EQ(fields[kPadReachSetting], "10");
    EXPECT_EQ(fields[kRecordSettingsChecksumField], "1469");
    for (const int checksum : {kRecordBadgeChecksumField, RecordTableChecksumField(0),
                               RecordTableChecksumField(1), RecordTableChecksumField(2)}) {
        EXPECT_EQ(fields[checksum], "0") << checksum;
    }
    for (const std::string& field : fields) {
        EXPECT_FALSE(field.empty());
        EXPECT_EQ(field.find_first_not_of("-0123456789"), std::string::npos) << field;
    }
}

TEST_F(SaveRecordTest, BadgeThirtyOneAloneMakesTheLowestNegativeWord) {
    game->badgeGot[31] = true;
    EXPECT_EQ(BadgeWord(game->badgeGot, 0), INT32_MIN);
    const std::vector<std::string> fields = SplitFields(SavedRecord());
    EXPECT_EQ(fields[kRecordFirstBadgeField], "-2147483648");
    EXPECT_EQ(fields[kRecordBadgeChecksumField], "-2147483648");

    EXPECT_NE(LoadRecord(*game, Join(fields, kRecordFields)).find("Badges Loaded"),
              std::string::npos);
    for (int b = 0; b < vexmo::kBadges; ++b) EXPECT_EQ(game->badgeGot[b], b == 31) << b;
}

TEST_F(SaveRecordTest, BadgesZeroAndThirtyThreeFillTwoWords) {
    game->badgeGot[0] = true;
    game->badgeGot[33] = true;
    const std::vector<std::string> fields = SplitFields(SavedRecord());
    EXPECT_EQ(fields[kRecordFirstBadgeField], "1");
    EXPECT_EQ(fields[kRecordFirstBadgeField + 1], "2");
    for (int j = kRecordFirstBadgeField + 2; j < kRecordBadgeChecksumField; ++j) {
        EXPECT_EQ(fields[j], "0");
    }
    EXPECT_EQ(fields[kRecordBadgeChecksumField], "3");
}

TEST_F(SaveRecordTest, TableWeightsDependOnPositionListAndTable) {
    Array<int> scores(vexmo::kHighScores);
    struct Case {
        int index;
        int table;
        int weight;
    };
    const Case cases[] = {
        {10, 1, 4},   // best, position 0 of table 1
        {40, 1, 4},   // recent, position 0 of table 1: 1 + 0 + 3
        {19, 1, 13},  // best, position 9
        {49, 1, 13},  // recent, position 9: 1 + 9 + 3
        {30, 0, 3},   // recent, position 0 of table 0
        {50, 2, 5},   // recent, position 0 of table 2
        {20, 2, 4},   // best, position 0 of table 2
    };
    for (const Case& c : cases) {
        for (int i = 0; i < vexmo::kHighScores; ++i) scores[i] = 0;
        scores[c.index] = 100;
        for (int t = 0; t < 3; ++t) {
            EXPECT_EQ(TableChecksum(scores, t), t == c.table ? 100 * c.weight : 0)
                << "entry " << c.index << " table " << t;
        }
    }
    // Entries past the sixty saved ones never count.
    for (int i = 0; i < vexmo::kHighScores; ++i) scores[i] = i >= 60 ? 12345 : 0;
    for (int t = 0; t < 3; ++t) EXPECT_EQ(TableChecksum(scores, t), 0);
}

TEST_F(SaveRecordTest, HugeValuesWrapTheSameWayOnBothSides) {
    for (int n = 0; n < vexmo::kSettings; ++n) game->settings[n] = INT_MAX - n;
    for (int i = 0; i < 60; ++i) game->highScores[i] = i % 2 ? INT_MIN : INT_MAX;
    for (int b = 0; b < vexmo::kBadges; ++b) game->badgeGot[b] = true;
    const std::string record = SavedRecord();
    const std::string printed = LoadRecord(*game, record);
    EXPECT_NE(printed.find("Settings Loaded"), std::string::npos) << printed;
    EXPECT_NE(printed.find("Badges Loaded"), std::string::npos) << printed;
    for (int t = 0; t < 3; ++t) {
        EXPECT_NE(printed.find("Highscore " + std::to_string(t) + " Loaded"), std::string::npos);
    }
    EXPECT_EQ(game->settings[24], INT_MAX - 24);
    EXPECT_EQ(game->highScores[59], INT_MIN);
    EXPECT_TRUE(game->badgeGot[255]);
}

TEST_F(SaveRecordTest, AChangedSettingDigitResetsOnlyTheSettings) {
    FillSavedData(*game);
    std::vector<std::string> fields = SplitFields(SavedRecord());
    fields[3] = fields[3] == "109" ? "108" : "109";
    const std::string printed = LoadRecord(*game, Join(fields, kRecordFields));

    EXPECT_NE(printed.find("Settings Checksum Invalid"), std::string::npos) << printed;
    EXPECT_EQ(printed.find("Settings Loaded"), std::string::npos);
    EXPECT_NE(printed.find("Badges Loaded"), std::string::npos);
    EXPECT_NE(printed.find("Highscore 0 Loaded"), std::string::npos);
    EXPECT_NE(printed.find("Highscore 1 Loaded"), std::string::npos);
    EXPECT_NE(printed.find("Highscore 2 Loaded"), std::string::npos);
    ExpectDefaultSettings(*game);
    for (int b = 0; b < vexmo::kBadges; ++b) EXPECT_EQ(game->badgeGot[b], (b * 7) % 5 == 0);
    for (int i = 0; i < 60; ++i) EXPECT_EQ(game->highScores[i], 1000 * (i + 1) + i);
}

TEST_F(SaveRecordTest, ADamagedTableResetsOnlyThatTable) {
    FillSavedData(*game);
    std::vector<std::string> fields = SplitFields(SavedRecord());
    fields[RecordRecentField(1, 3)] += "1";
    const std::string printed = LoadRecord(*game, Join(fields, kRecordFields));
    EXPECT_NE(printed.find("Highscore 1 Checksum Invalid"), std::string::npos) << printed;
    EXPECT_NE(printed.find("Highscore 0 Loaded"), std::string::npos);
    EXPECT_NE(printed.find("Highscore 2 Loaded"), std::string::npos);
    EXPECT_NE(printed.find("Settings Loaded"), std::string::npos);
    ExpectTable(*game, 1, 0);
    EXPECT_EQ(game->highScores[0], 1000);
    EXPECT_EQ(game->highScores[59], 60059);
}

TEST_F(SaveRecordTest, ARecordOfTwentyFiveFieldsIsReadAsABadgeBlock) {
    // Fields 0..7 are taken as badge words and field 8 as their checksum.
    std::vector<std::string> fields(25, "5");
    for (int j = 0; j < 8; ++j) fields[j] = "0";
    fields[1] = "1";  // badge 32
    fields[8] = "1";
    const std::string printed = LoadRecord(*game, Join(fields, 25));
    EXPECT_EQ(printed, "Badges Loaded\n");
    ExpectDefaultSettings(*game);
    for (int b = 0; b < vexmo::kBadges; ++b) EXPECT_EQ(game->badgeGot[b], b == 32) << b;

    // With a checksum that does not match, the flags are cleared again.
    fields[8] = "2";
    EXPECT_EQ(LoadRecord(*game, Join(fields, 25)), "Badge Checksum Invalid\n");
    ExpectNoBadges(*game);
}

TEST_F(SaveRecordTest, ARecordCutInsideATableKeepsTheBlocksBeforeAndSkipsTheRest) {
    FillSavedData(*game);
    const std::vector<std::string> fields = SplitFields(SavedRecord());
    // Cut table 1 after ten of its fields, then a half field.
    const int cut = RecordTableField(1) + 10;
    std::string record = Join(fields, cut) + fields[cut].substr(0, 2);
    for (int i = 0; i < vexmo::kHighScores; ++i) game->highScores[i] = 0;
    WriteStateFile(record);
    // What Load leaves a skipped block with is whatever was there before.
    for (int i = 10; i < 20; ++i) game->highScores[i] = 7;
    for (int i = 40; i < 60; ++i) game->highScores[i] = 7;
    CaptureConsole();
    game->Load();
    const std::string printed = TakeConsoleOutput();
    EXPECT_EQ(printed, "Settings Loaded\nBadges Loaded\nHighscore 0 Loaded\n");
    for (int k = 0; k < 10; ++k) {
        EXPECT_EQ(game->highScores[k], 1000 * (k + 1) + k);
        EXPECT_EQ(game->highScores[30 + k], 1000 * (31 + k) + 30 + k);
        EXPECT_EQ(game->highScores[10 + k], 7);
        EXPECT_EQ(game->highScores[40 + k], 7);
        EXPECT_EQ(game->highScores[50 + k], 7);
    }
    EXPECT_EQ(game->settings[24], 100 + 3 * 24);
}

TEST_F(SaveRecordTest, ARecordMissingOnlyItsLastChecksumSkipsTheLastTable) {
    FillSavedData(*game);
    const std::vector<std::string> fields = SplitFields(SavedRecord());
    const std::string printed = LoadRecord(*game, Join(fields, 97));
    EXPECT_EQ(printed.find("Highscore 2"), std::string::npos) << printed;
    EXPECT_NE(printed.find("Highscore 1 Loaded"), std::string::npos);
    ExpectTable(*game, 2, 0);
}

TEST_F(SaveRecordTest, TheSmallestPadSizeIsRaisedOnlyBelowEight) {
    for (const int stored : {7, 8, 0, -5, 9}) {
        game->settings[12] = stored;
        const std::string record = SavedRecord();
        const std::string printed = LoadRecord(*game, record);
        EXPECT_NE(printed.find("Settings Loaded"), std::string::npos) << stored;
        EXPECT_EQ(game->settings[12], stored < 8 ? 10 : stored) << stored;
    }
    game->settings[10] = 63;
    game->settings[11] = 64;
    LoadRecord(*game, SavedRecord());
    EXPECT_EQ(game->settings[10], 64);
    EXPECT_EQ(game->settings[11], 64);
}

TEST_F(SaveRecordTest, NoStateFileChangesOnlyThePadSettingsAndPrintsNothing) {
    std::remove(kStateFileName);
    CaptureConsole();
    game->Load();
    EXPECT_EQ(TakeConsoleOutput(), "");
    ExpectDefaultSettings(*game);
}

TEST(RecordFieldTest, FieldsParseLikeAtoiWithoutOverflow) {
    EXPECT_EQ(ParseRecordField(T("42")), 42);
    EXPECT_EQ(ParseRecordField(T("-42")), -42);
    EXPECT_EQ(ParseRecordField(T("+42")), 42);
    EXPECT_EQ(ParseRecordField(T("  \t 17xyz")), 17);
    EXPECT_EQ(ParseRecordField(T("12 34")), 12);
    EXPECT_EQ(ParseRecordField(T("abc")), 0);
    EXPECT_EQ(ParseRecordField(T("-")), 0);
    EXPECT_EQ(ParseRecordField(T("")), 0);
    EXPECT_EQ(ParseRecordField(T("0042")), 42);
    EXPECT_EQ(ParseRecordField(T("2147483647")), INT_MAX);
    EXPECT_EQ(ParseRecordField(T("-2147483648")), INT_MIN);
    EXPECT_EQ(ParseRecordField(T("2147483648")), INT_MAX);
    EXPECT_EQ(ParseRecordField(T("-2147483649")), INT_MIN);
    EXPECT_EQ(ParseRecordField(T("99999999999999999999999999999999999999")), INT_MAX);
    EXPECT_EQ(ParseRecordField(T("-99999999999999999999999999999999999999")), INT_MIN);
    // A character outside ASCII ends the number rather than being cut down to a digit:
    // U+0131 would narrow to '1'.
    const String::Char dotless[] = {'5', 0x0131, '7', 0};
    EXPECT_EQ(ParseRecordField(String(dotless)), 5);
}

TEST_F(SaveRecordTest, NonNumericAndOverLongFieldsFailTheirBlockOnly) {
    FillSavedData(*game);
    std::vector<std::string> fields = SplitFields(SavedRecord());
    fields[7] = "seven";
    fields[RecordBestField(2, 2)] = std::string(400, '9');
    const std::string printed = LoadRecord(*game, Join(fields, kRecordFields));
    EXPECT_NE(printed.find("Settings Checksum Invalid"), std::string::npos) << printed;
    EXPECT_NE(printed.find("Badges Loaded"), std::string::npos);
    EXPECT_NE(printed.find("Highscore 0 Loaded"), std::string::npos);
    EXPECT_NE(printed.find("Highscore 1 Loaded"), std::string::npos);
    EXPECT_NE(printed.find("Highscore 2 Checksum Invalid"), std::string::npos);
    ExpectDefaultSettings(*game);
    ExpectTable(*game, 2, 0);
}

TEST_F(SaveRecordTest, AStateFileOfNoiseResetsEveryBlockWithoutHarm) {
    std::mt19937 random(20261207);
    // Bytes of every value, separators and digits made common so that blocks are really read.
    const std::string common = "|||0123456789-";
    for (int round = 0; round < 40; ++round) {
        std::string bytes(200 + random() % 2000, '\0');
        for (char& c : bytes) {
            c = random() % 3 == 0 ? static_cast<char>(random() % 256)
                                  : common[random() % common.size()];
        }
        LoadRecord(*game, bytes);
        // Whatever was read failed its checksum, so every block is back to its defaults.
        ExpectDefaultSettings(*game);
        ExpectNoBadges(*game);
        for (int t = 0; t < 3; ++t) ExpectTable(*game, t, 0);
        if (HasFailure()) {
            ADD_FAILURE() << "round " << round;
            return;
        }
    }
}

TEST_F(SaveRecordTest, SuspendingSavesTheRecord) {
    std::remove(kStateFileName);
    game->settings[5] = 3;
    harness->Suspend();
    const std::vector<std::string> fields = SplitFields(ReadStateFile());
    ASSERT_EQ(fields.size(), 98u);
    EXPECT_EQ(fields[5], "3");
}

TEST_F(SaveRecordTest, BackToTheMenuFilesTheScoreAndSaves) {
    ASSERT_GE(harness->FinishLoading(), 0);
    std::remove(kStateFileName);
    game->difficulty = 3;
    game->score = 4321;
    game->screen = vexmo::kScreenBackToMenu;
    harness->Update();
    const std::vector<std::string> fields = SplitFields(ReadStateFile());
    ASSERT_EQ(fields.size(), 98u);
    EXPECT_EQ(fields[77], "4321");  // best 0 of table 2
    EXPECT_EQ(fields[78], "4321");  // recent 0 of table 2
}

// Saving in one game object and starting a new one gives back everything saved.
TEST(SaveRoundTripTest, ANewGameObjectLoadsWhatTheLastOneSaved) {
    std::string record;
    {
        GameHarness first;
        first.Create();
        FillSavedData(*first.game);
        first.game->Save();
        record = ReadStateFile();
    }
    GameHarness second;
    WriteStateFile(record);
    CaptureConsole();
    second.Create();
    const std::string printed = TakeConsoleOutput();
    for (const char* line : {"Settings Loaded", "Badges Loaded", "Highscore 0 Loaded",
                             "Highscore 1 Loaded", "Highscore 2 Loaded"}) {
        EXPECT_NE(printed.find(line), std::string::npos) << line << " in " << printed;
    }
    const MyApp& game = *second.game;
    for (int n = 0; n < vexmo::kSettings; ++n) {
        EXPECT_EQ(game.settings[n], n == 5 ? 2 : 100 + 3 * n) << n;
    }
    for (int b = 0; b < vexmo::kBadges; ++b) EXPECT_EQ(game.badgeGot[b], (b * 7) % 5 == 0) << b;
    for (int i = 0; i < 60; ++i) EXPECT_EQ(game.highScores[i], 1000 * (i + 1) + i) << i;
    for (int i = 60; i < vexmo::kHighScores; ++i) EXPECT_EQ(game.highScores[i], 0) << i;
    // The same record comes out again.
    second.game->Save();
    EXPECT_EQ(ReadStateFile(), record);
}

// The program's loop saves once more after the window closes, so a sound mode picked in the menu
// survives closing the window.
TEST(SaveOnCloseTest, ClosingTheWindowSavesTheSoundMode) {
    GameHarness harness;
    std::remove(kStateFileName);
    MyApp* game = harness.game;
    harness.platform.QueueAction([game]() { game->settings[5] = 3; }, 2.0);
    harness.platform.QueueClose(2.5);
    RunGameSavingOnClose();
    EXPECT_FALSE(harness.platform.IsOpen());
    const std::vector<std::string> fields = SplitFields(ReadStateFile());
    ASSERT_EQ(fields.size(), 98u);
    EXPECT_EQ(fields[5], "3");
}

}  // namespace
