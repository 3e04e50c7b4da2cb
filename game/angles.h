// Degree-based trigonometry as the play field uses it: angles are whole-screen degrees,
// 0 pointing up, and the conversion factor is the single-precision pi/180 so that replays of a
// seeded game land on exactly the same pixels. The functions are the project's own
// (runtime/exact_math.h), so the desktop and the browser play the same game.
#pragma once

#include "runtime/exact_math.h"

namespace vexmo {

constexpr float kDegToRad = 0.017453292f;
constexpr float kRadToDeg = 57.29578f;

inline float SinDeg(float degrees) {
    return static_cast<float>(ExactSin(static_cast<double>(degrees * kDegToRad)));
}

inline float CosDeg(float degrees) {
    return static_cast<float>(ExactCos(static_cast<double>(degrees * kDegToRad)));
}

// Angle of the vector (x, y) measured from the y axis, in degrees (-180..180).
inline float ATan2Deg(float x, float y) {
    return static_cast<float>(ExactAtan2(static_cast<double>(x), static_cast<double>(y))) *
           kRadToDeg;
}

}  // namespace vexmo
