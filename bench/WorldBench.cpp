#include "physics/Vector3.h"
#include "render/Frustum.h"
#include "world/BlockType.h"
#include "world/Map.h"
#include "world/NoiseMapGenerator.h"
#include "world/Picking.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {

struct ZeroNoise {
    double GetValue(double, double, double) const { return 0.0; }
};

// The game's own heights, where no layer is uniform, filled in again and again.
template <class Fill> void fillGameHeights(benchmark::State& state, Fill fill) {
    Map map(new BasicNoiseMapGenerator<ZeroNoise>);
    std::vector<int> heights(static_cast<std::size_t>(map.sizeX) * map.sizeY);
    sampleHeights(noise::module::RidgedMulti(), map.sizeX, map.sizeY, map.sizeZ, heights.data());
    for (auto _ : state) {
        fill(map, heights.data());
        benchmark::DoNotOptimize(map.blocks);
        benchmark::ClobberMemory();
    }
}

} // namespace

static void BM_GenerateTerrain(benchmark::State& state) {
    for (auto _ : state) {
        Map map(new NoiseMapGenerator);
        benchmark::DoNotOptimize(map.blocks);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_GenerateTerrain)->Unit(benchmark::kMillisecond);

// The 65536 noise queries alone, the floor under BM_GenerateTerrain.
static void BM_NoiseQueries(benchmark::State& state) {
    const noise::module::RidgedMulti module;
    std::vector<int> heights(256 * 256);
    for (auto _ : state) {
        sampleHeights(module, 256, 256, 256, heights.data());
        benchmark::DoNotOptimize(heights.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_NoiseQueries)->Unit(benchmark::kMillisecond);

static void BM_FillTerrain(benchmark::State& state) {
    for (auto _ : state) {
        Map map(new BasicNoiseMapGenerator<ZeroNoise>);
        benchmark::DoNotOptimize(map.blocks);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FillTerrain)->Unit(benchmark::kMillisecond);

// The fill of the game's own heights, where no layer is uniform.
static void BM_FillGameTerrain(benchmark::State& state) {
    fillGameHeights(state, fillTerrain);
}
BENCHMARK(BM_FillGameTerrain)->Unit(benchmark::kMillisecond);

// The straightforward per-cell fill, for comparison.
static void BM_FillGameTerrainPerCell(benchmark::State& state) {
    fillGameHeights(state, [](Map& map, const int* heights) {
        for (int z = 0; z < map.sizeZ; ++z) {
            for (int y = 0; y < map.sizeY; ++y) {
                for (int x = 0; x < map.sizeX; ++x) {
                    const int h = heights[y * map.sizeX + x];
                    map.blocks[map.blockIndex(x, y, z)] = z < h - dirtDepth ? Stone
                                                          : z < h           ? Dirt
                                                          : z == h          ? Grass
                                                                            : Air;
                }
            }
        }
    });
}
BENCHMARK(BM_FillGameTerrainPerCell)->Unit(benchmark::kMillisecond);

// Rays in the camera's directions over a sphere of yaws and pitches, from where the player
// comes to rest below its start at (128, 128, 256): from the start itself, above the map's
// top layer, every ray would end at once.
static void BM_PickBlock(benchmark::State& state) {
    const Map map(new NoiseMapGenerator);
    int surface = map.sizeZ - 1;
    while (surface > 0 && map.blocks[map.blockIndex(128, 128, surface)] == Air) {
        --surface;
    }
    const Vector3 origin{128.0f, 128.0f, static_cast<float>(surface) + 1.85f};
    std::vector<Vector3> directions;
    for (int pitch = -90; pitch <= 90; pitch += 15) {
        for (int yaw = 0; yaw < 360; yaw += 15) {
            directions.push_back(
                viewBasis(static_cast<float>(yaw), static_cast<float>(pitch)).direction);
        }
    }
    for (auto _ : state) {
        for (const Vector3& direction : directions) {
            const PickResult picked =
                pickBlock(origin, direction, map.sizeX - 1, map.sizeY - 1, map.sizeZ - 1, map);
            benchmark::DoNotOptimize(picked);
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(directions.size()));
}
BENCHMARK(BM_PickBlock)->Unit(benchmark::kMicrosecond);
