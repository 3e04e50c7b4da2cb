// The game reads only regular files within a cap: a named pipe, a folder, a device, a file that
// cannot be read or one past its cap is refused with a reason at once, never waited on, and the
// reader carries on as for a missing file.
#include "platform/regular_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "host/gamepad_mappings_file.h"
#include "platform/data_path.h"
#include "platform/platform_headless.h"
#include "tests/platform/temp_dir.h"

namespace {

class RegularFileTest : public TempDirTest {};

TEST_F(RegularFileTest, OnlyARegularFileWithinItsCapIsRead) {
    ASSERT_EQ(mkfifo("pipe", 0644), 0);
    ASSERT_EQ(mkdir("folder", 0755), 0);
    ASSERT_EQ(symlink("/proc/self/mem", "memory"), 0);  // stat says a file; every read fails
    ASSERT_EQ(symlink("/dev/zero", "zeros"), 0);
    WriteBytes("small", {'a', 'b', 'c'});
    WriteBytes("exact", std::vector<unsigned char>(100, 'x'));
    WriteBytes("large", std::vector<unsigned char>(101, 'x'));
    struct Case {
        const char* name;
        bool read;
        bool missing;
        const char* reason;
    };
    const Case cases[] = {
        {"small", true, false, ""},
        {"exact", true, false, ""},
        {"large", false, false, "is larger than 100 bytes"},
        {"pipe", false, false, "is a named pipe"},
        {"folder", false, false, "is a folder"},
        {"zeros", false, false, "is a device"},
        {"memory", false, false, "cannot be read: "},
        {"absent", false, true, "No such file or directory"},
    };
    for (const Case& c : cases) {
        std::string bytes = "stale";
        FileRefusal refusal;
        EXPECT_EQ(ReadRegularFile(c.name, 100, &bytes, &refusal), c.read) << c.name;
        EXPECT_EQ(refusal.missing, c.missing) << c.name;
        EXPECT_EQ(refusal.reason.rfind(c.reason, 0), 0u) << c.name << ": " << refusal.reason;
        if (!c.read) {
            EXPECT_EQ(bytes, "") << c.name;
        }
        // Opening alone checks the same, short of reading.
        FILE* file = OpenRegularFile(c.name, 100, &refusal);
        EXPECT_EQ(file != nullptr, c.read || std::string(c.name) == "memory") << c.name;
        if (file) std::fclose(file);
    }
    EXPECT_EQ(DescribeFileSize(kMaxSoundFileBytes), "8 MiB");
    EXPECT_EQ(DescribeFileSize(kMaxStampFileBytes), "4 KiB");
}

TEST_F(RegularFileTest, DataFilesAreOpenedThroughTheSameCheck) {
    ASSERT_EQ(mkdir("data", 0755), 0);
    ASSERT_EQ(mkfifo("data/tune.png", 0644), 0);
    FileRefusal refusal;
    EXPECT_EQ(OpenDataFile(FixDataPath(T("tune.png")), kMaxPictureFileBytes, &refusal), nullptr);
    EXPECT_EQ(refusal.reason, "is a named pipe");
    EXPECT_EQ(OpenDataFile(T("vantor://elsewhere/a.png"), kMaxPictureFileBytes, &refusal), nullptr);
    EXPECT_EQ(refusal.reason, "no such data folder");
}

// The pad database: the read error that once aborted every start, a pipe that once hung it, and
// the lines of other systems, which are never handed to GLFW.
TEST_F(RegularFileTest, PadMappingsAreReadSafelyAndOnlyThisSystemsLinesGoToThePlatform) {
    HeadlessPlatform platform;
    ASSERT_TRUE(platform.Init());
    ASSERT_EQ(symlink("/proc/self/mem", "mem.txt"), 0);
    EXPECT_EQ(LoadGamepadMappingFile(platform, "mem.txt")
                  .rfind("Gamepad mappings from mem.txt rejected: cannot be read: ", 0),
              0u);
    ASSERT_EQ(mkfifo("pipe.txt", 0644), 0);
    EXPECT_EQ(LoadGamepadMappingFile(platform, "pipe.txt"),
              "Gamepad mappings from pipe.txt rejected: is a named pipe");
    EXPECT_TRUE(platform.GamepadMappings().empty());

    const std::string here = std::string("030000001111000022220000010000aa,Here,a:b0,platform:") +
                             kGamepadMappingsPlatform + ",";
    const std::string none = "030000001111000022220000010000bb,Anywhere,a:b0,";
    const std::string other = "030000001111000022220000010000cc,There,a:b0,platform:Android,";
    const std::string look = "030000001111000022220000010000dd,Lookalike,a:b0,platform:Linuxish,";
    EXPECT_EQ(AddGamepadMappings(platform, here + "\n" + other + "\n" + none + "\n" + look, "db"),
              "Gamepad mappings from db loaded (2 lines)");
    EXPECT_EQ(platform.GamepadMappings(), (std::vector<std::string>{here, none}));
    EXPECT_EQ(AddGamepadMappings(platform, other, "others"),
              std::string("Gamepad mappings from others: no lines for ") +
                  kGamepadMappingsPlatform + " (1 for other systems)");
}

}  // namespace
