// The trigonometry play depends on, computed the same way on every build. The C libraries of
// the desktop (glibc) and the browser (musl in emscripten) round sin, cos and atan2 each their
// own way in the last bit, and a replay recorded on one must play to the same score on the
// other: these are plain polynomial evaluations with + - * / and nothing else, compiled into
// both builds, so with contraction off (-ffp-contract=off) every step rounds identically.
// Accurate to about one unit in the last place of a double, far below what the float results
// the game keeps can tell apart.
//
// sqrt and floor need no such care: IEEE 754 makes sqrt correctly rounded and floor exact on
// every conforming build. Play calls no pow.
#pragma once

double ExactSin(double radians);
double ExactCos(double radians);
// The angle of (x, y) from the positive x axis, as atan2(y, x) defines it, -pi..pi.
double ExactAtan2(double y, double x);
