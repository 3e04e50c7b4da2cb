// The generator's own promises: the same bytes on every run, and a usable command line.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path kGenerator = fs::path(VEXMO_BINARY_DIR) / "tools" / "vexmo_assets";
const fs::path kData = fs::path(VEXMO_BINARY_DIR) / "data";

std::vector<char> bytesOf(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<fs::path> filesUnder(const fs::path& root) {
    std::vector<fs::path> out;
    for (const auto& e : fs::recursive_directory_iterator(root))
        if (e.is_regular_file() && e.path().filename() != ".stamp")
            out.push_back(fs::relative(e.path(), root));
    std::sort(out.begin(), out.end());
    return out;
}

class GeneratorRun : public ::testing::Test {
protected:
    void SetUp() override {
        scratch_ = fs::temp_directory_path() /
                   ("vexmo_assets_test_" +
                    std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                    std::to_string(reinterpret_cast<uintptr_t>(this)));
        fs::remove_all(scratch_);
    }
    void TearDown() override { fs::remove_all(scratch_); }
    fs::path scratch_;
};

TEST_F(GeneratorRun, WritesTheSameBytesAsTheBuildDid) {
    ASSERT_TRUE(fs::exists(kGenerator));
    const std::string cmd =
        "'" + kGenerator.string() + "' '" + (scratch_ / "data").string() + "' > /dev/null";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    const auto expected = filesUnder(kData), made = filesUnder(scratch_ / "data");
    ASSERT_EQ(made, expected);
    for (const fs::path& rel : made)
        EXPECT_EQ(bytesOf(scratch_ / "data" / rel), bytesOf(kData / rel)) << rel;
}

TEST_F(GeneratorRun, RefusesToRunWithoutAnOutputFolder) {
    const std::string cmd = "'" + kGenerator.string() + "' > /dev/null 2>&1";
    const int status = std::system(cmd.c_str());
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_NE(WEXITSTATUS(status), 0);
}

TEST_F(GeneratorRun, ReportsAFolderItCannotWrite) {
    // a plain file where the output folder should be
    fs::create_directories(scratch_);
    std::ofstream(scratch_ / "blocked") << "x";
    const std::string cmd =
        "'" + kGenerator.string() + "' '" + (scratch_ / "blocked").string() + "' > /dev/null 2>&1";
    const int status = std::system(cmd.c_str());
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
}

}  // namespace
