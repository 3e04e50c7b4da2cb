// Extra gamepad mappings from gamecontrollerdb.txt files inside and beside the data folder: what
// is handed to the platform, the one line reported per file, and files that are bad in every
// way a file can be, none of which stops the game.
#include "host/gamepad_mappings_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/platform_headless.h"
#include "tests/platform/temp_dir.h"
#include "tests/runtime/console_capture.h"

namespace {

// Two well-formed lines (made up for these tests, as a pad's maker would write them).
const std::string kPadOne =
    "0300000011110000222200000100000a,Test Pad One,a:b0,b:b1,x:b2,y:b3,back:b6,start:b7,"
    "leftshoulder:b4,rightshoulder:b5,dpup:h0.1,dpdown:h0.4,dpleft:h0.8,dpright:h0.2,"
    "leftx:a0,lefty:a1,rightx:a3,righty:a4,lefttrigger:a2,righttrigger:a5,platform:Linux,";
const std::string kPadTwo =
    "0300000033330000444400000100000b,Test Pad Two,a:b1,b:b0,start:b9,leftx:a0,lefty:a1,"
    "platform:Linux,";

class GamepadMappingsTest : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        ASSERT_TRUE(platform.Init());
    }
    static void WriteText(const std::string& path, const std::string& text) {
        WriteBytes(path, std::vector<unsigned char>(text.begin(), text.end()));
    }
    // LoadGamepadMappings with its printed lines gathered.
    std::string LoadPrinting(const std::string& dataFolder, int* found) {
        CaptureConsole();
        *found = LoadGamepadMappings(platform, dataFolder);
        return TakeConsoleOutput();
    }

    HeadlessPlatform platform;
};

TEST(GamepadMappingFiles, InsideTheDataFolderFirstThenBesideIt) {
    EXPECT_EQ(GamepadMappingFiles("./data"),
              (std::vector<std::string>{"./data/gamecontrollerdb.txt", "./gamecontrollerdb.txt"}));
    EXPECT_EQ(GamepadMappingFiles("/opt/vexmo/share/vexmo/data/"),
              (std::vector<std::string>{"/opt/vexmo/share/vexmo/data/gamecontrollerdb.txt",
                                        "/opt/vexmo/share/vexmo/gamecontrollerdb.txt"}));
    EXPECT_EQ(GamepadMappingFiles("data"),
              (std::vector<std::string>{"data/gamecontrollerdb.txt", "./gamecontrollerdb.txt"}));
    // The working folder as the data folder: one file, not the same one twice.
    EXPECT_EQ(GamepadMappingFiles("."), (std::vector<std::string>{"./gamecontrollerdb.txt"}));
}

TEST_F(GamepadMappingsTest, GoodLinesReachThePlatformWithoutCommentsBlanksOrLineEnds) {
    const std::string text = "# Game controller mappings\r\n\r\n" + kPadOne + "\r\n" +
                             "   indented text is no mapping\n" + kPadTwo;  // no final newline
    const std::string report = AddGamepadMappings(platform, text, "pads.txt");
    EXPECT_EQ(report, "Gamepad mappings from pads.txt loaded (2 lines)");
    EXPECT_EQ(platform.GamepadMappings(), (std::vector<std::string>{kPadOne, kPadTwo}));
}

TEST_F(GamepadMappingsTest, RejectedLinesAreCountedAndTheFirstIsNamed) {
    const std::string text = kPadOne + "\n# comment\n03000000abcd,Short GUID,a:b0,\n" + kPadTwo +
                             "\n0300000011110000222200000100000a\n";
    const std::string report = AddGamepadMappings(platform, text, "db.txt");
    EXPECT_EQ(report.find('\n'), std::string::npos) << "one line";
    EXPECT_NE(report.find("db.txt: 2 of 4 lines rejected (first at line 3: "), std::string::npos)
        << report;
    EXPECT_NE(report.find("the others loaded"), std::string::npos) << report;
    EXPECT_EQ(platform.GamepadMappings(), (std::vector<std::string>{kPadOne, kPadTwo}));
}

