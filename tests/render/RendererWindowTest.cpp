#include "render/Camera.h"
#include "render/ChunkQueue.h"
#include "render/GLWindow.h"
#include "render/LightIds.h"
#include "render/MapRenderer.h"
#include "render/ReferenceMesher.h"
#include "support/TestMap.h"

#include <dlfcn.h>
#include <functional>
#include <set>
#include <tuple>
#include <vector>

// Every glCallList of this test program passes through here on its way to OpenGL,
// so a test can look at the state the renderer has set while a chunk is drawn.
namespace {
std::function<void(GLuint)> onCallList;
}

extern "C" void glCallList(GLuint list) {
    using CallList = void (*)(GLuint);
    static const CallList real = reinterpret_cast<CallList>(dlsym(RTLD_NEXT, "glCallList"));
    if (onCallList) {
        onCallList(list);
    }
    real(list);
}

namespace {

void setBlock(Map& map, int x, int y, int z, std::uint8_t type) {
    map.blocks[map.blockIndex(x, y, z)] = type;
}

using Coords = std::vector<std::tuple<int, int, int>>;

Coords queueCoords(const MapRenderer& renderer) {
    Coords coords;
    for (const DirtyChunk& entry : renderer.rebuildQueue) {
        coords.emplace_back(entry.cx, entry.cy, entry.cz);
    }
    return coords;
}

bool enabled(GLenum capability) {
    return glIsEnabled(capability) == GL_TRUE;
}

void expectStateBracketed() {
    EXPECT_FALSE(enabled(GL_VERTEX_ARRAY));
    EXPECT_FALSE(enabled(GL_NORMAL_ARRAY));
    EXPECT_FALSE(enabled(GL_COLOR_ARRAY));
    EXPECT_FALSE(enabled(GL_COLOR_MATERIAL));
    EXPECT_FALSE(enabled(GL_LIGHTING));
    for (GLenum light = GL_LIGHT0; light <= GL_LIGHT7; ++light) {
        EXPECT_FALSE(enabled(light)) << "GL_LIGHT" << light - GL_LIGHT0;
    }
}

class Renderer : public GLWindowTest {
  protected:
    // Draws in earlier tests of this process have reordered the pool.
    void SetUp() override {
        GLWindowTest::SetUp();
        freeLightIds = makeLightIdPool();
    }
    void TearDown() override {
        onCallList = nullptr;
        GLWindowTest::TearDown();
    }
};

TEST_F(Renderer, ConstructionBuildsChunksWithFacesOnlyAndLeavesArraysOff) {
    std::unique_ptr<Map> map = makeEmptyMap();
    setBlock(*map, 20, 20, 20, Grass);
    setBlock(*map, 200, 3, 100, Stone);
    MapRenderer renderer(*map);

    ASSERT_EQ(map->observers.size(), 1u);
    EXPECT_EQ(map->observers[0], &renderer);
    EXPECT_EQ(renderer.chunkCount, 4096);
    EXPECT_TRUE(renderer.rebuildQueue.empty());
    int withLists = 0;
    for (int i = 0; i < renderer.chunkCount; ++i) {
        const Chunk& chunk = renderer.chunks[i];
        EXPECT_TRUE(chunk.vertices.empty());
        EXPECT_FALSE(chunk.queued);
        EXPECT_EQ(chunk.hasGeometry, chunk.displayList != 0);
        if (chunk.hasGeometry) {
            EXPECT_TRUE(glIsList(chunk.displayList));
            EXPECT_GE(chunk.vertices.capacity(), 36u) << "the staging storage is kept";
            ++withLists;
        }
    }
    EXPECT_EQ(withLists, 2);
    EXPECT_TRUE(renderer.chunkAt(1, 1, 1).hasGeometry);
    EXPECT_TRUE(renderer.chunkAt(12, 0, 6).hasGeometry);
    const BoundingBox last = renderer.chunkAt(15, 15, 15).bounds;
    EXPECT_EQ(last.min.x, 240.0f);
    EXPECT_EQ(last.max.z, 256.0f);
    expectStateBracketed();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(Renderer, ChunkLeftAllAirOrBuriedHasNoListAndItsOldListIsDeleted) {
    std::unique_ptr<Map> map = makeEmptyMap();
    setBlock(*map, 20, 20, 20, Dirt);
    MapRenderer renderer(*map);
    Chunk& chunk = renderer.chunkAt(1, 1, 1);
    const GLuint first = chunk.displayList;
    ASSERT_NE(first, 0u);

    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);

    setBlock(*map, 20, 20, 20, Air);
    renderer.buildChunk(chunk, 1, 1, 1);
    EXPECT_FALSE(chunk.hasGeometry);
    EXPECT_EQ(chunk.displayList, 0u);
    EXPECT_FALSE(glIsList(first));

    setBlock(*map, 20, 20, 20, Dirt);
    renderer.buildChunk(chunk, 1, 1, 1);
    const GLuint second = chunk.displayList;
    ASSERT_TRUE(glIsList(second));
    EXPECT_TRUE(chunk.vertices.empty());
    // Bury the chunk: solid itself and in the one-cell shell around it.
    for (int z = 15; z <= 32; ++z) {
        for (int y = 15; y <= 32; ++y) {
            for (int x = 15; x <= 32; ++x) {
                setBlock(*map, x, y, z, Stone);
            }
        }
    }
    renderer.buildChunk(chunk, 1, 1, 1);
    EXPECT_FALSE(chunk.hasGeometry);
    EXPECT_EQ(chunk.displayList, 0u);
    EXPECT_FALSE(glIsList(second));
    EXPECT_TRUE(chunk.vertices.empty());
}

TEST_F(Renderer, RebuildAllReplacesListsButLeavesTheQueueAlone) {
    std::unique_ptr<Map> map = makeEmptyMap();
    setBlock(*map, 20, 20, 20, Dirt);
    MapRenderer renderer(*map);
    renderer.blockChanged(40, 40, 40);
    const GLuint before = renderer.chunkAt(1, 1, 1).displayList;
    renderer.rebuildAll();
    EXPECT_TRUE(glIsList(renderer.chunkAt(1, 1, 1).displayList));
    if (renderer.chunkAt(1, 1, 1).displayList != before) {
        EXPECT_FALSE(glIsList(before));
    }
    EXPECT_EQ(queueCoords(renderer), (Coords{{2, 2, 2}}));
    EXPECT_TRUE(renderer.chunkAt(2, 2, 2).queued);
    expectStateBracketed();
}

TEST_F(Renderer, ChangesQueueTouchedChunksOnceInOrder) {
    std::unique_ptr<Map> map = makeEmptyMap();
    MapRenderer renderer(*map);
    renderer.blockChanged(16, 16, 16);
    EXPECT_EQ(queueCoords(renderer), (Coords{{1, 1, 1}, {0, 1, 1}, {1, 0, 1}, {1, 1, 0}}));
    renderer.blockChanged(17, 16, 16); // (1,1,1) and (1,0,1) again, (1,1,0) again
    renderer.blockChanged(15, 20, 31);
    EXPECT_EQ(queueCoords(renderer),
              (Coords{{1, 1, 1}, {0, 1, 1}, {1, 0, 1}, {1, 1, 0}, {0, 1, 2}}));
    for (const DirtyChunk& entry : renderer.rebuildQueue) {
        EXPECT_EQ(&entry.chunk, &renderer.chunkAt(entry.cx, entry.cy, entry.cz));
        EXPECT_TRUE(entry.chunk.queued);
    }
    renderer.blockChanged(255, 0, 255);
    EXPECT_EQ(std::get<0>(queueCoords(renderer).back()), 15);
    EXPECT_EQ(renderer.rebuildQueue.size(), 6u) << "nothing beyond the map's sides";
}

TEST_F(Renderer, DrawRebuildsQueuedChunksAndEmptiesTheQueue) {
    std::unique_ptr<Map> map = makeEmptyMap();
    MapRenderer renderer(*map);
    StillParent parent({8.0f, -40.0f, 8.0f});
    Camera camera(&parent, 80.0f, 0.1f, 10000.0f);

    setBlock(*map, 16, 5, 5, Stone);
    renderer.blockChanged(16, 5, 5);
    ASSERT_FALSE(renderer.chunkAt(1, 0, 0).hasGeometry);
    std::vector<GLuint> called;
    onCallList = [&](GLuint list) { called.push_back(list); };
    renderer.draw(camera);

    EXPECT_TRUE(renderer.rebuildQueue.empty());
    for (int i = 0; i < renderer.chunkCount; ++i) {
        ASSERT_FALSE(renderer.chunks[i].queued);
    }
    const Chunk& rebuilt = renderer.chunkAt(1, 0, 0);
    EXPECT_TRUE(rebuilt.hasGeometry);
    EXPECT_TRUE(rebuilt.vertices.empty());
    EXPECT_EQ(called, std::vector<GLuint>{rebuilt.displayList});
    EXPECT_FALSE(renderer.chunkAt(0, 0, 0).hasGeometry) << "its neighbour was rebuilt, empty";
    expectStateBracketed();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// What the renderer has lit while a chunk's list is being called.
struct LightsDuringCall {
    std::uint32_t primaryId, secondaryId;
    bool lighting, primaryOn, secondaryOn, colourMaterial;
    GLfloat primaryDiffuse[4];
    GLfloat secondaryDiffuse[4];
};

TEST_F(Renderer, DrawLightsFromTheEndOfThePoolAndPutsEverythingOut) {
    std::unique_ptr<Map> map = makeEmptyMap();
    setBlock(*map, 128, 140, 128, Grass);
    MapRenderer renderer(*map);
    StillParent parent({128.5f, 120.0f, 128.5f});
    Camera camera(&parent, 80.0f, 0.1f, 10000.0f);

    std::vector<LightsDuringCall> seen;
    onCallList = [&](GLuint) {
        LightsDuringCall s{};
        s.primaryId = map->primaryLight.lightId;
        s.secondaryId = map->secondaryLight.lightId;
        s.lighting = enabled(GL_LIGHTING);
        s.primaryOn = s.primaryId != 0 && enabled(s.primaryId);
        s.secondaryOn = s.secondaryId != 0 && enabled(s.secondaryId);
        s.colourMaterial = enabled(GL_COLOR_MATERIAL);
        glGetLightfv(s.primaryId, GL_DIFFUSE, s.primaryDiffuse);
        glGetLightfv(s.secondaryId, GL_DIFFUSE, s.secondaryDiffuse);
        seen.push_back(s);
    };

    ASSERT_EQ(freeLightIds.size(), 8u);
    ASSERT_EQ(freeLightIds.back(), static_cast<std::uint32_t>(GL_LIGHT7));
    for (int frame = 0; frame < 3; ++frame) {
        SCOPED_TRACE(frame);
        renderer.draw(camera);
        ASSERT_EQ(seen.size(), static_cast<std::size_t>(frame + 1));
        const LightsDuringCall& s = seen.back();
        const GLenum primary = frame % 2 == 0 ? GL_LIGHT7 : GL_LIGHT6;
        const GLenum secondary = frame % 2 == 0 ? GL_LIGHT6 : GL_LIGHT7;
        EXPECT_EQ(s.primaryId, primary);
        EXPECT_EQ(s.secondaryId, secondary);
        EXPECT_TRUE(s.lighting);
        EXPECT_TRUE(s.primaryOn);
        EXPECT_TRUE(s.secondaryOn);
        EXPECT_TRUE(s.colourMaterial);
        EXPECT_EQ(s.primaryDiffuse[0], 1.0f);
        EXPECT_EQ(s.secondaryDiffuse[0], 0.5f);

        EXPECT_EQ(map->primaryLight.lightId, 0u);
        EXPECT_EQ(map->secondaryLight.lightId, 0u);
        ASSERT_EQ(freeLightIds.size(), 8u);
        EXPECT_EQ(freeLightIds[6], primary) << "primary goes back first";
        EXPECT_EQ(freeLightIds[7], secondary);
        expectStateBracketed();
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(Renderer, DrawLeavesTheViewInTheModelviewMatrix) {
    std::unique_ptr<Map> map = makeEmptyMap();
    MapRenderer renderer(*map);
    StillParent parent({30.0f, 40.0f, 50.0f}, 33.0f, -12.0f);
    Camera camera(&parent, 80.0f, 0.1f, 10000.0f);
    glMatrixMode(GL_PROJECTION);
    renderer.blockChanged(1, 1, 1);
    renderer.draw(camera);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    const Matrix afterDraw = currentMatrix(GL_MODELVIEW_MATRIX);
    glLoadIdentity();
    camera.applyView();
    EXPECT_EQ(afterDraw, currentMatrix(GL_MODELVIEW_MATRIX));
}

TEST_F(Renderer, ChunksBehindTheNearPlaneOrWithoutFacesAreNeverCalled) {
    std::unique_ptr<Map> map = makeEmptyMap();
    setBlock(*map, 128, 120, 130, Stone); // chunk (8, 7, 8), ahead
    setBlock(*map, 128, 60, 130, Stone);  // chunk (8, 3, 8), wholly behind
    setBlock(*map, 130, 97, 131, Stone);  // chunk (8, 6, 8), the eye's own, behind the eye
    MapRenderer renderer(*map);
    StillParent parent({128.5f, 100.0f, 130.5f});
    Camera camera(&parent, 80.0f, 0.1f, 10000.0f);
    ASSERT_EQ(camera.boxInFrustum(renderer.chunkAt(8, 3, 8).bounds), FrustumResult::Outside);
    ASSERT_EQ(camera.boxInFrustum(renderer.chunkAt(8, 6, 8).bounds), FrustumResult::Intersect);

    std::set<GLuint> called;
    std::size_t calls = 0;
    onCallList = [&](GLuint list) {
        called.insert(list);
        ++calls;
    };
    renderer.draw(camera);

    EXPECT_EQ(calls, 2u);
    EXPECT_EQ(called, (std::set<GLuint>{renderer.chunkAt(8, 7, 8).displayList,
                                        renderer.chunkAt(8, 6, 8).displayList}));
    EXPECT_EQ(called.count(0), 0u);
    int emptyInView = 0;
    for (int i = 0; i < renderer.chunkCount; ++i) {
        const Chunk& chunk = renderer.chunks[i];
        if (!chunk.hasGeometry && camera.boxInFrustum(chunk.bounds) != FrustumResult::Outside) {
            ++emptyInView;
        }
    }
    EXPECT_GT(emptyInView, 100) << "plenty of empty chunks were in view and skipped";
}

// The chunks a list of changed cells queues, by the rule read plainly: for each cell,
// its own chunk, then across each face of that chunk the cell lies on.
Coords referenceQueue(const std::vector<std::array<int, 3>>& cells) {
    Coords queue;
    std::set<std::tuple<int, int, int>> seen;
    const auto add = [&](int cx, int cy, int cz) {
        if (cx < 0 || cy < 0 || cz < 0 || cx > 15 || cy > 15 || cz > 15) {
            return;
        }
        if (seen.insert({cx, cy, cz}).second) {
            queue.emplace_back(cx, cy, cz);
        }
    };
    for (const auto& c : cells) {
        const int cx = c[0] / 16, cy = c[1] / 16, cz = c[2] / 16;
        add(cx, cy, cz);
        add(c[0] % 16 == 0 ? cx - 1 : c[0] % 16 == 15 ? cx + 1 : -1, cy, cz);
        add(cx, c[1] % 16 == 0 ? cy - 1 : c[1] % 16 == 15 ? cy + 1 : -1, cz);
        add(cx, cy, c[2] % 16 == 0 ? cz - 1 : c[2] % 16 == 15 ? cz + 1 : -1);
    }
    return queue;
}

class CellRecorder : public MapChangeObserver {
  public:
    void blockChanged(int x, int y, int z) override { cells.push_back({x, y, z}); }
    std::vector<std::array<int, 3>> cells;
};

TEST_F(Renderer, DigsQueueWhatThePlainRuleQueuesAndRebuildToTheReferenceMeshes) {
    std::unique_ptr<Map> map = makeMap([](int x, int y, int z) -> std::uint8_t {
        const int height = 100 + (x * 7 + y * 3) % 40;
        return z < height - 5 ? Stone : z < height ? Dirt : z == height ? Grass : Air;
    });
    MapRenderer renderer(*map);
    CellRecorder recorder;
    map->addObserver(&recorder);
    StillParent parent({128.0f, 128.0f, 200.0f}, 0.0f, -60.0f);
    Camera camera(&parent, 80.0f, 0.1f, 10000.0f);

    const int digs[][3] = {{128, 128, 130}, {0, 0, 110}, {255, 17, 140}, {80, 200, 96}};
    for (const auto& at : digs) {
        SCOPED_TRACE(::testing::Message() << at[0] << " " << at[1] << " " << at[2]);
        recorder.cells.clear();
        map->digSphere(at[0], at[1], at[2], 20.0f);
        map->digSphere(at[0] + 3, at[1], at[2] - 2, 20.0f);
        ASSERT_FALSE(recorder.cells.empty());
        EXPECT_EQ(queueCoords(renderer), referenceQueue(recorder.cells));
        const Coords queued = queueCoords(renderer);
        renderer.draw(camera);
        EXPECT_TRUE(renderer.rebuildQueue.empty());
        std::vector<ChunkVertex> reference;
        for (const auto& [cx, cy, cz] : queued) {
            const Chunk& chunk = renderer.chunkAt(cx, cy, cz);
            referenceMeshChunk(*map, cx, cy, cz, reference);
            EXPECT_FALSE(chunk.queued);
            EXPECT_EQ(chunk.hasGeometry, !reference.empty());
            EXPECT_EQ(chunk.displayList != 0, !reference.empty());
        }
    }
    expectStateBracketed();
}

} // namespace
