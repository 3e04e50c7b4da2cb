// The game in a window and fullscreen on the headless backend: the saved choice comes back at
// start-up, a switch is written to the record at once (same 98 fields, valid checksums), the
// virtual screen and the image set follow the new size, and on a scaled display the image set is
// chosen by the framebuffer's pixels while the pointer still lands where the player points.
#include "host/window_mode.h"

#include <gtest/gtest.h>
#include <stb_image_write.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "game/save_record.h"
#include "host/state_file.h"
#include "platform/key_tokens.h"
#include "tests/game/game_fixture.h"

using namespace vexmo;

namespace {

constexpr int kF11 = KeyToken::kF1 + 10;

std::string ReadStateFile() {
    std::ifstream in(kStateFileName, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> SplitFields(const std::string& record) {
    std::vector<std::string> fields;
    std::string field;
    for (const char c : record) {
        if (c == '|') {
            fields.push_back(field);
            field.clear();
        } else {
            field += c;
        }
    }
    return fields;
}

// A record as an older version of the game (or this one) wrote it, with the given fullscreen
// slot; everything else at the defaults.
void WriteRecordWithFullscreen(int fullscreen) {
    Array<int> settings(kSettings);
    settings[5] = 1;
    settings[10] = 64;
    settings[11] = 64;
    settings[12] = 10;
    settings[kFullscreenSetting] = fullscreen;
    Array<bool> badges(kBadges);
    Array<int> scores(kHighScores);
    ASSERT_EQ(SaveStateFile(BuildSaveRecord(settings, badges, scores)), 0);
}

// Checks the record written: 98 fields, the settings checksum agreeing with the fields.
void ExpectValidRecordWithFullscreen(const std::string& text, int fullscreen) {
    const std::vector<std::string> fields = SplitFields(text);
    ASSERT_EQ(fields.size(), 98u) << text;
    int64_t sum = 0;
    for (int n = 0; n < kSettings; ++n) sum += static_cast<int64_t>(n) * std::stoi(fields[n]);
    EXPECT_EQ(std::to_string(sum), fields[25]);
    EXPECT_EQ(fields[kFullscreenSetting], std::to_string(fullscreen));
    EXPECT_EQ(fields[5], "1") << "the other settings are kept";
}

void PressF11(GameHarness& h) {
    gxtkApp::OnKey(kF11, Platform::kPress);
    gxtkApp::OnKey(kF11, Platform::kRelease);
    h.Frame();
}

TEST(WindowMode, ANewPlayerStartsInAWindowAndNothingIsSaved) {
    GameHarness h;
    h.Create();
    h.FinishLoading();
    EXPECT_FALSE(h.platform.IsFullscreen());
    EXPECT_EQ(h.game->settings[kFullscreenSetting], 0);
    EXPECT_EQ(ReadStateFile(), "") << "staying in a window is no reason to write the record";
}

TEST(WindowMode, F11GoesFullscreenLaysOutForTheScreenAndRemembersIt) {
    GameHarness h;
    h.Create();
    ASSERT_GE(h.FinishLoading(), 0);
    EXPECT_EQ(h.game->imageSet, 2);
    PressF11(h);
    EXPECT_TRUE(h.platform.IsFullscreen());
    // The 1280 x 1024 monitor: scale 2.133, a virtual screen of 600 x 480, the largest images.
    EXPECT_EQ(h.game->deviceWidth, 1280);
    EXPECT_EQ(h.game->deviceHeight, 1024);
    EXPECT_FLOAT_EQ(jscrw, 600.0f);
    EXPECT_FLOAT_EQ(jscrh, 480.0f);
    EXPECT_EQ(h.game->landscape, 1);
    EXPECT_GT(h.game->loadStep, 0) << "the assets load again for the new size";
    ASSERT_GE(h.FinishLoading(), 0);
    EXPECT_EQ(h.game->imageSet, 4);
    ExpectValidRecordWithFullscreen(ReadStateFile(), 1);

    PressF11(h);
    EXPECT_FALSE(h.platform.IsFullscreen());
    EXPECT_EQ(h.platform.WindowX(), 0);  // where the harness's window was
    EXPECT_EQ(h.game->deviceWidth, 640);
    EXPECT_FLOAT_EQ(jscrw, 640.0f);
    ASSERT_GE(h.FinishLoading(), 0);
    EXPECT_EQ(h.game->imageSet, 2);
    ExpectValidRecordWithFullscreen(ReadStateFile(), 0);
}

TEST(WindowMode, TheSavedChoiceComesBackAtTheNextStart) {
    GameHarness h;  // first: it makes the working folder the record goes in
    WriteRecordWithFullscreen(1);
    h.Create();
    EXPECT_TRUE(h.platform.IsFullscreen());
    ASSERT_GE(h.FinishLoading(), 0);
    EXPECT_EQ(h.game->deviceWidth, 1280);
    EXPECT_EQ(h.game->imageSet, 4);
    EXPECT_EQ(h.game->settings[kFullscreenSetting], 1);
}

TEST(WindowMode, AnOlderRecordWithZeroThereIsAWindow) {
    GameHarness h;
    WriteRecordWithFullscreen(0);
    const std::string before = ReadStateFile();
    h.Create();
    h.FinishLoading();
    EXPECT_FALSE(h.platform.IsFullscreen());
    EXPECT_EQ(ReadStateFile(), before);
}

TEST(WindowMode, WhenFullscreenCannotBeHadTheRecordSaysWindow) {
    GameHarness h;
    WriteRecordWithFullscreen(1);
    h.platform.SetMonitors({});
    h.Create();
    h.Frame();
    EXPECT_FALSE(h.platform.IsFullscreen());
    ExpectValidRecordWithFullscreen(ReadStateFile(), 0);
}

TEST(WindowMode, StartedFullscreenTheChoiceIsRecorded) {
    GameHarness h;
    ASSERT_TRUE(h.platform.SetFullscreen(true));  // as --fullscreen does before the game starts
    h.Create();
    h.Frame();
    EXPECT_TRUE(h.platform.IsFullscreen());
    ExpectValidRecordWithFullscreen(ReadStateFile(), 1);
}

// A picture of one colour; only the expected density's file exists.
void WritePng(const std::filesystem::path& path, int width, int height) {
    std::filesystem::create_directories(path.parent_path());
    std::vector<unsigned char> rgba(static_cast<size_t>(width) * height * 4, 200);
    ASSERT_NE(stbi_write_png(path.c_str(), width, height, 4, rgba.data(), width * 4), 0) << path;
}

struct ScaledCase {
    int windowWidth, windowHeight;
    int imageSet;
    const char* suffix;
};

class ScaledDisplayTest : public ::testing::TestWithParam<ScaledCase> {};

// The framebuffer decides: a 600 x 400 window would get the plain set, but on a display of
// scale 2 it has 1200 x 800 pixels and gets "-hd"; 640 x 480 (1280 x 960 pixels) gets "-hd2".
TEST_P(ScaledDisplayTest, TheImageSetFitsThePixelsNotTheWindowUnits) {
    const ScaledCase& c = GetParam();
    GameHarness h(c.windowWidth, c.windowHeight, GameHarness::Data::kEmpty);
    h.platform.SetFramebufferScale(2.0);
    WritePng(h.DataPath(std::string("parts") + c.suffix + ".png"), 128 * c.imageSet,
             8 * c.imageSet);
    h.Create();
    EXPECT_EQ(h.game->imageSet, c.imageSet);
    ASSERT_GE(h.FinishLoading(), 0);
    Image* parts = h.game->images[96];
    ASSERT_NE(parts, nullptr) << "parts" << c.suffix << ".png was not the file loaded";
    EXPECT_EQ(parts->Width(), 8 * c.imageSet);
}

INSTANTIATE_TEST_SUITE_P(TwiceDense, ScaledDisplayTest,
                         ::testing::Values(ScaledCase{600, 400, 2, "-hd"},
                                           ScaledCase{640, 480, 4, "-hd2"}));

TEST(ScaledDisplay, ThePointerLandsWhereThePlayerPoints) {
    GameHarness h;
    h.platform.SetFramebufferScale(2.0);
    h.Create();
    ASSERT_GE(h.FinishLoading(), 0);
    EXPECT_FLOAT_EQ(h.game->scaleX, 2.0f);  // 1280 pixels for 640 virtual units
    EXPECT_FLOAT_EQ(jscrw, 640.0f);
    EXPECT_FLOAT_EQ(jscrh, 480.0f);
    h.MoveMouse(320, 240);  // window units: the middle of the window
    h.Frame();
    EXPECT_EQ(h.game->pointerX, 320);
    EXPECT_EQ(h.game->pointerY, 240);
    h.MoveMouse(600, 30);
    h.Frame();
    EXPECT_EQ(h.game->pointerX, 600);
    EXPECT_EQ(h.game->pointerY, 30);
    // The whole framebuffer is drawn: the background rectangle covers every pixel.
    bool coversPixels = false;
    for (const GlCall& call : h.recorder.DrawCalls()) {
        for (const GlVertexRecord& v : call.vertices) coversPixels |= v.x >= 1281 && v.y >= 961;
    }
    EXPECT_TRUE(coversPixels);
}

}  // namespace
