// The program's icon, for the desktop's menus and the window: the game itself in a tile - the
// glass dish on the menu's deep blue, microbes inside, the ship on the rim firing inward. The
// microbes, the ship and its shot are the very frames the game draws. Each size is drawn at
// its own resolution, and the small ones leave out what would only be a smudge.
#include <algorithm>
#include <string>

#include "tools/catalogue.h"
#include "tools/shapes.h"

namespace assets {
namespace {

constexpr int kUnits = 64;  // the icon's design size; every size is this drawn at size/64
constexpr double kCentre = 32;
constexpr double kDishRadius = 24.5;
constexpr double kShipAngle = 305;  // upper left of the rim, degrees clockwise from up

// A game frame drawn into its own layer at (x, y), turned and scaled, then laid over the icon
// tinted as the game tints it (the ship and its shots are white until tinted).
void drawTinted(Canvas& icon, double density, const std::function<void(Pen&)>& draw,
                const Rgba& tint) {
    Canvas layer(icon.width(), icon.height());
    Pen pen(layer, 0, 0, kUnits, kUnits, density);
    draw(pen);
    for (int y = 0; y < layer.height(); ++y)
        for (int x = 0; x < layer.width(); ++x) {
            const Rgba& c = layer.at(x, y);
            if (c.a <= 0) continue;
            icon.blend(x, y, {c.r * tint.r, c.g * tint.g, c.b * tint.b, c.a}, 1.0);
        }
}

// One microbe frame (8x8 units), its centre at (x, y), `scale` times its size in play.
void placeMicrobe(Pen& pen, int frame, double x, double y, double scale) {
    pen.save();
    pen.translate(x, y);
    pen.scale(scale);
    pen.translate(-4, -4);
    drawMicrobe(pen, frame);
    pen.restore();
}

}  // namespace

const std::vector<int>& appIconSizes() {
    static const std::vector<int> sizes{16, 32, 48, 64, 128, 256};
    return sizes;
}

const std::vector<int>& webIconSizes() {
    static const std::vector<int> sizes{192, 512};
    return sizes;
}

std::string appIconFileName(int size) {
    return "icons/vexmo_" + std::to_string(size) + ".png";
}

Canvas renderAppIcon(int size) {
    Canvas icon(size, size);
    const double density = static_cast<double>(size) / kUnits;
    // Strokes never thinner than about one texel, or the 16-pixel icon loses its ring.
    const double texel = 1.0 / density;
    Pen pen(icon, 0, 0, kUnits, kUnits, density);

    // The tile: the menu's background blue, lighter towards the top.
    const Shape tile = roundBox(1, 1, 63, 63, 12);
    pen.fill(tile, linear({0, 1}, {0, 63}, rgb(24, 40, 150), rgb(0, 0, 80)));
    const double edge = std::max(1.0, texel);  // a light edge just inside the tile
    pen.fill(outline(offset(tile, -edge / 2), edge), rgb(110, 140, 230, 0.7f));

    // The dish: faint glass and a bright rim with a highlight.
    pen.fill(circle(kCentre, kCentre, kDishRadius),
             radial({24, 22}, 34, rgb(190, 225, 255, 0.30f), rgb(110, 160, 220, 0.12f)));
    pen.fill(ring(kCentre, kCentre, kDishRadius, std::max(2.0, 1.2 * texel)),
             linear({10, 10}, {54, 54}, rgb(255, 255, 255, 0.95f), rgb(150, 190, 235, 0.85f)));
    if (size >= 48) {
        pen.fill(arc(kCentre, kCentre, kDishRadius - 3.5, 20, 70, 1.6), rgb(255, 255, 255, 0.55f));
    }

    // Full-grown microbes: the green amoeba, the red virus, the blue rod.
    placeMicrobe(pen, 9, 30, 36, 2.7);
    placeMicrobe(pen, 29, 42, 24, 1.7);
    if (size >= 32) placeMicrobe(pen, 19, 43, 43, 1.5);

    // The ship on the rim, nose to the centre, and (where there is room) its shot on the way in.
    const Vec2 ship = polar(kCentre, kCentre, kDishRadius, kShipAngle);
    const Rgba tint = rgb(255, 205, 70);
    drawTinted(
        icon, density,
        [&](Pen& p) {
            p.translate(ship.x, ship.y);
            p.rotate(kShipAngle);
            p.scale(size >= 32 ? 0.95 : 1.15);
            p.translate(-8, -8);
            drawGameSprite(p, 1);
        },
        tint);
    if (size >= 48) {
        const Vec2 shot = polar(kCentre, kCentre, kDishRadius - 11, kShipAngle);
        drawTinted(
            icon, density,
            [&](Pen& p) {
                p.translate(shot.x, shot.y);
                p.rotate(kShipAngle);
                p.scale(0.6);
                p.translate(-8, -8);
                drawGameSprite(p, 2);
            },
            rgb(140, 255, 240));
    }
    return icon;
}

}  // namespace assets
