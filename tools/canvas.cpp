#include "tools/canvas.h"

#include <algorithm>
#include <cmath>

namespace assets {

Rgba rgb(int r, int g, int b, float alpha) {
    return {r / 255.0f * alpha, g / 255.0f * alpha, b / 255.0f * alpha, alpha};
}

Rgba mix(const Rgba& from, const Rgba& to, double t) {
    const float k = static_cast<float>(std::clamp(t, 0.0, 1.0));
    return {from.r + (to.r - from.r) * k, from.g + (to.g - from.g) * k,
            from.b + (to.b - from.b) * k, from.a + (to.a - from.a) * k};
}

Rgba scaled(const Rgba& c, double factor) {
    const float k = static_cast<float>(factor);
    return {c.r * k, c.g * k, c.b * k, c.a * k};
}

Paint solid(const Rgba& c) {
    return [c](double, double) { return c; };
}

Paint linear(Vec2 from, Vec2 to, const Rgba& c0, const Rgba& c1) {
    const double dx = to.x - from.x, dy = to.y - from.y;
    const double len2 = std::max(1e-9, dx * dx + dy * dy);
    return [=](double x, double y) {
        return mix(c0, c1, ((x - from.x) * dx + (y - from.y) * dy) / len2);
    };
}

Paint radial(Vec2 centre, double radius, const Rgba& inner, const Rgba& outer) {
    return [=](double x, double y) {
        return mix(inner, outer, length(x - centre.x, y - centre.y) / radius);
    };
}

Canvas::Canvas(int width, int height)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height) {}

void Canvas::blend(int x, int y, const Rgba& src, double coverage) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || coverage <= 0) return;
    const float k = static_cast<float>(std::min(coverage, 1.0));
    Rgba& dst = pixels_[static_cast<size_t>(y) * width_ + x];
    const float keep = 1.0f - src.a * k;
    dst.r = src.r * k + dst.r * keep;
    dst.g = src.g * k + dst.g * keep;
    dst.b = src.b * k + dst.b * keep;
    dst.a = src.a * k + dst.a * keep;
}

void Canvas::paste(const Canvas& other, int x, int y) {
    for (int j = 0; j < other.height(); ++j)
        for (int i = 0; i < other.width(); ++i) blend(x + i, y + j, other.at(i, j), 1.0);
}

Pen::Pen(Canvas& canvas, int originX, int originY, int widthUnits, int heightUnits, double density)
    : canvas_(canvas),
      originX_(originX),
      originY_(originY),
      widthUnits_(widthUnits),
      heightUnits_(heightUnits),
      density_(density) {}

void Pen::translate(double dx, double dy) {
    m_.e += m_.a * dx + m_.c * dy;
    m_.f += m_.b * dx + m_.d * dy;
}

void Pen::rotate(double degrees) {
    const double r = degrees * M_PI / 180.0, cs = std::cos(r), sn = std::sin(r);
    const Affine o = m_;
    m_.a = o.a * cs + o.c * sn;
    m_.b = o.b * cs + o.d * sn;
    m_.c = -o.a * sn + o.c * cs;
    m_.d = -o.b * sn + o.d * cs;
}

void Pen::scale(double factor) {
    m_.a *= factor;
    m_.b *= factor;
    m_.c *= factor;
    m_.d *= factor;
}

void Pen::restore() {
    if (stack_.empty()) return;
    m_ = stack_.back();
    stack_.pop_back();
}

// Pixel centre (in texels of the frame rectangle) back to the shape's own design units.
Vec2 Pen::toDesign(double px, double py) const {
    const double ux = px / density_ - m_.e, uy = py / density_ - m_.f;
    const double det = m_.a * m_.d - m_.b * m_.c;
    return {(m_.d * ux - m_.c * uy) / det, (-m_.b * ux + m_.a * uy) / det};
}

double Pen::unitsPerTexel() const {
    return 1.0 / (density_ * std::sqrt(std::fabs(m_.a * m_.d - m_.b * m_.c)));
}

