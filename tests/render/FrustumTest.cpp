#include "render/Frustum.h"

#include <gtest/gtest.h>

namespace {

void expectVector(Vector3 actual, Vector3 expected) {
    EXPECT_EQ(actual.x, expected.x);
    EXPECT_EQ(actual.y, expected.y);
    EXPECT_EQ(actual.z, expected.z);
}

void expectNear(Vector3 actual, Vector3 expected) {
    EXPECT_NEAR(actual.x, expected.x, 1e-7);
    EXPECT_NEAR(actual.y, expected.y, 1e-7);
    EXPECT_NEAR(actual.z, expected.z, 1e-7);
}

float distance(const Plane& plane, Vector3 p) {
    return ((plane.normal.x * p.x + plane.normal.y * p.y) + plane.normal.z * p.z) + plane.d;
}

// cos of the single-precision pi/2 leaves this much in the "zero" components.
constexpr float residue = 0x1.777a5cp-25f;

TEST(ViewBasis, LevelLookAlongYHasUpZAndRightX) {
    const ViewBasis b = viewBasis(0.0f, 0.0f);
    expectVector(b.direction, {-residue, 1.0f, -residue});
    expectVector(b.up, {-0.0f, 0.0f, 1.0f});
    expectVector(b.right, {1.0f, residue, 0.0f});
}

TEST(ViewBasis, YawNinetyTurnsTheLookToMinusX) {
    const ViewBasis b = viewBasis(90.0f, 0.0f);
    expectVector(b.direction, {-1.0f, -2.0f * residue, -residue});
    expectNear(b.up, {0.0f, 0.0f, 1.0f});
    expectNear(b.right, {0.0f, 1.0f, 0.0f});
}

TEST(ViewBasis, StraightUpAndDown) {
    const ViewBasis up = viewBasis(0.0f, 90.0f);
    expectVector(up.direction, {-0.0f, 0.0f, 1.0f});
    // (-cos theta, -sin theta, 0) within rounding.
    expectNear(up.up, {0.0f, -1.0f, 0.0f});
    expectNear(up.right, {1.0f, 0.0f, 0.0f});

    const ViewBasis down = viewBasis(0.0f, -90.0f);
    expectNear(down.direction, {0.0f, 0.0f, -1.0f});
    EXPECT_EQ(down.direction.z, -1.0f);
    expectNear(down.up, {0.0f, 1.0f, 0.0f});

    const ViewBasis turnedUp = viewBasis(90.0f, 90.0f);
    expectNear(turnedUp.up, {1.0f, 0.0f, 0.0f});
}

TEST(ViewBasis, OddAnglesToTheLastBit) {
    const ViewBasis b = viewBasis(30.0f, 45.0f);
    expectVector(b.direction, {-0x1.6a09e8p-2f, 0x1.3988ep-1f, 0x1.6a09e6p-1f});
    expectVector(b.up, {0x1.6a09e8p-2f, -0x1.3988ep-1f, 0x1.6a09e6p-1f});
    expectVector(b.right, {0x1.bb67acp-1f, 0.5f, 0.0f});
}

TEST(FrustumPlanes, PointFiftyAheadIsInsideAndOneBehindIsBeforeTheNearPlane) {
    const Vector3 position{128.5f, 64.25f, 140.75f};
    const float yaws[] = {0.0f, 30.0f, 45.0f, 90.0f, 137.5f, 180.0f, -60.0f, 300.0f, 359.9f};
    const float pitches[] = {-90.0f, -89.0f, -45.0f, -10.0f, 0.0f, 12.5f, 60.0f, 89.0f, 90.0f};
    for (const float aspect : {4.0f / 3.0f, 1.0f, 16.0f / 9.0f}) {
        for (const float yaw : yaws) {
            for (const float pitch : pitches) {
                SCOPED_TRACE(::testing::Message()
                             << "yaw " << yaw << " pitch " << pitch << " aspect " << aspect);
                const ViewBasis b = viewBasis(yaw, pitch);
                const FrustumPlanes planes =
                    frustumPlanes(position, b, 80.0f, 0.1f, 10000.0f, aspect);
                const Vector3 ahead{position.x + b.direction.x * 50.0f,
                                    position.y + b.direction.y * 50.0f,
                                    position.z + b.direction.z * 50.0f};
                for (const Plane& plane : planes) {
                    EXPECT_GE(distance(plane, ahead), 0.0f);
                }
                const Vector3 behind{position.x - b.direction.x, position.y - b.direction.y,
                                     position.z - b.direction.z};
                EXPECT_LT(distance(planes[NearPlane], behind), 0.0f);
                // Corners 0.1 apart at a position near 128 keep about four digits.
                EXPECT_NEAR(planes[NearPlane].normal.x, b.direction.x, 1e-3);
                EXPECT_NEAR(planes[NearPlane].normal.y, b.direction.y, 1e-3);
                EXPECT_NEAR(planes[NearPlane].normal.z, b.direction.z, 1e-3);
                EXPECT_NEAR(planes[FarPlane].normal.x, -b.direction.x, 1e-3);
            }
        }
    }
}

TEST(FrustumPlanes, SidePlanesLeanByHalfTheFieldOfView) {
    // Level view along +y from the origin, fov 90, square: the top plane passes
    // through (0, 1, 1), so its normal is (0, 1, -1) / sqrt 2.
    const FrustumPlanes planes =
        frustumPlanes({0.0f, 0.0f, 0.0f}, viewBasis(0.0f, 0.0f), 90.0f, 1.0f, 100.0f, 1.0f);
    EXPECT_NEAR(planes[TopPlane].normal.y, 0.70710678f, 1e-6);
    EXPECT_NEAR(planes[TopPlane].normal.z, -0.70710678f, 1e-6);
    EXPECT_NEAR(planes[BottomPlane].normal.z, 0.70710678f, 1e-6);
    EXPECT_NEAR(planes[LeftPlane].normal.x, 0.70710678f, 1e-6);
    EXPECT_NEAR(planes[RightPlane].normal.x, -0.70710678f, 1e-6);
    EXPECT_NEAR(planes[NearPlane].d, -1.0f, 1e-6);
    EXPECT_NEAR(planes[FarPlane].d, 100.0f, 1e-4);
}

class BoxClassification : public ::testing::Test {
  protected:
    // Looking along +y from (0, 0, 0), fov 80, 4:3, near 0.1, far 10000.
    FrustumPlanes planes =
        frustumPlanes({0.0f, 0.0f, 0.0f}, viewBasis(0.0f, 0.0f), 80.0f, 0.1f, 10000.0f, 4.0f / 3);
};

TEST_F(BoxClassification, BoxAheadIsInside) {
    EXPECT_EQ(classifyBox(planes, {{-1.0f, 10.0f, -1.0f}, {1.0f, 12.0f, 1.0f}}),
              FrustumResult::Inside);
}

TEST_F(BoxClassification, BoxBehindIsOutside) {
    EXPECT_EQ(classifyBox(planes, {{-1.0f, -12.0f, -1.0f}, {1.0f, -10.0f, 1.0f}}),
              FrustumResult::Outside);
    EXPECT_EQ(classifyBox(planes, {{-16.0f, -16.0f, -16.0f}, {0.0f, 0.0f, 0.0f}}),
              FrustumResult::Outside);
}

TEST_F(BoxClassification, BoxesAcrossAPlaneIntersect) {
    EXPECT_EQ(classifyBox(planes, {{-1.0f, -1.0f, -1.0f}, {1.0f, 1.0f, 1.0f}}),
              FrustumResult::Intersect); // around the eye, across the near plane
    EXPECT_EQ(classifyBox(planes, {{5.0f, 10.0f, -1.0f}, {20.0f, 12.0f, 1.0f}}),
              FrustumResult::Intersect); // across the right plane
    EXPECT_EQ(classifyBox(planes, {{-1.0f, 9990.0f, -1.0f}, {1.0f, 10010.0f, 1.0f}}),
              FrustumResult::Intersect); // across the far plane
}

TEST_F(BoxClassification, BoxBesideAnEdgeOfTheVolumeCountsAsIntersect) {
    // Right of the right plane and above the top plane, but not wholly behind either.
    EXPECT_EQ(classifyBox(planes, {{9.0f, 10.0f, 7.0f}, {40.0f, 11.0f, 30.0f}}),
              FrustumResult::Intersect);
}

TEST(BoxClassificationOnPlane, CornerExactlyOnAPlaneCountsAsIn) {
    // The cube [0, 10]^3 as six inward planes.
    FrustumPlanes cube;
    cube[0] = {{1, 0, 0}, {0, 0, 0}, 0.0f};
    cube[1] = {{-1, 0, 0}, {10, 0, 0}, 10.0f};
    cube[2] = {{0, 1, 0}, {0, 0, 0}, 0.0f};
    cube[3] = {{0, -1, 0}, {0, 10, 0}, 10.0f};
    cube[4] = {{0, 0, 1}, {0, 0, 0}, 0.0f};
    cube[5] = {{0, 0, -1}, {0, 0, 10}, 10.0f};
    EXPECT_EQ(classifyBox(cube, {{-2.0f, 1.0f, 1.0f}, {0.0f, 2.0f, 2.0f}}),
              FrustumResult::Intersect);
    EXPECT_EQ(classifyBox(cube, {{-2.0f, 1.0f, 1.0f}, {-0.5f, 2.0f, 2.0f}}),
              FrustumResult::Outside);
    EXPECT_EQ(classifyBox(cube, {{0.0f, 0.0f, 0.0f}, {10.0f, 10.0f, 10.0f}}),
              FrustumResult::Inside);
}

} // namespace
