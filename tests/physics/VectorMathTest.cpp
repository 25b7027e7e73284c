#include "physics/Vector3.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr float nan = std::numeric_limits<float>::quiet_NaN();

TEST(VectorMath, SquareRootOfTwoIsTheSinglePrecisionConstant) {
    EXPECT_EQ(squareRootOfTwo, 1.4142135f);
    EXPECT_EQ(squareRoot(2.0f), squareRootOfTwo);
    EXPECT_EQ(squareRoot(0.125f), 0.35355338f);
}

TEST(VectorMath, NormalizeDividesByTheLength) {
    const Vector3 v = normalize({3.0f, 0.0f, -4.0f});
    EXPECT_EQ(v.x, 0.6f);
    EXPECT_EQ(v.y, 0.0f);
    EXPECT_EQ(v.z, -0.8f);

    const Vector3 diagonal = normalize({1.0f, 1.0f, 0.0f});
    EXPECT_EQ(diagonal.x, 1.0f / squareRootOfTwo);
    EXPECT_EQ(diagonal.y, 1.0f / squareRootOfTwo);
}

TEST(VectorMath, NormalizeOfNothingUsableIsTheZeroVector) {
    const Vector3 cases[] = {
        {0.0f, 0.0f, 0.0f},   {-0.0f, 0.0f, -0.0f},
        {1e-30f, 0.0f, 0.0f}, // its square underflows to a zero length
        {nan, 1.0f, 1.0f},    {1.0f, nan, 0.0f},
    };
    for (const Vector3& v : cases) {
        const Vector3 n = normalize(v);
        EXPECT_EQ(n.x, 0.0f);
        EXPECT_EQ(n.y, 0.0f);
        EXPECT_EQ(n.z, 0.0f);
    }
}

TEST(VectorMath, NormalizeOfATinyButNonZeroLengthStillDivides) {
    // 1e-20 squared is a subnormal float, still greater than zero.
    const Vector3 n = normalize({1e-20f, 0.0f, 0.0f});
    EXPECT_NEAR(n.x, 1.0f, 1e-3f);
}

TEST(VectorMath, PlaneNormalFacesTheSideFromWhichThePointsRunClockwise) {
    // Seen from above, (0, 1) -> (1, 0) -> (0, 0) runs clockwise.
    const Plane plane = planeFromPoints({0.0f, 1.0f, 5.0f}, {1.0f, 0.0f, 5.0f}, {0.0f, 0.0f, 5.0f});
    EXPECT_EQ(plane.normal.x, 0.0f);
    EXPECT_EQ(plane.normal.y, 0.0f);
    EXPECT_EQ(plane.normal.z, 1.0f);
    EXPECT_EQ(plane.point.x, 0.0f);
    EXPECT_EQ(plane.point.y, 0.0f);
    EXPECT_EQ(plane.point.z, 5.0f);
    EXPECT_EQ(plane.d, -5.0f);

    // The same points in the other order face down.
    const Plane flipped =
        planeFromPoints({1.0f, 0.0f, 5.0f}, {0.0f, 1.0f, 5.0f}, {0.0f, 0.0f, 5.0f});
    EXPECT_EQ(flipped.normal.z, -1.0f);
    EXPECT_EQ(flipped.d, 5.0f);
}

TEST(VectorMath, TiltedPlaneFacesTheOriginWhichLiesOnItsPositiveSide) {
    // The plane x + y + z = 1; seen from the origin the three points run clockwise.
    const Plane plane = planeFromPoints({0.0f, 0.0f, 1.0f}, {1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f});
    const float third = 1.0f / squareRoot(3.0f);
    EXPECT_EQ(plane.normal.x, -third);
    EXPECT_EQ(plane.normal.y, -third);
    EXPECT_EQ(plane.normal.z, -third);
    EXPECT_EQ(plane.point.y, 1.0f);
    EXPECT_EQ(plane.d, third); // signed distance of the origin
}

TEST(VectorMath, PlaneThroughCollinearPointsHasZeroNormalAndOffset) {
    const Plane plane = planeFromPoints({0.0f, 0.0f, 0.0f}, {1.0f, 1.0f, 1.0f}, {2.0f, 2.0f, 2.0f});
    EXPECT_EQ(plane.normal.x, 0.0f);
    EXPECT_EQ(plane.normal.y, 0.0f);
    EXPECT_EQ(plane.normal.z, 0.0f);
    EXPECT_EQ(plane.d, 0.0f);
    EXPECT_EQ(plane.point.x, 2.0f);
}

} // namespace
