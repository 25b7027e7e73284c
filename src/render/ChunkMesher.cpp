#include "render/ChunkMesher.h"

#include "world/Map.h"

#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

const int faceNeighbourOffsets[6][3] = {{-1, 0, 0}, {1, 0, 0},  {0, -1, 0},
                                        {0, 1, 0},  {0, 0, -1}, {0, 0, 1}};

const int faceCorners[6][4][3] = {
    {{1, 1, 1}, {1, 0, 1}, {1, 0, 0}, {1, 1, 0}}, {{0, 0, 1}, {0, 1, 1}, {0, 1, 0}, {0, 0, 0}},
    {{0, 1, 1}, {1, 1, 1}, {1, 1, 0}, {0, 1, 0}}, {{1, 0, 1}, {0, 0, 1}, {0, 0, 0}, {1, 0, 0}},
    {{1, 1, 1}, {0, 1, 1}, {0, 0, 1}, {1, 0, 1}}, {{1, 0, 0}, {0, 0, 0}, {0, 1, 0}, {1, 1, 0}},
};

const float faceNormals[6][3] = {{1.0f, 0.0f, 0.0f},  {-1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f},
                                 {0.0f, -1.0f, 0.0f}, {0.0f, 0.0f, 1.0f},  {0.0f, 0.0f, -1.0f}};

const std::uint8_t blockColours[4][3] = {{0, 0, 0}, {93, 168, 39}, {116, 69, 48}, {81, 90, 90}};

BoundingBox chunkBounds(int cx, int cy, int cz) {
    const float size = static_cast<float>(chunkSize);
    const Vector3 min{static_cast<float>(chunkSize * cx), static_cast<float>(chunkSize * cy),
                      static_cast<float>(chunkSize * cz)};
    return {min, {min.x + size, min.y + size, min.z + size}};
}

void writeFace(ChunkVertex* out, int k, int x, int y, int z, std::uint8_t type) {
    // Two triangles counter-clockwise seen from the Air side: front faces by default.
    static constexpr int cornerOrder[verticesPerFace] = {0, 1, 2, 2, 3, 0};
    const float fx = static_cast<float>(x);
    const float fy = static_cast<float>(y);
    const float fz = static_cast<float>(z);
    const float* normal = faceNormals[k];
    const std::uint8_t* colour = blockColours[type];
    for (int j = 0; j < verticesPerFace; ++j) {
        const int* corner = faceCorners[k][cornerOrder[j]];
        ChunkVertex& v = out[j];
        v.position[0] = static_cast<float>(corner[0]) + fx;
        v.position[1] = static_cast<float>(corner[1]) + fy;
        v.position[2] = static_cast<float>(corner[2]) + fz;
        v.normal[0] = normal[0];
        v.normal[1] = normal[1];
        v.normal[2] = normal[2];
        v.colour[0] = colour[0];
        v.colour[1] = colour[1];
        v.colour[2] = colour[2];
        v.padding = 0;
    }
}

void addFace(std::vector<ChunkVertex>& vertices, int k, int x, int y, int z, std::uint8_t type) {
    const std::size_t start = vertices.size();
    vertices.resize(start + verticesPerFace);
    writeFace(vertices.data() + start, k, x, y, z, type);
}

namespace {

// A chunk widened by one cell on each side: the Air cells that can expose its faces.
// Rows run along x; bit i of a row mask stands for x = 16 * cx - 1 + i.
constexpr int span = chunkSize + 2;

// Bits set where the 16 cells from row[0] are Air.
std::uint32_t airBits16(const std::uint8_t* row) {
#if defined(__SSE2__)
    const __m128i cells = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row));
    return static_cast<std::uint32_t>(
        _mm_movemask_epi8(_mm_cmpeq_epi8(cells, _mm_setzero_si128())));
#else
    std::uint32_t bits = 0;
    for (int i = 0; i < chunkSize; ++i) {
        bits |= static_cast<std::uint32_t>(row[i] == Air) << i;
    }
    return bits;
#endif
}

// One row of Air cells that exposes at least one face: the cells of each face k.
struct ExposingRow {
    int lz, ly; // widened local coordinates, 0..17
    std::uint32_t any;
    std::uint32_t byFace[6];
};

struct ChunkScan {
    std::uint32_t ownAir[chunkSize][chunkSize];
    // Solid cells of the chunk itself, [lz + 1][ly + 1], zero around them, so that
    // every neighbour row of a widened row can be read without a range check.
    std::uint32_t solid[span + 2][span + 2];
    std::uint32_t air[span][span]; // Air cells inside the map
    ExposingRow rows[span * span];
};

} // namespace

