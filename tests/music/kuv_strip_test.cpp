#include "music/kuv_strip.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using kuv::kFrameSide;

uint32_t BluePixel(int blue) {
    return 0xff010000u | static_cast<uint32_t>(blue);
}

struct Frame {
    std::vector<uint32_t> pixels = std::vector<uint32_t>(kFrameSide * kFrameSide, 0xff010000u);
    void Set(int strip, int row, int field, uint32_t argb) {
        pixels[row * kFrameSide + strip * kuv::kFieldCount + field] = argb;
    }
};

struct Decoded {
    std::vector<int> tuneData = std::vector<int>(kuv::kTuneDataSize, 0);
    std::vector<int> lastPattern = std::vector<int>(kuv::kStripCount, 0);
    int Decode(const Frame& frame, int pattern) {
        return kuv::DecodePatternFrame(frame.pixels.data(), pattern, tuneData.data(),
                                       lastPattern.data());
    }
};

TEST(KuvStrip, BlueSevenAndBelowDecodeToZero) {
    for (int blue = 0; blue <= 7; ++blue) EXPECT_EQ(kuv::FieldValueOfPixel(BluePixel(blue)), 0);
    EXPECT_EQ(kuv::FieldValueOfPixel(BluePixel(8)), 1);
}

TEST(KuvStrip, BlueFullDecodesToThirtyOne) {
    EXPECT_EQ(kuv::FieldValueOfPixel(BluePixel(255)), 31);
}

TEST(KuvStrip, OnlyTheBlueByteCarriesTheValue) {
    EXPECT_EQ(kuv::FieldValueOfPixel(0xffffff00u), 0);
    EXPECT_EQ(kuv::FieldValueOfPixel(0x000000a4u), 20);
}

TEST(KuvStrip, PixelLandsAtItsPatternStripRowAndField) {
    Frame frame;
    frame.Set(3, 17, 2, BluePixel(27 * 8 + 4));
    Decoded decoded;
    EXPECT_EQ(decoded.Decode(frame, 5), 1);
    const int index = 5 * 4096 + 3 * 512 + 17 * 8 + 2;
    EXPECT_EQ(kuv::TuneIndex(5, 3, 17, 2), index);
    EXPECT_EQ(decoded.tuneData[index], 27);
    EXPECT_EQ(decoded.lastPattern[3], 5);
    EXPECT_EQ(decoded.lastPattern[2], 0);
}

TEST(KuvStrip, ZeroPixelsOverwriteOldValues) {
    Decoded decoded;
    decoded.tuneData[kuv::TuneIndex(2, 0, 0, 0)] = 9;
    EXPECT_EQ(decoded.Decode(Frame(), 2), 0);
    EXPECT_EQ(decoded.tuneData[kuv::TuneIndex(2, 0, 0, 0)], 0);
}

TEST(KuvStrip, AStripUsedOnlyInPatternZeroKeepsLastPatternZero) {
    Decoded decoded;
    Frame first;
    first.Set(1, 0, 0, BluePixel(13 * 8));
    decoded.Decode(first, 0);
    for (int pattern = 1; pattern < kuv::kReadPatternCount; ++pattern)
        decoded.Decode(Frame(), pattern);
    EXPECT_EQ(decoded.lastPattern[1], 0);
}

TEST(KuvStrip, LastPatternFollowsTheHighestPatternWithData) {
    Decoded decoded;
    Frame used;
    used.Set(4, 63, 7, BluePixel(255));
    decoded.Decode(used, 3);
    decoded.Decode(used, 40);
    decoded.Decode(Frame(), 41);
    EXPECT_EQ(decoded.lastPattern[4], 40);
    EXPECT_EQ(decoded.tuneData[kuv::TuneIndex(40, 4, 63, 7)], 31);
}

TEST(KuvStrip, ThePatternDoesNotSpillIntoItsNeighbours) {
    Frame full;
    for (auto& pixel : full.pixels) pixel = BluePixel(255);
    Decoded decoded;
    EXPECT_EQ(decoded.Decode(full, 62), 4096);
    EXPECT_EQ(decoded.tuneData[kuv::TuneIndex(62, 0, 0, 0) - 1], 0);
    EXPECT_EQ(decoded.tuneData[kuv::TuneIndex(63, 0, 0, 0)], 0);
    EXPECT_EQ(decoded.tuneData[kuv::TuneIndex(62, 7, 63, 7)], 31);
}

TEST(KuvStrip, PatternOutsideTheTuneIsIgnored) {
    Frame full;
    for (auto& pixel : full.pixels) pixel = BluePixel(255);
    Decoded decoded;
    EXPECT_EQ(decoded.Decode(full, 64), 0);
    EXPECT_EQ(decoded.Decode(full, -1), 0);
    EXPECT_EQ(decoded.tuneData[kuv::kTuneDataSize - 1], 0);
}

TEST(KuvStrip, EveryNonZeroFieldIsReported) {
    Frame frame;
    frame.Set(0, 5, 0, BluePixel(13 * 8));
    frame.Set(0, 5, 1, BluePixel(30 * 8));
    frame.Set(6, 9, 3, BluePixel(8));
    std::vector<std::vector<int>> seen;
    auto record = [](void* context, int row, int strip, int field, int value) {
        static_cast<std::vector<std::vector<int>>*>(context)->push_back({row, strip, field, value});
    };
    Decoded decoded;
    kuv::DecodePatternFrame(frame.pixels.data(), 0, decoded.tuneData.data(),
                            decoded.lastPattern.data(), record, &seen);
    const std::vector<std::vector<int>> expected = {{5, 0, 0, 13}, {5, 0, 1, 30}, {9, 6, 3, 1}};
    EXPECT_EQ(seen, expected);
}

}  // namespace
