// The game where its record cannot be kept: a finished game still goes into the tables and the
// menu carries on; only the file is missing. (Where the record lives is the host's business;
// the game saves and loads the same way wherever that is.)
#include <sys/stat.h>

#include <string>

#include "game/score_table.h"
#include "game_fixture.h"
#include "host/data_location.h"
#include "tests/runtime/console_capture.h"

namespace {

using vexmo::BestListStart;
using vexmo::LastListStart;

class RecordPlaceGameTest : public ::testing::Test {
protected:
    void TearDown() override { UseDataLocation(WorkingFolderLocation()); }

    // The build's data as an installed game would find it, with the record's place given.
    void PlaceRecord(const std::string& xdgDataHome, const std::string& home) {
        DataPlaces places;
        places.chosen = std::string(VEXMO_BINARY_DIR) + "/data";
        places.xdgDataHome = xdgDataHome;
        places.home = home;
        const DataLocation location = FindDataLocation(places);
        ASSERT_EQ(location.dataFolder, places.chosen);
        UseDataLocation(location);
    }

    // A finished game on difficulty 3 goes back to the menu, which files and saves the score.
    static void FinishAGame(GameHarness& harness, int score) {
        ASSERT_GE(harness.FinishLoading(), 0);
        harness.game->difficulty = 3;
        harness.game->score = score;
        harness.game->screen = vexmo::kScreenBackToMenu;
        harness.Frame(30);
    }

    static bool Exists(const std::string& path) {
        struct stat info;
        return stat(path.c_str(), &info) == 0;
    }
};

TEST_F(RecordPlaceGameTest, AnUnmakeableRecordFolderLosesOnlyTheFile) {
    GameHarness harness(640, 480, GameHarness::Data::kEmpty);
    const std::string blocker = (harness.WorkingDirectory() / "in-the-way").string();
    FILE* file = std::fopen(blocker.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    PlaceRecord(blocker, "");
    harness.Create();
    CaptureConsole();
    FinishAGame(harness, 4321);
    const std::string printed = TakeConsoleOutput();
    EXPECT_NE(printed.find("Cannot make the folder " + blocker + "/vexmo"), std::string::npos)
        << printed;
    EXPECT_EQ(harness.game->screen, vexmo::kScreenMenu);
    EXPECT_EQ(harness.game->highScores[BestListStart(3)], 4321);
    EXPECT_EQ(harness.game->highScores[LastListStart(3)], 4321);
    EXPECT_FALSE(Exists(".vantorstate"));
    // The menu keeps running: a second game is filed as well.
    FinishAGame(harness, 1234);
    EXPECT_EQ(harness.game->screen, vexmo::kScreenMenu);
    EXPECT_EQ(harness.game->highScores[LastListStart(3)], 1234);
    EXPECT_EQ(harness.game->highScores[LastListStart(3) + 1], 4321);
}

TEST_F(RecordPlaceGameTest, WithoutHomeTheGamePlaysAndWritesNothing) {
    GameHarness harness(640, 480, GameHarness::Data::kEmpty);
    PlaceRecord("", "");
    harness.Create();
    FinishAGame(harness, 777);
    EXPECT_EQ(harness.game->screen, vexmo::kScreenMenu);
    EXPECT_EQ(harness.game->highScores[BestListStart(3)], 777);
    EXPECT_FALSE(Exists(".vantorstate"));
}

}  // namespace
