// The tune loader on a real window: strip frames drawn and read back must give exactly the values
// stored in the PNG, through the desktop's fixed-function table and through the browser's shader
// table alike. Skipped when there is no display.
#include <gtest/gtest.h>
#include <stb_image.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "graphics/gl_table.h"
#include "graphics/graphics.h"
#include "music/kuv_player.h"
#include "music/kuv_strip.h"
#include "platform/platform_glfw.h"
#include "tests/graphics/shader_table.h"
#include "tests/music/kuv_test_support.h"
#include "tests/runtime/console_capture.h"

namespace {

// The values a strip file holds, read straight from the PNG: opaque pixels carry blue >> 3,
// fully transparent ones nothing. Partly transparent pixels have no defined value.
struct FileStrip {
    int width = 0, height = 0;
    std::vector<uint8_t> rgba;
    bool Load(const std::string& path) {
        int channels = 0;
        uint8_t* pixels = stbi_load(path.c_str(), &width, &height, &channels, 4);
        if (pixels == nullptr) return false;
        rgba.assign(pixels, pixels + static_cast<size_t>(width) * height * 4);
        stbi_image_free(pixels);
        return true;
    }
    // -1 for a partly transparent pixel.
    int Value(int pattern, int strip, int row, int field) const {
        const int columns = width / kuv::kFrameSide;
        const int x = pattern % columns * kuv::kFrameSide + strip * kuv::kFieldCount + field;
        const int y = pattern / columns * kuv::kFrameSide + row;
        const uint8_t* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
        if (p[3] == 0) return 0;
        if (p[3] != 255) return -1;
        return p[2] >> 3;
    }
};

class KuvStripOnScreen : public ::testing::TestWithParam<GlTableKind> {
protected:
    static void SetUpTestSuite() {
        if (!std::getenv("DISPLAY")) return;
        platform_ = NewGlfwPlatform().release();
        windowOpen_ = platform_->Init() && platform_->OpenWindow(640, 480, "Vexmo music");
    }

    void SetUp() override {
        if (!windowOpen_) GTEST_SKIP() << "no display to open a window on";
        InitGraphicsGlobals();
        SetAudioDevice(nullptr);  // instruments are not the point here
        SetCurrentPlatform(platform_);
        ASSERT_TRUE(UseGlTable(GetParam()));
        gfx_ = gc_new<gxtkGraphics>();
        ASSERT_TRUE(gfx_->Validate());
        SetGraphicsDevice(gfx_);
        player_ = gc_new<KuvPlayer>();
        player_->Kuv_Init(32, 4, 1, 1, 4);
    }

    void TearDown() override {
        if (!windowOpen_) return;
        UseGlTable(GlTableKind::kFixedFunction);
        SetGraphicsDevice(nullptr);
        SetCurrentPlatform(nullptr);
    }

    // Loads the tune as the game does, three steps a frame, rendering and swapping each frame.
    void LoadTune(const std::string& name) {
        player_->Kuv_StartTune(T(name.c_str()), 1, 95);
        CaptureConsole();  // the loader lists every decoded field
        for (int frame = 0; frame < 40 && player_->tuneLoadStep > 0; ++frame) {
            gfx_->BeginRender();
            ::BeginRender();
            player_->Kuv_Alive_R();
            ::EndRender();
            gfx_->EndRender();
        }
        TakeConsoleOutput();
        ASSERT_EQ(player_->tuneLoadStep, 0);
    }

    // Compares every read pattern with the file; returns how many opaque fields were checked.
    int ExpectDecodedAsFile(const FileStrip& file) {
        int checked = 0;
        for (int pattern = 0; pattern < kuv::kReadPatternCount; ++pattern) {
            for (int strip = 0; strip < kuv::kStripCount; ++strip) {
                for (int row = 0; row < kuv::kRowCount; ++row) {
                    for (int field = 0; field < kuv::kFieldCount; ++field) {
                        const int expected = file.Value(pattern, strip, row, field);
                        if (expected < 0) continue;
                        ++checked;
                        const int got =
                            player_->tuneData[kuv::TuneIndex(pattern, strip, row, field)];
                        if (got != expected) {
                            ADD_FAILURE()
                                << "pattern " << pattern << " strip " << strip << " row " << row
                                << " field " << field << ": " << got << " instead of " << expected;
                            return checked;
                        }
                    }
                }
            }
        }
        return checked;
    }

    static Platform* platform_;
    static bool windowOpen_;
    gxtkGraphics* gfx_ = nullptr;
    KuvPlayer* player_ = nullptr;
};

Platform* KuvStripOnScreen::platform_ = nullptr;
bool KuvStripOnScreen::windowOpen_ = false;

TEST_P(KuvStripOnScreen, EveryBlueLevelReadsBackExactly) {
    // Every blue value 0..255 at every position over the frames, with varied red and green
    // and a band of transparent texels with bright colour behind the alpha.
    kuvtest::ScratchDataDir dir;
    kuvtest::StripPicture picture;
    picture.width = 64 * kuv::kFrameSide;
    picture.height = kuv::kFrameSide;
    picture.rgba.resize(static_cast<size_t>(picture.width) * picture.height * 4);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            uint8_t* p = &picture.rgba[(static_cast<size_t>(y) * picture.width + x) * 4];
            p[0] = static_cast<uint8_t>(x * 7 + y);
            p[1] = static_cast<uint8_t>(255 - x);
            p[2] = static_cast<uint8_t>(x + 3 * y);
            p[3] = (y % 16 == 5) ? 0 : 255;
        }
    }
    ASSERT_TRUE(picture.Save(dir.Data("tunes/Test/Levels.png")));
    FileStrip file;
    ASSERT_TRUE(file.Load(dir.Data("tunes/Test/Levels.png")));
    LoadTune("Test/Levels");
    EXPECT_EQ(ExpectDecodedAsFile(file), 63 * 4096);
}

TEST_P(KuvStripOnScreen, GeneratedTunesDecodeAsTheirFiles) {
    const std::string folder = std::string(VEXMO_BINARY_DIR) + "/data/tunes/Wendle/";
    for (int number = 10; number <= 18; ++number) {
        const std::string name = "Wendle/Tune_" + std::to_string(number);
        FileStrip file;
        ASSERT_TRUE(file.Load(folder + "Tune_" + std::to_string(number) + ".png"))
            << "the data folder has no " << name;
        LoadTune(name);
        EXPECT_GT(ExpectDecodedAsFile(file), 0) << name;
        int nonZero = 0;
        for (int i = 0; i < kuv::kTuneDataSize; ++i) nonZero += player_->tuneData[i] != 0;
        EXPECT_GT(nonZero, 0) << name << " decoded as silence";
        if (HasFailure()) return;
    }
}

INSTANTIATE_TEST_SUITE_P(Tables, KuvStripOnScreen,
                         ::testing::Values(GlTableKind::kFixedFunction, GlTableKind::kShader),
                         GlTableKindName);

}  // namespace
