#include "physics/Collision.h"

#include "physics/OutputCapture.h"

#include <gtest/gtest.h>

#include <iostream>
#include <limits>
#include <sstream>

namespace {

constexpr float nan = std::numeric_limits<float>::quiet_NaN();

// The unit block with its lower corner at the origin.
constexpr AxisAlignedBox unitBlock{0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f};

struct Separation {
    bool collided;
    Vector3 vector;
    float length;
};

// Out-arguments start as sentinels, so a miss that writes them shows.
Separation separate(const UprightCylinder& cylinder, const AxisAlignedBox& box = unitBlock) {
    Separation s{false, {7.0f, 7.0f, 7.0f}, 7.0f};
    s.collided = testCylinderBox(box, cylinder, s.vector, s.length);
    return s;
}

void expectMiss(const Separation& s) {
    EXPECT_FALSE(s.collided);
    EXPECT_EQ(s.vector.x, 7.0f);
    EXPECT_EQ(s.vector.y, 7.0f);
    EXPECT_EQ(s.vector.z, 7.0f);
    EXPECT_EQ(s.length, 7.0f);
}

void expectSeparation(const Separation& s, Vector3 vector, float length) {
    EXPECT_TRUE(s.collided);
    EXPECT_EQ(s.vector.x, vector.x);
    EXPECT_EQ(s.vector.y, vector.y);
    EXPECT_EQ(s.vector.z, vector.z);
    EXPECT_EQ(s.length, length);
}

const char* const selfTestReports = "Test 1:\n"
                                    "\tCollision: 1\n"
                                    "\tProjectionVector: (0.000000, 0.000000, 1.000000)\n"
                                    "\t Projection Length: 0.250000\n"
                                    "\n"
                                    "Test 2:\n"
                                    "\tCollision: 1\n"
                                    "\tProjectionVector: (0.707107, 0.707107, 0.000000)\n"
                                    "\t Projection Length: 0.146447\n"
                                    "\n";

TEST(CollisionSelfTests, ReportsMatchByteForByte) {
    const std::string text = captureOutput([](std::FILE* out) { runCollisionSelfTests(out); });
    EXPECT_EQ(text, selfTestReports);
}

TEST(CollisionSelfTests, GoToTheStandardOutputFileAndNotThroughCout) {
    // The log rebinds cout's buffer; the reports must not follow it there.
    std::ostringstream log;
    std::streambuf* const saved = std::cout.rdbuf(log.rdbuf());
    testing::internal::CaptureStdout();
    runCollisionSelfTests();
    std::fflush(stdout);
    const std::string text = testing::internal::GetCapturedStdout();
    std::cout.rdbuf(saved);
    EXPECT_EQ(text, selfTestReports);
    EXPECT_EQ(log.str(), "");
}

TEST(CylinderBox, SelfTestShapesToTheLastBit) {
    expectSeparation(separate({0.5f, 0.5f, 1.25f, 0.5f, 0.5f}), {0.0f, 0.0f, 1.0f}, 0.25f);
    const float corner = 0.25f / squareRoot(0.125f);
    expectSeparation(separate({1.25f, 1.25f, 0.5f, 0.5f, 0.5f}), {corner, corner, 0.0f},
                     0.5f - squareRoot(0.125f));
}

TEST(CylinderBox, ShapesThatExactlyTouchDoNotCollide) {
    expectMiss(separate({0.5f, 0.5f, 1.5f, 0.5f, 0.5f}));  // standing on the top face
    expectMiss(separate({0.5f, 0.5f, -0.5f, 0.5f, 0.5f})); // hanging under the bottom face
    expectMiss(separate({1.5f, 0.5f, 0.5f, 0.5f, 0.5f}));  // against the +x face
    expectMiss(separate({0.5f, -0.5f, 0.5f, 0.5f, 0.5f})); // against the -y face
}

TEST(CylinderBox, CircleTouchingOnlyTheCornerDoesNotCollide) {
    // Overlaps 0.25 along x and 0.125 along y, but exactly 0.625 from the corner (1, 1).
    expectMiss(separate({1.375f, 1.5f, 0.5f, 0.5f, 0.625f}));
    // A hair closer and it does, pushed away from the corner.
    const Separation s = separate({1.375f, 1.5f, 0.5f, 0.5f, 0.63f});
    EXPECT_TRUE(s.collided);
    EXPECT_EQ(s.vector.x, 0.6f);
    EXPECT_EQ(s.vector.y, 0.8f);
    EXPECT_EQ(s.vector.z, 0.0f);
    EXPECT_EQ(s.length, 0.63f - 0.625f);
}

TEST(CylinderBox, EqualHorizontalAndVerticalLengthsSeparateHorizontally) {
    // Beside the +x face by 0.25 and 0.25 into the top.
    expectSeparation(separate({1.25f, 0.5f, 1.25f, 0.5f, 0.5f}), {1.0f, 0.0f, 0.0f}, 0.25f);
    // A little less vertical overlap and up wins.
    expectSeparation(separate({1.25f, 0.5f, 1.375f, 0.5f, 0.5f}), {0.0f, 0.0f, 1.0f}, 0.125f);
}

TEST(CylinderBox, OnlyACentreStrictlyBelowTheBottomFaceIsPushedDown) {
    // Level with the bottom face: up, although below the box's centre.
    expectSeparation(separate({0.5f, 0.5f, 0.0f, 0.25f, 0.5f}), {0.0f, 0.0f, 1.0f}, 0.25f);
    expectSeparation(separate({0.5f, 0.5f, 0.25f, 0.25f, 0.5f}), {0.0f, 0.0f, 1.0f}, 0.5f);
    expectSeparation(separate({0.5f, 0.5f, -0.125f, 0.25f, 0.5f}), {0.0f, 0.0f, -1.0f}, 0.125f);
}

TEST(CylinderBox, NaNInputsNeverCollide) {
    expectMiss(separate({nan, 0.5f, 0.5f, 0.5f, 0.5f}));
    expectMiss(separate({0.5f, nan, 0.5f, 0.5f, 0.5f}));
    expectMiss(separate({0.5f, 0.5f, nan, 0.5f, 0.5f}));
    expectMiss(separate({0.5f, 0.5f, 0.5f, nan, 0.5f}));
    expectMiss(separate({0.5f, 0.5f, 0.5f, 0.5f, nan}));
    expectMiss(separate({0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, {0.5f, 0.5f, 0.5f, nan, 0.5f, 0.5f}));
}

struct Overlap {
    bool overlaps;
    Axis2 axis;
    float length;
};

Overlap overlap(const Rectangle& rect, const Circle& circle) {
    Overlap o{false, {7.0f, 7.0f}, 7.0f};
    o.overlaps = testCircleRectangle(rect, circle, o.axis, o.length);
    return o;
}

void expectOverlap(const Overlap& o, Axis2 axis, float length) {
    EXPECT_TRUE(o.overlaps);
    EXPECT_EQ(o.axis.x, axis.x);
    EXPECT_EQ(o.axis.y, axis.y);
    EXPECT_EQ(o.length, length);
}

TEST(CircleRectangle, CentreInsideTakesTheSmallerOverlapAndTiesGoToY) {
    const Rectangle square{0.0f, 0.0f, 1.0f, 1.0f};
    expectOverlap(overlap(square, {0.0f, 0.0f, 0.5f}), {0.0f, 1.0f}, 1.5f);
    expectOverlap(overlap(square, {0.25f, -0.25f, 0.5f}), {0.0f, -1.0f}, 1.25f);
    expectOverlap(overlap(square, {0.25f, 0.25f, 0.5f}), {0.0f, 1.0f}, 1.25f);

    const Rectangle tall{0.0f, 0.0f, 1.0f, 2.0f};
    expectOverlap(overlap(tall, {0.0f, 0.5f, 0.5f}), {1.0f, 0.0f}, 1.5f);
    expectOverlap(overlap(tall, {-0.25f, 0.5f, 0.5f}), {-1.0f, 0.0f}, 1.25f);
}

TEST(CircleRectangle, CentreBesideAFacePushesAlongThatFaceNormal) {
    const Rectangle square{0.0f, 0.0f, 1.0f, 1.0f};
    expectOverlap(overlap(square, {1.25f, 0.5f, 0.5f}), {1.0f, 0.0f}, 0.25f);
    expectOverlap(overlap(square, {-1.25f, 0.5f, 0.5f}), {-1.0f, 0.0f}, 0.25f);
    expectOverlap(overlap(square, {0.5f, 1.375f, 0.5f}), {0.0f, 1.0f}, 0.125f);
    expectOverlap(overlap(square, {0.5f, -1.375f, 0.5f}), {0.0f, -1.0f}, 0.125f);
    // A centre exactly on the line of an edge counts as inside along that axis.
    expectOverlap(overlap(square, {1.0f, 1.25f, 0.5f}), {0.0f, 1.0f}, 0.25f);
}

TEST(CircleRectangle, CentreInACornerRegionPushesAwayFromTheCorner) {
    const Rectangle square{0.0f, 0.0f, 1.0f, 1.0f};
    // 0.375 and 0.5 from the corner (-1, -1): 0.625 away, 0.125 deep.
    expectOverlap(overlap(square, {-1.375f, -1.5f, 0.75f}), {-0.6f, -0.8f}, 0.125f);
    // Exactly 1.25 from the corner (-1, 1): touching only.
    EXPECT_FALSE(overlap(square, {-1.75f, 2.0f, 1.25f}).overlaps);
}

TEST(CircleRectangle, CentreRoundedOntoTheCornerPushesDiagonally) {
    // 16777218 + 1.5 rounds up to the corner 16777220, where the centre also lies,
    // although the centre is 2 away from the rectangle's: a corner distance of 0.
    const Rectangle far{16777218.0f, 16777218.0f, 1.5f, 1.5f};
    const float diagonal = 1.0f / squareRootOfTwo;
    expectOverlap(overlap(far, {16777220.0f, 16777220.0f, 1.0f}), {diagonal, diagonal}, 1.0f);
}

TEST(CircleRectangle, NaNOverlapsAreNoOverlap) {
    const Rectangle square{0.0f, 0.0f, 1.0f, 1.0f};
    EXPECT_FALSE(overlap(square, {nan, 0.0f, 0.5f}).overlaps);
    EXPECT_FALSE(overlap(square, {0.0f, nan, 0.5f}).overlaps);
    EXPECT_FALSE(overlap({0.0f, 0.0f, 1.0f, nan}, {0.0f, 0.0f, 0.5f}).overlaps);
}

} // namespace
