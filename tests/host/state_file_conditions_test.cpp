// The state file under real file-system conditions: a read-only folder, a full disk, a folder in
// the record's place, temporaries of killed saves, and things that are not a record at all.
// Mounting needs privileges CI may not have; each condition then falls back to another real one
// and prints which it used.
#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>

#include "host/state_file.h"
#include "tests/platform/temp_dir.h"
#include "tests/runtime/console_capture.h"

namespace {

using Bytes = std::vector<unsigned char>;

const char* const kOldRecord = "1|2|3|an old record|";
// Longer than the file size limit below, which must still let the console line through.
const std::string kNewRecord = "9|9|9|" + std::string(200, '8') + "|";

// A private mount namespace for this test process, so nothing mounted here is seen outside it
// or outlives it. False (with the reason) where the machine does not allow it.
bool PrivateMounts(std::string* why) {
    static int state = 0;  // 0 not tried, 1 ready, -1 refused
    static std::string refusal;
    if (state == 0) {
        if (unshare(CLONE_NEWNS) != 0) {
            refusal = std::string("unshare: ") + std::strerror(errno);
        } else if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
            refusal = std::string("making mounts private: ") + std::strerror(errno);
        }
        state = refusal.empty() ? 1 : -1;
    }
    *why = refusal;
    return state == 1;
}

bool MountTmpfs(const std::string& where, const char* options, std::string* why) {
    if (!PrivateMounts(why)) return false;
    if (mount("tmpfs", where.c_str(), "tmpfs", 0, options) != 0) {
        *why = std::string("mount tmpfs: ") + std::strerror(errno);
        return false;
    }
    return true;
}

void Condition(const std::string& what) {
    std::cout << "[ condition ] " << what << std::endl;
}

class StateFileConditions : public TempDirTest {
protected:
    void TearDown() override {
        if (mounted_) umount2(folder_.c_str(), MNT_DETACH);
        TempDirTest::TearDown();
    }

    // The folder with the old record in it, still writable.
    void MakeFolder(bool onTmpfs, const char* options = "size=1m") {
        ASSERT_EQ(mkdir(folder_.c_str(), 0755), 0);
        if (onTmpfs) {
            mounted_ = MountTmpfs(folder_, options, &refusal_);
        }
        ASSERT_EQ(SaveStateFile(T(kOldRecord), record_.c_str()), 0);
        oldBytes_ = ReadBytes(record_);
        ASSERT_EQ(oldBytes_.size(), std::strlen(kOldRecord));
    }

    // Saves a new record, returning the result and leaving the console line in `said`.
    int SaveNew(std::string* said) {
        CaptureConsole();
        const int result = SaveStateFile(T(kNewRecord.c_str()), record_.c_str());
        *said = TakeConsoleOutput();
        return result;
    }

    std::vector<std::string> FolderEntries() const {
        std::vector<std::string> names;
        DIR* dir = opendir(folder_.c_str());
        if (!dir) return names;
        while (dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            // The saves' lock file stays by design; only the record and temporaries matter here.
            const bool lock = name.size() > 5 && name.compare(name.size() - 5, 5, ".lock") == 0;
            if (name != "." && name != ".." && !lock) names.push_back(name);
        }
        closedir(dir);
        std::sort(names.begin(), names.end());
        return names;
    }

    const std::string folder_ = "home";
    const std::string record_ = "home/.vantorstate";
    bool mounted_ = false;
    std::string refusal_;
    Bytes oldBytes_;
};

