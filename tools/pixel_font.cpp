#include "tools/pixel_font.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace assets {
namespace {

// One glyph per line: the character code, then 7 rows (or 9 with descenders), top row first.
const char* const kGlyphTable = R"(
33 ..#.. ..#.. ..#.. ..#.. ..#.. ..... ..#..
34 .#.#. .#.#. .#.#. ..... ..... ..... .....
35 .#.#. .#.#. ##### .#.#. ##### .#.#. .#.#.
36 ..#.. .#### #.#.. .###. ..#.# ####. ..#..
37 ##... ##..# ...#. ..#.. .#... #..## ...##
38 .##.. #..#. #.#.. .#... #.#.# #..#. .##.#
39 ..#.. ..#.. .#... ..... ..... ..... .....
40 ...#. ..#.. .#... .#... .#... ..#.. ...#.
41 .#... ..#.. ...#. ...#. ...#. ..#.. .#...
42 ..... ..#.. #.#.# .###. #.#.# ..#.. .....
43 ..... ..#.. ..#.. ##### ..#.. ..#.. .....
44 ..... ..... ..... ..... ..... .##.. .##.. ..#.. .#...
45 ..... ..... ..... ##### ..... ..... .....
46 ..... ..... ..... ..... ..... .##.. .##..
47 ..... ....# ...#. ..#.. .#... #.... .....
48 .###. #...# #..## #.#.# ##..# #...# .###.
49 ..#.. .##.. ..#.. ..#.. ..#.. ..#.. .###.
50 .###. #...# ....# ...#. ..#.. .#... #####
51 ##### ...#. ..#.. ...#. ....# #...# .###.
52 ...#. ..##. .#.#. #..#. ##### ...#. ...#.
53 ##### #.... ####. ....# ....# #...# .###.
54 ..##. .#... #.... ####. #...# #...# .###.
55 ##### ....# ...#. ..#.. .#... .#... .#...
56 .###. #...# #...# .###. #...# #...# .###.
57 .###. #...# #...# .#### ....# ...#. .##..
58 ..... .##.. .##.. ..... .##.. .##.. .....
59 ..... .##.. .##.. ..... .##.. .##.. ..#.. .#... .....
60 ...#. ..#.. .#... #.... .#... ..#.. ...#.
61 ..... ..... ##### ..... ##### ..... .....
62 .#... ..#.. ...#. ....# ...#. ..#.. .#...
63 .###. #...# ....# ...#. ..#.. ..... ..#..
64 .###. #...# ....# .##.# #.#.# #.#.# .###.
65 .###. #...# #...# ##### #...# #...# #...#
66 ####. #...# #...# ####. #...# #...# ####.
67 .###. #...# #.... #.... #.... #...# .###.
68 ###.. #..#. #...# #...# #...# #..#. ###..
69 ##### #.... #.... ####. #.... #.... #####
70 ##### #.... #.... ####. #.... #.... #....
71 .###. #...# #.... #.### #...# #...# .####
72 #...# #...# #...# ##### #...# #...# #...#
73 .###. ..#.. ..#.. ..#.. ..#.. ..#.. .###.
74 ..### ...#. ...#. ...#. ...#. #..#. .##..
75 #...# #..#. #.#.. ##... #.#.. #..#. #...#
76 #.... #.... #.... #.... #.... #.... #####
77 #...# ##.## #.#.# #.#.# #...# #...# #...#
78 #...# #...# ##..# #.#.# #..## #...# #...#
79 .###. #...# #...# #...# #...# #...# .###.
80 ####. #...# #...# ####. #.... #.... #....
81 .###. #...# #...# #...# #.#.# #..#. .##.#
82 ####. #...# #...# ####. #.#.. #..#. #...#
83 .#### #.... #.... .###. ....# ....# ####.
84 ##### ..#.. ..#.. ..#.. ..#.. ..#.. ..#..
85 #...# #...# #...# #...# #...# #...# .###.
86 #...# #...# #...# #...# #...# .#.#. ..#..
87 #...# #...# #...# #.#.# #.#.# #.#.# .#.#.
88 #...# #...# .#.#. ..#.. .#.#. #...# #...#
89 #...# #...# #...# .#.#. ..#.. ..#.. ..#..
90 ##### ....# ...#. ..#.. .#... #.... #####
91 .###. .#... .#... .#... .#... .#... .###.
92 ..... #.... .#... ..#.. ...#. ....# .....
93 .###. ...#. ...#. ...#. ...#. ...#. .###.
94 ..#.. .#.#. #...# ..... ..... ..... .....
95 ..... ..... ..... ..... ..... ..... #####
96 .#... ..#.. ...#. ..... ..... ..... .....
97 ..... ..... .###. ....# .#### #...# .####
98 #.... #.... #.##. ##..# #...# #...# ####.
99 ..... ..... .###. #.... #.... #...# .###.
100 ....# ....# .##.# #..## #...# #...# .####
101 ..... ..... .###. #...# ##### #.... .###.
102 ..##. .#..# .#... ###.. .#... .#... .#...
103 ..... ..... .#### #...# #...# #...# .#### ....# .###.
104 #.... #.... #.##. ##..# #...# #...# #...#
105 ..#.. ..... .##.. ..#.. ..#.. ..#.. .###.
106 ...#. ..... ..##. ...#. ...#. ...#. ...#. #..#. .##..
107 #.... #.... #..#. #.#.. ##... #.#.. #..#.
108 .##.. ..#.. ..#.. ..#.. ..#.. ..#.. .###.
109 ..... ..... ##.#. #.#.# #.#.# #.#.# #.#.#
110 ..... ..... #.##. ##..# #...# #...# #...#
111 ..... ..... .###. #...# #...# #...# .###.
112 ..... ..... ####. #...# #...# #...# ####. #.... #....
113 ..... ..... .#### #...# #...# #...# .#### ....# ....#
114 ..... ..... #.##. ##..# #.... #.... #....
115 ..... ..... .###. #.... .###. ....# ####.
116 .#... .#... ###.. .#... .#... .#..# ..##.
117 ..... ..... #...# #...# #...# #..## .##.#
118 ..... ..... #...# #...# #...# .#.#. ..#..
119 ..... ..... #...# #...# #.#.# #.#.# .#.#.
120 ..... ..... #...# .#.#. ..#.. .#.#. #...#
121 ..... ..... #...# #...# #...# #...# .#### ....# .###.
122 ..... ..... ##### ...#. ..#.. .#... #####
123 ...#. ..#.. ..#.. .#... ..#.. ..#.. ...#.
124 ..#.. ..#.. ..#.. ..#.. ..#.. ..#.. ..#..
125 .#... ..#.. ..#.. ...#. ..#.. ..#.. .#...
126 ..... ..... .#... #.#.# ...#. ..... .....
127 ##### #...# #...# #...# #...# #...# #####
)";

