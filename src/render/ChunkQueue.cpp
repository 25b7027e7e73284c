#include "render/ChunkQueue.h"

#include "render/ChunkMesher.h"

namespace {

// -1 toward the lower neighbour, +1 toward the upper, 0 when none is touched.
int neighbourStep(int cell, int chunk, int chunkCount) {
    const int inChunk = cell % chunkSize;
    if (inChunk == 0 && chunk != 0) {
        return -1;
    }
    if (inChunk == chunkSize - 1 && chunk != chunkCount - 1) {
        return 1;
    }
    return 0;
}

} // namespace

TouchedChunks touchedChunks(int x, int y, int z, int chunkCountX, int chunkCountY,
                            int chunkCountZ) {
    const ChunkCoord own{x / chunkSize, y / chunkSize, z / chunkSize};
    TouchedChunks touched{{own}, 1};
    if (const int step = neighbourStep(x, own.cx, chunkCountX)) {
        touched.chunks[touched.count++] = {own.cx + step, own.cy, own.cz};
    }
    if (const int step = neighbourStep(y, own.cy, chunkCountY)) {
        touched.chunks[touched.count++] = {own.cx, own.cy + step, own.cz};
    }
    if (const int step = neighbourStep(z, own.cz, chunkCountZ)) {
        touched.chunks[touched.count++] = {own.cx, own.cy, own.cz + step};
    }
    return touched;
}
