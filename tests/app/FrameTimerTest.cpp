#include "app/FrameTimer.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

std::uint32_t fakeNow = 0;
std::uint32_t fakeClock() {
    return fakeNow;
}

// A timer on a clock the test moves by hand.
class FrameTimerOnFakeClock : public ::testing::Test {
  protected:
    FrameTimerOnFakeClock() : timer((fakeNow = 5000, &fakeClock)) {}

    void tickAfter(std::uint32_t milliseconds) {
        fakeNow += milliseconds;
        timer.Tick();
    }

    FrameTimer timer;
};

TEST_F(FrameTimerOnFakeClock, ConstructionClearsEverythingAndReadsTheClock) {
    EXPECT_EQ(timer.lastTime, 5000u);
    EXPECT_EQ(timer.averageFrameTime, 0u);
    EXPECT_EQ(timer.deltaSeconds, 0.0f);
    EXPECT_EQ(timer.frameCount, 0u);
    for (std::uint32_t t : timer.frameTimes) {
        EXPECT_EQ(t, 0u);
    }
}

TEST_F(FrameTimerOnFakeClock, FirstTickWithinTheSameMillisecondLastsZero) {
    tickAfter(0);
    EXPECT_EQ(timer.frameTimes[0], 0u);
    EXPECT_EQ(timer.deltaSeconds, 0.0f);
    EXPECT_EQ(timer.averageFrameTime, 0u);
    EXPECT_EQ(timer.frameCount, 1u);
}

TEST_F(FrameTimerOnFakeClock, TickWithinTheSameMillisecondLastsTheMeanOfEarlierFrames) {
    tickAfter(10);
    tickAfter(21);
    ASSERT_EQ(timer.averageFrameTime, 15u); // 31 / 2, truncated
    tickAfter(0);
    EXPECT_EQ(timer.frameTimes[2], 15u);
    EXPECT_EQ(timer.deltaSeconds, 0.015f);
    EXPECT_EQ(timer.averageFrameTime, 15u); // (10 + 21 + 15) / 3
    EXPECT_EQ(timer.lastTime, 5031u);
}

TEST_F(FrameTimerOnFakeClock, FramesOf10And20And30HaveRunningMeans10And15And20) {
    tickAfter(10);
    EXPECT_EQ(timer.averageFrameTime, 10u);
    EXPECT_EQ(timer.deltaSeconds, 0.01f);
    tickAfter(20);
    EXPECT_EQ(timer.averageFrameTime, 15u);
    EXPECT_EQ(timer.deltaSeconds, 0.02f);
    tickAfter(30);
    EXPECT_EQ(timer.averageFrameTime, 20u);
    EXPECT_EQ(timer.deltaSeconds, 0.03f);
    EXPECT_EQ(timer.frameCount, 3u);
}

TEST_F(FrameTimerOnFakeClock, TheMeanFollowsOnlyTheLastTenFrames) {
    tickAfter(100);
    for (int i = 0; i < 9; ++i) {
        tickAfter(10);
    }
    EXPECT_EQ(timer.averageFrameTime, 19u); // (100 + 9 * 10) / 10
    tickAfter(10);                          // the eleventh overwrites the first slot
    EXPECT_EQ(timer.frameTimes[0], 10u);
    EXPECT_EQ(timer.averageFrameTime, 10u);
    EXPECT_EQ(timer.frameCount, 11u);
}

TEST_F(FrameTimerOnFakeClock, AClockWrappingPast2To32GivesThePreviousMean) {
    fakeNow = 0xFFFFFFF0u;
    timer.Reset();
    tickAfter(4);
    tickAfter(8);
    ASSERT_EQ(timer.averageFrameTime, 6u);
    fakeNow = 5; // 9 ms later, through the wrap
    timer.Tick();
    EXPECT_EQ(timer.frameTimes[2], 6u);
    EXPECT_EQ(timer.deltaSeconds, 0.006f);
    EXPECT_EQ(timer.lastTime, 5u);
    tickAfter(12); // measured normally again from the wrapped reading
    EXPECT_EQ(timer.frameTimes[3], 12u);
}

TEST_F(FrameTimerOnFakeClock, AClockGoingBackwardsGivesThePreviousMean) {
    tickAfter(40);
    fakeNow -= 1;
    timer.Tick();
    EXPECT_EQ(timer.frameTimes[1], 40u);
}

TEST_F(FrameTimerOnFakeClock, A17MillisecondFrameIs0Point017SecondsInSinglePrecision) {
    tickAfter(17);
    EXPECT_EQ(timer.deltaSeconds, 0.017f);
}

TEST_F(FrameTimerOnFakeClock, OneMillisecondAndOneSecondConvertExactly) {
    tickAfter(1);
    EXPECT_EQ(timer.deltaSeconds, 0.001f);
    tickAfter(1000);
    EXPECT_EQ(timer.deltaSeconds, 1.0f);
}

TEST_F(FrameTimerOnFakeClock, ResetClearsTheHistoryAndRereadsTheClock) {
    tickAfter(100);
    tickAfter(50);
    fakeNow = 90000;
    timer.Reset();
    EXPECT_EQ(timer.lastTime, 90000u);
    EXPECT_EQ(timer.frameCount, 0u);
    EXPECT_EQ(timer.averageFrameTime, 0u);
    EXPECT_EQ(timer.deltaSeconds, 0.0f);
    for (std::uint32_t t : timer.frameTimes) {
        EXPECT_EQ(t, 0u);
    }
    tickAfter(12); // the mean covers only the frames since the reset
    EXPECT_EQ(timer.frameTimes[0], 12u);
    EXPECT_EQ(timer.averageFrameTime, 12u);
}

TEST_F(FrameTimerOnFakeClock, AWrappedFrameCountNeverDividesByZero) {
    for (int i = 0; i < 10; ++i) {
        tickAfter(10);
    }
    timer.frameCount = 0xFFFFFFFFu;
    tickAfter(20);
    EXPECT_EQ(timer.frameTimes[5], 20u); // 0xFFFFFFFF mod 10, taken before the count wraps
    EXPECT_EQ(timer.frameCount, 0u);
    EXPECT_EQ(timer.deltaSeconds, 0.02f);
    EXPECT_GE(timer.averageFrameTime, 10u);
    EXPECT_LE(timer.averageFrameTime, 20u);
    tickAfter(30);
    EXPECT_EQ(timer.frameCount, 1u);
    EXPECT_GE(timer.averageFrameTime, 10u);
    EXPECT_LE(timer.averageFrameTime, 30u);
}

TEST(FrameTimerOnSystemClock, NeverRunsBackwardsBetweenTwoReadings) {
    const std::uint32_t first = FrameTimer::systemClock();
    const std::uint32_t second = FrameTimer::systemClock();
    // Unsigned difference, so a reading across the 2^32 wrap still counts as forward.
    EXPECT_LT(static_cast<std::uint32_t>(second - first), 0x80000000u);
}

} // namespace
