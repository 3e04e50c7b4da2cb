// Title and credits pictures: the game's logo, the maker's logo, the test card and the menu art.
#include <cmath>

#include "tools/catalogue.h"
#include "tools/letters.h"
#include "tools/pixel_font.h"
#include "tools/rng.h"
#include "tools/shapes.h"

namespace assets {
namespace {

Shape wobblyCell(double cx, double cy, double r, double amp, double phase) {
    return {[=](double x, double y) {
                const double a = std::atan2(y - cy, x - cx);
                const double edge =
                    r * (1 + amp * std::sin(3 * a + phase) + amp * 0.5 * std::sin(5 * a - phase));
                return (length(x - cx, y - cy) - edge) * 0.8;
            },
            {cx - r * (1 + 1.5 * amp), cy - r * (1 + 1.5 * amp), cx + r * (1 + 1.5 * amp),
             cy + r * (1 + 1.5 * amp)}};
}

// A big, detailed cell for the menu: membrane, cytoplasm, nucleus, organelles and cilia.
void bigCell(Pen& pen, double cx, double cy, double r, const Rgba& light, const Rgba& dark,
             uint64_t seed) {
    Rng rng(seed);
    for (int i = 0; i < 40; ++i) {
        const double ang = i * 9 + rng.range(-3, 3);
        const Vec2 a = polar(cx, cy, r * 0.97, ang);
        const Vec2 b = polar(cx, cy, r * rng.range(1.1, 1.2), ang + rng.range(-6, 6));
        pen.fill(capsule(a, b, r * 0.025), scaled(light, 0.7));
    }
    const Shape body = wobblyCell(cx, cy, r, 0.05, seed * 0.7);
    pen.glow(body, scaled(light, 0.35), r * 0.12);
    pen.fill(body, radial({cx - r * 0.3, cy - r * 0.35}, r * 1.5, scaled(light, 0.75),
                          scaled(dark, 0.8)));
    pen.fill(outline(body, r * 0.05), scaled(light, 0.95));
    for (int i = 0; i < 9; ++i) {
        const Vec2 p = polar(cx, cy, r * rng.range(0.35, 0.75), rng.range(0, 360));
        const double s = r * rng.range(0.05, 0.11);
        pen.fill(ellipse(p.x, p.y, s * 1.4, s), scaled(dark, 0.9));
        pen.fill(ellipse(p.x - s * 0.3, p.y - s * 0.3, s * 0.5, s * 0.35), scaled(light, 0.5));
    }
    const Shape nucleus = wobblyCell(cx + r * 0.12, cy + r * 0.08, r * 0.3, 0.06, seed * 1.3);
    pen.fill(nucleus,
             radial({cx, cy - r * 0.05}, r * 0.45, rgb(255, 255, 255, 0.85f), scaled(dark, 0.95)));
    pen.fill(circle(cx + r * 0.16, cy + r * 0.1, r * 0.1), scaled(dark, 1.0));
    pen.fill(ellipse(cx - r * 0.35, cy - r * 0.45, r * 0.22, r * 0.1), rgb(255, 255, 255, 0.35f));
}

void bigVirus(Pen& pen, double cx, double cy, double r) {
    for (int i = 0; i < 14; ++i) {
        const double ang = i * 360.0 / 14;
        pen.fill(capsule(polar(cx, cy, r * 0.7, ang), polar(cx, cy, r * 1.05, ang), r * 0.07),
                 rgb(230, 110, 110));
        pen.fill(circle(polar(cx, cy, r * 1.08, ang).x, polar(cx, cy, r * 1.08, ang).y, r * 0.09),
                 rgb(255, 190, 120));
    }
    const Shape body = circle(cx, cy, r * 0.75);
    pen.fill(body,
             radial({cx - r * 0.25, cy - r * 0.3}, r * 1.1, rgb(255, 150, 140), rgb(120, 10, 30)));
    for (int i = 0; i < 6; ++i) {
        const Vec2 p = polar(cx, cy, r * 0.4, i * 60 + 15);
        pen.fill(circle(p.x, p.y, r * 0.12), rgb(150, 20, 40, 0.8f));
    }
    pen.fill(ellipse(cx - r * 0.3, cy - r * 0.35, r * 0.2, r * 0.1), rgb(255, 255, 255, 0.4f));
}

}  // namespace

void drawTitle(Pen& pen, int) {
    const std::string title = "Vexmo";
    const double scale = 3.2, stroke = 3.2;
    const double width = letteringWidth(title, scale);
    const double x = 128 - width / 2, baseline = 64 + 7 * scale;
    const Shape letters = lettering(title, x, baseline, scale, stroke);
    pen.fill(moved(offset(letters, 4), 3, 4), rgb(0, 0, 30, 0.55f));
    pen.fill(offset(letters, 4), rgb(10, 30, 60));
    pen.fill(letters, linear({0, baseline - 14 * scale}, {0, baseline}, rgb(200, 255, 140),
                             rgb(30, 190, 160)));
    // a glossy streak across the upper half of every stroke
    pen.fill(intersect(offset(letters, -stroke * scale * 0.25), moved(letters, -2, -3.5)),
             rgb(255, 255, 255, 0.35f));
    Rng rng(77);
    for (int i = 0; i < 9; ++i) {
        const double bx = rng.range(12, 244), by = rng.range(10, 118);
        if (by > 20 && by < 104 && bx > x - 14 && bx < x + width + 14)
            continue;  // clear of the letters
        const double r = rng.range(2, 6);
        pen.fill(ring(bx, by, r, 1.2), rgb(200, 255, 240, 0.7f));
        pen.fill(circle(bx - r * 0.3, by - r * 0.3, r * 0.25), rgb(255, 255, 255, 0.7f));
    }
}

// The maker's mark: a dark disc (it sits on an orange band) with a sprouting drop and "DORV".
void drawMakerLogo(Pen& pen, int) {
    const double c = 128;
    pen.fill(circle(c, c + 3, 118), rgb(0, 0, 0, 0.4f));
    pen.fill(circle(c, c, 116), radial({100, 80}, 190, rgb(50, 60, 110), rgb(10, 12, 35)));
    pen.fill(ring(c, c, 110, 5), rgb(255, 170, 60));
    pen.fill(ring(c, c, 101, 1.5), rgb(255, 220, 170, 0.7f));
    // a drop with a leaf
    const Shape drop = unite(circle(c, 104, 30), polygon({{c - 27, 91}, {c, 38}, {c + 27, 91}}));
    pen.fill(drop, linear({c, 38}, {c, 134}, rgb(255, 220, 120), rgb(245, 120, 30)));
    pen.fill(ellipse(c - 11, 98, 7, 12), rgb(255, 255, 255, 0.45f));
    pen.fill(circle(c + 4, 108, 9), rgb(40, 30, 60));
    const double scale = 2.6;
    const double w = letteringWidth("DORV", scale);
    const Shape word = lettering("DORV", c - w / 2, 196, scale, 2.6);
    pen.fill(offset(word, 2), rgb(10, 10, 30));
    pen.fill(word, rgb(255, 245, 230));
}

// A broadcast-style test card clipped to a circle.
void drawTestCard(Pen& pen, int) {
    const double c = 128, r = 120;
    const Shape disc = circle(c, c, r);
    pen.fill(disc, rgb(110, 110, 120));
    for (int i = 1; i < 16; ++i) {
        const double p = i * 16;
        pen.fill(intersect(disc, box(p - 0.75, 0, p + 0.75, 256)), rgb(235, 235, 235));
        pen.fill(intersect(disc, box(0, p - 0.75, 256, p + 0.75)), rgb(235, 235, 235));
    }
    const Rgba bars[8] = {rgb(235, 235, 235), rgb(235, 235, 16), rgb(16, 235, 235),
                          rgb(16, 235, 16),   rgb(235, 16, 235), rgb(235, 16, 16),
                          rgb(16, 16, 235),   rgb(16, 16, 16)};
    for (int i = 0; i < 8; ++i) {
        const double x0 = 32 + i * 24;
        pen.fill(intersect(disc, box(x0, 80, x0 + 24, 128)), bars[i]);
    }
    for (int i = 0; i < 8; ++i) {
        const double x0 = 32 + i * 24;
        const int g = 16 + i * 32;
        pen.fill(intersect(disc, box(x0, 128, x0 + 24, 160)), rgb(g, g, g));
    }
    for (int i = 0; i < 12; ++i) {  // frequency gratings
        const double x0 = 48 + i * 13.33;
        pen.fill(intersect(disc, box(x0, 160, x0 + 6.67, 184)), rgb(16, 16, 16));
        pen.fill(intersect(disc, box(x0 + 6.67, 160, x0 + 13.33, 184)), rgb(235, 235, 235));
    }
    pen.fill(ring(c, c, 88, 2.5), rgb(255, 255, 255));
    pen.fill(box(c - 0.9, 28, c + 0.9, 228), rgb(255, 255, 255, 0.8f));
    pen.fill(box(28, c - 0.9, 228, c + 0.9), rgb(255, 255, 255, 0.8f));
    pen.fill(roundBox(76, 44, 180, 70, 3), rgb(16, 16, 16));
    drawText(pen, "VEXMO", c, 57, 2.0, solid(rgb(255, 255, 255)));
    pen.fill(roundBox(92, 194, 164, 212, 3), rgb(16, 16, 16));
    drawText(pen, "CREDITS", c, 203, 1.0, solid(rgb(255, 210, 80)));
    pen.fill(ring(c, c, r - 2, 4), rgb(20, 20, 20));
}

void drawMenuArt(Pen& pen, int frame) {
    switch (frame) {
        case 0: {  // full backdrop
            pen.flood(linear({0, 0}, {0, 256}, rgb(8, 20, 70), rgb(10, 60, 90)));
            pen.flood(radial({128, 120}, 190, rgb(40, 120, 160, 0.35f), rgb(0, 0, 20, 0.0f)));
            Rng rng(2024);
            for (int i = 0; i < 38; ++i) {
                const double x = rng.range(0, 256), y = rng.range(0, 256), r = rng.range(3, 16);
                const float a = static_cast<float>(rng.range(0.08, 0.22));
                pen.fill(wobblyCell(x, y, r, 0.06, i), rgb(140, 220, 255, a * 0.5f));
                pen.fill(outline(wobblyCell(x, y, r, 0.06, i), 0.8), rgb(170, 235, 255, a));
            }
            for (int i = 0; i < 90; ++i) {
                const double x = rng.range(0, 256), y = rng.range(0, 256);
                pen.fill(circle(x, y, rng.range(0.4, 1.1)), rgb(200, 240, 255, 0.3f));
            }
            break;
        }
        case 1: {  // translucent foreground: lens vignette and bubbles along the edges
            pen.flood([](double x, double y) {
                const double d = length(x - 128, y - 128) / 181.0;
                const double a = std::clamp((d - 0.55) / 0.45, 0.0, 1.0);
                return rgb(0, 10, 40, static_cast<float>(a * a * 0.75));
            });
            Rng rng(99);
            for (int i = 0; i < 26; ++i) {
                const double ang = rng.range(0, 360);
                const Vec2 p = polar(128, 128, rng.range(112, 170), ang);
                const double r = rng.range(2, 9);
                pen.fill(ring(p.x, p.y, r, 0.9), rgb(200, 240, 255, 0.45f));
                pen.fill(circle(p.x - r * 0.35, p.y - r * 0.35, r * 0.22),
                         rgb(255, 255, 255, 0.5f));
            }
            break;
        }
        case 2:
            bigCell(pen, 128, 128, 100, rgb(150, 255, 170), rgb(20, 100, 70), 5);
            break;
        default:
            bigVirus(pen, 128, 128, 100);
            break;
    }
}

}  // namespace assets