void Pen::pixelBounds(const Box& box, int& x0, int& y0, int& x1, int& y1) const {
    double lo[2] = {1e18, 1e18}, hi[2] = {-1e18, -1e18};
    const double xs[2] = {box.x0, box.x1}, ys[2] = {box.y0, box.y1};
    for (double bx : xs)
        for (double by : ys) {
            const double px = (m_.a * bx + m_.c * by + m_.e) * density_;
            const double py = (m_.b * bx + m_.d * by + m_.f) * density_;
            lo[0] = std::min(lo[0], px), hi[0] = std::max(hi[0], px);
            lo[1] = std::min(lo[1], py), hi[1] = std::max(hi[1], py);
        }
    const int w = static_cast<int>(std::lround(widthUnits_ * density_));
    const int h = static_cast<int>(std::lround(heightUnits_ * density_));
    x0 = std::max(0, static_cast<int>(std::floor(lo[0])) - 1);
    y0 = std::max(0, static_cast<int>(std::floor(lo[1])) - 1);
    x1 = std::min(w, static_cast<int>(std::ceil(hi[0])) + 1);
    y1 = std::min(h, static_cast<int>(std::ceil(hi[1])) + 1);
}

// Coverage of one texel: 1 well inside, 0 well outside, supersampled near the edge.
double Pen::coverage(const Shape& shape, int x, int y, double perTexel) const {
    const Vec2 p = toDesign(x + 0.5, y + 0.5);
    const double d = shape.distance(p.x, p.y) / perTexel;
    // a texel whose centre is farther from the edge than its half diagonal lies on one side
    if (d >= 0.71) return 0.0;
    if (d <= -0.71) return 1.0;
    // Near the edge: a 3x3 supersample keeps corners and thin strokes honest even where the
    // distance is only an estimate (unions, cut-outs).
    double sum = 0;
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 3; ++i) {
            const Vec2 q = toDesign(x + (i + 0.5) / 3, y + (j + 0.5) / 3);
            sum += std::clamp(0.5 - shape.distance(q.x, q.y) / perTexel * 3.0, 0.0, 1.0);
        }
    return sum / 9.0;
}

void Pen::fill(const Shape& shape, const Paint& paint) {
    int x0, y0, x1, y1;
    const double perTexel = unitsPerTexel();
    pixelBounds(shape.bounds.grown(perTexel), x0, y0, x1, y1);
    // Texels are visited in blocks: one distance at a block's centre settles the whole block
    // when the edge is clearly farther away than the block reaches (with a margin, as some
    // distances are estimates).
    constexpr int kBlock = 8;
    const double reach = kBlock * 0.7072 * 1.3 + 2.0;
    for (int by = y0; by < y1; by += kBlock)
        for (int bx = x0; bx < x1; bx += kBlock) {
            const int ex = std::min(bx + kBlock, x1), ey = std::min(by + kBlock, y1);
            const Vec2 c = toDesign((bx + ex) * 0.5, (by + ey) * 0.5);
            const double d = shape.distance(c.x, c.y) / perTexel;
            if (d > reach) continue;
            const bool inside = d < -reach;
            for (int y = by; y < ey; ++y)
                for (int x = bx; x < ex; ++x) {
                    const double k = inside ? 1.0 : coverage(shape, x, y, perTexel);
                    if (k <= 0) continue;
                    const Vec2 p = toDesign(x + 0.5, y + 0.5);
                    canvas_.blend(originX_ + x, originY_ + y, paint(p.x, p.y), k);
                }
        }
}

void Pen::glow(const Shape& shape, const Rgba& colour, double radius) {
    int x0, y0, x1, y1;
    pixelBounds(shape.bounds.grown(radius), x0, y0, x1, y1);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const Vec2 p = toDesign(x + 0.5, y + 0.5);
            const double d = std::max(0.0, shape.distance(p.x, p.y));
            if (d >= radius) continue;
            const double t = 1.0 - d / radius;
            canvas_.blend(originX_ + x, originY_ + y, colour, t * t);
        }
}

void Pen::flood(const Paint& paint) {
    const int w = static_cast<int>(std::lround(widthUnits_ * density_));
    const int h = static_cast<int>(std::lround(heightUnits_ * density_));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Vec2 p = toDesign(x + 0.5, y + 0.5);
            canvas_.blend(originX_ + x, originY_ + y, paint(p.x, p.y), 1.0);
        }
}

}  // namespace assets
