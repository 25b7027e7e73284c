#include "render/ChunkMesher.h"
#include "render/ChunkQueue.h"
#include "render/MapRenderer.h"
#include "render/ReferenceMesher.h"
#include "world/Map.h"
#include "world/NoiseMapGenerator.h"

#include <GL/glew.h>
#include <SDL/SDL.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <memory>
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
    const int countX = map.sizeX / chunkSize;
    const int countY = map.sizeY / chunkSize;
    const int countZ = map.sizeZ / chunkSize;
    for (int cz = 0; cz < countZ; ++cz) {
        for (int cy = 0; cy < countY; ++cy) {
            for (int cx = 0; cx < countX; ++cx) {
                mesher(map, cx, cy, cz, vertices);
                benchmark::DoNotOptimize(vertices.data());
                total += vertices.size();
                vertices.clear();
            }
        }
    }
    benchmark::ClobberMemory();
    return total;
}

std::size_t chunkTotal(const Map& map) {
    return static_cast<std::size_t>(map.sizeX / chunkSize) * (map.sizeY / chunkSize) *
           (map.sizeZ / chunkSize);
}

// The renderer's rebuild queue without OpenGL: the same rule for which chunks a
// change touches, each queued once, then remeshed on the CPU.
class CpuRemesher : public MapChangeObserver {
  public:
    explicit CpuRemesher(const Map& map)
        : map_(map), countX_(map.sizeX / chunkSize), countY_(map.sizeY / chunkSize),
          countZ_(map.sizeZ / chunkSize), queued_(chunkTotal(map), false) {}

    void blockChanged(int x, int y, int z) override {
        const TouchedChunks touched = touchedChunks(x, y, z, countX_, countY_, countZ_);
        for (int i = 0; i < touched.count; ++i) {
            const ChunkCoord& c = touched.chunks[i];
            const std::size_t index = c.cx + countX_ * (c.cy + countY_ * c.cz);
            if (!queued_[index]) {
                queued_[index] = true;
                queue_.push_back(c);
            }
        }
    }

    std::size_t remeshQueued() {
        std::size_t vertices = 0;
        for (const ChunkCoord& c : queue_) {
            const std::size_t index = c.cx + countX_ * (c.cy + countY_ * c.cz);
            queued_[index] = false;
            meshChunk(map_, c.cx, c.cy, c.cz, staging_);
            vertices += staging_.size();
            staging_.clear();
        }
        queue_.clear();
        return vertices;
    }

    std::size_t queueLength() const { return queue_.size(); }

  private:
    const Map& map_;
    int countX_, countY_, countZ_;
    std::vector<bool> queued_;
    std::vector<ChunkCoord> queue_;
    Staging staging_;
};

} // namespace

static void BM_MeshWorld(benchmark::State& state) {
    const Map& map = generatedWorld();
    Staging staging;
    // The storage a running game already holds.
    const std::size_t vertices = meshWorld(map, staging, meshChunk);
    for (auto _ : state) {
        meshWorld(map, staging, meshChunk);
    }
    state.counters["vertices"] = static_cast<double>(vertices);
}
BENCHMARK(BM_MeshWorld)->Unit(benchmark::kMillisecond);

// As at the game's start: the staging array is new and grows on first use.
static void BM_MeshWorldFirstBuild(benchmark::State& state) {
    const Map& map = generatedWorld();
    for (auto _ : state) {
        Staging staging;
        meshWorld(map, staging, meshChunk);
    }
}
BENCHMARK(BM_MeshWorldFirstBuild)->Unit(benchmark::kMillisecond);

// The literal cell-by-cell scan, for comparison.
static void BM_MeshWorldReference(benchmark::State& state) {
    const Map& map = generatedWorld();
    Staging staging;
    meshWorld(map, staging, referenceMeshChunk);
    for (auto _ : state) {
        meshWorld(map, staging, referenceMeshChunk);
    }
}
BENCHMARK(BM_MeshWorldReference)->Unit(benchmark::kMillisecond);

// A dig of radius 20 at the surface in the middle of the map, then the CPU half of
// rebuilding every chunk it queued. The dug cells are put back between iterations.
static void BM_DigAndRemesh(benchmark::State& state) {
    Map map(new NoiseMapGenerator);
    const int x = map.sizeX / 2;
    const int y = map.sizeY / 2;
    int z = map.sizeZ - 1;
    while (z > 0 && map.blocks[map.blockIndex(x, y, z)] == Air) {
        --z;
    }
    const std::size_t size = static_cast<std::size_t>(map.sizeX) * map.sizeY * map.sizeZ;
    const std::vector<std::uint8_t> pristine(map.blocks, map.blocks + size);
    CpuRemesher remesher(map);
    map.addObserver(&remesher);
    std::size_t vertices = 0;
    std::size_t chunks = 0;
    for (auto _ : state) {
        map.digSphere(x, y, z, 20.0f);
        chunks = remesher.queueLength();
        vertices = remesher.remeshQueued();
        state.PauseTiming();
        for (int dz = -21; dz <= 21; ++dz) {
            for (int dy = -21; dy <= 21; ++dy) {
                const int cz = z + dz;
                const int cy = y + dy;
                if (cz < 0 || cz >= map.sizeZ || cy < 0 || cy >= map.sizeY) {
                    continue;
                }
                const std::size_t row = map.blockIndex(x - 21, cy, cz);
                std::memcpy(map.blocks + row, pristine.data() + row, 43);
            }
        }
        state.ResumeTiming();
    }
    state.counters["chunks"] = static_cast<double>(chunks);
    state.counters["vertices"] = static_cast<double>(vertices);
}
BENCHMARK(BM_DigAndRemesh)->Unit(benchmark::kMicrosecond);

// rebuildAll with a real OpenGL context: meshing plus compiling every display list.
static void BM_RebuildAllGL(benchmark::State& state) {
    if (std::getenv("DISPLAY") == nullptr) {
        state.SkipWithError("BM_RebuildAllGL needs an X display with OpenGL: DISPLAY is unset "
                            "(run it under Xvfb, as scripts/bench does)");
        return;
    }
    if (SDL_Init(SDL_INIT_VIDEO) < 0 || SDL_SetVideoMode(800, 600, 32, SDL_OPENGL) == nullptr ||
        glewInit() != GLEW_OK) {
        state.SkipWithError("BM_RebuildAllGL could not open an OpenGL window");
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
