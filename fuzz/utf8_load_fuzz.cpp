// libFuzzer target: arbitrary bytes through String::Load's decoder (byte-order marks, UTF-16
// and UTF-8 with its Latin-1 fallback). A decoded string never has more characters than the
// input has bytes, and saving it again must not crash.
#include <cstdint>
#include <vector>

#include "runtime/string.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int n = static_cast<int>(size);
    const String text = String::Load(data, n);
    if (text.Length() < 0 || text.Length() > n) __builtin_trap();
    std::vector<unsigned char> saved;
    text.Save(saved);
    // Re-reading what we saved (valid UTF-8) gives the same characters back, unless the text
    // starts with U+FEFF, whose encoding reads as a byte-order mark.
    const String again = String::Load(saved.data(), static_cast<int>(saved.size()));
    const bool startsWithMark = text.Length() > 0 && text[0] == 0xFEFF;
    if (!startsWithMark && !(again == text)) __builtin_trap();
    return 0;
}
