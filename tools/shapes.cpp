#include "tools/shapes.h"

#include <algorithm>
#include <cmath>

namespace assets {
namespace {

double segmentDistance(double px, double py, Vec2 a, Vec2 b) {
    const double bx = b.x - a.x, by = b.y - a.y;
    const double len2 = bx * bx + by * by;
    const double t =
        len2 > 0 ? std::clamp(((px - a.x) * bx + (py - a.y) * by) / len2, 0.0, 1.0) : 0.0;
    return length(px - a.x - bx * t, py - a.y - by * t);
}

Box boundsOf(const std::vector<Vec2>& pts) {
    Box b{1e18, 1e18, -1e18, -1e18};
    for (const Vec2& p : pts) {
        b.x0 = std::min(b.x0, p.x), b.y0 = std::min(b.y0, p.y);
        b.x1 = std::max(b.x1, p.x), b.y1 = std::max(b.y1, p.y);
    }
    return b;
}

Box unionBox(const Box& a, const Box& b) {
    return {std::min(a.x0, b.x0), std::min(a.y0, b.y0), std::max(a.x1, b.x1), std::max(a.y1, b.y1)};
}

Box intersectBox(const Box& a, const Box& b) {
    return {std::max(a.x0, b.x0), std::max(a.y0, b.y0), std::min(a.x1, b.x1), std::min(a.y1, b.y1)};
}

}  // namespace

Vec2 polar(double cx, double cy, double radius, double degrees) {
    const double r = degrees * M_PI / 180.0;
    return {cx + std::sin(r) * radius, cy - std::cos(r) * radius};
}

Shape circle(double cx, double cy, double r) {
    return {[=](double x, double y) { return length(x - cx, y - cy) - r; },
            {cx - r, cy - r, cx + r, cy + r}};
}

Shape ellipse(double cx, double cy, double rx, double ry) {
    return {[=](double x, double y) {
                const double nx = (x - cx) / rx, ny = (y - cy) / ry;
                const double k = length(nx, ny);
                if (k < 1e-9) return -std::min(rx, ry);
                // distance scaled by the local gradient length: a good edge estimate
                const double gx = nx / rx, gy = ny / ry;
                return (k - 1.0) * k / length(gx, gy);
            },
            {cx - rx, cy - ry, cx + rx, cy + ry}};
}

Shape box(double x0, double y0, double x1, double y1) {
    return roundBox(x0, y0, x1, y1, 0.0);
}

Shape roundBox(double x0, double y0, double x1, double y1, double radius) {
    const double cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
    const double hx = (x1 - x0) / 2 - radius, hy = (y1 - y0) / 2 - radius;
    return {[=](double x, double y) {
                const double qx = std::fabs(x - cx) - hx, qy = std::fabs(y - cy) - hy;
                return length(std::max(qx, 0.0), std::max(qy, 0.0)) +
                       std::min(std::max(qx, qy), 0.0) - radius;
            },
            {x0, y0, x1, y1}};
}

Shape capsule(Vec2 a, Vec2 b, double width) {
    const double h = width / 2;
    return {[=](double x, double y) { return segmentDistance(x, y, a, b) - h; },
            {std::min(a.x, b.x) - h, std::min(a.y, b.y) - h, std::max(a.x, b.x) + h,
             std::max(a.y, b.y) + h}};
}

Shape ring(double cx, double cy, double radius, double width) {
    const double outer = radius + width / 2;
    return {
        [=](double x, double y) { return std::fabs(length(x - cx, y - cy) - radius) - width / 2; },
        {cx - outer, cy - outer, cx + outer, cy + outer}};
}

Shape polygon(const std::vector<Vec2>& pts) {
    // edges with their reciprocal squared lengths, so the per-texel loop never divides
    struct Edge {
        double ax, ay, dx, dy, inv;
    };
    std::vector<Edge> edges;
    for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
        const double dx = pts[i].x - pts[j].x, dy = pts[i].y - pts[j].y;
        const double len2 = dx * dx + dy * dy;
        edges.push_back({pts[j].x, pts[j].y, dx, dy, len2 > 0 ? 1.0 / len2 : 0.0});
    }
    return {[edges](double x, double y) {
                double best = 1e300;
                bool inside = false;
                for (const Edge& e : edges) {
                    const double px = x - e.ax, py = y - e.ay;
                    const double t = std::clamp((px * e.dx + py * e.dy) * e.inv, 0.0, 1.0);
                    const double qx = px - e.dx * t, qy = py - e.dy * t;
                    best = std::min(best, qx * qx + qy * qy);
                    // crossing test on the edge from (ax, ay) to (ax + dx, ay + dy)
                    const double by = e.ay + e.dy;
                    if ((e.ay > y) != (by > y) && x < e.ax + e.dx * (y - e.ay) / e.dy)
                        inside = !inside;
                }
                const double d = std::sqrt(best);
                return inside ? -d : d;
            },
            boundsOf(pts)};
}

