// rstr pads numbers for the HUD every update, so it builds usual widths in one buffer; these
// check that buffer against the plain definition (w + 1 copies of the pad, then the number,
// keeping the last w characters) across widths, pads and numbers.
#include <string>

#include "tests/game/game_fixture.h"

namespace {

std::string Plain(int v, int w, const std::string& pad) {
    std::string padded = pad;
    for (int i = 0; i < w; ++i) padded += pad;
    padded += std::to_string(v);
    if (w == 0) return padded;  // a slice from -0 keeps everything
    return padded.size() > static_cast<size_t>(w) ? padded.substr(padded.size() - w) : padded;
}

using HudPaddingTest = GameTest;

TEST_F(HudPaddingTest, MatchesThePlainDefinition) {
    const int numbers[] = {0, 7, 42, -5, 99, 123456, -2147483647, 2147483647};
    const char* pads[] = {"0", " ", "ab", "xyz"};
    for (const int v : numbers) {
        for (const char* pad : pads) {
            for (int w = 0; w <= 70; ++w) {
                const String got = game->rstr(v, w, String(pad));
                const std::string want = Plain(v, w, pad);
                EXPECT_TRUE(got == String(want.c_str()))
                    << "rstr(" << v << ", " << w << ", \"" << pad << "\") = \""
                    << got.ToCString<char>() << "\", want \"" << want << "\"";
            }
        }
    }
}

TEST_F(HudPaddingTest, AnEmptyPadLeavesTheDigitsAlone) {
    EXPECT_TRUE(game->rstr(42, 5, String()) == String("42"));
    EXPECT_TRUE(game->rstr(12345, 2, String()) == String("45"));
}

}  // namespace
