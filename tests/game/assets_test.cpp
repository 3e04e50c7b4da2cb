// Asset loading: the image set chosen by the device size, file names, the loading steps, and
// the sound-effect channel rotation.
#include <gtest/gtest.h>
#include <stb_image_write.h>

#include <string>
#include <vector>

#include "audio/audio.h"
#include "audio/audio_device.h"
#include "tests/game/game_fixture.h"

using namespace vexmo;

namespace {

// A plain opaque picture of the given size.
void WritePng(const std::filesystem::path& path, int width, int height) {
    std::filesystem::create_directories(path.parent_path());
    std::vector<unsigned char> rgba(static_cast<size_t>(width) * height * 4, 200);
    ASSERT_NE(stbi_write_png(path.c_str(), width, height, 4, rgba.data(), width * 4), 0) << path;
}

// Writes the "parts" sheet (16 frames of 8 x 8 at 1x, as 16 frames in one row) for one set.
void WriteParts(const GameHarness& h, const std::string& suffix, int multiplier) {
    WritePng(h.DataPath("parts" + suffix + ".png"), 128 * multiplier, 8 * multiplier);
}

struct DensityCase {
    int width, height;
    int imageSet;
    const char* suffix;
};

class DensityTest : public ::testing::TestWithParam<DensityCase> {};

TEST_P(DensityTest, TheLoaderPicksTheSetThatFitsTheDevice) {
    const DensityCase& c = GetParam();
    GameHarness h(c.width, c.height, GameHarness::Data::kEmpty);
    // Only the expected set exists: a wrong choice leaves the slot empty.
    WriteParts(h, c.suffix, c.imageSet);
    h.Create();
    EXPECT_EQ(h.game->imageSet, c.imageSet);
    EXPECT_FLOAT_EQ(h.game->imageScale, 1.0f / c.imageSet);
    h.FinishLoading();
    Image* parts = h.game->images[96];
    ASSERT_NE(parts, nullptr) << "parts" << c.suffix << ".png was not the file loaded";
    EXPECT_EQ(parts->Width(), 8 * c.imageSet);
    EXPECT_EQ(parts->Frames(), 16);
    EXPECT_EQ(h.game->imageInfo[96 * 3], 8 * c.imageSet);
    EXPECT_EQ(h.game->imageInfo[96 * 3 + 1], 8 * c.imageSet);
    EXPECT_EQ(h.game->imageInfo[96 * 3 + 2], 16);
}

INSTANTIATE_TEST_SUITE_P(
    DeviceSizes, DensityTest,
    ::testing::Values(DensityCase{600, 400, 1, ""}, DensityCase{630, 630, 1, ""},
                      DensityCase{640, 480, 2, "-hd"}, DensityCase{631, 400, 2, "-hd"},
                      DensityCase{1024, 768, 2, "-hd"}, DensityCase{400, 1230, 2, "-hd"},
                      DensityCase{1231, 400, 4, "-hd2"}, DensityCase{1280, 1024, 4, "-hd2"}));

TEST(AssetLoading, TheFontKeepsItsMetricsInVirtualUnits) {
    GameHarness h(1024, 768, GameHarness::Data::kEmpty);
    WritePng(h.DataPath("fonts/editundo-hd.png"), 512, 256);  // 128 cells of 32 x 32
    h.Create();
    h.FinishLoading();
    Image* font = h.game->images[kFontSlot];
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->Width(), 32);
    EXPECT_EQ(font->Frames(), 128);
    EXPECT_EQ(h.game->imageInfo[kFontSlot * 3], 7);
    EXPECT_EQ(h.game->imageInfo[kFontSlot * 3 + 1], 10);
    EXPECT_EQ(h.game->imageInfo[kFontSlot * 3 + 2], 128);
    EXPECT_EQ(h.game->fontSlot, kFontSlot);
}

