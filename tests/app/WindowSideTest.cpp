#include "app/GameEngine.h"

#include <climits>
#include <gtest/gtest.h>

namespace {

TEST(WindowSide, ZeroStandsForTheDesktopsSide) {
    EXPECT_EQ(windowSide(0, 1920), 1920);
    EXPECT_EQ(windowSide(0, 768), 768);
}

TEST(WindowSide, SidesFromOnePixelToTheLargestAreAskedForAsTheyAre) {
    EXPECT_EQ(windowSide(1, 1920), 1);
    EXPECT_EQ(windowSide(800, 1920), 800);
    EXPECT_EQ(windowSide(4096, 1024), 4096);
    EXPECT_EQ(windowSide(largestWindowSide, 1024), largestWindowSide);
}

TEST(WindowSide, NegativeSidesHaveNoWindow) {
    EXPECT_EQ(windowSide(-1, 1920), 0);
    EXPECT_EQ(windowSide(INT_MIN, 1920), 0);
}

TEST(WindowSide, SidesBeyondTheLargestHaveNoWindow) {
    EXPECT_EQ(windowSide(largestWindowSide + 1, 1920), 0);
    EXPECT_EQ(windowSide(65535, 1920), 0);
    EXPECT_EQ(windowSide(INT_MAX, 1920), 0);
}

TEST(WindowSide, ADesktopThatReportsNoSizeHasNoWindowForZero) {
    EXPECT_EQ(windowSide(0, 0), 0);
}

} // namespace
