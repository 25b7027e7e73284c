#include "support/TestMap.h"
#include "world/BlockType.h"
#include "world/NoiseMapGenerator.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

namespace {

// The fill as plainly as it can be written: one cell at a time, in index order.
std::vector<std::uint8_t> referenceFill(const std::vector<int>& heights) {
    std::vector<std::uint8_t> cells(256u * 256u * 256u);
    std::size_t index = 0;
    for (int z = 0; z < 256; ++z) {
        for (int y = 0; y < 256; ++y) {
            for (int x = 0; x < 256; ++x) {
                const long long h = heights[y * 256 + x];
                cells[index++] = z < h - 5 ? Stone : z < h ? Dirt : z == h ? Grass : Air;
            }
        }
    }
    return cells;
}

// Fills a map whose cells all start as a value no block has, so a skipped cell shows.
void expectFillMatchesReference(const std::vector<int>& heights) {
    const auto map = makeEmptyMap();
    std::memset(map->blocks, 0xA5, 256u * 256u * 256u);
    fillTerrain(*map, heights.data());
    const std::vector<std::uint8_t> expected = referenceFill(heights);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(map->blocks[i], expected[i])
            << "cell " << i % 256 << ", " << i / 256 % 256 << ", " << i / 65536;
    }
}

std::vector<int> randomHeights(unsigned seed, int lowest, int highest) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> height(lowest, highest);
    std::vector<int> heights(256 * 256);
    for (int& h : heights) {
        h = height(random);
    }
    return heights;
}

const int edgeHeights[] = {INT_MIN, -1000, -7,  -6,  -5,  -1,  0,   1,    4,      5,   6,
                           7,       64,    122, 123, 127, 128, 129, 133,  134,    250, 251,
                           254,     255,   256, 257, 260, 261, 262, 1000, INT_MAX};

TEST(TerrainFillEquivalenceTest, UniformHeightsMatchTheReference) {
    for (const int h : edgeHeights) {
        SCOPED_TRACE(h);
        expectFillMatchesReference(std::vector<int>(256 * 256, h));
    }
}

TEST(TerrainFillEquivalenceTest, RandomHeightsAcrossAndBeyondTheMapMatchTheReference) {
    expectFillMatchesReference(randomHeights(1, -10, 300));
    expectFillMatchesReference(randomHeights(2, 100, 140));
    expectFillMatchesReference(randomHeights(3, 250, 270));
}

TEST(TerrainFillEquivalenceTest, MixedEdgeHeightsMatchTheReference) {
    std::mt19937 random(4);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(edgeHeights) - 1);
    std::vector<int> heights(256 * 256);
    for (int& h : heights) {
        h = edgeHeights[pick(random)];
    }
    expectFillMatchesReference(heights);
}

TEST(TerrainFillEquivalenceTest, GameTerrainMatchesTheReference) {
    std::vector<int> heights(256 * 256);
    sampleHeights(noise::module::RidgedMulti(), 256, 256, 256, heights.data());
    expectFillMatchesReference(heights);
}

TEST(TerrainFillEquivalenceTest, PerlinTerrainWithHolesMatchesTheReference) {
    std::vector<int> heights(256 * 256);
    sampleHeights(noise::module::Perlin(), 256, 256, 256, heights.data());
    expectFillMatchesReference(heights);
}

} // namespace