using GlyphRows = std::array<unsigned char, kGlyphRows>;  // bit c set = column c is ink

struct GlyphSet {
    std::array<GlyphRows, 128> rows{};
    GlyphSet() {
        std::istringstream in(kGlyphTable);
        int code;
        std::string line;
        while (in >> code) {
            std::getline(in, line);
            std::istringstream cells(line);
            std::string row;
            for (int r = 0; r < kGlyphRows && cells >> row; ++r)
                for (int c = 0; c < kGlyphColumns && c < static_cast<int>(row.size()); ++c)
                    if (row[c] == '#') rows[code][r] |= static_cast<unsigned char>(1u << c);
        }
    }
};

const GlyphSet& glyphs() {
    static const GlyphSet set;
    return set;
}

}  // namespace

bool glyphPixel(int code, int col, int row) {
    if (code < 0 || code > 127 || col < 0 || col >= kGlyphColumns || row < 0 || row >= kGlyphRows)
        return false;
    return (glyphs().rows[code][row] >> col) & 1u;
}

// The glyph as one shape: the union of its ink cells (and, when enlarged, small diamonds that
// bridge lone diagonal steps). Filling it once avoids seams where neighbouring cells meet.
Shape glyphShape(int code, double x, double y, double size, bool bridge) {
    return {[=](double px, double py) {
                const double gx = (px - x) / size, gy = (py - y) / size;  // in glyph cells
                const int cx = static_cast<int>(std::floor(gx)),
                          cy = static_cast<int>(std::floor(gy));
                double best = 1e9;
                for (int r = cy - 2; r <= cy + 2; ++r)
                    for (int c = cx - 2; c <= cx + 2; ++c) {
                        if (glyphPixel(code, c, r)) {
                            const double qx = std::fabs(gx - (c + 0.5)) - 0.5;
                            const double qy = std::fabs(gy - (r + 0.5)) - 0.5;
                            const double d = length(std::max(qx, 0.0), std::max(qy, 0.0)) +
                                             std::min(std::max(qx, qy), 0.0);
                            best = std::min(best, d);
                        }
                        if (!bridge || !glyphPixel(code, c, r)) continue;
                        for (int dc : {-1, 1}) {
                            if (!glyphPixel(code, c + dc, r + 1) || glyphPixel(code, c + dc, r) ||
                                glyphPixel(code, c, r + 1))
                                continue;
                            // diamond around the corner the two cells share
                            const double kx = c + (dc > 0 ? 1.0 : 0.0), ky = r + 1.0;
                            const double d =
                                (std::fabs(gx - kx) + std::fabs(gy - ky) - 0.5) * M_SQRT1_2;
                            best = std::min(best, d);
                        }
                    }
                return best * size;
            },
            {x - size, y - size, x + (kGlyphColumns + 1) * size, y + (kGlyphRows + 1) * size}};
}

void drawGlyph(Pen& pen, int code, double x, double y, double size, const Paint& paint) {
    bool any = false;
    for (int r = 0; r < kGlyphRows && !any; ++r)
        for (int c = 0; c < kGlyphColumns && !any; ++c) any = glyphPixel(code, c, r);
    if (!any) return;
    pen.fill(glyphShape(code, x, y, size, pen.density() * size >= 2.0), paint);
}

double textWidth(const std::string& text, double size) {
    return text.empty() ? 0 : (static_cast<double>(text.size()) * 6 - 1) * size;
}

void drawText(Pen& pen, const std::string& text, double cx, double cy, double size,
              const Paint& paint) {
    // glyph cells start on whole texels, or the strokes blur across two of them
    const double d = pen.density();
    double x = std::round((cx - textWidth(text, size) / 2) * d) / d;
    const double y = std::round((cy - 3.5 * size) * d) / d;
    for (char ch : text) {
        drawGlyph(pen, static_cast<unsigned char>(ch), x, y, size, paint);
        x += 6 * size;
    }
}

}  // namespace assets
