// The tune strip format: a tune is 64 patterns; each pattern is a 64 x 64 picture in which
// column 8 * strip + field, row = step holds one five-bit event field in the top bits of the
// pixel's blue byte. Strip b is voice b. Decoded values live in one flat array.
#pragma once

#include <cstdint>

namespace kuv {

constexpr int kPatternCount = 64;
constexpr int kReadPatternCount = 63;  // the last frame of a strip is never read
constexpr int kStripCount = 8;
constexpr int kRowCount = 64;
constexpr int kFieldCount = 8;
constexpr int kFrameSide = 64;
constexpr int kStripStride = kRowCount * kFieldCount;       // 512
constexpr int kPatternStride = kStripCount * kStripStride;  // 4096
// One spare slot past the last pattern.
constexpr int kTuneDataSize = kPatternCount * kPatternStride + 1;

// Event fields within a row.
constexpr int kFieldNote = 0;
constexpr int kFieldVolume = 1;
constexpr int kFieldCommand = 2;
constexpr int kFieldArgument = 3;

inline int TuneIndex(int pattern, int strip, int row, int field) {
    return pattern * kPatternStride + strip * kStripStride + row * kFieldCount + field;
}

// The five-bit value a read-back pixel (0xAARRGGBB) carries: the blue byte's top five bits.
inline int FieldValueOfPixel(uint32_t argb) {
    return static_cast<int>((argb & 255u) >> 3);
}

// Called for every non-zero field decoded.
using NonZeroFieldFn = void (*)(void* context, int row, int strip, int field, int value);

// Decodes one read-back frame (kFrameSide x kFrameSide pixels, rows top-first, row pitch
// kFrameSide) as pattern `pattern` into tuneData (kTuneDataSize values). Every strip that holds
// a non-zero value gets lastPattern[strip] = pattern. Returns the number of non-zero values.
int DecodePatternFrame(const uint32_t* pixels, int pattern, int* tuneData, int* lastPattern,
                       NonZeroFieldFn onNonZero = nullptr, void* context = nullptr);

}  // namespace kuv
