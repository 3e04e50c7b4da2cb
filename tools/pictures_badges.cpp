// Badge pictures: one medal per badge number. The game's badges have pictures that tell what
// they are for: the round badges show the round on the difficulty's shape (circle easy, hexagon
// normal, shield hard) in bronze, silver and gold; the score badges are stars with the score;
// the others carry an emblem of their feat. Badge 0 is the test badge; numbers the game does
// not use yet get plain medals, all different.
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
        case 7:  // shield check
            return polyline({{22, 32}, {29, 40}, {43, 23}}, 5);
        case 8: {  // music note
            Shape note = ellipse(27, 41, 6, 4.5);
            note = unite(note, box(31, 18, 34, 41));
            return unite(note, polygon({{31, 18}, {43, 24}, {43, 29}, {31, 23}}));
        }
        default: {  // the dish: a rim with a microbe in it
            return unite(ring(32, 32, 13, 3), unite(circle(29, 34, 4.5), circle(37, 29, 3)));
        }
    }
}

// Outline kinds beyond the plain medals': a five-pointed star.
Shape starFrame() {
    std::vector<Vec2> pts;
    for (int i = 0; i < 10; ++i) pts.push_back(polar(32, 34, i % 2 ? 13 : 30, i * 36));
    return polygon(pts);
}

constexpr int kBronze = 2, kSilver = 1, kGold = 0, kJade = 3, kSapphire = 4, kRuby = 5,
              kAmethyst = 6, kTeal = 7;

// How one of the game's badges looks: outline, metal, and either a label or an emblem.
struct BadgeLook {
    int outline;  // 0 circle, 1 hexagon, 2 shield, 3 burst, 4 star
    int metal;
    const char* label;  // drawn instead of an emblem when not null
    int emblem;
};

// The game's badges 1..19, by number.
bool lookOf(int frame, BadgeLook* look) {
    static const BadgeLook looks[] = {
        {3, kJade, nullptr, 9},      // 1 first round cleared: the dish
        {0, kBronze, "5", 0},        // 2..4 rounds on easy
        {0, kSilver, "10", 0},       //
        {0, kGold, "15", 0},         //
        {1, kBronze, "5", 0},        // 5..7 rounds on normal
        {1, kSilver, "10", 0},       //
        {1, kGold, "15", 0},         //
        {2, kBronze, "5", 0},        // 8..10 rounds on hard
        {2, kSilver, "10", 0},       //
        {2, kGold, "15", 0},         //
        {4, kBronze, "1K", 0},       // 11..13 scores
        {4, kSilver, "5K", 0},       //
        {4, kGold, "20K", 0},        //
        {1, kSapphire, nullptr, 4},  // 14 a round without losing energy: a heart
        {3, kRuby, nullptr, 3},      // 15 one-hit microbes: a target
        {2, kTeal, nullptr, 2},      // 16 reflected shots dodged: lightning
        {0, kAmethyst, nullptr, 1},  // 17 overcrowding survived: a microbe
        {0, kTeal, nullptr, 8},      // 18 every sound mode: a note
        {4, kAmethyst, nullptr, 5},  // 19 every difficulty: a crown
    };
    const int count = static_cast<int>(sizeof looks / sizeof looks[0]);
    if (frame < 1 || frame > count) return false;
    *look = looks[frame - 1];
    return true;
}

void drawMedal(Pen& pen, const Shape& medal, const Metal& metal) {
    pen.fill(moved(medal, 1.5, 2), rgb(0, 0, 0, 0.4f));
    pen.fill(medal, radial({24, 20}, 50, metal.light, metal.dark));
    pen.fill(outline(offset(medal, -3), 1.4), scaled(metal.light, 0.9));
    pen.fill(outline(medal, 1.2), rgb(40, 30, 20, 0.8f));
}

void drawGameBadge(Pen& pen, const BadgeLook& look) {
    const Metal metal = metalFor(look.metal);
    const Shape medal = look.outline == 4 ? starFrame() : badgeFrame(look.outline);
    drawMedal(pen, medal, metal);
    if (look.label) {
        const std::string label = look.label;
        const double size = label.size() > 2 || look.outline == 4 ? 2.0 : 3.0;
        // Stars are narrower near the top; their labels sit a little lower.
        const double cy = look.outline == 4 ? 36 : look.outline == 2 ? 31 : 32;
        // A dark rim all round keeps the digits readable on the pale metals too.
        const Paint rim = solid(scaled(metal.dark, 0.45));
        for (const Vec2 d : {Vec2{1, 1}, Vec2{-1, 1}, Vec2{1, -1}, Vec2{-1, -1}}) {
            drawText(pen, label, 32 + d.x, cy + d.y, size, rim);
        }
        drawText(pen, label, 32, cy, size, solid(rgb(255, 255, 255)));
        return;
    }
    const Shape e = emblem(look.emblem);
    pen.fill(offset(e, 1.2), scaled(metal.dark, 0.9));
    pen.fill(e, rgb(255, 255, 255, 0.95f));
}

}  // namespace

// Metal, outline and emblem are chosen so that no two of the 64 badges look alike.
void drawBadge(Pen& pen, int frame) {
    BadgeLook look;
    if (lookOf(frame, &look)) {
        drawGameBadge(pen, look);
        return;
    }
    const Metal metal = metalFor(frame == 0 ? 0 : frame);
    const int kind = frame == 0 ? 3 : (frame / 8) % 4;
    const Shape medal = badgeFrame(kind);
    drawMedal(pen, medal, metal);
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
