// Checks the generated data folder against what the game loads: file names, frame grids,
// sound files through the game's own loader, and tune strips through the player's decoding.
#include <gtest/gtest.h>
#include <stb_image.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "audio/sound_loader.h"
#include "runtime/string.h"

namespace {

const std::filesystem::path kData = std::filesystem::path(VEXMO_BINARY_DIR) / "data";

struct SheetSpec {
    const char* name;
    int frameWidth, frameHeight, frames;
};

// Names, 1x frame sizes and frame counts exactly as the loading steps ask for them.
const SheetSpec kSheets[] = {
    {"microbes", 8, 8, 100},
    {"gfx", 16, 16, 16},
    {"circle", 256, 256, 1},
    {"BadgesA", 64, 64, 64},
    {"fonts/editundo", 16, 16, 128},
    {"common/Testcard_Circle", 256, 256, 1},
    {"common/icade", 64, 64, 2},
    {"common/DorvLogo", 256, 256, 1},
    {"common/dpad", 32, 32, 16},
    {"common/Buttons", 64, 64, 16},
    {"parts", 8, 8, 16},
    {"common/icons", 32, 32, 16},
    {"logo", 256, 128, 1},
    {"menu", 256, 256, 4},
};

std::string suffixFor(int density) {
    return density == 4 ? "-hd2" : density == 2 ? "-hd" : "";
}

struct Picture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgba;
    const unsigned char* at(int x, int y) const {
        return &rgba[(static_cast<size_t>(y) * width + x) * 4];
    }
};

bool loadPicture(const std::filesystem::path& path, Picture& out) {
    int channels = 0;
    unsigned char* pixels = stbi_load(path.string().c_str(), &out.width, &out.height, &channels, 4);
    if (!pixels) return false;
    out.rgba.assign(pixels, pixels + static_cast<size_t>(out.width) * out.height * 4);
    stbi_image_free(pixels);
    return true;
}

TEST(DataFolder, EveryImageHoldsTheFramesTheLoaderCuts) {
    for (const SheetSpec& s : kSheets)
        for (int density : {1, 2, 4}) {
            const auto path = kData / (std::string(s.name) + suffixFor(density) + ".png");
            SCOPED_TRACE(path.string());
            Picture pic;
            ASSERT_TRUE(loadPicture(path, pic));
            const int fw = s.frameWidth * density, fh = s.frameHeight * density;
            EXPECT_EQ(pic.width % fw, 0);
            EXPECT_EQ(pic.height % fh, 0);
            // the loader fills rows left to right, so whole rows of whole frames must suffice
            EXPECT_GE((pic.width / fw) * (pic.height / fh), s.frames);
        }
}

TEST(DataFolder, PicturesAreCentredWithTransparentSurroundings) {
    // a middle-handle picture must not touch its frame's corners, or frames bleed together
    for (const SheetSpec& s : kSheets) {
        if (std::string(s.name) == "menu" || std::string(s.name) == "common/dpad") continue;
        Picture pic;
        ASSERT_TRUE(loadPicture(kData / (std::string(s.name) + ".png"), pic));
        for (int f = 0; f < s.frames; ++f) {
            const int perRow = pic.width / s.frameWidth;
            const int x0 = (f % perRow) * s.frameWidth, y0 = (f / perRow) * s.frameHeight;
            const int xs[2] = {x0, x0 + s.frameWidth - 1}, ys[2] = {y0, y0 + s.frameHeight - 1};
            for (int x : xs)
                for (int y : ys) EXPECT_EQ(pic.at(x, y)[3], 0) << s.name << " frame " << f;
        }
    }
}

TEST(DataFolder, TransparentTexelsCarryNoColour) {
    for (const SheetSpec& s : kSheets) {
        Picture pic;
        ASSERT_TRUE(loadPicture(kData / (std::string(s.name) + "-hd.png"), pic));
        size_t coloured = 0;
        for (size_t i = 0; i < pic.rgba.size(); i += 4)
            if (pic.rgba[i + 3] == 0 && (pic.rgba[i] | pic.rgba[i + 1] | pic.rgba[i + 2]))
                ++coloured;
        EXPECT_EQ(coloured, 0u) << s.name;
    }
}

TEST(DataFolder, BuiltinFontIsOneRowOfPaddedGlyphs) {
    Picture pic;
    ASSERT_TRUE(loadPicture(kData / "pelto_font.png", pic));
    ASSERT_EQ(pic.width % 96, 0);
    const int frame = pic.width / 96;
    ASSERT_GT(frame, 2);
    for (int i = 0; i < 96; ++i)
        for (int y = 0; y < pic.height; ++y) {
            // the one-texel gap on each side of every glyph stays clear
            EXPECT_EQ(pic.at(i * frame, y)[3], 0) << "glyph " << i;
            EXPECT_EQ(pic.at(i * frame + frame - 1, y)[3], 0) << "glyph " << i;
        }
    // 'A' (frame 33) has ink, space (frame 0) has none
    int ink = 0, spaceInk = 0;
    for (int y = 0; y < pic.height; ++y)
        for (int x = 0; x < frame; ++x)
            ink += pic.at(33 * frame + x, y)[3] > 0, spaceInk += pic.at(x, y)[3] > 0;
    EXPECT_GT(ink, 8);
    EXPECT_EQ(spaceInk, 0);
}

