#include "support/TestMap.h"
#include "world/BlockType.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <vector>

namespace {

using Cell = std::array<int, 3>;

class RecordingObserver : public MapChangeObserver {
  public:
    void blockChanged(int x, int y, int z) override { cells.push_back({x, y, z}); }
    std::vector<Cell> cells;
};

struct Dig {
    std::unique_ptr<Map> map;
    RecordingObserver observer;
};

// Digs into a map of solid Stone and records what the observer hears.
std::unique_ptr<Dig> digSolid(int cx, int cy, int cz, float radius) {
    auto dig = std::make_unique<Dig>();
    dig->map = makeFlatMap(256);
    dig->map->addObserver(&dig->observer);
    dig->map->digSphere(cx, cy, cz, radius);
    return dig;
}

std::size_t airCells(const Map& map) {
    return static_cast<std::size_t>(
        std::count(map.blocks, map.blocks + 256u * 256u * 256u, static_cast<std::uint8_t>(Air)));
}

int squaredDistance(Cell a, Cell b) {
    return (a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) +
           (a[2] - b[2]) * (a[2] - b[2]);
}

TEST(DigSphereTest, RadiusOneClearsTheCentreAndItsSixFaceNeighbours) {
    const auto dig = digSolid(100, 100, 100, 1.0f);
    const std::vector<Cell> expected = {{100, 100, 99},  {100, 99, 100},  {99, 100, 100},
                                        {100, 100, 100}, {101, 100, 100}, {100, 101, 100},
                                        {100, 100, 101}};
    EXPECT_EQ(dig->observer.cells, expected);
    EXPECT_EQ(airCells(*dig->map), 7u);
    EXPECT_EQ(dig->map->blocks[dig->map->blockIndex(101, 101, 100)], Stone);
}

TEST(DigSphereTest, RadiusOneAndAHalfAlsoClearsTheTwelveEdgeNeighbours) {
    const auto dig = digSolid(100, 100, 100, 1.5f);
    EXPECT_EQ(dig->observer.cells.size(), 19u);
    EXPECT_EQ(airCells(*dig->map), 19u);
    EXPECT_EQ(dig->map->blocks[dig->map->blockIndex(101, 101, 100)], Air);
    EXPECT_EQ(dig->map->blocks[dig->map->blockIndex(101, 101, 101)], Stone);
}

TEST(DigSphereTest, RadiusZeroClearsTheCentreOnly) {
    const auto dig = digSolid(7, 8, 9, 0.0f);
    EXPECT_EQ(dig->observer.cells, (std::vector<Cell>{{7, 8, 9}}));
    EXPECT_EQ(airCells(*dig->map), 1u);
}

TEST(DigSphereTest, RadiusTwentyReportsEachCellOnceZSlowestXFastest) {
    const auto dig = digSolid(128, 128, 128, 20.0f);
    const std::vector<Cell>& cells = dig->observer.cells;
    ASSERT_EQ(cells.size(), 33401u);
    EXPECT_EQ(airCells(*dig->map), 33401u);
    for (std::size_t i = 1; i < cells.size(); ++i) {
        const Cell a{cells[i - 1][2], cells[i - 1][1], cells[i - 1][0]};
        const Cell b{cells[i][2], cells[i][1], cells[i][0]};
        ASSERT_LT(a, b) << "report " << i;
    }
    for (const Cell& cell : cells) {
        ASSERT_LE(squaredDistance(cell, {128, 128, 128}), 400);
    }
    EXPECT_EQ(cells.front(), (Cell{128, 128, 108}));
    EXPECT_EQ(cells.back(), (Cell{128, 128, 148}));
}

TEST(DigSphereTest, DigAtTheOriginIsClampedToTheMap) {
    const auto inside = digSolid(128, 128, 128, 20.0f);
    const auto corner = digSolid(0, 0, 0, 20.0f);
    // The corner keeps exactly the interior sphere's cells with no negative offset.
    const auto nonNegative =
        std::count_if(inside->observer.cells.begin(), inside->observer.cells.end(),
                      [](const Cell& c) { return c[0] >= 128 && c[1] >= 128 && c[2] >= 128; });
    EXPECT_EQ(corner->observer.cells.size(), static_cast<std::size_t>(nonNegative));
    EXPECT_EQ(airCells(*corner->map), static_cast<std::size_t>(nonNegative));
    for (const Cell& cell : corner->observer.cells) {
        ASSERT_GE(*std::min_element(cell.begin(), cell.end()), 0);
    }
}

TEST(DigSphereTest, DigAtTheFarCornerIsClampedToTheMap) {
    const auto dig = digSolid(255, 255, 255, 20.0f);
    EXPECT_EQ(airCells(*dig->map), dig->observer.cells.size());
    for (const Cell& cell : dig->observer.cells) {
        ASSERT_LE(*std::max_element(cell.begin(), cell.end()), 255);
    }
}

TEST(DigSphereTest, CellsThatAreAlreadyAirAreReportedAgain) {
    auto map = makeEmptyMap();
    RecordingObserver observer;
    map->addObserver(&observer);
    map->digSphere(10, 10, 10, 1.0f);
    map->digSphere(10, 10, 10, 1.0f);
    EXPECT_EQ(observer.cells.size(), 14u);
}

TEST(DigSphereTest, SpheresWhollyOutsideTheMapOrWithoutRadiusClearNothing) {
    EXPECT_TRUE(digSolid(-25, 128, 128, 20.0f)->observer.cells.empty());
    EXPECT_TRUE(digSolid(128, 300, 128, 20.0f)->observer.cells.empty());
    EXPECT_TRUE(digSolid(INT_MAX, INT_MIN, 128, 20.0f)->observer.cells.empty());
    EXPECT_TRUE(digSolid(128, 128, 128, -2.0f)->observer.cells.empty());
    EXPECT_TRUE(digSolid(128, 128, 128, -1.0f)->observer.cells.empty());
    EXPECT_TRUE(digSolid(128, 128, 128, std::nanf(""))->observer.cells.empty());
}

// The literal rule: the reach rounds up to 0 and the centre's distance 0 is within r^2.
TEST(DigSphereTest, ARadiusBetweenMinusOneAndZeroClearsTheCentreOnly) {
    for (const float radius : {-0.999f, -0.5f, -0.0f, 0.0f}) {
        const auto dig = digSolid(128, 128, 128, radius);
        EXPECT_EQ(dig->observer.cells, (std::vector<Cell>{{128, 128, 128}})) << radius;
    }
}

} // namespace
