#include "render/ChunkMesher.h"
#include "support/TestMap.h"

#include <array>
#include <gtest/gtest.h>
#include <vector>

namespace {

using Corner = std::array<int, 3>;

void setBlock(Map& map, int x, int y, int z, std::uint8_t type) {
    map.blocks[map.blockIndex(x, y, z)] = type;
}

std::vector<ChunkVertex> mesh(const Map& map, int cx, int cy, int cz) {
    std::vector<ChunkVertex> vertices;
    meshChunk(map, cx, cy, cz, vertices);
    return vertices;
}

// Checks the six vertices of one face: corners c0 c1 c2 c2 c3 c0 of the block at
// origin, one normal, one colour, zero padding.
void expectFace(const ChunkVertex* v, Corner origin, std::array<Corner, 4> corners,
                std::array<float, 3> normal, std::array<int, 3> colour) {
    const int order[6] = {0, 1, 2, 2, 3, 0};
    for (int j = 0; j < 6; ++j) {
        SCOPED_TRACE("vertex " + std::to_string(j));
        const Corner& c = corners[order[j]];
        EXPECT_EQ(v[j].position[0], static_cast<float>(origin[0] + c[0]));
        EXPECT_EQ(v[j].position[1], static_cast<float>(origin[1] + c[1]));
        EXPECT_EQ(v[j].position[2], static_cast<float>(origin[2] + c[2]));
        EXPECT_EQ(v[j].normal[0], normal[0]);
        EXPECT_EQ(v[j].normal[1], normal[1]);
        EXPECT_EQ(v[j].normal[2], normal[2]);
        EXPECT_EQ(v[j].colour[0], colour[0]);
        EXPECT_EQ(v[j].colour[1], colour[1]);
        EXPECT_EQ(v[j].colour[2], colour[2]);
        EXPECT_EQ(v[j].padding, 0);
    }
}

// The faces of a block as (normal) in mesh order.
std::vector<std::array<float, 3>> faceNormalsOf(const std::vector<ChunkVertex>& vertices) {
    std::vector<std::array<float, 3>> normals;
    for (std::size_t i = 0; i < vertices.size(); i += 6) {
        normals.push_back({vertices[i].normal[0], vertices[i].normal[1], vertices[i].normal[2]});
    }
    return normals;
}

const std::array<float, 3> plusX{1, 0, 0}, minusX{-1, 0, 0}, plusY{0, 1, 0}, minusY{0, -1, 0},
    plusZ{0, 0, 1}, minusZ{0, 0, -1};

class ChunkMesh : public ::testing::Test {
  protected:
    void SetUp() override { map = makeEmptyMap(); }
    std::unique_ptr<Map> map;
};

TEST_F(ChunkMesh, LoneStoneBlockGivesSixFacesFromBottomToTop) {
    setBlock(*map, 5, 6, 7, Stone);
    const std::vector<ChunkVertex> v = mesh(*map, 0, 0, 0);
    ASSERT_EQ(v.size(), 36u);
    const Corner at{5, 6, 7};
    const std::array<int, 3> stone{81, 90, 90};
    expectFace(&v[0], at, {{{1, 0, 0}, {0, 0, 0}, {0, 1, 0}, {1, 1, 0}}}, minusZ, stone);
    expectFace(&v[6], at, {{{1, 0, 1}, {0, 0, 1}, {0, 0, 0}, {1, 0, 0}}}, minusY, stone);
    expectFace(&v[12], at, {{{0, 0, 1}, {0, 1, 1}, {0, 1, 0}, {0, 0, 0}}}, minusX, stone);
    expectFace(&v[18], at, {{{1, 1, 1}, {1, 0, 1}, {1, 0, 0}, {1, 1, 0}}}, plusX, stone);
    expectFace(&v[24], at, {{{0, 1, 1}, {1, 1, 1}, {1, 1, 0}, {0, 1, 0}}}, plusY, stone);
    expectFace(&v[30], at, {{{1, 1, 1}, {0, 1, 1}, {0, 0, 1}, {1, 0, 1}}}, plusZ, stone);
}

TEST_F(ChunkMesh, GrassOnDirtShowsTenFacesInScanOrderWithTheirColours) {
    setBlock(*map, 40, 40, 40, Grass);
    setBlock(*map, 40, 40, 39, Dirt);
    const std::vector<ChunkVertex> v = mesh(*map, 2, 2, 2);
    ASSERT_EQ(v.size(), 60u);
    // The shared face is gone; the Air cells meet dirt first, layer by layer.
    const std::vector<std::array<float, 3>> expected{minusZ, minusY, minusX, plusX, plusY,
                                                     minusY, minusX, plusX,  plusY, plusZ};
    EXPECT_EQ(faceNormalsOf(v), expected);
    for (std::size_t i = 0; i < v.size(); ++i) {
        SCOPED_TRACE("vertex " + std::to_string(i));
        const bool grass = i >= 30;
        EXPECT_EQ(v[i].colour[0], grass ? 93 : 116);
        EXPECT_EQ(v[i].colour[1], grass ? 168 : 69);
        EXPECT_EQ(v[i].colour[2], grass ? 39 : 48);
    }
    for (std::size_t i = 54; i < 60; ++i) {
        EXPECT_EQ(v[i].position[2], 41.0f) << "the grass top lies on the block's upper side";
    }
}

TEST_F(ChunkMesh, FaceOnChunkBorderBelongsToTheBlocksOwnChunkOnly) {
    setBlock(*map, 15, 5, 5, Stone); // its +x face looks into chunk (1, 0, 0)
    setBlock(*map, 32, 5, 5, Dirt);  // its -x face looks into chunk (1, 0, 0) too
    const std::vector<ChunkVertex> own = mesh(*map, 0, 0, 0);
    ASSERT_EQ(own.size(), 36u);
    expectFace(&own[18], {15, 5, 5}, {{{1, 1, 1}, {1, 0, 1}, {1, 0, 0}, {1, 1, 0}}}, plusX,
               {81, 90, 90});
    EXPECT_TRUE(mesh(*map, 1, 0, 0).empty());
    EXPECT_EQ(mesh(*map, 2, 0, 0).size(), 36u);
}

// The map is open to the sky: a block in the top layer shows its top face, last.
TEST_F(ChunkMesh, MapBoundaryHasNoFacesButTheSkyAboveTheTop) {
    setBlock(*map, 0, 0, 0, Stone);
    EXPECT_EQ(faceNormalsOf(mesh(*map, 0, 0, 0)),
              (std::vector<std::array<float, 3>>{plusX, plusY, plusZ}));
    setBlock(*map, 255, 255, 255, Grass);
    setBlock(*map, 250, 255, 255, Dirt);
    EXPECT_EQ(faceNormalsOf(mesh(*map, 15, 15, 15)),
              (std::vector<std::array<float, 3>>{minusZ, minusZ, minusY, minusY, minusX, plusX,
                                                 minusX, plusZ, plusZ}));
    const std::vector<ChunkVertex> top = mesh(*map, 15, 15, 15);
    expectFace(&top[top.size() - 6], {255, 255, 255},
               {{{1, 1, 1}, {0, 1, 1}, {0, 0, 1}, {1, 0, 1}}}, plusZ, {93, 168, 39});
}

TEST(ChunkMeshFlatGround, OnlyTopFacesAlongTheGroundAndNoneOnTheSides) {
    const std::unique_ptr<Map> map = makeFlatMap(40); // tops at z = 40, inside chunk layer 2
    for (int cy = 0; cy < 16; ++cy) {
        for (int cx = 0; cx < 16; ++cx) {
            for (int cz = 0; cz < 16; ++cz) {
                const std::vector<ChunkVertex> v = mesh(*map, cx, cy, cz);
                if (cz != 2) {
                    ASSERT_TRUE(v.empty()) << cx << " " << cy << " " << cz;
                    continue;
                }
                ASSERT_EQ(v.size(), 256u * 6);
                for (const ChunkVertex& vertex : v) {
                    ASSERT_EQ(vertex.normal[2], 1.0f);
                    ASSERT_EQ(vertex.position[2], 40.0f);
                }
            }
        }
    }
}

TEST(ChunkMeshSolid, BuriedSolidChunkAndAllAirChunkHaveNoFaces) {
    const std::unique_ptr<Map> map = makeFlatMap(100);
    std::vector<ChunkVertex> vertices(12); // storage from an earlier build is reused
    meshChunk(*map, 3, 4, 2, vertices);
    EXPECT_TRUE(vertices.empty());
    meshChunk(*map, 3, 4, 10, vertices);
    EXPECT_TRUE(vertices.empty());
    EXPECT_GE(vertices.capacity(), 12u);
}

TEST_F(ChunkMesh, SolidChunkWithOneAirCellOutsideShowsOnlyTheFaceTowardIt) {
    for (int z = 16; z < 32; ++z) {
        for (int y = 16; y < 32; ++y) {
            for (int x = 16; x < 32; ++x) {
                setBlock(*map, x, y, z, Stone);
            }
        }
    }
    // A shell of solid around the chunk with one gap next to (16, 20, 24).
    for (int z = 15; z <= 32; ++z) {
        for (int y = 15; y <= 32; ++y) {
            for (int x = 15; x <= 32; ++x) {
                if (map->blocks[map->blockIndex(x, y, z)] == Air) {
                    setBlock(*map, x, y, z, Dirt);
                }
            }
        }
    }
    setBlock(*map, 15, 20, 24, Air);
    const std::vector<ChunkVertex> v = mesh(*map, 1, 1, 1);
    ASSERT_EQ(v.size(), 6u);
    expectFace(v.data(), {16, 20, 24}, {{{0, 0, 1}, {0, 1, 1}, {0, 1, 0}, {0, 0, 0}}}, minusX,
               {81, 90, 90});
}

TEST(ChunkBounds, LastChunkOfTheMapEndsAtItsFarCorner) {
    const BoundingBox box = chunkBounds(15, 15, 15);
    EXPECT_EQ(box.min.x, 240.0f);
    EXPECT_EQ(box.min.y, 240.0f);
    EXPECT_EQ(box.min.z, 240.0f);
    EXPECT_EQ(box.max.x, 256.0f);
    EXPECT_EQ(box.max.y, 256.0f);
    EXPECT_EQ(box.max.z, 256.0f);
    const BoundingBox first = chunkBounds(0, 1, 2);
    EXPECT_EQ(first.min.y, 16.0f);
    EXPECT_EQ(first.max.z, 48.0f);
}

} // namespace