Shape polyline(const std::vector<Vec2>& pts, double width) {
    const double h = width / 2;
    return {[pts, h](double x, double y) {
                double d = 1e18;
                for (size_t i = 1; i < pts.size(); ++i)
                    d = std::min(d, segmentDistance(x, y, pts[i - 1], pts[i]));
                return d - h;
            },
            boundsOf(pts).grown(h)};
}

Shape arc(double cx, double cy, double radius, double a0, double a1, double width) {
    const double mid = (a0 + a1) / 2, half = std::fabs(a1 - a0) / 2;
    const Vec2 e0 = polar(cx, cy, radius, a0), e1 = polar(cx, cy, radius, a1);
    const double h = width / 2;
    return {[=](double x, double y) {
                // angle of the point measured like polar(): 0 up, clockwise
                double ang = std::atan2(x - cx, -(y - cy)) * 180.0 / M_PI - mid;
                while (ang > 180) ang -= 360;
                while (ang < -180) ang += 360;
                if (std::fabs(ang) <= half) return std::fabs(length(x - cx, y - cy) - radius) - h;
                return std::min(length(x - e0.x, y - e0.y), length(x - e1.x, y - e1.y)) - h;
            },
            {cx - radius - h, cy - radius - h, cx + radius + h, cy + radius + h}};
}

Shape unite(const Shape& a, const Shape& b) {
    return {[a, b](double x, double y) { return std::min(a.distance(x, y), b.distance(x, y)); },
            unionBox(a.bounds, b.bounds)};
}

Shape intersect(const Shape& a, const Shape& b) {
    return {[a, b](double x, double y) { return std::max(a.distance(x, y), b.distance(x, y)); },
            intersectBox(a.bounds, b.bounds)};
}

Shape subtract(const Shape& a, const Shape& b) {
    return {[a, b](double x, double y) { return std::max(a.distance(x, y), -b.distance(x, y)); },
            a.bounds};
}

Shape offset(const Shape& s, double by) {
    return {[s, by](double x, double y) { return s.distance(x, y) - by; },
            s.bounds.grown(std::max(by, 0.0))};
}

Shape outline(const Shape& s, double width) {
    return {[s, width](double x, double y) { return std::fabs(s.distance(x, y)) - width / 2; },
            s.bounds.grown(width / 2)};
}

Shape rotated(const Shape& s, double degrees, double cx, double cy) {
    const double r = degrees * M_PI / 180.0, cs = std::cos(r), sn = std::sin(r);
    // bounds: rotate the four corners
    const Box& b = s.bounds;
    std::vector<Vec2> corners;
    for (double bx : {b.x0, b.x1})
        for (double by : {b.y0, b.y1}) {
            const double dx = bx - cx, dy = by - cy;
            corners.push_back({cx + dx * cs - dy * sn, cy + dx * sn + dy * cs});
        }
    return {[s, cs, sn, cx, cy](double x, double y) {
                const double dx = x - cx, dy = y - cy;
                return s.distance(cx + dx * cs + dy * sn, cy - dx * sn + dy * cs);
            },
            boundsOf(corners)};
}

Shape moved(const Shape& s, double dx, double dy) {
    const Box& b = s.bounds;
    return {[s, dx, dy](double x, double y) { return s.distance(x - dx, y - dy); },
            {b.x0 + dx, b.y0 + dy, b.x1 + dx, b.y1 + dy}};
}

}  // namespace assets