TEST_F(GamepadMappingsTest, AFileOfOnlyBadLinesIsRejectedAsAWhole) {
    const std::string report =
        AddGamepadMappings(platform, "0123,no,good\nabc\n", "./gamecontrollerdb.txt");
    EXPECT_EQ(report.rfind("Gamepad mappings from ./gamecontrollerdb.txt rejected: no valid "
                           "mapping (line 1: ",
                           0),
              0u)
        << report;
    EXPECT_TRUE(platform.GamepadMappings().empty());
}

TEST_F(GamepadMappingsTest, TextWithoutMappingLinesAndBinaryFilesAreRejected) {
    EXPECT_EQ(AddGamepadMappings(platform, "# nothing here\n\n  \n", "a"),
              "Gamepad mappings from a rejected: it holds no mapping lines");
    EXPECT_EQ(AddGamepadMappings(platform, "", "b"),
              "Gamepad mappings from b rejected: it holds no mapping lines");
    const std::string binary = std::string("\x89PNG\r\n", 6) + std::string(1, '\0') + kPadOne;
    EXPECT_EQ(AddGamepadMappings(platform, binary, "c"),
              "Gamepad mappings from c rejected: not a text file");
    EXPECT_TRUE(platform.GamepadMappings().empty());
}

TEST_F(GamepadMappingsTest, AnOverlongLineIsReportedRatherThanDroppedUnseen) {
    const std::string longLine = kPadTwo + std::string(1100, 'x');
    const std::string report = AddGamepadMappings(platform, kPadOne + "\n" + longLine, "d");
    EXPECT_NE(report.find("1 of 2 lines rejected (first at line 2: longer than 1023 characters)"),
              std::string::npos)
        << report;
    EXPECT_EQ(platform.GamepadMappings(), std::vector<std::string>{kPadOne});
}

TEST_F(GamepadMappingsTest, NoFileAnywhereIsSilent) {
    ASSERT_EQ(mkdir("data", 0755), 0);
    int found = -1;
    EXPECT_EQ(LoadPrinting("./data", &found), "");
    EXPECT_EQ(found, 0);
    EXPECT_TRUE(platform.GamepadMappings().empty());
}

TEST_F(GamepadMappingsTest, BothFilesLoadInsideFirstSoTheOneBesideHasTheLastWord) {
    ASSERT_EQ(mkdir("data", 0755), 0);
    WriteText("data/gamecontrollerdb.txt", kPadOne + "\n");
    WriteText("gamecontrollerdb.txt", kPadTwo + "\n");
    int found = 0;
    const std::string output = LoadPrinting("./data", &found);
    EXPECT_EQ(found, 2);
    EXPECT_EQ(output,
              "Gamepad mappings from ./data/gamecontrollerdb.txt loaded (1 line)\n"
              "Gamepad mappings from ./gamecontrollerdb.txt loaded (1 line)\n");
    EXPECT_EQ(platform.GamepadMappings(), (std::vector<std::string>{kPadOne, kPadTwo}));
}

TEST_F(GamepadMappingsTest, AFolderInPlaceOfTheFileAndAnOversizedFileAreRejected) {
    ASSERT_EQ(mkdir("data", 0755), 0);
    ASSERT_EQ(mkdir("data/gamecontrollerdb.txt", 0755), 0);
    std::string huge;
    while (huge.size() <= static_cast<size_t>(kGamepadMappingsMaxBytes)) huge += kPadOne + "\n";
    WriteText("gamecontrollerdb.txt", huge);
    int found = 0;
    const std::string output = LoadPrinting("./data", &found);
    EXPECT_EQ(found, 2);
    EXPECT_EQ(output,
              "Gamepad mappings from ./data/gamecontrollerdb.txt rejected: is a folder\n"
              "Gamepad mappings from ./gamecontrollerdb.txt rejected: is larger than 2 MiB\n");
    EXPECT_TRUE(platform.GamepadMappings().empty());
}

TEST_F(GamepadMappingsTest, APlatformWithoutMappingsReadsNothing) {
    WriteText("gamecontrollerdb.txt", kPadOne + "\n");
    HeadlessPlatform notStarted;  // takes mappings only once started
    CaptureConsole();
    EXPECT_EQ(LoadGamepadMappings(notStarted, "./data"), 0);
    EXPECT_EQ(TakeConsoleOutput(), "");
    EXPECT_TRUE(notStarted.GamepadMappings().empty());
}

}  // namespace
