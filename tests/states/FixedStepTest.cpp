#include "states/FixedStep.h"
#include "physics/TimeStep.h"

#include <gtest/gtest.h>

namespace {

// What the frame timer hands over for a frame of whole milliseconds.
float frameSeconds(double milliseconds) {
    return static_cast<float>(milliseconds / 1000.0);
}

struct FrameCase {
    double milliseconds;
    int steps;
    float remainder; // exact single-precision accumulator after the pass
};

class FixedStepFromEmpty : public ::testing::TestWithParam<FrameCase> {};

TEST_P(FixedStepFromEmpty, RunsWholeStepsAndCarriesTheRest) {
    const FrameCase c = GetParam();
    float accumulator = 0.0f;
    EXPECT_EQ(takeFixedSteps(accumulator, frameSeconds(c.milliseconds), timeStep), c.steps);
    EXPECT_EQ(accumulator, c.remainder);
    EXPECT_LT(interpolationFactor(accumulator, timeStep), 1.0f);
}

INSTANTIATE_TEST_SUITE_P(
    Frames, FixedStepFromEmpty,
    ::testing::Values(FrameCase{0, 0, 0.0f}, FrameCase{16, 0, 0.016f},
                      FrameCase{17, 1, 0.017f - timeStep},
                      // 50 ms is just short of three steps in single precision.
                      FrameCase{50, 2, (0.05f - timeStep) - timeStep},
                      FrameCase{100, 6, 3.7252903e-09f}, FrameCase{1000, 60, 2.79396772e-07f},
                      // A stall of days: a step no longer changes the accumulator.
                      FrameCase{1e9, 0, 0.0f}, FrameCase{1e12, 0, 0.0f}));

TEST(FixedStep, InterpolatesAndCompletesAStepFromTheRemainder) {
    float accumulator = 0.0f;
    takeFixedSteps(accumulator, frameSeconds(16), timeStep);
    EXPECT_EQ(interpolationFactor(accumulator, timeStep), 0.016f / 0.016666668f);
    takeFixedSteps(accumulator, frameSeconds(50), timeStep);
    EXPECT_EQ(takeFixedSteps(accumulator, frameSeconds(1), timeStep), 1);
}

TEST(FixedStep, LongStallWhereStepsStillCountIsCaughtUpInFull) {
    // At 2^18 s each step still takes something off, if less than a step: all are run.
    float accumulator = 0.0f;
    const int steps = takeFixedSteps(accumulator, 262144.0f, timeStep);
    EXPECT_GT(steps, 15000000);
    EXPECT_LT(accumulator, timeStep);
}

} // namespace
