#include "render/ChunkQueue.h"

#include <gtest/gtest.h>
#include <tuple>
#include <vector>

namespace {

using Coords = std::vector<std::tuple<int, int, int>>;

// In a map of 16 x 16 x 16 chunks, like the game's.
Coords touched(int x, int y, int z) {
    const TouchedChunks t = touchedChunks(x, y, z, 16, 16, 16);
    Coords coords;
    for (int i = 0; i < t.count; ++i) {
        coords.emplace_back(t.chunks[i].cx, t.chunks[i].cy, t.chunks[i].cz);
    }
    return coords;
}

TEST(TouchedChunks, CellOnThreeLowerFacesTouchesOwnThenXThenYThenZNeighbour) {
    EXPECT_EQ(touched(16, 16, 16), (Coords{{1, 1, 1}, {0, 1, 1}, {1, 0, 1}, {1, 1, 0}}));
}

TEST(TouchedChunks, CellOnUpperFacesTouchesTheChunksAboveOnly) {
    // x mod 16 = 15 and z mod 16 = 15; y mod 16 = 4 lies inside.
    EXPECT_EQ(touched(15, 20, 31), (Coords{{0, 1, 1}, {1, 1, 1}, {0, 1, 2}}));
}

TEST(TouchedChunks, InnerCellTouchesOnlyItsOwnChunk) {
    EXPECT_EQ(touched(100, 37, 200), (Coords{{6, 2, 12}}));
}

TEST(TouchedChunks, NothingBeyondTheMapSides) {
    EXPECT_EQ(touched(0, 0, 0), (Coords{{0, 0, 0}}));
    EXPECT_EQ(touched(255, 255, 255), (Coords{{15, 15, 15}}));
    EXPECT_EQ(touched(0, 100, 255), (Coords{{0, 6, 15}}));
    EXPECT_EQ(touched(255, 0, 16), (Coords{{15, 0, 1}, {15, 0, 0}}));
    EXPECT_EQ(touched(240, 15, 0), (Coords{{15, 0, 0}, {14, 0, 0}, {15, 1, 0}}));
}

TEST(TouchedChunks, SmallerGridEndsAtItsOwnLastChunk) {
    const TouchedChunks t = touchedChunks(31, 31, 31, 2, 2, 2);
    ASSERT_EQ(t.count, 1);
    EXPECT_EQ(t.chunks[0].cx, 1);
}

} // namespace
