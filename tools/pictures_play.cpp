// The play field's pictures: microbes, the ship and shots, the dish and debris.
#include <cmath>

#include "tools/catalogue.h"
#include "tools/shapes.h"

namespace assets {
namespace {

// A round shape whose edge wobbles: `lobes` bumps of relative height `amp`.
Shape blob(double cx, double cy, double r, double amp, int lobes, double phase) {
    return {[=](double x, double y) {
                const double ang = std::atan2(y - cy, x - cx);
                const double edge = r * (1.0 + amp * std::sin(lobes * ang + phase));
                return (length(x - cx, y - cy) - edge) * 0.85;
            },
            {cx - r * (1 + amp), cy - r * (1 + amp), cx + r * (1 + amp), cy + r * (1 + amp)}};
}

// Lit from the top left: a lighter centre offset towards the light, darker edge.
Paint bodyPaint(double cx, double cy, double r, const Rgba& light, const Rgba& dark) {
    return radial({cx - r * 0.35, cy - r * 0.4}, r * 1.45, light, dark);
}

struct Palette {
    Rgba light, mid, dark, detail;
};

Palette kindPalette(int kind) {
    switch (kind) {
        case 1:
            return {rgb(190, 255, 150), rgb(70, 200, 70), rgb(20, 110, 40), rgb(10, 70, 30)};
        case 2:
            return {rgb(170, 220, 255), rgb(60, 140, 255), rgb(20, 60, 170), rgb(200, 235, 255)};
        case 3:
            return {rgb(255, 170, 150), rgb(235, 50, 50), rgb(130, 10, 25), rgb(255, 220, 120)};
        case 4:
            return {rgb(255, 250, 170), rgb(245, 200, 40), rgb(160, 110, 10), rgb(120, 70, 0)};
        case 5:
            return {rgb(235, 190, 255), rgb(170, 80, 230), rgb(80, 25, 130), rgb(250, 220, 255)};
        default:
            return {rgb(235, 255, 255), rgb(120, 200, 215), rgb(40, 80, 100), rgb(20, 40, 55)};
    }
}

void amoeba(Pen& pen, double r, const Palette& p, double phase) {
    const Shape body = blob(4, 4, r, 0.1, 3, phase);
    pen.fill(body, bodyPaint(4, 4, r, p.light, p.dark));
    if (r > 1.8) pen.fill(circle(4 + r * 0.2, 4 + r * 0.15, r * 0.3), p.detail);
}

void rod(Pen& pen, double r, const Palette& p, double phase) {
    const double len = r * 0.68;
    const double ang = 35 + phase * 10;
    const Vec2 a = polar(4, 4, len, ang), b = polar(4, 4, len, ang + 180);
    pen.fill(capsule(a, b, r * 1.0), bodyPaint(4, 4, r, p.light, p.dark));
    if (r > 2.0) {
        pen.fill(circle(a.x + (b.x - a.x) * 0.3, a.y + (b.y - a.y) * 0.3, r * 0.14), p.detail);
        pen.fill(circle(a.x + (b.x - a.x) * 0.7, a.y + (b.y - a.y) * 0.7, r * 0.14), p.detail);
    }
}

void virus(Pen& pen, double r, const Palette& p, double phase) {
    Shape spikes = circle(4, 4, r * 0.68);
    const int count = 8;
    for (int i = 0; i < count; ++i) {
        const double ang = i * 360.0 / count + phase * 20;
        spikes = unite(spikes, capsule(polar(4, 4, r * 0.5, ang), polar(4, 4, r * 0.98, ang),
                                       std::max(0.45, r * 0.2)));
    }
    pen.fill(spikes, bodyPaint(4, 4, r, p.light, p.dark));
    if (r > 1.8) pen.fill(circle(4, 4, r * 0.25), p.detail);
}

void cluster(Pen& pen, double r, const Palette& p, double phase) {
    const int balls = r > 1.5 ? 4 : 1;
    const double small = balls == 1 ? r : r * 0.5;
    for (int i = 0; i < balls; ++i) {
        const Vec2 c = balls == 1 ? Vec2{4, 4} : polar(4, 4, r * 0.48, i * 90 + 20 + phase * 15);
        pen.fill(circle(c.x, c.y, small), bodyPaint(c.x, c.y, small, p.light, p.dark));
    }
    if (balls > 1) pen.fill(circle(4, 4, small * 0.6), bodyPaint(4, 4, small, p.light, p.mid));
}

void ciliate(Pen& pen, double r, const Palette& p, double phase) {
    const double rx = r * 0.9, ry = r * 0.62;
    if (r > 1.6) {
        for (int i = 0; i < 12; ++i) {
            const double ang = i * 30 + phase * 8;
            const double t = ang * M_PI / 180;
            const Vec2 edge{4 + std::sin(t) * rx, 4 - std::cos(t) * ry};
            const Vec2 tip{4 + std::sin(t) * (rx + r * 0.28), 4 - std::cos(t) * (ry + r * 0.28)};
            pen.fill(capsule(edge, tip, 0.35), p.mid);
        }
    }
    pen.fill(ellipse(4, 4, rx, ry), bodyPaint(4, 4, r, p.light, p.dark));
    if (r > 2.0) pen.fill(ellipse(4.3, 4.2, rx * 0.3, ry * 0.35), p.detail);
}

// The kind that reflects shots: a hard hexagonal shell with bright plated edges.
void armoured(Pen& pen, double r, const Palette& p, double phase) {
    std::vector<Vec2> hex;
    for (int i = 0; i < 6; ++i) hex.push_back(polar(4, 4, r, i * 60 + 30 + phase * 5));
    const Shape shell = polygon(hex);
    pen.fill(shell, bodyPaint(4, 4, r, p.light, p.dark));
    if (r > 1.6) {
        pen.fill(outline(offset(shell, -r * 0.12), std::max(0.3, r * 0.14)), p.light);
        std::vector<Vec2> inner;
        for (int i = 0; i < 6; ++i) inner.push_back(polar(4, 4, r * 0.42, i * 60 + 30 + phase * 5));
        pen.fill(polygon(inner), p.dark);
    }
}

}  // namespace

void drawMicrobe(Pen& pen, int frame) {
    const int kind = (frame / 10) % 6 + 1;
    const int stage = frame % 10;
    // frames past the six kinds repeat them with a different pose
    const double phase = frame / 60 + stage * 0.35;
    const double r = 0.75 + stage * (3.05 / 9.0);
    const Palette p = kindPalette(kind);
    if (stage <= 1) {  // a speck: one bright dot in the kind's colour
        pen.fill(circle(4, 4, r + 0.15), mix(p.light, p.mid, 0.4));
        return;
    }
    switch (kind) {
        case 1:
            amoeba(pen, r, p, phase);
            break;
        case 2:
            rod(pen, r, p, phase);
            break;
        case 3:
            virus(pen, r, p, phase);
            break;
        case 4:
            cluster(pen, r, p, phase);
            break;
        case 5:
            ciliate(pen, r, p, phase);
            break;
        default:
            armoured(pen, r, p, phase);
            break;
    }
}

// Frame 0 tiles into the ring: it is a piece of a circle of radius 160 (the rim's radius in
// frame units) whose top touches the frame centre, wide enough to overlap its neighbours.
void drawGameSprite(Pen& pen, int frame) {
    switch (frame) {
        case 0: {
            const double radius = 160, cy = 8 + radius;
            const Shape band = arc(8, cy, radius, -2.9, 2.9, 3.2);
            pen.fill(band, [=](double x, double y) {
                const double d = length(x - 8, y - cy) - radius;  // -1.6 .. 1.6
                const double t = std::fabs(d + 0.4) / 1.6;
                return mix(rgb(255, 255, 255), rgb(120, 170, 210), t);
            });
            break;
        }
        case 1: {  // the ship, nose down towards the dish centre; light grey so the tint shows
            const std::vector<Vec2> outlinePts{{8, 15.2},   {10.2, 9}, {15, 3.2},  {14.6, 1.6},
                                               {10.4, 3.6}, {8, 2.4},  {5.6, 3.6}, {1.4, 1.6},
                                               {1, 3.2},    {5.8, 9}};
            const Shape hull = polygon(outlinePts);
            pen.fill(offset(hull, 0.5), rgb(40, 40, 60, 0.9f));
            pen.fill(hull, rgb(200, 200, 210));
            // the left half catches the light, the right half is in shade
            pen.fill(intersect(hull, box(0, 0, 8, 16)),
                     linear({2, 2}, {8, 14}, rgb(255, 255, 255), rgb(215, 215, 225)));
            pen.fill(intersect(hull, box(8, 0, 16, 16)),
                     linear({14, 2}, {8, 14}, rgb(175, 175, 190), rgb(200, 200, 212)));
            pen.fill(ellipse(8, 8.2, 1.3, 2.6),
                     linear({8, 5.6}, {8, 10.8}, rgb(70, 70, 95), rgb(160, 165, 185)));
            pen.fill(ellipse(7.6, 7.4, 0.45, 1.0), rgb(255, 255, 255, 0.8f));
            // engine glow at the back (the rim side)
            pen.glow(circle(8, 2.6, 0.9), rgb(255, 255, 255, 0.7f), 1.6);
            break;
        }
        case 2: {  // the player's shot: a bright bolt along its path
            const Shape bolt = capsule({8, 4}, {8, 12}, 3.0);
            pen.glow(bolt, rgb(255, 255, 255, 0.6f), 2.4);
            pen.fill(bolt, rgb(235, 235, 235));
            pen.fill(capsule({8, 5}, {8, 11}, 1.4), rgb(255, 255, 255));
            break;
        }
        case 3: {  // a bounced shot: a tumbling four-pointed spark
            const Shape spark = polygon(
                {{8, 3}, {9.4, 6.6}, {13, 8}, {9.4, 9.4}, {8, 13}, {6.6, 9.4}, {3, 8}, {6.6, 6.6}});
            pen.glow(spark, rgb(255, 255, 255, 0.45f), 1.8);
            pen.fill(spark, rgb(255, 255, 255));
            pen.fill(circle(8, 8, 1.3), rgb(200, 200, 200));
            break;
        }
        default:
            break;  // spare frames stay empty
    }
}

// The petri dish: drawn at a quarter alpha, so its glass is strong here.
void drawDish(Pen& pen, int) {
    const double c = 128;
    pen.fill(circle(c, c, 122),
             radial({c - 40, c - 50}, 200, rgb(200, 230, 255, 0.28f), rgb(120, 170, 220, 0.12f)));
    pen.fill(ring(c, c, 123, 5),
             linear({0, 0}, {256, 256}, rgb(255, 255, 255, 0.95f), rgb(150, 190, 230, 0.8f)));
    pen.fill(ring(c, c, 116, 1.5), rgb(220, 240, 255, 0.6f));
    pen.fill(arc(c, c, 110, -70, -20, 4), rgb(255, 255, 255, 0.7f));
    pen.fill(arc(c, c, 110, -12, -4, 4), rgb(255, 255, 255, 0.55f));
    pen.fill(arc(c, c, 114, 120, 160, 2.5), rgb(255, 255, 255, 0.35f));
}

// Fragments of the wrecked ship: small bright shards, all different.
void drawDebris(Pen& pen, int frame) {
    const int variant = frame % 5;
    std::vector<Vec2> pts;
    const int corners = 3 + variant % 3;
    for (int i = 0; i < corners; ++i) {
        const double ang = i * 360.0 / corners + variant * 23 + frame * 7;
        const double rad = 2.2 + ((i * 7 + variant * 3 + frame) % 5) * 0.4;
        pts.push_back(polar(4, 4, rad, ang));
    }
    const Shape shard = polygon(pts);
    pen.fill(shard, linear({1, 1}, {7, 7}, rgb(255, 255, 255), rgb(160, 165, 180)));
    pen.fill(outline(shard, 0.35), rgb(100, 100, 120, 0.9f));
}

}  // namespace assets