// Same faces in the same order as visiting every Air cell of the widened range and
// looking at its six neighbours, but a row of 18 cells at a time as bit masks.
// Chunks of only Air or with no Air around them stop after one pass over their cells.
void meshChunk(const Map& map, int cx, int cy, int cz, std::vector<ChunkVertex>& vertices) {
    vertices.clear();
    const std::uint8_t* blocks = map.blocks;
    const int x0 = chunkSize * cx;
    const int y0 = chunkSize * cy;
    const int z0 = chunkSize * cz;
    ChunkScan scan;

    std::uint32_t anySolid = 0;
    for (int z = 0; z < chunkSize; ++z) {
        for (int y = 0; y < chunkSize; ++y) {
            const std::uint32_t air = airBits16(blocks + map.blockIndex(x0, y0 + y, z0 + z));
            scan.ownAir[z][y] = air;
            anySolid |= ~air & 0xFFFFu;
        }
    }
    if (anySolid == 0) {
        return;
    }

    std::memset(scan.solid, 0, sizeof scan.solid);
    for (int z = 0; z < chunkSize; ++z) {
        for (int y = 0; y < chunkSize; ++y) {
            scan.solid[z + 2][y + 2] = (~scan.ownAir[z][y] & 0xFFFFu) << 1;
        }
    }

    std::uint32_t anyAir = 0;
    for (int lz = 0; lz < span; ++lz) {
        const int z = z0 - 1 + lz;
        for (int ly = 0; ly < span; ++ly) {
            const int y = y0 - 1 + ly;
            if (z < 0 || z > map.sizeZ || y < 0 || y >= map.sizeY) {
                scan.air[lz][ly] = 0;
                continue;
            }
            if (z == map.sizeZ) {
                // Open sky above the top layer; only its cells over the chunk can show
                // a face of the chunk (a top face).
                scan.air[lz][ly] = ((1u << chunkSize) - 1) << 1;
                anyAir |= scan.air[lz][ly];
                continue;
            }
            const std::uint8_t* row = blocks + map.blockIndex(x0, y, z);
            const bool own = lz >= 1 && lz <= chunkSize && ly >= 1 && ly <= chunkSize;
            std::uint32_t air = (own ? scan.ownAir[lz - 1][ly - 1] : airBits16(row)) << 1;
            if (x0 > 0 && row[-1] == Air) {
                air |= 1u;
            }
            if (x0 + chunkSize < map.sizeX && row[chunkSize] == Air) {
                air |= 1u << (chunkSize + 1);
            }
            scan.air[lz][ly] = air;
            anyAir |= air;
        }
    }
    if (anyAir == 0) {
        return;
    }

    int rowCount = 0;
    std::size_t faceCount = 0;
    for (int lz = 0; lz < span; ++lz) {
        for (int ly = 0; ly < span; ++ly) {
            const std::uint32_t air = scan.air[lz][ly];
            if (air == 0) {
                continue;
            }
            const std::uint32_t own = scan.solid[lz + 1][ly + 1];
            ExposingRow& r = scan.rows[rowCount];
            r.byFace[0] = air & (own << 1);
            r.byFace[1] = air & (own >> 1);
            r.byFace[2] = air & scan.solid[lz + 1][ly];
            r.byFace[3] = air & scan.solid[lz + 1][ly + 2];
            r.byFace[4] = air & scan.solid[lz][ly + 1];
            r.byFace[5] = air & scan.solid[lz + 2][ly + 1];
            r.any =
                r.byFace[0] | r.byFace[1] | r.byFace[2] | r.byFace[3] | r.byFace[4] | r.byFace[5];
            if (r.any == 0) {
                continue;
            }
            r.lz = lz;
            r.ly = ly;
            for (const std::uint32_t faces : r.byFace) {
                if (faces != 0) {
                    faceCount += static_cast<std::size_t>(__builtin_popcount(faces));
                }
            }
            ++rowCount;
        }
    }
    if (faceCount == 0) {
        return;
    }

    // Exact size, filled by appending whole faces: no vertex is written twice.
    vertices.reserve(faceCount * verticesPerFace);
    ChunkVertex face[verticesPerFace];
    for (int i = 0; i < rowCount; ++i) {
        const ExposingRow& r = scan.rows[i];
        const int y = y0 - 1 + r.ly;
        const int z = z0 - 1 + r.lz;
        for (std::uint32_t cells = r.any; cells != 0; cells &= cells - 1) {
            const int bit = __builtin_ctz(cells);
            const int x = x0 - 1 + bit;
            for (int k = 0; k < 6; ++k) {
                if ((r.byFace[k] >> bit & 1u) == 0) {
                    continue;
                }
                const int nx = x + faceNeighbourOffsets[k][0];
                const int ny = y + faceNeighbourOffsets[k][1];
                const int nz = z + faceNeighbourOffsets[k][2];
                writeFace(face, k, nx, ny, nz, blocks[map.blockIndex(nx, ny, nz)]);
                vertices.insert(vertices.end(), face, face + verticesPerFace);
            }
        }
    }
}
