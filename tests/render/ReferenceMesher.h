#pragma once

// The chunk scan exactly as the renderer's rules state it, one cell at a time:
// slow, plainly right, and the yardstick the fast mesher is held to. The map is open
// to the sky: the layer above its top (z = sizeZ) is Air, scanned after the top layer.

#include "render/ChunkMesher.h"
#include "world/Map.h"

#include <algorithm>
#include <vector>

inline void referenceMeshChunk(const Map& map, int cx, int cy, int cz,
                               std::vector<ChunkVertex>& vertices) {
    vertices.clear();
    const int chunk[3] = {cx, cy, cz};
    const int extent[3] = {map.sizeX, map.sizeY, map.sizeZ};
    int low[3];
    int high[3];
    for (int axis = 0; axis < 3; ++axis) {
        low[axis] = std::max(chunkSize * chunk[axis] - 1, 0);
        high[axis] = std::min(chunkSize * chunk[axis] + chunkSize, extent[axis] - 1);
    }
    high[2] = std::min(chunkSize * cz + chunkSize, map.sizeZ);
    for (int z = low[2]; z <= high[2]; ++z) {
        for (int y = low[1]; y <= high[1]; ++y) {
            for (int x = low[0]; x <= high[0]; ++x) {
                if (z < map.sizeZ && map.blocks[map.blockIndex(x, y, z)] != Air) {
                    continue;
                }
                for (int k = 0; k < 6; ++k) {
                    const int n[3] = {x + faceNeighbourOffsets[k][0],
                                      y + faceNeighbourOffsets[k][1],
                                      z + faceNeighbourOffsets[k][2]};
                    bool keep = true;
                    for (int axis = 0; axis < 3; ++axis) {
                        if (n[axis] < 0 || n[axis] >= extent[axis] ||
                            n[axis] / chunkSize != chunk[axis]) {
                            keep = false;
                        }
                    }
                    if (!keep) {
                        continue;
                    }
                    const std::uint8_t type = map.blocks[map.blockIndex(n[0], n[1], n[2])];
                    if (type == Air) {
                        continue;
                    }
                    addFace(vertices, k, n[0], n[1], n[2], type);
                }
            }
        }
    }
}
