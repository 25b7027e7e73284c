// Writes the bytes of the world whose digests must be the same on every architecture: the
// generated map's cells, every chunk's mesh as the display lists get it, or the trace of a
// scripted run of fixed steps.   tessaria_world_bytes cells|meshes|trace FILE
#include "physics/KeyState.h"
#include "physics/MapCollision.h"
#include "physics/Player.h"
#include "physics/TimeStep.h"
#include "render/ChunkMesher.h"
#include "render/Frustum.h"
#include "world/NoiseMapGenerator.h"
#include "world/Picking.h"

#include <SDL/SDL_keysym.h>
#include <array>
#include <cstdio>
#include <string>
#include <tuple>

namespace {

std::array<std::uint8_t, SDLK_LAST> keys;

void hold(const char* held) {
    keys.fill(0);
    for (; *held != '\0'; ++held)
        keys[static_cast<unsigned char>(*held)] = 1;
}

void writeBody(std::FILE* out, const Player& player) {
    std::fwrite(&player.position, sizeof player.position, 1, out);
    std::fwrite(&player.lastPosition, sizeof player.lastPosition, 1, out);
}

// 26 s at 60 steps a second: the fall and the landing, walking each way, turning while walking,
// a thrust, digging three times looking down, which drops the player into a crater, and walking
// into its wall until it holds. Each phase: the step it lasts until, keys held, mouse counts per
// step, and whether it digs at its first step.
const std::tuple<int, const char*, int, int, bool> script[] = {
    {360, "", 0, 0, false},   {480, "w", 0, 0, false}, {660, "s", 0, 0, false},
    {720, "d", 0, 0, false},  {780, "a", 0, 0, false}, {840, "wd", 6, 0, false},
    {870, " ", -3, 0, false}, {960, "", 0, 0, false},  {1000, "", 0, 8, false},
    {1060, "", 0, 0, true},   {1120, "", 0, 0, true},  {1180, "", 0, 0, true},
    {1220, "", 0, -8, false}, {1560, "w", 0, 0, false}};

void writeTrace(std::FILE* out, Map& map) {
    Player player;
    int step = 0;
    for (const auto& [untilStep, held, dx, dy, dig] : script) {
        hold(held);
        for (bool first = true; step < untilStep; ++step, first = false) {
            player.updateMovement(timeStep);
            collideWithMap(player, map, out);
            player.applyLook(dx, dy);
            writeBody(out, player);
            if (dig && first) {
                const Vector3 ray = viewBasis(player.yaw, player.pitch).direction;
                const PickResult hit = pickBlock(player.position, ray, 255, 255, 255, map);
                std::fprintf(out, "dig %d %d %d\n", hit.x, hit.y, hit.z);
                if (hit.x >= 0)
                    map.digSphere(hit.x, hit.y, hit.z, 20.0f);
            }
        }
    }
    // Then a few steps from the origin at each whole degree of yaw, rising as fast: near 0 every
    // last bit of the velocity reaches the position (near 128 only 1e-5 of a unit does), and each
    // heading takes its sine and cosine from this architecture's C library.
    for (const char* held : {"wd ", "sa"}) {
        hold(held);
        for (int degrees = 0; degrees < 360; ++degrees) {
            Player body;
            body.position = body.lastPosition = {0.0f, 0.0f, 0.0f};
            body.yaw = static_cast<float>(degrees);
            body.setVelocity({0.0f, 0.0f, static_cast<float>(degrees) / 64.0f});
            for (int i = 0; i < 4; ++i) {
                body.updateMovement(timeStep);
                writeBody(out, body);
            }
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    const std::string what = argc == 3 ? argv[1] : "";
    std::FILE* out = what.empty() ? nullptr : std::fopen(argv[2], "wb");
    if (out == nullptr || (what != "cells" && what != "meshes" && what != "trace")) {
        std::fprintf(stderr, "usage: %s cells|meshes|trace FILE\n", argv[0]);
        return 2;
    }
    keyState = keys.data();
    Map map(new NoiseMapGenerator);
    if (what == "trace")
        writeTrace(out, map);
    if (what == "cells")
        std::fwrite(map.blocks, 1, static_cast<std::size_t>(map.sizeX) * map.sizeY * map.sizeZ,
                    out);
    std::vector<ChunkVertex> vertices;
    for (int cz = 0; what == "meshes" && cz < map.sizeZ / chunkSize; ++cz)
        for (int cy = 0; cy < map.sizeY / chunkSize; ++cy)
            for (int cx = 0; cx < map.sizeX / chunkSize; ++cx) {
                meshChunk(map, cx, cy, cz, vertices);
                const auto count = static_cast<std::uint32_t>(vertices.size());
                std::fwrite(&count, sizeof count, 1, out);
                if (!vertices.empty()) // an empty vector's data may be null
                    std::fwrite(vertices.data(), sizeof(ChunkVertex), vertices.size(), out);
            }
    return std::fclose(out) == 0 ? 0 : 1;
}
