// Interface pictures: icons, difficulty buttons, the on-screen pad and the controller toggle.
// Most are tinted when drawn, so they are white and grey with dark edges for contrast.
#include <algorithm>
#include <cmath>
#include <string>

#include "tools/catalogue.h"
#include "tools/pixel_font.h"
#include "tools/shapes.h"

namespace assets {
namespace {

const Rgba kInk = rgb(255, 255, 255);
const Rgba kEdge = rgb(30, 30, 45, 0.85f);

// White symbol with a thin dark rim so it reads on any background and under any tint.
void symbol(Pen& pen, const Shape& s) {
    pen.fill(offset(s, 0.9), kEdge);
    pen.fill(s, kInk);
}

void plate(Pen& pen, double cx, double cy, double r) {
    pen.fill(circle(cx, cy, r), radial({cx - r * 0.3, cy - r * 0.4}, r * 1.6,
                                       rgb(120, 120, 135, 0.75f), rgb(40, 40, 55, 0.75f)));
    pen.fill(ring(cx, cy, r - 0.6, 1.2), rgb(235, 235, 245));
}

Shape speaker(double cx, double cy, double s) {
    return polygon({{cx - 5 * s, cy - 2.2 * s},
                    {cx - 2 * s, cy - 2.2 * s},
                    {cx + 2 * s, cy - 6 * s},
                    {cx + 2 * s, cy + 6 * s},
                    {cx - 2 * s, cy + 2.2 * s},
                    {cx - 5 * s, cy + 2.2 * s}});
}

Shape musicNote(double cx, double cy, double s) {
    Shape note = ellipse(cx - 2 * s, cy + 4 * s, 2.6 * s, 2 * s);
    note = unite(note, box(cx + 0.1 * s, cy - 6 * s, cx + 1.3 * s, cy + 4 * s));
    note = unite(note, polygon({{cx + 0.1 * s, cy - 6 * s},
                                {cx + 5 * s, cy - 3.5 * s},
                                {cx + 5 * s, cy - 1.5 * s},
                                {cx + 0.1 * s, cy - 4 * s}}));
    return note;
}

Shape burst(double cx, double cy, double r) {
    std::vector<Vec2> pts;
    for (int i = 0; i < 16; ++i) pts.push_back(polar(cx, cy, i % 2 ? r * 0.45 : r, i * 22.5));
    return polygon(pts);
}

void badgesIcon(Pen& pen) {
    plate(pen, 16, 16, 14);
    const Shape ribbon = unite(polygon({{10, 6}, {15, 6}, {18, 15}, {13, 15}}),
                               polygon({{22, 6}, {17, 6}, {14, 15}, {19, 15}}));
    std::vector<Vec2> star;
    for (int i = 0; i < 10; ++i) star.push_back(polar(16, 20.5, i % 2 ? 2.6 : 5.2, i * 36));
    symbol(pen, unite(ribbon, ring(16, 20.5, 6.2, 1.8)));
    symbol(pen, polygon(star));
}

// A question mark: the menu's how-to-play button.
void howToPlayIcon(Pen& pen) {
    plate(pen, 16, 16, 14);
    symbol(pen, unite(arc(16, 12.5, 4.6, -80, 170, 2.8),
                      unite(capsule({16, 17}, {16, 19}, 2.8), circle(16, 23.6, 1.9))));
}

// A gear: the settings button.
void settingsIcon(Pen& pen) {
    plate(pen, 16, 16, 14);
    Shape gear = circle(16, 16, 6.6);
    for (int i = 0; i < 8; ++i) {
        gear = unite(gear, rotated(box(14.4, 6.6, 17.6, 11), i * 45.0, 16, 16));
    }
    symbol(pen, subtract(gear, circle(16, 16, 2.8)));
}

// A power sign: the menu's quit button.
void powerIcon(Pen& pen) {
    plate(pen, 16, 16, 14);
    symbol(pen, unite(arc(16, 17, 7, 35, 325, 2.6), capsule({16, 7.5}, {16, 15.5}, 2.6)));
}

// A globe: the outline, a meridian, the equator and two parallels, all inside the outline.
void globeIcon(Pen& pen) {
    plate(pen, 16, 16, 14);
    const Shape inside = circle(16, 16, 8.4);
    Shape lines = subtract(ellipse(16, 16, 4.4, 8.6), ellipse(16, 16, 2.8, 7.0));
    lines = unite(lines, box(7, 15.2, 25, 16.8));
    lines = unite(lines, unite(box(7, 11.2, 25, 12.5), box(7, 19.5, 25, 20.8)));
    symbol(pen, unite(ring(16, 16, 8.8, 1.8), intersect(lines, inside)));
}

}  // namespace

void drawIcon(Pen& pen, int frame) {
    const double c = 16;
    switch (frame) {
        case 0:  // pause
            plate(pen, c, c, 14);
            symbol(pen, unite(roundBox(10, 9, 14, 23, 1), roundBox(18, 9, 22, 23, 1)));
            break;
        case 1:  // quit
            plate(pen, c, c, 14);
            symbol(pen, unite(capsule({11, 11}, {21, 21}, 3.4), capsule({21, 11}, {11, 21}, 3.4)));
            break;
        case 2:  // restart
            plate(pen, c, c, 14);
            symbol(pen, unite(arc(c, c, 6.5, 40, 330, 2.8),
                              polygon({{19, 6.5}, {24.5, 11}, {17.5, 13}})));
            break;
        case 3:  // resume
            plate(pen, c, c, 14);
            symbol(pen, polygon({{12, 8.5}, {23.5, 16}, {12, 23.5}}));
            break;
        case 4:  // sound on
            plate(pen, c, c, 14);
            symbol(pen, unite(speaker(13, 16, 1.0), unite(arc(13, 16, 6.5, 45, 135, 1.8),
                                                          arc(13, 16, 10, 50, 130, 1.8))));
            break;
        case 5:  // sound off
            plate(pen, c, c, 14);
            symbol(pen, unite(speaker(11.5, 16, 1.0), unite(capsule({17, 12.5}, {23, 19.5}, 2.2),
                                                            capsule({23, 12.5}, {17, 19.5}, 2.2))));
            break;
        case 6:  // focus ring
            pen.fill(ring(c, c, 14, 2.2), kInk);
            pen.glow(ring(c, c, 14, 2.2), rgb(255, 255, 255, 0.35f), 1.6);
            break;
        case 7:  // calibrate
            plate(pen, c, c, 14);
            symbol(pen, unite(ring(c, c, 6, 1.8),
                              unite(box(15.1, 6, 16.9, 26), box(6, 15.1, 26, 16.9))));
            break;
        case 8:  // music and effects
            pen.fill(circle(c, c, 9), rgb(30, 30, 45, 0.8f));
            symbol(pen, unite(musicNote(13, 16, 0.75), burst(21, 12, 3.6)));
            break;
        case 9:  // effects only
            pen.fill(circle(c, c, 9), rgb(30, 30, 45, 0.8f));
            symbol(pen, burst(c, c, 6.5));
            break;
        case 10:  // music only
            pen.fill(circle(c, c, 9), rgb(30, 30, 45, 0.8f));
            symbol(pen, musicNote(c, c, 0.9));
            break;
        case 11:  // the world's score board: a globe
            globeIcon(pen);
            break;
        case 12:  // the badge box: a medal on its ribbon
            badgesIcon(pen);
            break;
        case 13:  // how to play
            howToPlayIcon(pen);
            break;
        case 14:  // settings
            settingsIcon(pen);
            break;
        case 15:  // quit the game, on the menu
            powerIcon(pen);
            break;
        default:
            break;
    }
}

namespace {

struct ButtonLook {
    Rgba top, bottom;
    std::string label;
};

ButtonLook buttonLook(int frame) {
    switch (frame) {
        case 0:
            return {rgb(120, 235, 120), rgb(20, 130, 50), "EASY"};
        case 1:
            return {rgb(255, 215, 100), rgb(200, 120, 10), "NORMAL"};
        default:
            return {rgb(255, 120, 110), rgb(170, 20, 30), "HARD"};
    }
}

void difficultyButton(Pen& pen, int frame) {
    const ButtonLook look = buttonLook(frame);
    const Shape body = roundBox(4, 4, 60, 60, 12);
    pen.fill(offset(body, 1.5), rgb(0, 0, 0, 0.45f));
    pen.fill(body, linear({0, 4}, {0, 60}, look.top, look.bottom));
    pen.fill(intersect(roundBox(7, 6, 57, 30, 10), body), rgb(255, 255, 255, 0.22f));
    pen.fill(outline(body, 1.6), rgb(255, 255, 255, 0.9f));
    // pips: one small microbe per difficulty step
    for (int i = 0; i <= frame; ++i) {
        const double x = 32 + (i - frame / 2.0) * 13;
        pen.fill(circle(x, 20, 5.2), rgb(30, 30, 40, 0.6f));
        pen.fill(circle(x, 19.5, 4.4), radial({x - 1.5, 18}, 5.5, rgb(255, 255, 255), look.top));
    }
    // the largest label that fits, snapped to whole texels so the 1x set stays sharp
    double textSize = 1.0;
    for (double wanted : {2.0, 1.5}) {
        const double snapped = std::round(wanted * pen.density()) / pen.density();
        if (textWidth(look.label, snapped) <= 52) {
            textSize = snapped;
            break;
        }
    }
    const double shadow = std::max(0.5, 1.0 / pen.density());  // a whole texel at 1x
    drawText(pen, look.label, 32 + shadow, 43 + shadow, textSize, solid(rgb(0, 0, 0, 0.55f)));
    drawText(pen, look.label, 32, 43, textSize, solid(rgb(255, 255, 255)));
}

void controllerIcon(Pen& pen) {
    const Shape body = unite(roundBox(10, 22, 54, 42, 10), unite(capsule({16, 36}, {12, 48}, 10),
                                                                 capsule({48, 36}, {52, 48}, 10)));
    pen.fill(offset(body, 1.2), kEdge);
    pen.fill(body, linear({0, 22}, {0, 52}, rgb(245, 245, 250), rgb(170, 170, 185)));
    const Rgba keys = rgb(60, 60, 80);
    pen.fill(unite(box(17, 29.5, 27, 33.5), box(20, 26.5, 24, 36.5)), keys);
    pen.fill(circle(42, 28.5, 2.4), rgb(220, 60, 60));
    pen.fill(circle(47, 32.5, 2.4), rgb(60, 160, 230));
    pen.fill(circle(37, 32.5, 2.4), rgb(240, 200, 40));
    pen.fill(circle(42, 36.5, 2.4), rgb(60, 200, 90));
}

}  // namespace

void drawButton(Pen& pen, int frame) {
    if (frame <= 2) {
        difficultyButton(pen, frame);
    } else if (frame == 12) {
        controllerIcon(pen);
    } else if (frame == 15) {  // highlight drawn over the chosen difficulty
        const Shape body = roundBox(4, 4, 60, 60, 12);
        pen.glow(outline(body, 3), rgb(255, 255, 160, 0.7f), 3.5);
        pen.fill(outline(body, 3), rgb(255, 255, 200));
    }
}

// The pad is laid out in the sheet as it sits on screen: a cross around frame 5.
void drawPad(Pen& pen, int frame) {
    const Rgba fillTop = rgb(235, 235, 245, 0.55f), fillBottom = rgb(150, 150, 170, 0.55f);
    const Rgba rim = rgb(255, 255, 255, 0.85f);
    const Rgba arrow = rgb(255, 255, 255, 0.95f);
    auto arm = [&](double angle) {
        pen.save();
        pen.translate(16, 16);
        pen.rotate(angle);
        pen.translate(-16, -16);
        // arm pointing up: rounded at the outer end, open towards the centre frame
        const Shape body = unite(roundBox(4, 2, 28, 24, 7), box(4, 16, 28, 32));
        pen.fill(body, linear({0, 2}, {0, 32}, fillTop, fillBottom));
        pen.fill(subtract(outline(body, 1.6), box(0, 31, 32, 40)), rim);
        pen.fill(polygon({{16, 8}, {23, 17}, {9, 17}}), arrow);
        pen.restore();
    };
    switch (frame) {
        case 0:
            pen.fill(circle(16, 16, 14), radial({12, 11}, 22, fillTop, fillBottom));
            pen.fill(ring(16, 16, 13.2, 1.6), rim);
            pen.fill(circle(16, 16, 6), rgb(255, 255, 255, 0.6f));
            break;
        case 1:
            arm(0);
            break;
        case 6:
            arm(90);
            break;
        case 9:
            arm(180);
            break;
        case 4:
            arm(270);
            break;
        case 5:
            pen.fill(box(4, 4, 28, 28), radial({16, 16}, 18, fillTop, fillBottom));
            pen.fill(circle(16, 16, 5.5), rgb(60, 60, 80, 0.5f));
            break;
        default:
            break;
    }
}

// Frame 0: external controller off (dim, crossed out); 1: on (lit).
void drawIcade(Pen& pen, int frame) {
    const bool on = frame == 1;
    const Shape cabinet = roundBox(8, 30, 56, 54, 6);
    pen.fill(offset(cabinet, 1.2), kEdge);
    pen.fill(cabinet, linear({0, 30}, {0, 54}, on ? rgb(120, 200, 255) : rgb(150, 150, 160),
                             on ? rgb(30, 90, 170) : rgb(70, 70, 80)));
    const Shape stick = capsule({20, 36}, {20, 16}, 3.2);
    pen.fill(offset(stick, 1), kEdge);
    pen.fill(stick, rgb(220, 220, 230));
    const Shape knob = circle(20, 14, 6);
    pen.fill(offset(knob, 1), kEdge);
    pen.fill(knob, radial({18, 12}, 8, on ? rgb(255, 150, 150) : rgb(210, 200, 200),
                          on ? rgb(210, 30, 40) : rgb(120, 110, 110)));
    for (int i = 0; i < 3; ++i) {
        const double x = 34 + i * 8;
        pen.fill(circle(x, 40, 3.4), kEdge);
        pen.fill(circle(x, 40, 2.6), on ? rgb(255, 240, 120) : rgb(190, 190, 190));
    }
    if (on) {
        pen.glow(circle(52, 12, 3.5), rgb(120, 255, 140, 0.6f), 5);
        pen.fill(circle(52, 12, 3.5), rgb(160, 255, 170));
    } else {
        pen.fill(capsule({10, 10}, {54, 54}, 6), kEdge);
        pen.fill(capsule({10, 10}, {54, 54}, 4), rgb(230, 70, 70));
    }
}

}  // namespace assets
