#include "states/FixedStep.h"
#include "physics/TimeStep.h"

#include <gtest/gtest.h>

namespace {

// What the frame timer hands over for a frame of whole milliseconds.
float frameSeconds(unsigned milliseconds) {
    return static_cast<float>(milliseconds / 1000.0);
}

int stepsFromEmpty(unsigned milliseconds, float& accumulator) {
    accumulator = 0.0f;
    return takeFixedSteps(accumulator, frameSeconds(milliseconds), timeStep);
}

TEST(FixedStep, SixteenMillisecondsRunsNoStepAndInterpolatesAtPointNineSix) {
    float accumulator = 0.0f;
    EXPECT_EQ(stepsFromEmpty(16, accumulator), 0);
    EXPECT_EQ(accumulator, 0.016f);
    EXPECT_EQ(interpolationFactor(accumulator, timeStep), 0.016f / 0.016666668f);
    EXPECT_NEAR(interpolationFactor(accumulator, timeStep), 0.96f, 1e-6f);
}

TEST(FixedStep, SeventeenMillisecondsRunsOneStep) {
    float accumulator = 0.0f;
    EXPECT_EQ(stepsFromEmpty(17, accumulator), 1);
    EXPECT_EQ(accumulator, 0.017f - timeStep);
}

TEST(FixedStep, FiftyMillisecondsRunsTwoStepsAndTheNextPassCompletesTheThird) {
    float accumulator = 0.0f;
    EXPECT_EQ(stepsFromEmpty(50, accumulator), 2);
    EXPECT_LT(accumulator, timeStep);
    EXPECT_GT(accumulator, timeStep * 0.999f);
    const float factor = interpolationFactor(accumulator, timeStep);
    EXPECT_LT(factor, 1.0f);
    // The remainder carries over: any further millisecond completes the step.
    EXPECT_EQ(takeFixedSteps(accumulator, frameSeconds(1), timeStep), 1);
}

TEST(FixedStep, LongFramesCatchUpStepByStep) {
    float accumulator = 0.0f;
    EXPECT_EQ(stepsFromEmpty(100, accumulator), 6);
    EXPECT_EQ(stepsFromEmpty(1000, accumulator), 60);
    EXPECT_GE(accumulator, 0.0f);
    EXPECT_LT(accumulator, timeStep);
}

TEST(FixedStep, AccumulatorAlwaysEndsBelowOneStep) {
    float accumulator = 0.0f;
    for (unsigned ms = 0; ms < 200; ++ms) {
        takeFixedSteps(accumulator, frameSeconds(ms % 37), timeStep);
        ASSERT_GE(accumulator, 0.0f);
        ASSERT_LT(accumulator, timeStep);
    }
}

} // namespace
