// A sound or picture the game must go without is named on the console once, with the reason.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "audio/sound_loader.h"
#include "graphics/surface.h"
#include "tests/runtime/console_capture.h"

namespace {

std::string Scratch(const std::string& name, const std::string& bytes) {
    const std::string path = "/tmp/vexmo-asset-" + std::to_string(getpid()) + "-" + name;
    FILE* file = std::fopen(path.c_str(), "wb");
    EXPECT_NE(file, nullptr);
    if (file) {
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
    return path;
}

std::string LoadSoundSaying(const std::string& path) {
    int length = 0, channels = 0, bytes = 0, rate = 0;
    CaptureConsole();
    unsigned char* pcm = loadSound(T(path.c_str()), &length, &channels, &bytes, &rate);
    const std::string said = TakeConsoleOutput();
    EXPECT_EQ(pcm, nullptr);
    unloadSound(pcm);
    return said;
}

std::string LoadImageSaying(const std::string& path) {
    int width = 0, height = 0, depth = 0;
    CaptureConsole();
    unsigned char* pixels = loadImage(T(path.c_str()), &width, &height, &depth);
    const std::string said = TakeConsoleOutput();
    EXPECT_EQ(pixels, nullptr);
    unloadImage(pixels);
    return said;
}

TEST(AssetMessages, AMissingSoundIsNamedOnce) {
    const std::string path = "/tmp/vexmo-no-such-sound-" + std::to_string(getpid()) + ".wav";
    EXPECT_EQ(LoadSoundSaying(path), "Cannot load " + path + ": " + std::strerror(ENOENT) + "\n");
    EXPECT_EQ(LoadSoundSaying(path), "") << "said once per file";
}

TEST(AssetMessages, ASoundCutShortSaysWhere) {
    const std::string cut = Scratch("cut.wav", std::string("RIFF\x24\0\0\0WAVEfmt ", 16));
    EXPECT_EQ(LoadSoundSaying(cut), "Cannot load " + cut + ": format chunk cut short\n");
    const std::string noRiff = Scratch("noriff.wav", "hello, this is no sound at all");
    EXPECT_EQ(LoadSoundSaying(noRiff), "Cannot load " + noRiff + ": not a RIFF file\n");
    std::remove(cut.c_str());
    std::remove(noRiff.c_str());
}

TEST(AssetMessages, AnOtherExtensionIsNamedWithoutOpeningTheFile) {
    EXPECT_EQ(LoadSoundSaying("vantor://data/sfx/tune.mp3"),
              "Cannot load data/sfx/tune.mp3: not a .wav or .ogg file\n");
}

TEST(AssetMessages, AMissingOrBrokenPictureIsNamedOnce) {
    EXPECT_EQ(
        LoadImageSaying("vantor://data/vexmo-no-such-picture.png"),
        std::string("Cannot load data/vexmo-no-such-picture.png: ") + std::strerror(ENOENT) + "\n");
    const std::string broken = Scratch("broken.png", "\x89PNG\r\n\x1a\n and then nothing");
    const std::string said = LoadImageSaying(broken);
    EXPECT_EQ(said.rfind("Cannot load " + broken + ": not a picture that can be decoded (", 0), 0u)
        << said;
    EXPECT_EQ(LoadImageSaying(broken), "");
    std::remove(broken.c_str());
}

}  // namespace