TEST_F(StateFileConditions, AReadOnlyFolderIsToldAndTheOldRecordStays) {
    MakeFolder(true);
    int expected = 0;
    int result = 0;
    std::string said;
    if (mounted_ &&
        mount(nullptr, folder_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0) {
        Condition("a tmpfs remounted read-only");
        expected = EROFS;
        result = SaveNew(&said);
    } else {
        if (mounted_) refusal_ = std::string("remount read-only: ") + std::strerror(errno);
        ASSERT_EQ(chmod(folder_.c_str(), 0555), 0);
        if (geteuid() == 0) {
            // Root writes anywhere; as another user the folder's mode holds. The saved user id
            // stays 0, so the test gets its rights back afterwards.
            Condition("a folder of mode 0555 written by user nobody (no mounting: " + refusal_ +
                      ")");
            ASSERT_EQ(chmod(dir_.c_str(), 0755), 0);  // only the folder's own mode may refuse
            ASSERT_EQ(setegid(65534), 0);
            ASSERT_EQ(seteuid(65534), 0);
            result = SaveNew(&said);
            ASSERT_EQ(seteuid(0), 0);
            ASSERT_EQ(setegid(0), 0);
        } else {
            Condition("a folder of mode 0555 (no mounting: " + refusal_ + ")");
            result = SaveNew(&said);
        }
        expected = EACCES;
        chmod(folder_.c_str(), 0755);
    }
    EXPECT_EQ(result, -1);
    EXPECT_EQ(said, std::string("Save failed: ") + std::strerror(expected) + "\n");
    EXPECT_EQ(ReadBytes(record_), oldBytes_);
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{".vantorstate"});
}

TEST_F(StateFileConditions, AFullDiskIsToldAndTheOldRecordStays) {
    MakeFolder(true, "size=64k");
    int expected = 0;
    int result = 0;
    std::string said;
    if (mounted_) {
        Condition("a 64 KiB tmpfs filled to the last byte");
        const int filler = open((folder_ + "/filler").c_str(), O_WRONLY | O_CREAT, 0644);
        ASSERT_GE(filler, 0);
        const std::vector<char> block(4096, 'x');
        while (write(filler, block.data(), block.size()) > 0) {
        }
        while (write(filler, block.data(), 1) > 0) {
        }
        close(filler);
        expected = ENOSPC;
        result = SaveNew(&said);
        unlink((folder_ + "/filler").c_str());
    } else {
        // The disk "fills" after 64 bytes: the write stops part-way with EFBIG.
        Condition("a file size limit of 64 bytes (no mounting: " + refusal_ + ")");
        rlimit previous{};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
        rlimit small = previous;
        small.rlim_cur = 64;
        void (*previousHandler)(int) = signal(SIGXFSZ, SIG_IGN);
        // The limit would cut the captured console output short too: lift it before reading.
        CaptureConsole();
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        result = SaveStateFile(T(kNewRecord.c_str()), record_.c_str());
        setrlimit(RLIMIT_FSIZE, &previous);
        signal(SIGXFSZ, previousHandler);
        said = TakeConsoleOutput();
        expected = EFBIG;
    }
    EXPECT_EQ(result, -2);
    EXPECT_EQ(said, std::string("Save failed: ") + std::strerror(expected) + "\n");
    EXPECT_EQ(ReadBytes(record_), oldBytes_);
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{".vantorstate"}) << "no temporary left";
}

TEST_F(StateFileConditions, AFolderInTheRecordsPlaceIsTold) {
    ASSERT_EQ(mkdir(folder_.c_str(), 0755), 0);
    ASSERT_EQ(mkdir(record_.c_str(), 0755), 0);
    WriteBytes(record_ + "/kept", {'k'});
    std::string said;
    EXPECT_EQ(SaveNew(&said), -1);
    EXPECT_EQ(said, std::string("Save failed: ") + std::strerror(EISDIR) + "\n");
    EXPECT_EQ(ReadBytes(record_ + "/kept"), Bytes{'k'});
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{".vantorstate"});
}

TEST_F(StateFileConditions, ASuccessfulSaveSaysNothing) {
    ASSERT_EQ(mkdir(folder_.c_str(), 0755), 0);
    std::string said;
    EXPECT_EQ(SaveNew(&said), 0);
    EXPECT_EQ(said, "");
}

