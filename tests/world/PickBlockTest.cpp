#include "support/TestMap.h"
#include "world/BlockType.h"
#include "world/Picking.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <tuple>

// Global, beside PickResult, so that GoogleTest finds them.
static bool operator==(PickResult a, PickResult b) {
    return std::tie(a.x, a.y, a.z) == std::tie(b.x, b.y, b.z);
}

static std::ostream& operator<<(std::ostream& out, PickResult p) {
    return out << "(" << p.x << ", " << p.y << ", " << p.z << ")";
}

namespace {

const PickResult noHit{-1, -1, -1};

PickResult pickInWholeMap(const Map& map, Vector3 origin, Vector3 direction) {
    return pickBlock(origin, direction, map.sizeX - 1, map.sizeY - 1, map.sizeZ - 1, map);
}

// A map that is Air except for the listed cells, which are Stone.
std::unique_ptr<Map> mapWithBlocks(std::set<std::tuple<int, int, int>> solid) {
    return makeMap([solid](int x, int y, int z) -> std::uint8_t {
        return solid.count({x, y, z}) ? Stone : Air;
    });
}

TEST(PickBlockTest, StartInsideASolidCellPicksThatCell) {
    const auto map = makeFlatMap(129);
    EXPECT_EQ(pickInWholeMap(*map, {5.5f, 6.25f, 100.2f}, {0.0f, 0.0f, 1.0f}),
              (PickResult{5, 6, 100}));
}

TEST(PickBlockTest, LookingStraightDownPicksTheTopOfFlatTerrain) {
    const auto map = makeFlatMap(129);
    EXPECT_EQ(pickInWholeMap(*map, {10.5f, 10.5f, 200.5f}, {0.0f, 0.0f, -1.0f}),
              (PickResult{10, 10, 128}));
}

TEST(PickBlockTest, LookingStraightUpOverTerrainLeavesTheMap) {
    const auto map = makeFlatMap(129);
    EXPECT_EQ(pickInWholeMap(*map, {10.5f, 10.5f, 200.5f}, {0.0f, 0.0f, 1.0f}), noHit);
}

TEST(PickBlockTest, LookingAlongNegativeXPicksTheNearestBlock) {
    const auto map = mapWithBlocks({{12, 10, 10}, {5, 10, 10}});
    EXPECT_EQ(pickInWholeMap(*map, {20.5f, 10.5f, 10.5f}, {-1.0f, 0.0f, 0.0f}),
              (PickResult{12, 10, 10}));
    EXPECT_EQ(pickInWholeMap(*map, {10.5f, 10.5f, 10.5f}, {1.0f, 0.0f, 0.0f}),
              (PickResult{12, 10, 10}));
    EXPECT_EQ(pickInWholeMap(*map, {4.5f, 10.5f, 10.5f}, {-1.0f, 0.0f, 0.0f}), noHit);
}

TEST(PickBlockTest, EqualCrossingsStepZBeforeXAndY) {
    // From the middle of cell (0, 0, 0) every face is half a cell away, so equal direction
    // components cross their faces at the same ray parameter.
    const auto map = mapWithBlocks({{1, 0, 0}, {0, 1, 0}, {0, 0, 1}});
    const Vector3 centre{0.5f, 0.5f, 0.5f};
    EXPECT_EQ(pickInWholeMap(*map, centre, {0.6f, 0.2f, 0.6f}), (PickResult{0, 0, 1}));
    EXPECT_EQ(pickInWholeMap(*map, centre, {0.2f, 0.6f, 0.6f}), (PickResult{0, 0, 1}));
    EXPECT_EQ(pickInWholeMap(*map, centre, {0.6f, 0.6f, 0.6f}), (PickResult{0, 0, 1}));
}

TEST(PickBlockTest, EqualCrossingsStepYBeforeX) {
    const auto map = mapWithBlocks({{1, 0, 0}, {0, 1, 0}, {0, 0, 1}});
    EXPECT_EQ(pickInWholeMap(*map, {0.5f, 0.5f, 0.5f}, {0.6f, 0.6f, 0.2f}), (PickResult{0, 1, 0}));
}

TEST(PickBlockTest, StartOutsideTheBoundsPicksNothing) {
    const auto map = makeFlatMap(256);
    EXPECT_EQ(pickInWholeMap(*map, {256.5f, 10.5f, 10.5f}, {-1.0f, 0.0f, 0.0f}), noHit);
    EXPECT_EQ(pickInWholeMap(*map, {10.5f, -1.5f, 10.5f}, {0.0f, 1.0f, 0.0f}), noHit);
    EXPECT_EQ(pickInWholeMap(*map, {10.5f, 10.5f, 300.0f}, {0.0f, 0.0f, -1.0f}), noHit);
    EXPECT_EQ(pickBlock({10.5f, 10.5f, 10.5f}, {0.0f, 0.0f, -1.0f}, 9, 255, 255, *map), noHit);
}

TEST(PickBlockTest, StartJustBelowZeroTruncatesIntoTheFirstCell) {
    const auto map = makeFlatMap(1);
    EXPECT_EQ(pickInWholeMap(*map, {10.5f, 10.5f, -0.5f}, {0.0f, 0.0f, 1.0f}),
              (PickResult{10, 10, 0}));
    EXPECT_EQ(pickInWholeMap(*map, {-0.5f, 10.5f, 0.5f}, {0.0f, 0.0f, 1.0f}),
              (PickResult{0, 10, 0}));
}

TEST(PickBlockTest, RayLeavingSmallerBoundsStopsBeforeBlocksBeyondThem) {
    const auto map = mapWithBlocks({{12, 10, 200}});
    const Vector3 origin{5.5f, 10.5f, 200.5f};
    const Vector3 alongX{1.0f, 0.0f, 0.0f};
    EXPECT_EQ(pickBlock(origin, alongX, 11, 255, 255, *map), noHit);
    EXPECT_EQ(pickBlock(origin, alongX, 12, 255, 255, *map), (PickResult{12, 10, 200}));
}

// The direction the camera builds at yaw 0, pitch 90, in its own float steps.
Vector3 cameraDirectionLookingStraightUp() {
    const float k = 0.017453292f;
    const float yaw = 0.0f;
    const float pitch = 90.0f;
    const float theta = static_cast<float>((yaw + 90.0f) * static_cast<double>(k));
    const float phi = static_cast<float>((90.0f - pitch) * static_cast<double>(k));
    return {std::sin(phi) * std::cos(theta), std::sin(phi) * std::sin(theta), std::cos(phi)};
}

TEST(PickBlockTest, LookingStraightUpWithNegativeZeroXStaysInTheColumn) {
    const Vector3 direction = cameraDirectionLookingStraightUp();
    ASSERT_EQ(direction.x, 0.0f);
    ASSERT_TRUE(std::signbit(direction.x));
    ASSERT_EQ(direction.y, 0.0f);
    ASSERT_EQ(direction.z, 1.0f);

    // A block beside the start on +x, one far beside it, and one straight above.
    const auto map = mapWithBlocks({{129, 128, 100}, {200, 128, 100}, {128, 128, 150}});
    EXPECT_EQ(pickInWholeMap(*map, {128.5f, 128.5f, 100.5f}, direction),
              (PickResult{128, 128, 150}));
    EXPECT_EQ(pickInWholeMap(*map, {128.5f, 128.5f, 160.5f}, direction), noHit);
}

TEST(PickBlockTest, NegativeZeroOnAnyAxisNeverStepsAlongIt) {
    // One block beside the start cell on each positive axis: a walk that stepped along a
    // zero axis would pick the wrong one.
    const auto map = mapWithBlocks({{11, 10, 10}, {10, 11, 10}, {10, 10, 11}});
    const Vector3 origin{10.5f, 10.5f, 10.5f};
    EXPECT_EQ(pickInWholeMap(*map, origin, {-0.0f, -0.0f, 1.0f}), (PickResult{10, 10, 11}));
    EXPECT_EQ(pickInWholeMap(*map, origin, {0.0f, -0.0f, 1.0f}), (PickResult{10, 10, 11}));
    EXPECT_EQ(pickInWholeMap(*map, origin, {-0.0f, 1.0f, -0.0f}), (PickResult{10, 11, 10}));
    EXPECT_EQ(pickInWholeMap(*map, origin, {1.0f, -0.0f, -0.0f}), (PickResult{11, 10, 10}));
}

TEST(PickBlockTest, ZeroDirectionEndsTheWalk) {
    const auto map = makeEmptyMap();
    EXPECT_EQ(pickInWholeMap(*map, {10.5f, 10.5f, 10.5f}, {0.0f, 0.0f, 0.0f}), noHit);
    EXPECT_EQ(pickInWholeMap(*map, {10.5f, 10.5f, 10.5f}, {-0.0f, -0.0f, -0.0f}), noHit);
}

} // namespace
