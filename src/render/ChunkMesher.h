#pragma once

#include "render/BoundingBox.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class Map;

// Which faces a chunk shows and the vertices that draw them, without OpenGL: the
// renderer compiles exactly what meshChunk writes.

constexpr int chunkSize = 16;

// min = 16 * (cx, cy, cz), max = min + 16 on each axis.
BoundingBox chunkBounds(int cx, int cy, int cz);

// Interleaved layout handed to OpenGL's vertex arrays with a stride of 28 bytes.
struct ChunkVertex {
    float position[3]; // cell units
    float normal[3];
    std::uint8_t colour[3];
    std::uint8_t padding; // always 0
};
static_assert(sizeof(ChunkVertex) == 28, "OpenGL reads the vertices with a stride of 28");
static_assert(offsetof(ChunkVertex, position) == 0, "position at byte 0");
static_assert(offsetof(ChunkVertex, normal) == 12, "normal at byte 12");
static_assert(offsetof(ChunkVertex, colour) == 24, "colour at byte 24");
static_assert(offsetof(ChunkVertex, padding) == 27, "padding at byte 27");

// Face k looks from a solid block toward the Air cell it borders. The offset leads
// from that Air cell to the solid block.
extern const int faceNeighbourOffsets[6][3];
extern const int faceCorners[6][4][3]; // c0..c3 from the block's minimum corner
extern const float faceNormals[6][3];  // outward, into the Air cell
extern const std::uint8_t blockColours[4][3];

constexpr int verticesPerFace = 6;

// The triangles (c0, c1, c2) and (c2, c3, c0) of face k of the block at (x, y, z)
// whose code is type, written to out[0..5].
void writeFace(ChunkVertex* out, int k, int x, int y, int z, std::uint8_t type);

// Appends face k of the block at (x, y, z) to vertices.
void addFace(std::vector<ChunkVertex>& vertices, int k, int x, int y, int z, std::uint8_t type);

// Replaces the contents of vertices by the faces of chunk (cx, cy, cz): every face
// of a solid block in the chunk toward an Air cell of the map, ordered by that Air
// cell (z, then y, then x ascending) and then by k. Keeps the array's storage. The
// map is open to the sky: above its top layer lies Air, so blocks there show their
// top face (after every other face of the chunk); its other sides show nothing.
void meshChunk(const Map& map, int cx, int cy, int cz, std::vector<ChunkVertex>& vertices);