// A save killed between writing its temporary and the rename leaves "<name>.<pid>.tmp".
TEST_F(StateFileConditions, TemporariesOfKilledSavesAreRemovedByTheNextSave) {
    MakeFolder(false);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const std::string mine = record_ + "." + std::to_string(getpid()) + ".tmp";
        const int fd = open(mine.c_str(), O_WRONLY | O_CREAT, 0644);
        if (fd >= 0 && write(fd, "half a rec", 10) == 10) raise(SIGKILL);
        _exit(1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    const std::string killed = ".vantorstate." + std::to_string(child) + ".tmp";
    // A pid above any the system hands out, and a copy of the game that still runs (our parent),
    // whose temporary must stay; and names that only look alike.
    WriteBytes(folder_ + "/.vantorstate.999999999.tmp", {'o', 'l', 'd'});
    const std::string running = ".vantorstate." + std::to_string(getppid()) + ".tmp";
    WriteBytes(folder_ + "/" + running, {'l', 'i', 'v', 'e'});
    WriteBytes(folder_ + "/.vantorstate.bak", {'b'});
    WriteBytes(folder_ + "/.vantorstate.12x.tmp", {'x'});
    ASSERT_EQ(ReadBytes(folder_ + "/" + killed).size(), 10u);

    ASSERT_EQ(SaveStateFile(T("new"), record_.c_str()), 0);
    std::vector<std::string> expected = {".vantorstate", ".vantorstate.12x.tmp", ".vantorstate.bak",
                                         running};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(FolderEntries(), expected);
    EXPECT_EQ(ReadBytes(record_), (Bytes{'n', 'e', 'w'}));
}

// ---- Loading: only a regular file, only up to 1 MiB ----

class StateFileLoadBounds : public TempDirTest {
protected:
    String Load(std::string* said) {
        CaptureConsole();
        const String text = LoadStateFile(".vantorstate");
        *said = TakeConsoleOutput();
        return text;
    }
};

TEST_F(StateFileLoadBounds, ALinkToDevZeroIsIgnored) {
    ASSERT_EQ(symlink("/dev/zero", ".vantorstate"), 0);
    std::string said;
    EXPECT_EQ(Load(&said).Length(), 0);
    EXPECT_EQ(said, "Saved record ignored: .vantorstate is a device\n");
}

TEST_F(StateFileLoadBounds, ANamedPipeIsIgnoredWithoutWaitingForAWriter) {
    ASSERT_EQ(mkfifo(".vantorstate", 0644), 0);
    std::string said;
    EXPECT_EQ(Load(&said).Length(), 0);
    EXPECT_EQ(said, "Saved record ignored: .vantorstate is a named pipe\n");
}

TEST_F(StateFileLoadBounds, AFolderIsIgnored) {
    ASSERT_EQ(mkdir(".vantorstate", 0755), 0);
    std::string said;
    EXPECT_EQ(Load(&said).Length(), 0);
    EXPECT_EQ(said, "Saved record ignored: .vantorstate is a folder\n");
}

TEST_F(StateFileLoadBounds, AFiftyMegabyteFileIsIgnored) {
    const int fd = open(".vantorstate", O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, 50L << 20), 0);  // sparse: costs no disk
    close(fd);
    std::string said;
    EXPECT_EQ(Load(&said).Length(), 0);
    EXPECT_EQ(said, "Saved record ignored: .vantorstate is larger than 1 MiB\n");
}

TEST_F(StateFileLoadBounds, OneMebibyteIsStillReadAndOneByteMoreIsNot) {
    Bytes bytes(static_cast<std::size_t>(kLargestStateFile), '7');
    WriteBytes(".vantorstate", bytes);
    std::string said;
    EXPECT_EQ(Load(&said).Length(), kLargestStateFile);
    EXPECT_EQ(said, "");
    bytes.push_back('7');
    WriteBytes(".vantorstate", bytes);
    EXPECT_EQ(Load(&said).Length(), 0);
    EXPECT_EQ(said, "Saved record ignored: .vantorstate is larger than 1 MiB\n");
}

TEST_F(StateFileLoadBounds, ALinkToARegularRecordIsFollowed) {
    WriteBytes("elsewhere", {'4', '2', '|'});
    ASSERT_EQ(symlink("elsewhere", ".vantorstate"), 0);
    std::string said;
    EXPECT_TRUE(Load(&said) == T("42|"));
    EXPECT_EQ(said, "");
}

TEST_F(StateFileLoadBounds, NoFileSaysNothing) {
    std::string said;
    EXPECT_EQ(Load(&said).Length(), 0);
    EXPECT_EQ(said, "");
}

}  // namespace
