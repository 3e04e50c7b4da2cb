#include "host/data_location.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <string>

#include "graphics/gl_table.h"
#include "host/app_host.h"
#include "platform/data_path.h"
#include "platform/platform.h"
#include "platform/platform_headless.h"
#include "tests/platform/temp_dir.h"
#include "tests/runtime/console_capture.h"

namespace {

using Bytes = std::vector<unsigned char>;

// Each test builds a little installation inside its own scratch folder:
//   prefix/bin        the program's folder
//   prefix/share/vexmo/data, prefix/bin/data, ./data   as the test needs them
class DataLocationTest : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        ASSERT_NE(realpath(".", buffer_), nullptr);
        root_ = buffer_;
        MakeFolders("prefix/bin");
        places.executableDir = root_ + "/prefix/bin";
        places.xdgDataHome = root_ + "/xdg";
        places.home = root_ + "/home";
    }
    void TearDown() override {
        UseDataLocation(WorkingFolderLocation());
        TempDirTest::TearDown();
    }

    static void MakeFolders(const std::string& path) {
        const std::string command = "mkdir -p '" + path + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }
    // A data folder as the asset generator makes it: with its stamp.
    static void MakeDataFolder(const std::string& path) {
        MakeFolders(path);
        const std::string stamp = "vexmo data\nformat 1\n";
        WriteBytes(path + "/" + kDataStampName, Bytes(stamp.begin(), stamp.end()));
    }
    static bool Exists(const std::string& path) {
        struct stat info;
        return stat(path.c_str(), &info) == 0;
    }
    std::string Installed() const { return root_ + "/prefix/share/vexmo/data"; }
    std::string Beside() const { return root_ + "/prefix/bin/data"; }

    DataPlaces places;
    std::string root_;

private:
    char buffer_[PATH_MAX];
};

TEST_F(DataLocationTest, TheWorkingFoldersDataComesFirstAndKeepsTheRecordBesideIt) {
    MakeDataFolder("data");
    MakeFolders(Installed());
    MakeFolders(Beside());
    const DataLocation location = FindDataLocation(places);
    EXPECT_EQ(location.dataFolder, "./data");
    EXPECT_EQ(location.recordPath, ".vantorstate");
    EXPECT_EQ(location.recordFolder, "");
}

TEST_F(DataLocationTest, AnInstalledGameReadsUnderItsPrefixAndSavesInThePlayersFolder) {
    MakeFolders(Installed());
    MakeFolders(Beside());
    const DataLocation location = FindDataLocation(places);
    EXPECT_EQ(location.dataFolder, Installed());
    EXPECT_EQ(location.recordFolder, root_ + "/xdg/vexmo");
    EXPECT_EQ(location.recordPath, root_ + "/xdg/vexmo/.vantorstate");
}

TEST_F(DataLocationTest, DataBesideTheProgramComesLast) {
    MakeDataFolder(Beside());
    const DataLocation location = FindDataLocation(places);
    EXPECT_EQ(location.dataFolder, Beside());
    EXPECT_EQ(location.recordPath, root_ + "/xdg/vexmo/.vantorstate");
}

TEST_F(DataLocationTest, AFileNamedDataIsNoDataFolder) {
    WriteBytes("data", {'x'});
    MakeDataFolder(Beside());
    EXPECT_EQ(FindDataLocation(places).dataFolder, Beside());
}

TEST_F(DataLocationTest, NoDataAnywhereNamesThePlacesTriedInOrder) {
    const DataLocation location = FindDataLocation(places);
    EXPECT_EQ(location.dataFolder, "");
    EXPECT_EQ(location.tried, (std::vector<std::string>{"./data", Installed(), Beside()}));
    EXPECT_FALSE(location.chosenMissing);
    // Run as it always did without data: the names still go to ./data, where nothing is found.
    UseDataLocation(location);
    EXPECT_EQ(DataFolder(), "./data");
}

TEST_F(DataLocationTest, AProgramWhoseFolderIsUnknownStillLooksInTheWorkingFolder) {
    places.executableDir.clear();
    EXPECT_EQ(FindDataLocation(places).tried, (std::vector<std::string>{"./data"}));
}

TEST_F(DataLocationTest, DataNamedOnTheCommandLineWinsOverEveryOtherPlace) {
    MakeFolders("data");
    MakeFolders("elsewhere/data");
    places.chosen = root_ + "/elsewhere/data";
    const DataLocation location = FindDataLocation(places);
    EXPECT_TRUE(location.chosen);
    EXPECT_EQ(location.dataFolder, places.chosen);
    EXPECT_EQ(location.recordPath, root_ + "/xdg/vexmo/.vantorstate");
}

TEST_F(DataLocationTest, NamingTheWorkingFoldersDataKeepsTheRecordThere) {
    MakeFolders("real/data");
    ASSERT_EQ(symlink("real/data", "data"), 0);
    places.chosen = root_ + "/real/data";
    const DataLocation location = FindDataLocation(places);
    EXPECT_EQ(location.dataFolder, places.chosen);
    EXPECT_EQ(location.recordPath, ".vantorstate");
}

