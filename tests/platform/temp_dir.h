// Runs a test inside its own empty working directory, so tests that touch files in the working
// directory never meet each other's files (CTest runs them in parallel from one folder).
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

class TempDirTest : public ::testing::Test {
protected:
    void SetUp() override {
        char cwd[PATH_MAX];
        ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
        previous_ = cwd;
        char pattern[] = "/tmp/vexmo-host-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        ASSERT_EQ(chdir(dir_.c_str()), 0);
    }
    void TearDown() override {
        ASSERT_EQ(chdir(previous_.c_str()), 0);
        const std::string command = "rm -rf '" + dir_ + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }

    static void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
        FILE* file = std::fopen(path.c_str(), "wb");
        ASSERT_NE(file, nullptr) << path;
        ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
        std::fclose(file);
    }
    static std::vector<unsigned char> ReadBytes(const std::string& path) {
        std::vector<unsigned char> bytes;
        FILE* file = std::fopen(path.c_str(), "rb");
        if (!file) return bytes;
        int c;
        while ((c = std::fgetc(file)) != EOF) bytes.push_back(static_cast<unsigned char>(c));
        std::fclose(file);
        return bytes;
    }
    // Names in the working directory other than . and ..
    static std::vector<std::string> Entries();

    std::string dir_;

private:
    std::string previous_;
};

#include <dirent.h>

inline std::vector<std::string> TempDirTest::Entries() {
    std::vector<std::string> names;
    DIR* dir = opendir(".");
    if (!dir) return names;
    while (dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        // The saves' lock file stays by design; only the record and temporaries matter here.
        const bool lock = name.size() > 5 && name.compare(name.size() - 5, 5, ".lock") == 0;
        if (name != "." && name != ".." && !lock) names.push_back(name);
    }
    closedir(dir);
    return names;
}