// The first frame shows only the clear colour, so nothing is decoded before it; the loading
// picture has the logo from its first step on, and the logo and the font are each decoded once.
TEST(AssetLoading, TheLogoAndTheFontAreLoadedOnceAndNotBeforeTheFirstFrame) {
    GameHarness h(640, 480, GameHarness::Data::kEmpty);
    WritePng(h.DataPath("common/DorvLogo-hd.png"), 512, 512);
    WritePng(h.DataPath("fonts/editundo-hd.png"), 512, 256);
    WritePng(h.DataPath("pelto_font.png"), 960, 10);
    h.Create();
    EXPECT_EQ(h.game->images[kLogoSlot], nullptr);
    EXPECT_EQ(h.game->images[kFontSlot], nullptr);
    // The framework's own built-in font is the one picture made before the first frame.
    EXPECT_EQ(h.recorder.Count("glTexSubImage2D"), 1u);

    h.Update();
    Image* logo = h.game->images[kLogoSlot];
    ASSERT_NE(logo, nullptr);
    EXPECT_EQ(h.CommandsOfKind(static_cast<float>(kLogoSlot)).size(), 1u);
    EXPECT_EQ(h.recorder.Count("glTexSubImage2D"), 2u);

    ASSERT_GE(h.FinishLoading(), 0);
    EXPECT_EQ(h.game->images[kLogoSlot], logo) << "the logo was loaded again";
    ASSERT_NE(h.game->images[kFontSlot], nullptr);
    // Only these three files exist: three pictures in all.
    EXPECT_EQ(h.recorder.Count("glTexSubImage2D"), 3u);

    // A new window size loads both again, once each, in the larger set.
    WritePng(h.DataPath("common/DorvLogo-hd2.png"), 1024, 1024);
    WritePng(h.DataPath("fonts/editundo-hd2.png"), 1024, 512);
    h.Resize(1280, 1024);
    h.Render();
    ASSERT_GE(h.FinishLoading(), 0);
    EXPECT_EQ(h.game->images[kLogoSlot]->Width(), 1024);
    EXPECT_EQ(h.game->images[kFontSlot]->Width(), 64);
    EXPECT_EQ(h.recorder.Count("glTexSubImage2D"), 5u);
}

TEST(AssetLoading, AMissingFileLeavesTheSlotEmptyButRecordsItsSize) {
    GameHarness h(640, 480, GameHarness::Data::kEmpty);
    h.Create();
    h.FinishLoading();
    EXPECT_EQ(h.game->images[99], nullptr);
    EXPECT_EQ(h.game->imageInfo[99 * 3], 256 * h.game->imageSet);
    EXPECT_EQ(h.game->imageInfo[99 * 3 + 2], 4);
    EXPECT_EQ(h.game->sounds[1], nullptr);
}

TEST(AssetLoading, EveryLoadingStepRedrawsTheLoadingPicture) {
    GameHarness h(640, 480, GameHarness::Data::kEmpty);
    h.Create();
    int spins = h.game->spinAngle;
    for (int step = 0; step < kLoadSteps; ++step) {
        h.Update();
        EXPECT_GT(h.game->spinAngle, spins) << "step " << step;
        spins = h.game->spinAngle;
    }
    EXPECT_EQ(h.game->loadStep, 0);
}

TEST(AssetLoading, AResizeToALargeWindowLoadsTheLargerSet) {
    GameHarness h(600, 400, GameHarness::Data::kEmpty);
    WriteParts(h, "", 1);
    WriteParts(h, "-hd2", 4);
    h.Create();
    h.FinishLoading();
    ASSERT_NE(h.game->images[96], nullptr);
    EXPECT_EQ(h.game->images[96]->Width(), 8);
    h.Resize(1280, 1024);
    h.Frame();
    EXPECT_GT(h.game->loadStep, 0);
    h.FinishLoading();
    ASSERT_NE(h.game->images[96], nullptr);
    EXPECT_EQ(h.game->images[96]->Width(), 32);
    EXPECT_EQ(h.game->imageSet, 4);
}

TEST(AssetLoading, SoundFileNamesHaveThreeDigits) {
    EXPECT_TRUE(MyApp::SfxFileName(5) == String("sfx/005.wav"));
    EXPECT_TRUE(MyApp::SfxFileName(0) == String("sfx/000.wav"));
    EXPECT_TRUE(MyApp::SfxFileName(9) == String("sfx/009.wav"));
    EXPECT_TRUE(MyApp::SfxFileName(10) == String("sfx/010.wav"));
    EXPECT_TRUE(MyApp::SfxFileName(95) == String("sfx/095.wav"));
    EXPECT_TRUE(MyApp::SfxFileName(99) == String("sfx/099.wav"));
    EXPECT_TRUE(MyApp::SfxFileName(100) == String("sfx/100.wav"));
}

