// Every sound the build writes into the data folder must load with the game's own loader and
// have a layout the audio device can play.
#include <ftw.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "audio/sound_loader.h"

namespace {

std::vector<std::string>* collected = nullptr;

int collectSound(const char* path, const struct stat*, int type, struct FTW*) {
    const std::string name = path;
    const bool sound = name.size() > 4 && (name.compare(name.size() - 4, 4, ".wav") == 0 ||
                                           name.compare(name.size() - 4, 4, ".ogg") == 0);
    if (type == FTW_F && sound) collected->push_back(name);
    return 0;
}

}  // namespace

TEST(ShippedSounds, EverySoundInTheDataFolderLoads) {
    struct stat info;
    if (stat("data", &info) != 0) GTEST_SKIP() << "no data folder in the working directory";
    std::vector<std::string> sounds;
    collected = &sounds;
    ASSERT_EQ(nftw("data", collectSound, 16, FTW_PHYS), 0);
    collected = nullptr;
    if (sounds.empty()) GTEST_SKIP() << "the data folder holds no sounds yet";
    for (const std::string& path : sounds) {
        int length = 0, channels = 0, bytesPerSample = 0, rate = 0;
        unsigned char* pcm =
            loadSound(String(path.c_str()), &length, &channels, &bytesPerSample, &rate);
        EXPECT_NE(pcm, nullptr) << path;
        if (pcm == nullptr) continue;
        EXPECT_GT(length, 0) << path;
        EXPECT_TRUE(channels == 1 || channels == 2) << path;
        EXPECT_TRUE(bytesPerSample == 1 || bytesPerSample == 2) << path;
        EXPECT_GT(rate, 0) << path;
        unloadSound(pcm);
    }
}
