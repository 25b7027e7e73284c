// The fast mesher against the cell-by-cell reference: same vertices, same order,
// same bytes, for every chunk of generated, random and patterned maps.
#include "render/ChunkMesher.h"
#include "render/ReferenceMesher.h"
#include "support/TestMap.h"
#include "world/NoiseMapGenerator.h"

#include <cstring>
#include <gtest/gtest.h>
#include <random>

namespace {

struct MeshTotals {
    std::size_t vertices = 0;
    int chunksWithGeometry = 0;
};

MeshTotals expectSameMeshes(const Map& map) {
    MeshTotals totals;
    std::vector<ChunkVertex> fast(7); // stale contents must not leak into the result
    std::vector<ChunkVertex> reference;
    for (int cz = 0; cz < map.sizeZ / chunkSize; ++cz) {
        for (int cy = 0; cy < map.sizeY / chunkSize; ++cy) {
            for (int cx = 0; cx < map.sizeX / chunkSize; ++cx) {
                meshChunk(map, cx, cy, cz, fast);
                referenceMeshChunk(map, cx, cy, cz, reference);
                EXPECT_EQ(fast.size(), reference.size()) << cx << " " << cy << " " << cz;
                if (fast.size() != reference.size()) {
                    return totals;
                }
                // memcmp must not see the null data() of an empty vector.
                EXPECT_TRUE(fast.empty() || std::memcmp(fast.data(), reference.data(),
                                                        fast.size() * sizeof(ChunkVertex)) == 0)
                    << cx << " " << cy << " " << cz;
                totals.vertices += fast.size();
                totals.chunksWithGeometry += fast.empty() ? 0 : 1;
            }
        }
    }
    return totals;
}

TEST(MeshEquivalence, GeneratedWorld) {
    Map map(new NoiseMapGenerator);
    const MeshTotals totals = expectSameMeshes(map);
    EXPECT_GT(totals.vertices, 1000000u);
    ::testing::Test::RecordProperty("vertices", std::to_string(totals.vertices));
    ::testing::Test::RecordProperty("chunksWithGeometry",
                                    std::to_string(totals.chunksWithGeometry));
    std::printf("generated world: %zu vertices, %d chunks with geometry\n", totals.vertices,
                totals.chunksWithGeometry);
}

// Each chunk-sized region gets its own pattern, so the map mixes uniform chunks,
// sparse and dense noise, and lone holes or blocks next to chunk borders.
TEST(MeshEquivalence, RandomPatternsPerRegion) {
    std::mt19937 random(20240611);
    std::unique_ptr<Map> map = makeEmptyMap();
    std::uniform_int_distribution<int> pattern(0, 5);
    std::uniform_int_distribution<int> solidType(Grass, Stone);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int cz = 0; cz < 16; ++cz) {
        for (int cy = 0; cy < 16; ++cy) {
            for (int cx = 0; cx < 16; ++cx) {
                const int kind = pattern(random);
                const double density = kind == 2 ? 0.1 : kind == 3 ? 0.5 : 0.95;
                for (int z = 16 * cz; z < 16 * cz + 16; ++z) {
                    for (int y = 16 * cy; y < 16 * cy + 16; ++y) {
                        for (int x = 16 * cx; x < 16 * cx + 16; ++x) {
                            bool solid = false;
                            if (kind == 1) {
                                solid = true;
                            } else if (kind >= 2 && kind <= 4) {
                                solid = unit(random) < density;
                            } else if (kind == 5) {
                                solid = (x + y + z) % 7 != 0;
                            }
                            map->blocks[map->blockIndex(x, y, z)] =
                                solid ? static_cast<std::uint8_t>(solidType(random))
                                      : static_cast<std::uint8_t>(Air);
                        }
                    }
                }
            }
        }
    }
    const MeshTotals totals = expectSameMeshes(*map);
    EXPECT_GT(totals.chunksWithGeometry, 2000);
}

TEST(MeshEquivalence, FlatAndEmptyMaps) {
    expectSameMeshes(*makeEmptyMap());
    expectSameMeshes(*makeFlatMap(16));
    expectSameMeshes(*makeFlatMap(256));
}

TEST(MeshEquivalence, CellsOnEveryChunkFaceEdgeAndCorner) {
    std::unique_ptr<Map> map = makeMap([](int x, int y, int z) -> std::uint8_t {
        const auto edge = [](int c) { return c % 16 == 0 || c % 16 == 15; };
        const int onEdges = edge(x) + edge(y) + edge(z);
        return onEdges >= 2 && (x * 31 + y * 17 + z) % 3 != 0 ? Dirt : Air;
    });
    const MeshTotals totals = expectSameMeshes(*map);
    EXPECT_EQ(totals.chunksWithGeometry, 4096);
}

} // namespace
