#include "render/ChunkMesher.h"
#include "render/ChunkQueue.h"
#include "render/MapRenderer.h"
#include "render/ReferenceMesher.h"
#include "world/Map.h"
#include "world/NoiseMapGenerator.h"

#include <GL/glew.h>
#include <SDL/SDL.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

Map& generatedWorld() {
    static Map map(new NoiseMapGenerator);
    return map;
}

using Staging = std::vector<ChunkVertex>;

// The CPU half of rebuilding every chunk: mesh each into the one staging array, which
// the renderer would compile and then empty, keeping its storage. Returns the vertex count.
template <class Mesher> std::size_t meshWorld(const Map& map, Staging& vertices, Mesher mesher) {
    std::size_t total = 0;
    const int across = map.sizeX / chunkSize; // a cube of chunks, x fastest as the renderer's
    for (int i = 0; i < across * across * across; ++i) {
        mesher(map, i % across, i / across % across, i / across / across, vertices);
        benchmark::DoNotOptimize(vertices.data());
        total += vertices.size();
        vertices.clear();
    }
    benchmark::ClobberMemory();
    return total;
}

// Every chunk meshed again into a staging array that already holds the storage a running
// game has: by the renderer's mesher (BM_MeshWorld), and by the literal cell-by-cell scan
// for comparison (BM_MeshWorldReference).
template <class Mesher> void meshWorldAgain(benchmark::State& state, Mesher mesher) {
    Staging staging;
    state.counters["vertices"] = static_cast<double>(meshWorld(generatedWorld(), staging, mesher));
    for (auto _ : state) {
        meshWorld(generatedWorld(), staging, mesher);
    }
}

// The renderer's rebuild queue without OpenGL: the same rule for which chunks a change
// touches, each queued once.
struct RebuildQueue : MapChangeObserver {
    explicit RebuildQueue(const Map& map)
        : map(map),
          queued((map.sizeX / chunkSize) * (map.sizeY / chunkSize) * (map.sizeZ / chunkSize)) {}
    void blockChanged(int x, int y, int z) override {
        const int countX = map.sizeX / chunkSize, countY = map.sizeY / chunkSize;
        const TouchedChunks touched = touchedChunks(x, y, z, countX, countY, map.sizeZ / chunkSize);
        for (int i = 0; i < touched.count; ++i) {
            const ChunkCoord& c = touched.chunks[i];
            if (!std::exchange(queued[c.cx + countX * (c.cy + countY * c.cz)], true)) {
                chunks.push_back(c);
            }
        }
    }
    const Map& map;
    std::vector<char> queued;
    std::vector<ChunkCoord> chunks;
};

} // namespace

static void BM_MeshWorld(benchmark::State& state) {
    meshWorldAgain(state, meshChunk);
}
BENCHMARK(BM_MeshWorld)->Unit(benchmark::kMillisecond);

// As at the game's start: the staging array is new and grows on first use.
static void BM_MeshWorldFirstBuild(benchmark::State& state) {
    for (auto _ : state) {
        Staging staging;
        meshWorld(generatedWorld(), staging, meshChunk);
    }
}
BENCHMARK(BM_MeshWorldFirstBuild)->Unit(benchmark::kMillisecond);

static void BM_MeshWorldReference(benchmark::State& state) {
    meshWorldAgain(state, referenceMeshChunk);
}
BENCHMARK(BM_MeshWorldReference)->Unit(benchmark::kMillisecond);

// A dig of radius 20 at the surface in the middle of the map, then the CPU half of
// rebuilding every chunk it queued. The dug cells are put back between iterations.
static void BM_DigAndRemesh(benchmark::State& state) {
    Map map(new NoiseMapGenerator);
    const int x = map.sizeX / 2, y = map.sizeY / 2;
    int z = map.sizeZ - 1;
    while (z > 0 && map.blocks[map.blockIndex(x, y, z)] == Air) {
        --z;
    }
    const std::vector<std::uint8_t> pristine(
        map.blocks, map.blocks + static_cast<std::size_t>(map.sizeX) * map.sizeY * map.sizeZ);
    RebuildQueue queue(map);
    map.addObserver(&queue);
    Staging staging;
    std::size_t vertices = 0, chunks = 0;
    for (auto _ : state) {
        map.digSphere(x, y, z, 20.0f);
        vertices = 0;
        for (const ChunkCoord& c : queue.chunks) {
            meshChunk(map, c.cx, c.cy, c.cz, staging);
            vertices += staging.size();
            staging.clear();
        }
        chunks = queue.chunks.size();
        state.PauseTiming();
        for (int cz = std::max(z - 21, 0); cz <= std::min(z + 21, map.sizeZ - 1); ++cz) {
            for (int cy = y - 21; cy <= y + 21; ++cy) { // the dug box only: the cache stays warm
                const std::size_t row = map.blockIndex(x - 21, cy, cz);
                std::copy_n(pristine.begin() + row, 43, map.blocks + row);
            }
        }
        queue.chunks.clear();
        queue.queued.assign(queue.queued.size(), false);
        state.ResumeTiming();
    }
    state.counters["chunks"] = static_cast<double>(chunks);
    state.counters["vertices"] = static_cast<double>(vertices);
}
BENCHMARK(BM_DigAndRemesh)->Unit(benchmark::kMicrosecond);

// rebuildAll with a real OpenGL context: meshing plus compiling every display list.
static void BM_RebuildAllGL(benchmark::State& state) {
    if (SDL_Init(SDL_INIT_VIDEO) < 0 || SDL_SetVideoMode(800, 600, 32, SDL_OPENGL) == nullptr ||
        glewInit() != GLEW_OK) {
        state.SkipWithError("BM_RebuildAllGL needs an X display with OpenGL (scripts/bench runs "
                            "it under Xvfb)");
        SDL_Quit();
        return;
    }
    Map& map = generatedWorld();
    {
        MapRenderer renderer(map);
        map.observers.clear(); // the renderer goes before the map here
        for (auto _ : state) {
            renderer.rebuildAll();
            glFinish();
        }
    }
    SDL_Quit();
}
BENCHMARK(BM_RebuildAllGL)->Unit(benchmark::kMillisecond);