// ---- PlaySFX ----

// Records what the game asks of the audio device instead of playing it.
class AudioSpy : public gxtkAudio {
public:
    std::vector<std::string> calls;

    int PlaySample(gxtkSample* sample, int channel, int flags) override {
        calls.push_back("play " + std::to_string(channel) + " " + std::to_string(flags));
        return 0;
    }
    int StopChannel(int channel) override {
        calls.push_back("stop " + std::to_string(channel));
        return 0;
    }
    int SetVolume(int channel, float volume) override {
        calls.push_back("volume " + std::to_string(channel) + " " + Format(volume));
        return 0;
    }
    int SetPan(int channel, float pan) override {
        calls.push_back("pan " + std::to_string(channel) + " " + Format(pan));
        return 0;
    }
    int SetRate(int channel, float rate) override {
        calls.push_back("rate " + std::to_string(channel) + " " + Format(rate));
        return 0;
    }

private:
    static std::string Format(float v) {
        char text[32];
        std::snprintf(text, sizeof text, "%.2f", v);
        return text;
    }
};

class PlaySfxTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        spy = gc_new<AudioSpy>();
        SetAudioDevice(spy);
        game->sounds[3] = gc_new<Sound>(gc_new<gxtkSample>());
    }
    AudioSpy* spy = nullptr;
};

TEST_F(PlaySfxTest, PlaysOnTheNextChannelThenSetsRateVolumeAndPan) {
    game->PlaySFX(3, 1.5f, 0.5f, -1);
    const std::vector<std::string> expected = {"stop 1", "play 1 0", "rate 1 1.50", "volume 1 0.50",
                                               "pan 1 -1.00"};
    EXPECT_EQ(spy->calls, expected);
    EXPECT_EQ(game->sfxChannel, 1);
}

TEST_F(PlaySfxTest, TwentyFourChannelsInTurnThenChannelZeroAgain) {
    std::vector<int> channels;
    for (int i = 0; i < 26; ++i) {
        game->PlaySFX(3, 1, 1, 0);
        channels.push_back(game->sfxChannels[game->sfxChannel]);
    }
    for (int i = 0; i < 23; ++i) EXPECT_EQ(channels[i], i + 1);
    EXPECT_EQ(channels[23], 0);
    EXPECT_EQ(channels[24], 1);
    EXPECT_EQ(channels[25], 2);
}

TEST_F(PlaySfxTest, AnEmptySlotStillSetsTheChannel) {
    game->PlaySFX(4, 2, 0.25f, 0.5f);
    const std::vector<std::string> expected = {"stop 1", "rate 1 2.00", "volume 1 0.25",
                                               "pan 1 0.50"};
    EXPECT_EQ(spy->calls, expected);
}

TEST_F(PlaySfxTest, SilentModesChangeNothing) {
    for (const int mode : {0, 3, 4, -1}) {
        game->settings[5] = mode;
        game->PlaySFX(3, 1, 1, 0);
        EXPECT_TRUE(spy->calls.empty()) << "mode " << mode;
        EXPECT_EQ(game->sfxChannel, 0) << "mode " << mode;
    }
    game->settings[5] = 2;
    game->PlaySFX(3, 1, 1, 0);
    EXPECT_EQ(game->sfxChannel, 1);
}

TEST_F(PlaySfxTest, ANegativeRotationIndexRestartsAtZero) {
    game->sfxChannel = -5;
    game->PlaySFX(3, 1, 1, 0);
    EXPECT_EQ(game->sfxChannel, 0);
}

TEST_F(PlaySfxTest, ASlotOutsideTheTablePlaysNothing) {
    game->PlaySFX(100, 1, 1, 0);
    game->PlaySFX(-1, 1, 1, 0);
    for (const std::string& call : spy->calls) EXPECT_EQ(call.rfind("play", 0), std::string::npos);
}

}  // namespace