TEST_F(DataLocationTest, AMissingChosenFolderIsReportedNotReplaced) {
    MakeFolders("data");
    places.chosen = root_ + "/typo";
    const DataLocation location = FindDataLocation(places);
    EXPECT_TRUE(location.chosenMissing);
    EXPECT_EQ(location.dataFolder, "");
    EXPECT_NE(DescribeDataLocation(location).find(root_ + "/typo (from --data) is not a folder"),
              std::string::npos);
}

TEST_F(DataLocationTest, WithoutXdgDataHomeTheRecordGoesUnderHome) {
    MakeFolders(Installed());
    places.xdgDataHome.clear();
    const DataLocation location = FindDataLocation(places);
    EXPECT_EQ(location.recordPath, root_ + "/home/.local/share/vexmo/.vantorstate");
}

TEST_F(DataLocationTest, ARelativeXdgDataHomeIsIgnored) {
    MakeFolders(Installed());
    places.xdgDataHome = "relative/place";
    EXPECT_EQ(FindDataLocation(places).recordPath, root_ + "/home/.local/share/vexmo/.vantorstate");
}

TEST_F(DataLocationTest, WithoutXdgDataHomeAndHomeThereIsNoRecord) {
    MakeFolders(Installed());
    places.xdgDataHome.clear();
    places.home.clear();
    const DataLocation location = FindDataLocation(places);
    EXPECT_EQ(location.dataFolder, Installed());
    EXPECT_EQ(location.recordPath, "");
    EXPECT_NE(DescribeDataLocation(location).find("Saved record: none"), std::string::npos);
}

// A folder merely named "data" (a player's own ~/data, where a desktop starts programs) is not
// taken for the game's: only one carrying the generator's stamp is, and --data takes any folder
// with a warning. Each case: which folders exist (s: with the stamp), what is chosen, the folder
// used and the start-up notes.
TEST_F(DataLocationTest, OnlyStampedFoldersNamedDataAreTheGames) {
    struct Case {
        const char* what;
        const char* working;  // "", "plain" or "stamped"
        const char* beside;
        bool installed;
        bool chooseWorking;  // --data ./data
        const char* used;    // "working", "beside", "installed" or ""
        const char* note;    // a piece of the one note expected, or "" for none
    };
    const Case cases[] = {
        {"a home folder's own data", "plain", "", true, false, "installed",
         "Passed over ./data: it holds no vexmo-data.stamp"},
        {"the game's data in the working folder", "stamped", "", true, false, "working", ""},
        {"a plain folder beside the program", "", "plain", false, false, "",
         "/prefix/bin/data: it holds no vexmo-data.stamp"},
        {"a stamped folder beside the program", "plain", "stamped", false, false, "beside",
         "Passed over ./data"},
        {"asked for by name", "plain", "", true, true, "working",
         "Using ./data as asked, though it holds no vexmo-data.stamp"},
        {"asked for and stamped", "stamped", "", false, true, "working", ""},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(std::system("rm -rf data prefix/bin/data prefix/share"), 0);
        const auto make = [&](const std::string& kind, const std::string& path) {
            if (kind == "plain") MakeFolders(path);
            if (kind == "stamped") MakeDataFolder(path);
        };
        make(c.working, "data");
        make(c.beside, Beside());
        if (c.installed) MakeFolders(Installed());
        places.chosen = c.chooseWorking ? "./data" : "";
        const DataLocation location = FindDataLocation(places);
        const std::string used = std::string(c.used) == "working"     ? "./data"
                                 : std::string(c.used) == "beside"    ? Beside()
                                 : std::string(c.used) == "installed" ? Installed()
                                                                      : "";
        EXPECT_EQ(location.dataFolder, used) << c.what;
        if (std::string(c.note).empty()) {
            EXPECT_TRUE(location.notes.empty()) << c.what << ": " << location.notes.front();
        } else {
            ASSERT_EQ(location.notes.size(), 1u) << c.what;
            EXPECT_NE(location.notes[0].find(c.note), std::string::npos)
                << c.what << ": " << location.notes[0];
        }
    }
}

// A relative HOME, like a relative XDG_DATA_HOME, would put the record under whatever folder the
// game was started in: it is ignored with one line.
TEST_F(DataLocationTest, ARelativeHomeIsIgnoredWithOneLine) {
    places.xdgDataHome.clear();
    places.home = "relative/home";
    const DataLocation location = FindDataLocation(places);
    EXPECT_EQ(location.recordPath, "");
    ASSERT_EQ(location.notes.size(), 1u);
    EXPECT_EQ(location.notes[0], "HOME is ignored: relative/home is not an absolute path");
    places.xdgDataHome = "also/relative";
    places.home = root_ + "/home";
    const DataLocation second = FindDataLocation(places);
    EXPECT_EQ(second.recordPath, root_ + "/home/.local/share/vexmo/.vantorstate");
    ASSERT_EQ(second.notes.size(), 1u);
    EXPECT_EQ(second.notes[0], "XDG_DATA_HOME is ignored: also/relative is not an absolute path");
}

