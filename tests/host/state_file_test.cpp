#include "host/state_file.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <string>

#include "graphics/gl_table.h"
#include "host/app_host.h"
#include "platform/platform.h"
#include "platform/platform_headless.h"
#include "tests/platform/temp_dir.h"

namespace {

using Bytes = std::vector<unsigned char>;

std::string TemporaryName() {
    return ".vantorstate." + std::to_string(getpid()) + ".tmp";
}

class StateFileTest : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        SetCurrentPlatform(&platform);
        host = gc_new<gxtkApp>();
    }
    void TearDown() override {
        SetCurrentPlatform(nullptr);
        TempDirTest::TearDown();
    }

    HeadlessPlatform platform;
    GlRecorder recorder;
    gxtkApp* host = nullptr;
};

TEST_F(StateFileTest, NoFileLoadsAsEmpty) {
    EXPECT_EQ(host->LoadState().Length(), 0);
    EXPECT_TRUE(Entries().empty());
}

TEST_F(StateFileTest, AccentedTextIsStoredAsUtf8AndComesBack) {
    const String::Char text[] = {'s', 0xE9, '|', '1', 0};
    ASSERT_EQ(host->SaveState(String(text)), 0);
    EXPECT_EQ(ReadBytes(".vantorstate"), (Bytes{'s', 0xC3, 0xA9, '|', '1'}));
    const String loaded = host->LoadState();
    ASSERT_EQ(loaded.Length(), 4);
    EXPECT_EQ(loaded[1], 0xE9);
    EXPECT_TRUE(loaded == String(text));
}

TEST_F(StateFileTest, AByteOrderMarkFromAnotherToolIsSkipped) {
    WriteBytes(".vantorstate", {0xEF, 0xBB, 0xBF, '4', '2'});
    EXPECT_TRUE(host->LoadState() == T("42"));
}

TEST_F(StateFileTest, TwoSavesInARowLeaveOnlyTheSecond) {
    ASSERT_EQ(host->SaveState(T("a long first record|1|2|3")), 0);
    ASSERT_EQ(host->SaveState(T("short")), 0);
    EXPECT_EQ(ReadBytes(".vantorstate"), (Bytes{'s', 'h', 'o', 'r', 't'}));
    EXPECT_TRUE(host->LoadState() == T("short"));
    EXPECT_EQ(Entries(), std::vector<std::string>{".vantorstate"});  // no temporary left over
}

TEST_F(StateFileTest, SavingTheEmptyTextLeavesAnEmptyFile) {
    ASSERT_EQ(host->SaveState(T("x")), 0);
    ASSERT_EQ(host->SaveState(String()), 0);
    EXPECT_TRUE(ReadBytes(".vantorstate").empty());
    EXPECT_EQ(host->LoadState().Length(), 0);
}

TEST_F(StateFileTest, AFileThatCannotBeCreatedGivesMinusOneAndKeepsTheOldOne) {
    ASSERT_EQ(host->SaveState(T("kept")), 0);
    // Something already sits where the new text would be written.
    ASSERT_EQ(mkdir(TemporaryName().c_str(), 0755), 0);
    EXPECT_EQ(host->SaveState(T("lost")), -1);
    EXPECT_TRUE(host->LoadState() == T("kept"));
}

TEST_F(StateFileTest, AFileThatCannotBeReplacedGivesMinusOne) {
    ASSERT_EQ(mkdir(".vantorstate", 0755), 0);
    WriteBytes(".vantorstate/inside", {'x'});
    EXPECT_EQ(host->SaveState(T("new")), -1);
    EXPECT_EQ(ReadBytes(".vantorstate/inside"), Bytes{'x'});
    EXPECT_EQ(Entries(), std::vector<std::string>{".vantorstate"});
}

// A disk that fills up mid-save: the file size limit makes the write stop part-way.
TEST_F(StateFileTest, AShortWriteGivesMinusTwoAndKeepsTheOldOne) {
    ASSERT_EQ(host->SaveState(T("old record")), 0);

    rlimit previousLimit{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previousLimit), 0);
    rlimit small = previousLimit;
    small.rlim_cur = 16;
    void (*previousHandler)(int) = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const int result = host->SaveState(T("a record far longer than sixteen bytes"));
    setrlimit(RLIMIT_FSIZE, &previousLimit);
    signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(result, -2);
    EXPECT_TRUE(host->LoadState() == T("old record"));
    EXPECT_EQ(Entries(), std::vector<std::string>{".vantorstate"});
}

TEST_F(StateFileTest, ExplicitPathsWork) {
    ASSERT_EQ(SaveStateFile(T("elsewhere"), "other.state"), 0);
    EXPECT_TRUE(LoadStateFile("other.state") == T("elsewhere"));
    EXPECT_EQ(LoadStateFile().Length(), 0);
}

TEST_F(StateFileTest, LoadStringGoesThroughTheDataScheme) {
    ASSERT_EQ(mkdir("data", 0755), 0);
    WriteBytes("data/notes.txt", {'h', 'i'});
    EXPECT_TRUE(host->LoadString(T("vantor://data/notes.txt")) == T("hi"));
    EXPECT_TRUE(host->LoadString(T("data/notes.txt")) == T("hi"));
    EXPECT_EQ(host->LoadString(T("vantor://data/missing.txt")).Length(), 0);
    EXPECT_EQ(host->LoadString(T("vantor://other/notes.txt")).Length(), 0);
}

TEST_F(StateFileTest, AppTitleIsAFixedText) {
    EXPECT_TRUE(host->AppTitle() == T("<TODO>"));
}

}  // namespace
