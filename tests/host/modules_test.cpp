#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "host/math_module.h"
#include "host/random.h"

namespace {

class RandomTest : public ::testing::Test {
protected:
    void SetUp() override { Seed = 1234; }
};

TEST_F(RandomTest, OneStepFrom1234) {
    const float value = Rnd();
    EXPECT_EQ(static_cast<unsigned int>(Seed), 3067928073u);
    EXPECT_FLOAT_EQ(value, 11984094.0f / 16777216.0f);
    EXPECT_NEAR(value, 0.7143, 1e-4);
}

TEST_F(RandomTest, StepWrapsModulo2To32) {
    EXPECT_EQ(NextSeed(0), 1013904223);
    EXPECT_EQ(static_cast<unsigned int>(NextSeed(-1)), 4294967295u * 1664525u + 1013904223u);
    EXPECT_EQ(static_cast<unsigned int>(NextSeed(INT_MIN)), 2147483648u * 1664525u + 1013904223u);
}

TEST_F(RandomTest, ValuesStayInTheUnitInterval) {
    for (int i = 0; i < 10000; ++i) {
        const float value = Rnd();
        ASSERT_GE(value, 0.0f);
        ASSERT_LT(value, 1.0f);
    }
}

TEST_F(RandomTest, RangeFormsScaleTheSameDraw) {
    Seed = 1234;
    const float unit = Rnd();
    Seed = 1234;
    EXPECT_FLOAT_EQ(Rnd(10.0f), unit * 10.0f);
    Seed = 1234;
    EXPECT_FLOAT_EQ(Rnd(-2.0f, 6.0f), -2.0f + 8.0f * unit);
    EXPECT_EQ(static_cast<unsigned int>(Seed), 3067928073u);
}

TEST(MathModule, AbsOfInts) {
    EXPECT_EQ(Abs(-5), 5);
    EXPECT_EQ(Abs(7), 7);
    EXPECT_EQ(Abs(0), 0);
    EXPECT_EQ(Abs(INT_MAX), INT_MAX);
    EXPECT_EQ(Abs(INT_MIN), INT_MIN);  // no positive twin; must not overflow
}

TEST(MathModule, AbsOfFloatsKeepsNegativeZero) {
    EXPECT_EQ(Abs(-2.5f), 2.5f);
    EXPECT_EQ(Abs(2.5f), 2.5f);
    EXPECT_TRUE(std::signbit(Abs(-0.0f)));
}

}  // namespace