// ---- sounds -------------------------------------------------------------------------------

std::vector<std::string> soundFiles() {
    std::vector<std::string> out;
    char name[32];
    for (int n : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 95, 98, 99}) {
        std::snprintf(name, sizeof name, "sfx/%03d.wav", n);
        out.push_back(name);
    }
    for (int kit = 1; kit <= 4; ++kit)
        for (int s = 1; s <= 8; ++s)
            out.push_back("inst/d" + std::to_string(kit) + "-" + std::to_string(s) + ".wav");
    for (const char* m : {"lead1", "accompany1", "bass1", "bass2", "bass3", "bass4"})
        out.push_back(std::string("inst/") + m + ".wav");
    return out;
}

bool isLoop(const std::string& name) {
    return name.find("inst/") == 0 && name[5] != 'd';
}

struct Pcm {
    std::vector<int> samples;
    int rate = 0;
};

Pcm loadWithGameLoader(const std::filesystem::path& path) {
    int length = 0, channels = 0, bytes = 0, rate = 0;
    unsigned char* data =
        loadSound(String(path.string().c_str()), &length, &channels, &bytes, &rate);
    Pcm out;
    if (!data) return out;
    EXPECT_EQ(channels, 1);
    EXPECT_EQ(bytes, 2);
    for (int i = 0; i < length; ++i)
        out.samples.push_back(static_cast<int16_t>(data[2 * i] | (data[2 * i + 1] << 8)));
    out.rate = rate;
    unloadSound(data);
    return out;
}

TEST(DataFolder, EverySoundLoadsWithTheGamesLoader) {
    for (const std::string& name : soundFiles()) {
        SCOPED_TRACE(name);
        const Pcm pcm = loadWithGameLoader(kData / name);
        ASSERT_FALSE(pcm.samples.empty());
        EXPECT_EQ(pcm.rate, 44100);
    }
}

TEST(DataFolder, SoundsStayUnderOneDecibelBelowFullScaleWithoutOffsetOrClicks) {
    const int ceiling = static_cast<int>(32767 * std::pow(10.0, -1.0 / 20.0));  // -1 dBFS
    for (const std::string& name : soundFiles()) {
        SCOPED_TRACE(name);
        const Pcm pcm = loadWithGameLoader(kData / name);
        ASSERT_GT(pcm.samples.size(), 100u);
        int peak = 0;
        double sum = 0;
        for (int s : pcm.samples) peak = std::max(peak, std::abs(s)), sum += s;
        EXPECT_LE(peak, ceiling);
        EXPECT_GT(peak, ceiling / 4) << "too quiet to be heard in the mix";
        EXPECT_LT(std::fabs(sum / pcm.samples.size()), 0.005 * 32767) << "DC offset";
        const int first = pcm.samples.front(), last = pcm.samples.back();
        if (isLoop(name)) {
            // a loop restarts at sample 0: the jump from the last sample must look like any
            // other step of the waveform
            int steepest = 0;
            for (size_t i = 1; i < pcm.samples.size(); ++i)
                steepest = std::max(steepest, std::abs(pcm.samples[i] - pcm.samples[i - 1]));
            EXPECT_LE(std::abs(first - last), steepest);
        } else {
            EXPECT_LE(std::abs(first), 64);
            EXPECT_LE(std::abs(last), 64);
        }
    }
}

// A melodic loop must hold a whole number of periods of its pitch: the autocorrelation at one
// period of the expected pitch is near perfect.
TEST(DataFolder, MelodicSamplesSoundTheirPitchAtNote13) {
    const std::pair<const char*, double> expected[] = {
        {"inst/lead1.wav", 440}, {"inst/accompany1.wav", 220}, {"inst/bass1.wav", 110},
        {"inst/bass2.wav", 110}, {"inst/bass3.wav", 110},      {"inst/bass4.wav", 110}};
    for (const auto& [name, hz] : expected) {
        SCOPED_TRACE(name);
        const Pcm pcm = loadWithGameLoader(kData / name);
        ASSERT_FALSE(pcm.samples.empty());
        const double period = pcm.rate / hz;
        const double periods = pcm.samples.size() / period;
        EXPECT_NEAR(periods, std::round(periods), 1e-6);
        const int lag = static_cast<int>(std::lround(period));
        double same = 0, energy = 0;
        for (size_t i = 0; i + lag < pcm.samples.size(); ++i) {
            same += static_cast<double>(pcm.samples[i]) * pcm.samples[i + lag];
            energy += static_cast<double>(pcm.samples[i]) * pcm.samples[i];
        }
        EXPECT_GT(same / energy, 0.9);
        // half a period is not a repeat (so the pitch is not an octave higher)
        double half = 0;
        const int halfLag = lag / 2;
        for (size_t i = 0; i + halfLag < pcm.samples.size(); ++i)
            half += static_cast<double>(pcm.samples[i]) * pcm.samples[i + halfLag];
        EXPECT_LT(half / energy, 0.9);
    }
}

