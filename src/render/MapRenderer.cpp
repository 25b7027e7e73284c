#include "render/MapRenderer.h"

#include "render/Camera.h"
#include "render/ChunkQueue.h"
#include "render/LightIds.h"
#include "world/Map.h"

#include <GL/glew.h>

Chunk::~Chunk() {
    glDeleteLists(displayList, 1);
}

namespace {

void enableMeshArrays() {
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnable(GL_COLOR_MATERIAL);
}

void disableMeshArrays() {
    glDisable(GL_COLOR_MATERIAL);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}

void setLight(GLenum id, GLenum parameter, const Vector4& value) {
    const GLfloat values[4] = {value.x, value.y, value.z, value.w};
    glLightfv(id, parameter, values);
}

// Given after the view transform, the position stays fixed in the world.
void lightUp(MapLight& light) {
    const std::uint32_t id = freeLightIds.back();
    freeLightIds.pop_back();
    light.lightId = id;
    glEnable(id);
    setLight(id, GL_AMBIENT, light.ambient);
    setLight(id, GL_DIFFUSE, light.diffuse);
    setLight(id, GL_SPECULAR, light.specular);
    setLight(id, GL_POSITION, light.position);
}

void putOut(MapLight& light) {
    glDisable(light.lightId);
    freeLightIds.push_back(light.lightId);
    light.lightId = 0;
}

} // namespace

MapRenderer::MapRenderer(Map& map)
    : map(map), chunkCountY(map.sizeY / chunkSize), chunkCountX(map.sizeX / chunkSize),
      chunkCountZ(map.sizeZ / chunkSize), chunkCount(chunkCountX * chunkCountY * chunkCountZ) {
    map.addObserver(this);
    chunks = std::make_unique<Chunk[]>(static_cast<std::size_t>(chunkCount));
    rebuildAll();
}

MapRenderer::~MapRenderer() = default;

void MapRenderer::rebuildAll() {
    enableMeshArrays();
    for (int cz = 0; cz < chunkCountZ; ++cz) {
        for (int cy = 0; cy < chunkCountY; ++cy) {
            for (int cx = 0; cx < chunkCountX; ++cx) {
                buildChunk(chunkAt(cx, cy, cz), cx, cy, cz);
            }
        }
    }
    disableMeshArrays();
}

void MapRenderer::buildChunk(Chunk& chunk, int cx, int cy, int cz) {
    if (chunk.displayList != 0) {
        glDeleteLists(chunk.displayList, 1);
        chunk.displayList = 0;
    }
    chunk.bounds = chunkBounds(cx, cy, cz);
    meshChunk(map, cx, cy, cz, staging);
    if (staging.empty()) {
        chunk.hasGeometry = false;
        return;
    }
    chunk.hasGeometry = true;
    chunk.displayList = glGenLists(1);
    const ChunkVertex& first = staging.front();
    glVertexPointer(3, GL_FLOAT, sizeof(ChunkVertex), first.position);
    glNormalPointer(GL_FLOAT, sizeof(ChunkVertex), first.normal);
    glColorPointer(3, GL_UNSIGNED_BYTE, sizeof(ChunkVertex), first.colour);
    glNewList(chunk.displayList, GL_COMPILE);
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(staging.size()));
    glEndList();
    staging.clear();
}

void MapRenderer::blockChanged(int x, int y, int z) {
    const TouchedChunks touched = touchedChunks(x, y, z, chunkCountX, chunkCountY, chunkCountZ);
    for (int i = 0; i < touched.count; ++i) {
        const ChunkCoord& c = touched.chunks[i];
        queueChunk(c.cx, c.cy, c.cz);
    }
}

void MapRenderer::queueChunk(int cx, int cy, int cz) {
    Chunk& chunk = chunkAt(cx, cy, cz);
    if (chunk.queued) {
        return;
    }
    chunk.queued = true;
    rebuildQueue.push_back({chunk, cx, cy, cz});
}

void MapRenderer::draw(Camera& camera) {
    if (!rebuildQueue.empty()) {
        enableMeshArrays();
        for (DirtyChunk& entry : rebuildQueue) {
            entry.chunk.queued = false;
            buildChunk(entry.chunk, entry.cx, entry.cy, entry.cz);
        }
        disableMeshArrays();
        rebuildQueue.clear();
    }

    camera.applyView();
    glEnable(GL_LIGHTING);
    lightUp(map.primaryLight);
    lightUp(map.secondaryLight);
    glEnable(GL_COLOR_MATERIAL);
    for (int i = 0; i < chunkCount; ++i) {
        const Chunk& chunk = chunks[i];
        if (camera.boxInFrustum(chunk.bounds) != FrustumResult::Outside && chunk.hasGeometry) {
            glCallList(chunk.displayList);
        }
    }
    glDisable(GL_COLOR_MATERIAL);
    putOut(map.primaryLight);
    putOut(map.secondaryLight);
    glDisable(GL_LIGHTING);
}
