#pragma once

#include "render/BoundingBox.h"
#include "render/ChunkMesher.h"
#include "world/MapChangeObserver.h"

#include <cstdint>
#include <memory>
#include <vector>

class Camera;
class Map;
struct MapLight;

// 16 x 16 x 16 cells of the map drawn by one display list.
struct Chunk {
    Chunk() = default;
    ~Chunk(); // deletes the display list; the OpenGL context must be current
    Chunk(const Chunk&) = delete;
    Chunk& operator=(const Chunk&) = delete;

    bool queued = false;               // has an entry in the rebuild queue
    bool hasGeometry = false;          // the last build found faces: displayList names a list
    BoundingBox bounds{{0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f}};
    std::uint32_t displayList = 0;
};

struct DirtyChunk {
    Chunk& chunk;
    int cx, cy, cz;
};

// Draws the map as one display list per chunk, lit by the map's two lights and
// culled against the camera's frustum. Chunks that block changes touch are rebuilt
// at the start of the next draw, each once.
class MapRenderer : public MapChangeObserver {
  public:
    // The map's terrain must be generated and the OpenGL context current. Registers
    // with the map and builds every chunk.
    explicit MapRenderer(Map& map);
    MapRenderer(const MapRenderer&) = delete;
    MapRenderer& operator=(const MapRenderer&) = delete;

    // Queues the chunks the cell's change can alter; calls no OpenGL function.
    void blockChanged(int x, int y, int z) override;
    ~MapRenderer() override; // does not unregister: the map goes first
    // Rebuilds the queued chunks, then draws with the camera's view. Leaves lighting,
    // both lights, colour material and the client arrays off and the view loaded.
    virtual void draw(Camera& camera);

    void rebuildAll();
    // Needs the vertex, normal and colour arrays enabled.
    void buildChunk(Chunk& chunk, int cx, int cy, int cz);

    Chunk& chunkAt(int cx, int cy, int cz) {
        return chunks[cx + chunkCountX * (cy + chunkCountY * cz)];
    }

    Map& map;
    int chunkCountY;
    int chunkCountX;
    int chunkCountZ;
    int chunkCount;
    std::unique_ptr<Chunk[]> chunks; // x fastest, z slowest
    std::vector<DirtyChunk> rebuildQueue;
    // Every chunk is meshed here just before its list is compiled. One array for all,
    // emptied after each build and keeping its storage: it stays warm in the cache, and
    // a rebuild of the world touches no fresh memory (per-chunk arrays took 45 MiB).
    std::vector<ChunkVertex> staging;

  private:
    void queueChunk(int cx, int cy, int cz);
};
