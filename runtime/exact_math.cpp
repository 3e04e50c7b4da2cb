#include "runtime/exact_math.h"

#include <cmath>

namespace {

// pi/2 in two parts: the first has its low bits zero, so k * kHalfPiHigh is exact for the
// multiples play reaches (angles of a few thousand degrees).
constexpr double kHalfPiHigh = 1.57079632673412561417e+00;
constexpr double kHalfPiLow = 6.07710050650619224932e-11;
constexpr double kInverseHalfPi = 6.36619772367581382433e-01;
constexpr double kPi = 3.14159265358979311600e+00;
constexpr double kHalfPi = 1.57079632679489655800e+00;
constexpr double kSixthPi = 5.23598775598298815658e-01;
constexpr double kSqrt3 = 1.73205080756887719318e+00;
constexpr double kTanTwelfthPi = 2.67949192431122695790e-01;
// Beyond this a turn cannot be told from its neighbours in a double anyway.
constexpr double kLargest = 1e9;

// Taylor series on |x| <= pi/4, highest term first (Horner). The last term dropped is below
// 5e-17 relative there.
double SinKernel(double x) {
    const double z = x * x;
    double p = 1.0 / 1307674368000.0;  // 1/15!
    p = p * -z + 1.0 / 6227020800.0;   // 1/13!
    p = p * -z + 1.0 / 39916800.0;     // 1/11!
    p = p * -z + 1.0 / 362880.0;       // 1/9!
    p = p * -z + 1.0 / 5040.0;         // 1/7!
    p = p * -z + 1.0 / 120.0;          // 1/5!
    p = p * -z + 1.0 / 6.0;            // 1/3!
    return x - x * z * p;
}

double CosKernel(double x) {
    const double z = x * x;
    double p = 1.0 / 20922789888000.0;  // 1/16!
    p = p * -z + 1.0 / 87178291200.0;   // 1/14!
    p = p * -z + 1.0 / 479001600.0;     // 1/12!
    p = p * -z + 1.0 / 3628800.0;       // 1/10!
    p = p * -z + 1.0 / 40320.0;         // 1/8!
    p = p * -z + 1.0 / 720.0;           // 1/6!
    p = p * -z + 1.0 / 24.0;            // 1/4!
    return 1.0 - z * (0.5 - z * p);
}

// x = k * pi/2 + r with |r| <= pi/4; returns r and the quadrant k mod 4.
double Reduce(double x, int* quadrant) {
    const double k = std::floor(x * kInverseHalfPi + 0.5);
    *quadrant = static_cast<int>(k - 4.0 * std::floor(k / 4.0));
    return (x - k * kHalfPiHigh) - k * kHalfPiLow;
}

// atan on 0 <= t <= tan(pi/12), highest term first.
double AtanKernel(double t) {
    const double z = t * t;
    double p = 0.0;
    for (int n = 31; n >= 3; n -= 2) p = p * -z + 1.0 / n;
    return t - t * z * p;
}

// atan on 0 <= t <= 1.
double AtanUnit(double t) {
    if (t <= kTanTwelfthPi) return AtanKernel(t);
    // atan(t) = pi/6 + atan((t * sqrt 3 - 1) / (t + sqrt 3)), which lands within tan(pi/12).
    const double u = (t * kSqrt3 - 1.0) / (t + kSqrt3);
    return u >= 0 ? kSixthPi + AtanKernel(u) : kSixthPi - AtanKernel(-u);
}

}  // namespace

double ExactSin(double radians) {
    if (radians == 0) return radians;  // keeps the sign of a zero
    if (!(std::fabs(radians) < kLargest)) return radians != radians ? radians : 0.0;
    int quadrant = 0;
    const double r = Reduce(radians, &quadrant);
    switch (quadrant) {
        case 0:
            return SinKernel(r);
        case 1:
            return CosKernel(r);
        case 2:
            return -SinKernel(r);
        default:
            return -CosKernel(r);
    }
}

double ExactCos(double radians) {
    if (!(std::fabs(radians) < kLargest)) return radians != radians ? radians : 1.0;
    int quadrant = 0;
    const double r = Reduce(radians, &quadrant);
    switch (quadrant) {
        case 0:
            return CosKernel(r);
        case 1:
            return -SinKernel(r);
        case 2:
            return -CosKernel(r);
        default:
            return SinKernel(r);
    }
}

double ExactAtan2(double y, double x) {
    if (y != y || x != x) return y + x;
    const double ay = std::fabs(y);
    const double ax = std::fabs(x);
    if (ay == 0 && ax == 0) return std::signbit(x) ? std::copysign(kPi, y) : std::copysign(0.0, y);
    if (std::isinf(ay) || std::isinf(ax)) return std::atan2(y, x);  // exact cases, fixed values
    // The angle of (ax, ay) in the first quadrant, from the smaller over the larger side.
    double a = ay <= ax ? AtanUnit(ay / ax) : kHalfPi - AtanUnit(ax / ay);
    if (std::signbit(x)) a = kPi - a;
    return std::signbit(y) ? -a : a;
}
