// A floating-point RGBA canvas and the pen that fills signed-distance shapes into it.
// Pictures are described once in design units (pixels of the 1x frame) and rasterised at each
// density's own resolution, so the 2x and 4x sets get real detail instead of enlarged pixels.
#pragma once

#include <functional>
#include <vector>

namespace assets {

// Colours are kept premultiplied while drawing; the PNG writer divides alpha back out.
struct Rgba {
    float r = 0, g = 0, b = 0, a = 0;
};

// From 0..255 components and a 0..1 alpha to a premultiplied colour.
Rgba rgb(int r, int g, int b, float alpha = 1.0f);
Rgba mix(const Rgba& from, const Rgba& to, double t);
Rgba scaled(const Rgba& c, double factor);

// Euclidean length; plain sqrt is several times faster than hypot, and our values are small.
inline double length(double x, double y) {
    return __builtin_sqrt(x * x + y * y);
}

struct Vec2 {
    double x = 0, y = 0;
};

struct Box {
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    static Box everything() { return {-1e9, -1e9, 1e9, 1e9}; }
    Box grown(double by) const { return {x0 - by, y0 - by, x1 + by, y1 + by}; }
};

// A region of the plane: negative distance inside, positive outside, in design units.
struct Shape {
    std::function<double(double, double)> distance;
    Box bounds;
};

// Colour at a point (design units), premultiplied.
using Paint = std::function<Rgba(double, double)>;

Paint solid(const Rgba& c);
Paint linear(Vec2 from, Vec2 to, const Rgba& c0, const Rgba& c1);
Paint radial(Vec2 centre, double radius, const Rgba& inner, const Rgba& outer);

class Canvas {
public:
    Canvas(int width, int height);
    int width() const { return width_; }
    int height() const { return height_; }
    const Rgba& at(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    // Source-over blending of a premultiplied colour, weighted by coverage 0..1.
    void blend(int x, int y, const Rgba& src, double coverage);
    // Copies another canvas in at (x, y), blending over what is there.
    void paste(const Canvas& other, int x, int y);

private:
    int width_, height_;
    std::vector<Rgba> pixels_;
};

// Draws into one rectangle of a canvas. Coordinates are design units with (0, 0) at the
// rectangle's top-left; `density` texels make one design unit. The pen keeps a small affine
// transform (translate, rotate, uniform scale) so parts of a picture can be placed freely.
class Pen {
public:
    Pen(Canvas& canvas, int originX, int originY, int widthUnits, int heightUnits, double density);

    void fill(const Shape& shape, const Paint& paint);
    void fill(const Shape& shape, const Rgba& colour) { fill(shape, solid(colour)); }
    // Soft light around a shape: full strength at its edge, fading over `radius` units.
    void glow(const Shape& shape, const Rgba& colour, double radius);
    // Fills the whole rectangle with a paint (used for backdrops).
    void flood(const Paint& paint);

    void translate(double dx, double dy);
    void rotate(double degrees);
    void scale(double factor);
    void save() { stack_.push_back(m_); }
    void restore();

    double density() const { return density_; }
    int widthUnits() const { return widthUnits_; }
    int heightUnits() const { return heightUnits_; }

private:
    struct Affine {
        double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;  // x' = a x + c y + e, y' = b x + d y + f
    };
    Vec2 toDesign(double px, double py) const;
    void pixelBounds(const Box& b, int& x0, int& y0, int& x1, int& y1) const;
    double unitsPerTexel() const;
    double coverage(const Shape& shape, int x, int y, double perTexel) const;

    Canvas& canvas_;
    int originX_, originY_, widthUnits_, heightUnits_;
    double density_;
    Affine m_;
    std::vector<Affine> stack_;
};

}  // namespace assets
