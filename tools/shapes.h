// Signed-distance shapes in design units, and the few ways the pictures combine them.
#pragma once

#include <vector>

#include "tools/canvas.h"

namespace assets {

Shape circle(double cx, double cy, double r);
// Not an exact distance, but close enough near the edge for anti-aliasing.
Shape ellipse(double cx, double cy, double rx, double ry);
Shape box(double x0, double y0, double x1, double y1);
Shape roundBox(double x0, double y0, double x1, double y1, double radius);
// A stroke with round caps from a to b, `width` units wide.
Shape capsule(Vec2 a, Vec2 b, double width);
Shape ring(double cx, double cy, double radius, double width);
// A filled polygon (either winding).
Shape polygon(const std::vector<Vec2>& points);
// A polyline stroke with round joins.
Shape polyline(const std::vector<Vec2>& points, double width);
// An arc stroke of a circle from angle a0 to a1 (degrees, 0 = up, clockwise).
Shape arc(double cx, double cy, double radius, double a0, double a1, double width);

Shape unite(const Shape& a, const Shape& b);
Shape intersect(const Shape& a, const Shape& b);
Shape subtract(const Shape& a, const Shape& b);
// Grows (positive) or shrinks (negative) a shape by `by` units.
Shape offset(const Shape& s, double by);
// Just the outline of a shape, `width` units wide, centred on its edge.
Shape outline(const Shape& s, double width);
// The shape turned by `degrees` about (cx, cy).
Shape rotated(const Shape& s, double degrees, double cx, double cy);
Shape moved(const Shape& s, double dx, double dy);

// Point on a circle at `degrees` (0 = up, clockwise), the convention every picture uses.
Vec2 polar(double cx, double cy, double radius, double degrees);

}  // namespace assets
