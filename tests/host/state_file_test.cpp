#include "host/state_file.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
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

namespace {

class StateFileLinkTest : public TempDirTest {};

// A record kept elsewhere through a link (a synced folder, say): saving writes the target and
// the link stays a link, whether it names its target relatively, absolutely or through a chain.
TEST_F(StateFileLinkTest, ASymlinkedRecordIsSavedThroughTheLink) {
    ASSERT_EQ(mkdir("real", 0755), 0);
    ASSERT_EQ(symlink("real/.vantorstate", "relative"), 0);
    ASSERT_EQ(symlink("relative", "chained"), 0);
    char here[PATH_MAX];
    ASSERT_NE(getcwd(here, sizeof here), nullptr);
    ASSERT_EQ(symlink((std::string(here) + "/real/.vantorstate").c_str(), "absolute"), 0);
    int n = 0;
    for (const char* link : {"relative", "chained", "absolute"}) {
        const std::string text = "record " + std::to_string(++n) + "|";
        ASSERT_EQ(SaveStateFile(String(text.c_str()), link), 0) << link;
        struct stat info {};
        ASSERT_EQ(lstat(link, &info), 0);
        EXPECT_TRUE(S_ISLNK(info.st_mode)) << link << " was replaced by a file";
        const Bytes saved = ReadBytes("real/.vantorstate");
        EXPECT_EQ(std::string(saved.begin(), saved.end()), text) << link;
    }
    // A link whose target is not there yet gets its target made.
    ASSERT_EQ(symlink("real/new-record", "dangling"), 0);
    ASSERT_EQ(SaveStateFile(T("fresh|"), "dangling"), 0);
    EXPECT_EQ(ReadBytes("real/new-record"), (Bytes{'f', 'r', 'e', 's', 'h', '|'}));
}

// While one copy of the game holds the record's lock, another's save waits for it.
TEST_F(StateFileLinkTest, ASaveWaitsForTheLockAnotherCopyHolds) {
    const int fd = open(".vantorstate.lock", O_RDWR | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    const pid_t holder = fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        flock(fd, LOCK_EX);
        usleep(300 * 1000);
        _exit(0);  // the lock goes with the process
    }
    close(fd);
    usleep(100 * 1000);  // the child has the lock by now
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(SaveStateFile(T("after the other|")), 0);
    const double waited =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    int status = 0;
    waitpid(holder, &status, 0);
    EXPECT_GT(waited, 0.1) << "the save did not wait for the lock";
    EXPECT_LT(waited, kStateLockWaitSeconds);
}

}  // namespace
