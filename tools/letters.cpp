#include "tools/letters.h"

#include <vector>

#include "tools/shapes.h"

namespace assets {
namespace {

// Letters are designed in a box with the cap height 14 and the baseline at y = 14.
struct Glyph {
    double advance;
    std::vector<Shape> strokes;
};

Glyph glyphFor(char c, double x, double y0, double s, double w) {
    auto P = [&](double px, double py) { return Vec2{x + px * s, y0 + py * s}; };
    auto line = [&](std::vector<Vec2> pts) { return polyline(pts, w * s); };
    auto bow = [&](double cx, double cy, double r, double a0, double a1) {
        const Vec2 c0 = P(cx, cy);
        return arc(c0.x, c0.y, r * s, a0, a1, w * s);
    };
    switch (c) {
        case 'V':
            return {10, {line({P(0, 0), P(5, 14), P(10, 0)})}};
        case 'e':
            return {10, {line({P(0.6, 9.5), P(9.4, 9.5)}), bow(5, 9.5, 4.5, 135, 450)}};
        case 'x':
            return {10, {line({P(0.5, 5), P(9.5, 14)}), line({P(9.5, 5), P(0.5, 14)})}};
        case 'm':
            return {11,
                    {line({P(0, 5.5), P(0, 14)}), bow(2.75, 8.25, 2.75, -90, 90),
                     line({P(5.5, 8.25), P(5.5, 14)}), bow(8.25, 8.25, 2.75, -90, 90),
                     line({P(11, 8.25), P(11, 14)})}};
        case 'o':
            return {10, {bow(5, 9.5, 4.5, 0, 360)}};
        case 'D':
            return {11, {line({P(4, 0), P(0, 0), P(0, 14), P(4, 14)}), bow(4, 7, 7, 0, 180)}};
        case 'O':
            return {13, {bow(6.5, 7, 6.5, 0, 360)}};
        case 'R':
            return {10,
                    {line({P(0, 14), P(0, 0), P(5, 0)}), bow(5, 3.75, 3.75, 0, 180),
                     line({P(5, 7.5), P(0, 7.5)}), line({P(4.5, 7.5), P(10, 14)})}};
        default:
            return {6, {}};
    }
}

constexpr double kGap = 3.5;

}  // namespace

double letteringWidth(const std::string& text, double scale) {
    double total = 0;
    for (char c : text) total += (glyphFor(c, 0, 0, 1, 1).advance + kGap) * scale;
    return text.empty() ? 0 : total - kGap * scale;
}

Shape lettering(const std::string& text, double x, double baseline, double scale, double stroke,
                double* width) {
    Shape all{[](double, double) { return 1e9; }, {0, 0, 0, 0}};
    bool first = true;
    double cursor = x;
    for (char c : text) {
        Glyph g = glyphFor(c, cursor, baseline - 14 * scale, scale, stroke);
        for (Shape& s : g.strokes) {
            all = first ? s : unite(all, s);
            first = false;
        }
        cursor += (g.advance + kGap) * scale;
    }
    if (width) *width = cursor - x - kGap * scale;
    return all;
}

}  // namespace assets
