#include "music/kuv_strip.h"

namespace kuv {

int DecodePatternFrame(const uint32_t* pixels, int pattern, int* tuneData, int* lastPattern,
                       NonZeroFieldFn onNonZero, void* context) {
    if (pattern < 0 || pattern >= kPatternCount) return 0;
    int nonZero = 0;
    for (int row = 0; row < kRowCount; ++row) {
        const uint32_t* rowPixels = pixels + row * kFrameSide;
        for (int strip = 0; strip < kStripCount; ++strip) {
            for (int field = 0; field < kFieldCount; ++field) {
                const int value = FieldValueOfPixel(rowPixels[strip * kFieldCount + field]);
                tuneData[TuneIndex(pattern, strip, row, field)] = value;
                if (value == 0) continue;
                ++nonZero;
                lastPattern[strip] = pattern;
                if (onNonZero != nullptr) onNonZero(context, row, strip, field, value);
            }
        }
    }
    return nonZero;
}

}  // namespace kuv