// ---- tunes --------------------------------------------------------------------------------

constexpr int kPatterns = 63;  // the player reads frames 0..62

// Decoded as the player does: frames of 64x64 cut row by row, field value = blue >> 3.
struct Strip {
    std::vector<int> values;  // [pattern][voice 0..7][row][field 0..7]
    int at(int pattern, int voice, int row, int field) const {
        return values[pattern * 4096 + voice * 512 + row * 8 + field];
    }
};

bool decodeStrip(const std::filesystem::path& path, Strip& out) {
    Picture pic;
    if (!loadPicture(path, pic)) return false;
    if (pic.width % 64 || pic.height % 64 || (pic.width / 64) * (pic.height / 64) < 64)
        return false;
    out.values.assign(kPatterns * 4096, 0);
    const int perRow = pic.width / 64;
    for (int f = 0; f < kPatterns; ++f)
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                const unsigned char* p = pic.at((f % perRow) * 64 + x, (f / perRow) * 64 + y);
                EXPECT_EQ(p[3], 255) << "strip pixels are opaque";
                out.values[f * 4096 + (x / 8) * 512 + y * 8 + x % 8] = p[2] >> 3;
            }
    return true;
}

std::string tunePath(int n) {
    return "tunes/Wendle/Tune_" + std::to_string(n) + ".png";
}

TEST(DataFolder, TuneStripsDecodeToPlayableEvents) {
    const std::set<int> drumKeys{13, 15, 17, 18, 20, 22, 24, 25};
    const std::set<int> commands{0, 1, 2, 3, 4, 8, 27};
    for (int n = 10; n <= 18; ++n) {
        SCOPED_TRACE(tunePath(n));
        Strip strip;
        ASSERT_TRUE(decodeStrip(kData / tunePath(n), strip));
        int lastPattern[8] = {0};
        int notes[8] = {0};
        for (int p = 0; p < kPatterns; ++p)
            for (int v = 0; v < 8; ++v)
                for (int row = 0; row < 64; ++row) {
                    const int note = strip.at(p, v, row, 0), volume = strip.at(p, v, row, 1);
                    const int command = strip.at(p, v, row, 2), arg = strip.at(p, v, row, 3);
                    for (int k = 0; k < 8; ++k)
                        if (strip.at(p, v, row, k)) lastPattern[v] = p;
                    for (int k = 4; k < 8; ++k) EXPECT_EQ(strip.at(p, v, row, k), 0);
                    if (v >= 5) {
                        EXPECT_EQ(note | volume | command | arg, 0) << "voice " << v;
                        continue;
                    }
                    if (note) ++notes[v];
                    if (v <= 1 && note) {
                        EXPECT_TRUE(drumKeys.count(note)) << "drum key " << note;
                        EXPECT_GE(volume, 1) << "drum hits carry their volume";
                    }
                    EXPECT_TRUE(commands.count(command)) << "command " << command;
                    if (command == 27) {
                        EXPECT_TRUE(arg == 1 || arg == 2);
                    }
                    if (command >= 1 && command <= 4) {
                        EXPECT_GE(arg, 1);
                    }
                }
        for (int v = 0; v < 5; ++v) {
            EXPECT_GT(notes[v], 0) << "voice " << v << " plays";
            EXPECT_GT(lastPattern[v], 0) << "voice " << v << " has several patterns";
        }
        // a pattern switch never leads outside the voice's patterns
        for (int v = 0; v < 5; ++v)
            for (int p = 0; p <= lastPattern[v]; ++p)
                for (int row = 0; row < 64; ++row) {
                    if (strip.at(p, v, row, 2) != 27) continue;
                    const int arg = strip.at(p, v, row, 3);
                    if (arg == 1) {
                        EXPECT_LT(p, lastPattern[v]);
                    }
                    if (arg == 2) {
                        EXPECT_GT(p, 0);
                    }
                }
    }
}

TEST(DataFolder, NineDifferentTunes) {
    std::vector<std::vector<int>> seen;
    for (int n = 10; n <= 18; ++n) {
        Strip strip;
        ASSERT_TRUE(decodeStrip(kData / tunePath(n), strip));
        for (const auto& other : seen) EXPECT_NE(strip.values, other) << tunePath(n);
        seen.push_back(strip.values);
    }
}

}  // namespace