TEST_F(DataLocationTest, HelpSaysWhereTheDataAndTheRecordAre) {
    MakeFolders(Installed());
    const std::string text = DescribeDataLocation(FindDataLocation(places));
    EXPECT_NE(text.find("the first of ./data, " + Installed() + " and " + Beside()),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("in use: " + Installed()), std::string::npos) << text;
    EXPECT_NE(text.find("Saved record: " + root_ + "/xdg/vexmo/.vantorstate"), std::string::npos)
        << text;
}

TEST_F(DataLocationTest, TheProcessReportsItsOwnFolderAndEnvironment) {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    const std::string saved = xdg ? xdg : "";
    ASSERT_EQ(setenv("XDG_DATA_HOME", "/some/where", 1), 0);
    const DataPlaces own = ThisProcessPlaces("", nullptr);
    if (xdg) {
        setenv("XDG_DATA_HOME", saved.c_str(), 1);
    } else {
        unsetenv("XDG_DATA_HOME");
    }
    EXPECT_EQ(own.xdgDataHome, "/some/where");
    EXPECT_TRUE(Exists(own.executableDir + "/test_host")) << own.executableDir;
}

// Saving and loading through the host object, wherever the location puts the record.
class RecordPlaceTest : public DataLocationTest {
protected:
    void SetUp() override {
        DataLocationTest::SetUp();
        SetCurrentPlatform(&platform);
        host = gc_new<gxtkApp>();
        MakeFolders(Installed());
    }
    void TearDown() override {
        SetCurrentPlatform(nullptr);
        DataLocationTest::TearDown();
    }

    HeadlessPlatform platform;
    GlRecorder recorder;
    gxtkApp* host = nullptr;
};

TEST_F(RecordPlaceTest, TheFirstSaveMakesThePlayersFolderPrivately) {
    places.xdgDataHome = root_ + "/deep/er/xdg";
    UseDataLocation(FindDataLocation(places));
    EXPECT_EQ(host->LoadState().Length(), 0);
    ASSERT_EQ(host->SaveState(T("1|2|")), 0);
    const std::string folder = root_ + "/deep/er/xdg/vexmo";
    EXPECT_EQ(ReadBytes(folder + "/.vantorstate"),
              (std::vector<unsigned char>{'1', '|', '2', '|'}));
    struct stat info;
    ASSERT_EQ(stat(folder.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_TRUE(host->LoadState() == T("1|2|"));
    EXPECT_FALSE(Exists(".vantorstate"));
}

TEST_F(RecordPlaceTest, AssetNamesGoToTheChosenDataFolder) {
    WriteBytes(Installed() + "/a.txt", {'i'});
    MakeFolders("internal");
    WriteBytes("internal/a.txt", {'n'});
    UseDataLocation(FindDataLocation(places));
    FILE* file = fopenFile(T("vantor://data/a.txt"), T("rb"));
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(std::fgetc(file), 'i');
    std::fclose(file);
    file = fopenFile(T("vantor://internal/a.txt"), T("rb"));
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(std::fgetc(file), 'n');
    std::fclose(file);
}

TEST_F(RecordPlaceTest, WithNowhereToSaveNothingIsWrittenAndNothingLoads) {
    WriteBytes(".vantorstate", {'7', '|'});
    places.xdgDataHome.clear();
    places.home.clear();
    UseDataLocation(FindDataLocation(places));
    EXPECT_EQ(host->SaveState(T("1|")), -1);
    EXPECT_EQ(host->LoadState().Length(), 0);
    EXPECT_EQ(ReadBytes(".vantorstate"), (std::vector<unsigned char>{'7', '|'}));
    EXPECT_FALSE(Exists(root_ + "/home"));
}

// A file where the record's folder should be: the folder cannot be made (even by root), the save
// fails with a message once, and a later save to a good place still works.
TEST_F(RecordPlaceTest, AFolderThatCannotBeMadeFailsTheSaveWithAMessage) {
    WriteBytes("in-the-way", {'x'});
    places.xdgDataHome = root_ + "/in-the-way";
    UseDataLocation(FindDataLocation(places));
    CaptureConsole();
    const int first = host->SaveState(T("1|"));
    const int second = host->SaveState(T("2|"));
    const std::string printed = TakeConsoleOutput();
    EXPECT_NE(first, 0);
    EXPECT_NE(second, 0);
    const std::string line =
        "Cannot make the folder " + root_ + "/in-the-way/vexmo for the saved record: ";
    EXPECT_NE(printed.find(line), std::string::npos) << printed;
    EXPECT_EQ(printed.find(line), printed.rfind(line)) << "reported twice: " << printed;
    EXPECT_EQ(ReadBytes("in-the-way"), (std::vector<unsigned char>{'x'}));
    EXPECT_EQ(host->LoadState().Length(), 0);

    places.xdgDataHome = root_ + "/xdg";
    UseDataLocation(FindDataLocation(places));
    EXPECT_EQ(host->SaveState(T("3|")), 0);
    EXPECT_TRUE(host->LoadState() == T("3|"));
}

}  // namespace
