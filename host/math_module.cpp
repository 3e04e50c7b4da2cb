#include "host/math_module.h"

#include <climits>

int Abs(int value) {
    // The most negative int has no positive twin; it comes back unchanged instead of overflowing.
    if (value == INT_MIN) return value;
    return value < 0 ? -value : value;
}

float Abs(float value) {
    return value < 0.0f ? -value : value;
}
