#include "render/ChunkMesher.h"
#include "render/ChunkQueue.h"
#include "render/Frustum.h"
#include "render/ReferenceMesher.h"
#include "support/Testing.h"

namespace {

// The fast mesher against the reference, chunk by chunk, byte for byte, on a map whose every
// chunk-sized region has its own pattern: Air, solid, sparse or dense noise, lone holes. (The
// generated map's meshes are pinned by the world's digest.)
TEST(MeshEquivalence, RandomMaps) {
    std::mt19937 random(20240611);
    std::vector<int> kinds(4096);
    for (int& kind : kinds)
        kind = random() % 6;
    const auto patterns = makeMap([&](int x, int y, int z) -> std::uint8_t {
        const int kind = kinds[(z / 16 * 16 + y / 16) * 16 + x / 16];
        const double density = kind == 2 ? 0.1 : kind == 3 ? 0.5 : 0.95;
        const bool solid = kind == 1 || (kind == 5 && (x + y + z) % 7 != 0) ||
                           (kind >= 2 && kind <= 4 && random() < density * random.max());
        return solid ? std::uint8_t(Grass + random() % 3) : std::uint8_t(Air);
    });
    std::vector<ChunkVertex> fast(7), reference; // stale contents must not leak through
    for (int i = 0; i < 4096; ++i) {
        meshChunk(*patterns, i % 16, i / 16 % 16, i / 256, fast);
        referenceMeshChunk(*patterns, i % 16, i / 16 % 16, i / 256, reference);
        std::size_t alike = 0; // vertices alike from the first on
        while (alike < std::min(fast.size(), reference.size()) &&
               std::memcmp(&fast[alike], &reference[alike], sizeof(ChunkVertex)) == 0)
            ++alike;
        EXPECT_EQ(std::make_pair(fast.size(), alike),
                  std::make_pair(reference.size(), reference.size()))
            << "chunk " << i % 16 << " " << i / 16 % 16 << " " << i / 256;
    }
}

TEST(TouchedChunks, AreTheOwnChunkThenTheNeighboursAcrossTheCellsFacesInXYZOrder) {
    // A cell in a map of 16^3 chunks: the chunks it touches, none beyond the map's sides.
    // clang-format off
    const std::pair<Cell, std::vector<Cell>> cases[] = {
        {{16, 16, 16}, {{1, 1, 1}, {0, 1, 1}, {1, 0, 1}, {1, 1, 0}}},
        {{15, 20, 31}, {{0, 1, 1}, {1, 1, 1}, {0, 1, 2}}}, {{100, 37, 200}, {{6, 2, 12}}},
        {{0, 0, 0}, {{0, 0, 0}}}, {{255, 255, 255}, {{15, 15, 15}}},
        {{240, 15, 0}, {{15, 0, 0}, {14, 0, 0}, {15, 1, 0}}}};
    // clang-format on
    for (const auto& [cell, expected] : cases) {
        const TouchedChunks t = touchedChunks(cell[0], cell[1], cell[2], 16, 16, 16);
        std::vector<Cell> chunks;
        for (int i = 0; i < t.count; ++i)
            chunks.push_back({t.chunks[i].cx, t.chunks[i].cy, t.chunks[i].cz});
        EXPECT_EQ(chunks, expected) << cell[0] << " " << cell[1] << " " << cell[2];
    }
}

TEST(Frustum, PlanesLeanByHalfTheFieldOfViewAndBoxesOnThemCountAsIn) {
    // Level along +y, fov 90, square, near 1, far 100: the top plane passes through (0, 1, 1).
    const FrustumPlanes p = frustumPlanes({0, 0, 0}, viewBasis(0, 0), 90.0f, 1.0f, 100.0f, 1.0f);
    const float h = 0.70710678f;
    const std::pair<Vector3, float> planes[] = {{{0, 1, 0}, -1}, {{0, -1, 0}, 100},
                                                {{0, h, -h}, 0}, {{0, h, h}, 0},
                                                {{h, h, 0}, 0},  {{-h, h, 0}, 0}};
    for (int i = 0; i < 18; ++i)
        EXPECT_NEAR(xyz(p[i / 3].normal)[i % 3], xyz(planes[i / 3].first)[i % 3], 1e-6) << i / 3;
    for (int i = 0; i < 6; ++i)
        EXPECT_NEAR(p[i].d, planes[i].second, 1e-4) << i;
    // The view of fov 80, 4:3, near 0.1, far 10000; the cube [0, 10]^3 as inward planes.
    const FrustumPlanes view =
        frustumPlanes({0, 0, 0}, viewBasis(0, 0), 80.0f, 0.1f, 10000.0f, 4.0f / 3);
    // clang-format off
    const FrustumPlanes cube{{{{1, 0, 0}, {}, 0}, {{-1, 0, 0}, {}, 10}, {{0, 1, 0}, {}, 0},
                              {{0, -1, 0}, {}, 10}, {{0, 0, 1}, {}, 0}, {{0, 0, -1}, {}, 10}}};
    // clang-format on
    using R = FrustumResult;
    const std::tuple<const FrustumPlanes*, BoundingBox, FrustumResult> cases[] = {
        {&view, {{-1, 10, -1}, {1, 12, 1}}, R::Inside},
        {&view, {{-1, -12, -1}, {1, -10, 1}}, R::Outside}, // behind
        {&view, {{-1, -1, -1}, {1, 1, 1}}, R::Intersect},  // around the eye: the near plane
        {&view, {{5, 10, -1}, {20, 12, 1}}, R::Intersect}, // across the right plane
        {&view, {{9, 10, 7}, {40, 11, 30}}, R::Intersect}, // beside an edge, behind no one plane
        {&cube, {{-2, 1, 1}, {0, 2, 2}}, R::Intersect},
        {&cube, {{-2, 1, 1}, {-0.5f, 2, 2}}, R::Outside},
        {&cube, {{0, 0, 0}, {10, 10, 10}}, R::Inside}};
    for (const auto& [planes, box, result] : cases)
        EXPECT_EQ(classifyBox(*planes, box), result)
            << box.min.x << " " << box.min.y << " " << box.min.z;
}

} // namespace
