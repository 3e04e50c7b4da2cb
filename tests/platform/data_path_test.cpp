#include "platform/data_path.h"

#include <sys/stat.h>

#include <string>

#include "tests/platform/temp_dir.h"

namespace {

TEST(FixDataPath, PlainNamesGoToTheDataFolder) {
    EXPECT_EQ(Narrow(FixDataPath(T("a.png"))), "vantor://data/a.png");
    EXPECT_EQ(Narrow(FixDataPath(T("sfx/001.wav"))), "vantor://data/sfx/001.wav");
    EXPECT_EQ(Narrow(FixDataPath(String())), "vantor://data/");
}

TEST(FixDataPath, RootedAndSchemedPathsStay) {
    EXPECT_EQ(Narrow(FixDataPath(T("./a.png"))), "./a.png");
    EXPECT_EQ(Narrow(FixDataPath(T("/a.png"))), "/a.png");
    EXPECT_EQ(Narrow(FixDataPath(T("vantor://data/a.png"))), "vantor://data/a.png");
    EXPECT_EQ(Narrow(FixDataPath(T("C:/games/a.png"))), "C:/games/a.png");
    EXPECT_EQ(Narrow(FixDataPath(T("x:/y"))), "x:/y");
}

TEST(FixDataPath, AColonSlashAfterTheFirstSlashIsNoScheme) {
    EXPECT_EQ(Narrow(FixDataPath(T("C:\\games\\a.png"))), "vantor://data/C:\\games\\a.png");
    EXPECT_EQ(Narrow(FixDataPath(T("x/y:/z"))), "vantor://data/x/y:/z");
}

class FileAccessTest : public TempDirTest {};

TEST_F(FileAccessTest, SchemesMapOntoFoldersBesideTheWorkingDirectory) {
    for (const char* folder : {"data", "internal", "external"}) {
        ASSERT_EQ(mkdir(folder, 0755), 0);
        WriteBytes(std::string(folder) + "/a", {static_cast<unsigned char>(folder[0])});
        FILE* file = fopenFile(T("vantor://") + T(folder) + T("/a"), T("rb"));
        ASSERT_NE(file, nullptr) << folder;
        EXPECT_EQ(std::fgetc(file), folder[0]);
        std::fclose(file);
    }
}

TEST_F(FileAccessTest, UnknownSchemesOpenNothing) {
    ASSERT_EQ(mkdir("other", 0755), 0);
    WriteBytes("other/a", {'x'});
    EXPECT_EQ(fopenFile(T("vantor://other/a"), T("rb")), nullptr);
    EXPECT_EQ(fopenFile(T("vantor://Data/a"), T("rb")), nullptr);  // prefixes are case-sensitive
    EXPECT_EQ(fopenFile(T("vantor://"), T("rb")), nullptr);
}

TEST_F(FileAccessTest, PlainPathsAreUsedUnchanged) {
    WriteBytes("plain.bin", {'p'});
    FILE* file = fopenFile(T("plain.bin"), T("rb"));
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    EXPECT_EQ(fopenFile(T("missing.bin"), T("rb")), nullptr);
}

TEST_F(FileAccessTest, NamesAreOpenedInUtf8) {
    ASSERT_EQ(mkdir("data", 0755), 0);
    WriteBytes("data/caf\xC3\xA9.txt", {'c'});
    const String::Char name[] = {'c', 'a', 'f', 0xE9, '.', 't', 'x', 't', 0};
    FILE* file = fopenFile(T("vantor://data/") + String(name), T("rb"));
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(std::fgetc(file), 'c');
    std::fclose(file);
}

TEST_F(FileAccessTest, AZeroInsideTheNameOpensNothing) {
    WriteBytes("cut", {'x'});
    const String::Char name[] = {'c', 'u', 't', 0, 'x'};
    EXPECT_EQ(fopenFile(String(name, 5), T("rb")), nullptr);
}

TEST_F(FileAccessTest, WritingModesWork) {
    FILE* file = fopenFile(T("vantor://internal/new"), T("wb"));
    EXPECT_EQ(file, nullptr);  // the folder does not exist
    ASSERT_EQ(mkdir("internal", 0755), 0);
    file = fopenFile(T("vantor://internal/new"), T("wb"));
    ASSERT_NE(file, nullptr);
    std::fputc('n', file);
    std::fclose(file);
    EXPECT_EQ(ReadBytes("internal/new"), std::vector<unsigned char>{'n'});
}

class ReaderTest : public TempDirTest {
protected:
    FILE* Open(const std::vector<unsigned char>& bytes) {
        WriteBytes("bytes.bin", bytes);
        file_ = std::fopen("bytes.bin", "rb");
        return file_;
    }
    void TearDown() override {
        if (file_) std::fclose(file_);
        TempDirTest::TearDown();
    }
    FILE* file_ = nullptr;
};

TEST_F(ReaderTest, ShortIsUnsignedLittleEndian) {
    FILE* file = Open({0x34, 0x12, 0xFF, 0xFF, 0x07});
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(readShort(file), 0x1234);
    EXPECT_EQ(readShort(file), 65535);
    EXPECT_EQ(readShort(file), -1);  // one byte left
}

TEST_F(ReaderTest, IntIsLittleEndian) {
    FILE* file = Open({0x78, 0x56, 0x34, 0x12, 0x00, 0x00, 0x00, 0x80, 0xFF, 0xFF, 0xFF, 0xFF, 1});
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(readInt(file), 0x12345678);
    EXPECT_EQ(readInt(file), INT_MIN);
    EXPECT_EQ(readInt(file), -1);  // indistinguishable from the end
    EXPECT_EQ(readInt(file), -1);
}

}  // namespace
