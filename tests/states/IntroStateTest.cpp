#include "states/IntroState.h"

#include <gtest/gtest.h>

namespace {

TEST(SplashFade, FirstPassDrawsWithOneThousandth) {
    EXPECT_EQ(nextFadeAlpha(0.0f), 0.001f);
}

TEST(SplashFade, AThousandPassesFallJustShortOfOpaqueAndTheNextReachesIt) {
    // The expected value sums 0.001f a thousand times in single precision: the rounding
    // of each step is what leaves it short of 1.
    float expected = 0.0f;
    for (int pass = 0; pass < 1000; ++pass) {
        expected = expected + 0.001f;
    }
    float alpha = 0.0f;
    for (int pass = 0; pass < 1000; ++pass) {
        alpha = nextFadeAlpha(alpha);
    }
    EXPECT_EQ(alpha, expected);
    EXPECT_LT(alpha, 1.0f);
    EXPECT_NEAR(alpha, 0.99999f, 0.000005f);
    EXPECT_EQ(nextFadeAlpha(alpha), 1.0f);
}

TEST(SplashFade, StaysOpaqueOnceReached) {
    EXPECT_EQ(nextFadeAlpha(1.0f), 1.0f);
    EXPECT_EQ(nextFadeAlpha(0.9995f), 1.0f);
}

TEST(SplashCentring, An640By480ImageIn800By600StartsAt80And60) {
    const ScreenOffset at = centredOffset(800, 600, 640, 480);
    EXPECT_EQ(at.x, 80);
    EXPECT_EQ(at.y, 60);
}

TEST(SplashCentring, AnImageTheSizeOfTheWindowFillsIt) {
    const ScreenOffset at = centredOffset(800, 600, 800, 600);
    EXPECT_EQ(at.x, 0);
    EXPECT_EQ(at.y, 0);
}

TEST(SplashCentring, AnImageLargerThanTheWindowGetsNegativeOffsets) {
    const ScreenOffset at = centredOffset(800, 600, 1024, 768);
    EXPECT_EQ(at.x, -112);
    EXPECT_EQ(at.y, -84);
}

TEST(SplashCentring, OddDifferencesTruncateTowardZero) {
    const ScreenOffset smaller = centredOffset(801, 600, 640, 477);
    EXPECT_EQ(smaller.x, 80); // 161 / 2
    EXPECT_EQ(smaller.y, 61); // 123 / 2
    const ScreenOffset larger = centredOffset(800, 600, 803, 611);
    EXPECT_EQ(larger.x, -1); // -3 / 2, not -2
    EXPECT_EQ(larger.y, -5); // -11 / 2, not -6
}

} // namespace
