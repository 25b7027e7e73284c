#pragma once

// The chunk scan as the renderer's rules state it, cell by cell: the fast mesher's yardstick.
// Each Air cell of the chunk widened by one (the layer above the map's top is Air) shows the
// faces of its solid neighbours in the chunk, in z, y, x order of the Air cells, then by face.

#include "render/ChunkMesher.h"
#include "world/Map.h"

inline void referenceMeshChunk(const Map& map, int cx, int cy, int cz,
                               std::vector<ChunkVertex>& vertices) {
    vertices.clear();
    const int chunk[3] = {cx, cy, cz}, size[3] = {map.sizeX, map.sizeY, map.sizeZ};
    for (int z = chunkSize * cz - 1; z <= chunkSize * cz + chunkSize; ++z)
        for (int y = chunkSize * cy - 1; y <= chunkSize * cy + chunkSize; ++y)
            for (int x = chunkSize * cx - 1; x <= chunkSize * cx + chunkSize; ++x) {
                const bool air = x >= 0 && y >= 0 && z >= 0 && x < size[0] && y < size[1] &&
                                 (z == size[2] || map.blocks[map.blockIndex(x, y, z)] == Air);
                for (int k = 0; air && k < 6; ++k) {
                    const int* d = faceNeighbourOffsets[k];
                    const int n[3] = {x + d[0], y + d[1], z + d[2]};
                    bool own = true;
                    for (int axis = 0; axis < 3; ++axis)
                        own = own && n[axis] >= 0 && n[axis] < size[axis] &&
                              n[axis] / chunkSize == chunk[axis];
                    const std::uint8_t type =
                        own ? map.blocks[map.blockIndex(n[0], n[1], n[2])] : 0;
                    if (type != Air)
                        addFace(vertices, k, n[0], n[1], n[2], type);
                }
            }
}
