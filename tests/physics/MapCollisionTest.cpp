#include "physics/MapCollision.h"

#include "physics/OutputCapture.h"
#include "physics/Player.h"
#include "physics/TestKeyboard.h"
#include "physics/TimeStep.h"
#include "support/TestMap.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <iostream>
#include <limits>
#include <sstream>
#include <string>

namespace {

// The player's cylinder: radius 0.4, height 1.7.
UprightCylinderCollider playerShape(Vector3 position, Vector3 lastPosition) {
    UprightCylinderCollider collider(position, 0.4f, 1.7f);
    collider.lastPosition = lastPosition;
    return collider;
}

std::string collide(UprightCylinderCollider& collider, const Map& map) {
    return captureOutput([&](std::FILE* trace) { collideWithMap(collider, map, trace); });
}

bool tookSingleStep(const std::string& trace) {
    return trace.find("\tColliding in single step\n") != std::string::npos;
}

bool tookMultipleSteps(const std::string& trace) {
    return trace.find("\tColliding with multiple steps\n") != std::string::npos;
}

void expectUnchanged(const UprightCylinderCollider& collider, Vector3 position,
                     Vector3 lastPosition) {
    EXPECT_EQ(collider.position.x, position.x);
    EXPECT_EQ(collider.position.y, position.y);
    EXPECT_EQ(collider.position.z, position.z);
    EXPECT_EQ(collider.lastPosition.x, lastPosition.x);
    EXPECT_EQ(collider.lastPosition.y, lastPosition.y);
    EXPECT_EQ(collider.lastPosition.z, lastPosition.z);
}

class MapCollision : public testing::Test {
  protected:
    static void SetUpTestSuite() { flatAtTen_ = makeFlatMap(10).release(); }
    static void TearDownTestSuite() {
        delete flatAtTen_;
        flatAtTen_ = nullptr;
    }
    static Map* flatAtTen_; // solid below z = 10
};

Map* MapCollision::flatAtTen_ = nullptr;

const char* const knownStepTrace =
    "Colliding...\n"
    "\tPosition: (128.500000, 128.500000, 10.750000)\n"
    "\tLast Position: (128.500000, 128.500000, 11.000000)\n"
    "\tDisplacement: (0.000000, 0.000000, -0.250000)\n"
    "\tColliding in single step\n"
    "\tPost-Collision Position: (128.500000, 128.500000, 10.850000)\n"
    "\tPost-Collision Last Position: (128.500000, 128.500000, "
    "10.850000)\n"
    "Collision complete.\n"
    "\n";

TEST_F(MapCollision, TraceOfALandingStepByteForByte) {
    auto collider = playerShape({128.5f, 128.5f, 10.75f}, {128.5f, 128.5f, 11.0f});
    EXPECT_EQ(collide(collider, *flatAtTen_), knownStepTrace);
}

TEST_F(MapCollision, TraceGoesToTheStandardOutputFileAndNotThroughCout) {
    std::ostringstream log;
    std::streambuf* const saved = std::cout.rdbuf(log.rdbuf());
    auto collider = playerShape({128.5f, 128.5f, 10.75f}, {128.5f, 128.5f, 11.0f});
    testing::internal::CaptureStdout();
    collideWithMap(collider, *flatAtTen_);
    std::fflush(stdout);
    const std::string text = testing::internal::GetCapturedStdout();
    std::cout.rdbuf(saved);
    EXPECT_EQ(text, knownStepTrace);
    EXPECT_EQ(log.str(), "");
}

TEST_F(MapCollision, EveryCallTracesOneBlockEvenWithoutContact) {
    auto collider = playerShape({50.0f, 50.0f, 100.0f}, {50.0f, 50.0f, 100.0f});
    const std::string twice = collide(collider, *flatAtTen_) + collide(collider, *flatAtTen_);
    const std::string once = "Colliding...\n"
                             "\tPosition: (50.000000, 50.000000, 100.000000)\n"
                             "\tLast Position: (50.000000, 50.000000, 100.000000)\n"
                             "\tDisplacement: (0.000000, 0.000000, 0.000000)\n"
                             "\tColliding in single step\n"
                             "\tPost-Collision Position: (50.000000, 50.000000, 100.000000)\n"
                             "\tPost-Collision Last Position: (50.000000, 50.000000, 100.000000)\n"
                             "Collision complete.\n"
                             "\n";
    EXPECT_EQ(twice, once + once);
}

TEST_F(MapCollision, RestingOnFlatGroundKeepsTheHorizontalVelocity) {
    TestKeyboard noKeys;
    // On the corner of four blocks, all four below it report the same push up. Slow
    // enough that its rim stays clear of the blocks' edges (see the next test).
    Player player;
    player.position = {128.0f, 128.0f, 10.85f};
    player.lastPosition = player.position;
    player.setVelocity({0.3f, -0.15f, 0.0f});
    for (int step = 0; step < 60; ++step) {
        player.updateMovement(timeStep);
        const Vector3 before = player.position;
        const Vector3 motion{before.x - player.lastPosition.x, before.y - player.lastPosition.y,
                             before.z - player.lastPosition.z};
        EXPECT_NEAR(motion.z, -0.00272f, 1e-4f);
        collide(player, *flatAtTen_);
        EXPECT_NEAR(player.position.z, 10.85f, 1e-5f) << step;
        EXPECT_EQ(player.position.z, player.lastPosition.z) << step;
        EXPECT_EQ(player.position.x, before.x) << step;
        EXPECT_EQ(player.position.y, before.y) << step;
        EXPECT_EQ(player.position.x - player.lastPosition.x, motion.x) << step;
        EXPECT_EQ(player.position.y - player.lastPosition.y, motion.y) << step;
    }
    EXPECT_NEAR(player.position.x, 128.3f, 0.01f);
    EXPECT_NEAR(player.position.y, 127.85f, 0.01f);
}

TEST_F(MapCollision, RimGrazingANeighbourGroundBlockNudgesSideways) {
    // The rim reaches 0.001 into the ground column west of it, less than the body sank (0.003):
    // that block separates horizontally (ties and smaller lengths go sideways), and
    // the average of its push and the push up from below tilts the result.
    const float x = 128.399f;
    auto collider = playerShape({x, 128.5f, 10.847f}, {x, 128.5f, 10.85f});
    resolveContacts(collider, *flatAtTen_, collider.lastPosition);
    EXPECT_GT(collider.position.x, x);
    EXPECT_GT(collider.position.z, 10.847f);
    EXPECT_LT(collider.position.z, 10.85f);
}

TEST_F(MapCollision, FourBlocksBelowPushUpLikeOne) {
    const float sunk = 10.5f;
    auto onCorner = playerShape({128.0f, 128.0f, sunk}, {128.0f, 128.0f, sunk + 0.1f});
    auto inMiddle = playerShape({128.5f, 128.5f, sunk}, {128.5f, 128.5f, sunk + 0.1f});
    resolveContacts(onCorner, *flatAtTen_, onCorner.lastPosition);
    resolveContacts(inMiddle, *flatAtTen_, inMiddle.lastPosition);
    EXPECT_EQ(onCorner.position.z, sunk + ((0.5f + 0.85f) - (sunk - 9.5f)));
    EXPECT_EQ(onCorner.position.z, inMiddle.position.z);
    EXPECT_EQ(onCorner.lastPosition.z, onCorner.position.z);
}

TEST_F(MapCollision, DisplacementSquaredEqualToTheThresholdTakesTheSingleStep) {
    // For the player the threshold is 0.4 squared; from x = 0 the displacement is exact.
    auto exact = playerShape({0.4f, 5.0f, 100.0f}, {0.0f, 5.0f, 100.0f});
    EXPECT_TRUE(tookSingleStep(collide(exact, *flatAtTen_)));

    auto beyond = playerShape({std::nextafter(0.4f, 1.0f), 5.0f, 100.0f}, {0.0f, 5.0f, 100.0f});
    const std::string trace = collide(beyond, *flatAtTen_);
    EXPECT_TRUE(tookMultipleSteps(trace));
    EXPECT_FALSE(tookSingleStep(trace));
}

TEST_F(MapCollision, ThresholdIsTheSmallestOfRadiusHalfHeightAndAHalf) {
    const Vector3 start{100.0f, 100.0f, 100.0f};
    // Half height 0.25 is smaller than the radius 1: a step of 0.3 is split.
    UprightCylinderCollider flat({100.3f, 100.0f, 100.0f}, 1.0f, 0.5f);
    flat.lastPosition = start;
    EXPECT_TRUE(tookMultipleSteps(collide(flat, *flatAtTen_)));
    // A large body still moves at most 0.5 at a time.
    UprightCylinderCollider large({100.6f, 100.0f, 100.0f}, 2.0f, 4.0f);
    large.lastPosition = start;
    EXPECT_TRUE(tookMultipleSteps(collide(large, *flatAtTen_)));
    UprightCylinderCollider largeSlow({100.0f, 100.0f, 100.5f}, 2.0f, 4.0f);
    largeSlow.lastPosition = start;
    EXPECT_TRUE(tookSingleStep(collide(largeSlow, *flatAtTen_)));
}

TEST_F(MapCollision, FreeFlightInSubStepsEndsWhereTheStepEnds) {
    auto collider = playerShape({101.0f, 100.0f, 100.0f}, {100.0f, 100.0f, 100.0f});
    EXPECT_TRUE(tookMultipleSteps(collide(collider, *flatAtTen_)));
    expectUnchanged(collider, {101.0f, 100.0f, 100.0f}, {100.0f, 100.0f, 100.0f});
}

TEST_F(MapCollision, FastLandingMovesInSubStepsOfPointFourAndARemainderOfPointTwo) {
    // A step of length 1 along (0.28, 0, -0.96), starting 0.15 above the ground (z = 10).
    // Every sub-step lands, which rewrites lastPosition to where that sub-step began:
    // after sub-steps ending at 0.4 and 0.8 that is 0.4 * 0.28 = 0.112 along x, and the
    // remainder of 0.2 (0.056 along x) keeps measuring from there.
    auto collider = playerShape({10.72f, 10.5f, 10.04f}, {10.44f, 10.5f, 11.0f});
    const std::string trace = collide(collider, *flatAtTen_);
    EXPECT_TRUE(tookMultipleSteps(trace));
    EXPECT_NEAR(collider.position.x, 10.72f, 1e-5f);
    EXPECT_NEAR(collider.position.z, 10.85f, 1e-5f);
    EXPECT_NEAR(collider.lastPosition.x, 10.44f + 0.112f, 1e-5f);
    EXPECT_EQ(collider.position.y, 10.5f);
    EXPECT_EQ(collider.lastPosition.y, 10.5f);
    EXPECT_EQ(collider.lastPosition.z, collider.position.z);
}

TEST_F(MapCollision, NoMotionAgainstTheContactLeavesTheBodyOverlapping) {
    // Sunk 0.1 into the ground but not moving: nothing to resolve.
    const Vector3 sunk{128.5f, 128.5f, 10.75f};
    auto still = playerShape(sunk, sunk);
    collide(still, *flatAtTen_);
    expectUnchanged(still, sunk, sunk);

    // Rising out of the ground on its own: left alone as well.
    const Vector3 below{128.5f, 128.5f, 10.7f};
    auto rising = playerShape(sunk, below);
    resolveContacts(rising, *flatAtTen_, below);
    expectUnchanged(rising, sunk, below);

    // Sliding along it: the vertical pass sees no vertical motion, the horizontal
    // pass no motion against the push up.
    const Vector3 behind{128.4f, 128.5f, 10.75f};
    auto sliding = playerShape(sunk, behind);
    collide(sliding, *flatAtTen_);
    expectUnchanged(sliding, sunk, behind);
}

TEST_F(MapCollision, TwoContactsAreAveraged) {
    // West of the body a block 0.1 deep, south of it one 0.3 deep; the corner between
    // them is empty.
    const auto map = makeMap([](int x, int y, int z) -> std::uint8_t {
        const bool west = x == 10 && y == 11;
        const bool south = x == 11 && y == 10;
        return z == 5 && (west || south) ? Stone : Air;
    });
    const Vector3 p{11.3f, 11.1f, 5.5f};
    const Vector3 reference{11.4f, 11.2f, 5.5f};
    auto collider = playerShape(p, reference);
    resolveContacts(collider, *map, reference);
    const float along = 0.2f / squareRootOfTwo;
    EXPECT_NEAR(collider.position.x, p.x + along, 2e-6f);
    EXPECT_NEAR(collider.position.y, p.y + along, 2e-6f);
    EXPECT_EQ(collider.position.z, p.z);
    // Moving straight into the contact: nothing is left to keep.
    EXPECT_NEAR(collider.lastPosition.x, collider.position.x, 1e-6f);
    EXPECT_NEAR(collider.lastPosition.y, collider.position.y, 1e-6f);
}

TEST_F(MapCollision, TangentialMotionIsKeptAndTheNormalPartRemoved) {
    // A wall to the east (x >= 20); the body moves 0.1 into it and 0.2 along it.
    const auto map =
        makeMap([](int x, int, int z) -> std::uint8_t { return x >= 20 && z < 20 ? Stone : Air; });
    auto collider = playerShape({19.7f, 50.0f, 10.5f}, {19.6f, 49.8f, 10.5f});
    resolveContacts(collider, *map, collider.lastPosition);
    EXPECT_NEAR(collider.position.x, 19.6f, 1e-5f);
    EXPECT_EQ(collider.position.y, 50.0f);
    EXPECT_NEAR(collider.position.x - collider.lastPosition.x, 0.0f, 1e-6f);
    EXPECT_NEAR(collider.position.y - collider.lastPosition.y, 0.2f, 1e-5f);
}

TEST_F(MapCollision, BodyOutsideTheMapCollidesWithNothing) {
    const auto full = makeFlatMap(256);
    const Vector3 outside[] = {
        {-5.0f, 100.0f, 100.0f},  {100.0f, -5.0f, 100.0f},  {300.0f, 100.0f, 100.0f},
        {100.0f, 300.0f, 100.0f}, {100.0f, 100.0f, 300.0f}, {100.0f, 100.0f, -10.0f},
        {-1e30f, 1e30f, 1e30f},   {1e30f, -1e30f, -1e30f},
    };
    for (const Vector3& p : outside) {
        const Vector3 last{p.x, p.y, p.z + 0.1f};
        auto collider = playerShape(p, last);
        collide(collider, *full);
        expectUnchanged(collider, p, last);
    }

    // Straddling the edge, the blocks inside still hold it.
    auto straddling = playerShape({-0.3f, 100.0f, 10.8f}, {-0.3f, 100.0f, 10.9f});
    collide(straddling, *flatAtTen_);
    EXPECT_NEAR(straddling.position.z, 10.85f, 1e-5f);
}

TEST_F(MapCollision, NaNPositionReadsNoBlocksAndFinishes) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    auto collider = playerShape({nan, 100.0f, 5.0f}, {100.0f, 100.0f, 5.0f});
    const std::string trace = collide(collider, *flatAtTen_);
    EXPECT_NE(trace.find("Collision complete.\n\n"), std::string::npos);
}

} // namespace

namespace {

TEST_F(MapCollision, ZeroSizedBodyMovingFastStillFinishes) {
    // Radius 0 makes the sub-step 0: the walk must still end, at the step's end.
    UprightCylinderCollider collider({100.0f, 100.0f, 200.0f}, 0.0f, 0.0f);
    collider.lastPosition = {100.0f, 100.0f, 201.0f};
    const std::string trace = collide(collider, *flatAtTen_);
    EXPECT_TRUE(tookMultipleSteps(trace));
    EXPECT_EQ(collider.position.z, 200.0f);
}

TEST_F(MapCollision, HugeDisplacementFarOutsideTheMapStillFinishes) {
    // At 1e8 units a step of 0.4 no longer changes the distance travelled in float.
    UprightCylinderCollider collider = playerShape({0.0f, 0.0f, -1.0e8f}, {0.0f, 0.0f, 0.0f});
    const std::string trace = collide(collider, *flatAtTen_);
    EXPECT_TRUE(tookMultipleSteps(trace));
    EXPECT_LT(collider.position.z, -1.0e7f);
}

} // namespace
