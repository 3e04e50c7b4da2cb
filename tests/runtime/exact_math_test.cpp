// The project's own sin, cos and atan2 agree with the C library to within a couple of units in
// the last place of a double (so play is what it was), and keep the exact values and signs the
// functions must have.
#include "runtime/exact_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

int64_t Ulps(double a, double b) {
    int64_t ia = 0;
    int64_t ib = 0;
    std::memcpy(&ia, &a, 8);
    std::memcpy(&ib, &b, 8);
    if (ia < 0) ia = INT64_MIN - ia;
    if (ib < 0) ib = INT64_MIN - ib;
    return ia > ib ? ia - ib : ib - ia;
}

// Close in units in the last place, or in absolute terms near a zero of the function.
void ExpectNear(double got, double want, const char* what, double at) {
    const bool close = Ulps(got, want) <= 4 || std::fabs(got - want) < 1e-16;
    EXPECT_TRUE(close) << what << "(" << at << "): " << got << " vs " << want;
}

TEST(ExactMath, SinAndCosFollowTheLibraryOverTheAnglesPlayUses) {
    // Every tenth of a degree over ten turns either way, in radians as the game makes them.
    for (int tenth = -36000; tenth <= 36000; ++tenth) {
        const double r = static_cast<double>(static_cast<float>(tenth * 0.1f) * 0.017453292f);
        ExpectNear(ExactSin(r), std::sin(r), "sin", r);
        ExpectNear(ExactCos(r), std::cos(r), "cos", r);
    }
}

TEST(ExactMath, Atan2FollowsTheLibraryInEveryQuadrant) {
    const double sides[] = {0.0, 1e-300, 1e-8, 0.25, 0.2679491924311227, 0.5, 1.0,
                            1.7, 3.0,    1e6,  1e300};
    for (const double y : sides) {
        for (const double x : sides) {
            for (const double sy : {1.0, -1.0}) {
                for (const double sx : {1.0, -1.0}) {
                    ExpectNear(ExactAtan2(sy * y, sx * x), std::atan2(sy * y, sx * x), "atan2", y);
                }
            }
        }
    }
    for (int i = -500; i <= 500; ++i) {
        ExpectNear(ExactAtan2(i * 0.37, 13.0 - i * 0.05), std::atan2(i * 0.37, 13.0 - i * 0.05),
                   "atan2", i);
    }
}

TEST(ExactMath, ExactValuesAndSigns) {
    EXPECT_EQ(ExactSin(0.0), 0.0);
    EXPECT_TRUE(std::signbit(ExactSin(-0.0)));
    EXPECT_EQ(ExactCos(0.0), 1.0);
    EXPECT_TRUE(std::isnan(ExactSin(NAN)));
    EXPECT_TRUE(std::isnan(ExactAtan2(NAN, 1.0)));
    EXPECT_EQ(ExactAtan2(0.0, 1.0), 0.0);
    EXPECT_TRUE(std::signbit(ExactAtan2(-0.0, 1.0)));
    EXPECT_EQ(ExactAtan2(0.0, -1.0), std::atan2(0.0, -1.0));
    EXPECT_EQ(ExactAtan2(1.0, 0.0), std::atan2(1.0, 0.0));
}

}  // namespace
