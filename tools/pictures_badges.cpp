// Badge pictures: 64 medals built from a few frames, colours and emblems. Badge 0 is the
// test badge the game defines.
#include <cmath>
#include <string>

#include "tools/catalogue.h"
#include "tools/pixel_font.h"
#include "tools/shapes.h"

namespace assets {
namespace {

struct Metal {
    Rgba light, dark;
};

Metal metalFor(int i) {
    static const Metal metals[] = {
        {rgb(255, 240, 150), rgb(190, 120, 20)},   // gold
        {rgb(240, 245, 255), rgb(120, 130, 150)},  // silver
        {rgb(255, 200, 150), rgb(150, 80, 40)},    // bronze
        {rgb(170, 255, 200), rgb(20, 130, 80)},    // jade
        {rgb(180, 210, 255), rgb(40, 70, 180)},    // sapphire
        {rgb(255, 170, 200), rgb(170, 30, 80)},    // ruby
        {rgb(230, 190, 255), rgb(100, 40, 160)},   // amethyst
        {rgb(170, 250, 255), rgb(20, 120, 140)},   // teal
    };
    return metals[i % 8];
}

Shape badgeFrame(int kind) {
    switch (kind) {
        case 0:
            return circle(32, 32, 26);
        case 1: {
            std::vector<Vec2> pts;
            for (int i = 0; i < 6; ++i) pts.push_back(polar(32, 32, 28, i * 60));
            return polygon(pts);
        }
        case 2:
            return polygon({{8, 10}, {56, 10}, {56, 32}, {32, 58}, {8, 32}});
        default: {
            std::vector<Vec2> pts;
            for (int i = 0; i < 16; ++i) pts.push_back(polar(32, 32, i % 2 ? 22 : 29, i * 22.5));
            return polygon(pts);
        }
    }
}

Shape emblem(int kind) {
    switch (kind) {
        case 0: {  // star
            std::vector<Vec2> pts;
            for (int i = 0; i < 10; ++i) pts.push_back(polar(32, 33, i % 2 ? 6 : 14, i * 36));
            return polygon(pts);
        }
        case 1:  // microbe
            return unite(circle(32, 32, 10),
                         unite(capsule({20, 22}, {44, 42}, 2.5), capsule({44, 22}, {20, 42}, 2.5)));
        case 2:  // lightning
            return polygon({{35, 14}, {24, 34}, {31, 34}, {27, 50}, {41, 28}, {34, 28}, {38, 14}});
        case 3:  // target
            return unite(ring(32, 32, 11, 3), circle(32, 32, 4));
        case 4:  // heart
            return unite(unite(circle(27, 28, 6.5), circle(37, 28, 6.5)),
                         polygon({{21, 31}, {43, 31}, {32, 45}}));
        case 5:  // crown
            return polygon({{19, 42}, {17, 22}, {25, 31}, {32, 18}, {39, 31}, {47, 22}, {45, 42}});
        case 6:  // clock
            return unite(ring(32, 32, 11, 3),
                         unite(capsule({32, 32}, {32, 24}, 2.4), capsule({32, 32}, {38, 35}, 2.4)));
        default:  // shield check
            return polyline({{22, 32}, {29, 40}, {43, 23}}, 5);
    }
}

}  // namespace

// Metal, outline and emblem are chosen so that no two of the 64 badges look alike.
void drawBadge(Pen& pen, int frame) {
    const Metal metal = metalFor(frame == 0 ? 0 : frame);
    const int kind = frame == 0 ? 3 : (frame / 8) % 4;
    const Shape medal = badgeFrame(kind);
    pen.fill(moved(medal, 1.5, 2), rgb(0, 0, 0, 0.4f));
    pen.fill(medal, radial({24, 20}, 50, metal.light, metal.dark));
    pen.fill(outline(offset(medal, -3), 1.4), scaled(metal.light, 0.9));
    pen.fill(outline(medal, 1.2), rgb(40, 30, 20, 0.8f));
    if (frame == 0) {                                // the test badge: a check mark and its name
        const Shape mark = moved(emblem(7), 0, -5);  // room for the name below
        pen.fill(offset(mark, 1.5), rgb(60, 30, 0, 0.8f));
        pen.fill(mark, rgb(255, 255, 255));
        drawText(pen, "TEST", 32, 47, 1.0, solid(rgb(80, 40, 0)));
        return;
    }
    const Shape e = emblem((frame + frame / 8) % 8);
    pen.fill(offset(e, 1.2), scaled(metal.dark, 0.9));
    pen.fill(e, rgb(255, 255, 255, 0.95f));
}

}  // namespace assets
