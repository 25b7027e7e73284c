#include "physics/KeyState.h"
#include "physics/MapCollision.h"
#include "physics/Player.h"
#include "physics/TimeStep.h"
#include "world/Map.h"
#include "world/NoiseMapGenerator.h"

#include <SDL/SDL_keysym.h>
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <cstdio>

// One fixed step of a player standing on the generated terrain: gravity pulls it
// in, the collision puts it back on the four blocks under it. The trace is
// formatted as in the game but written to a sink.
static void BM_CollideStep(benchmark::State& state) {
    std::array<std::uint8_t, SDLK_LAST> keys{};
    std::uint8_t* const savedKeys = keyState;
    keyState = keys.data();
    Map map(new NoiseMapGenerator);
    std::FILE* sink = std::fopen("/dev/null", "w");

    Player player;
    // Dropped from its start until a step leaves it where it was.
    for (int i = 0; i < 1200 && (i == 0 || player.position.z != player.lastPosition.z); ++i) {
        player.updateMovement(timeStep);
        collideWithMap(player, map, sink);
    }

    for (auto _ : state) {
        player.updateMovement(timeStep);
        collideWithMap(player, map, sink);
        benchmark::DoNotOptimize(player.position);
    }
    state.counters["z"] = player.position.z;

    std::fclose(sink);
    keyState = savedKeys;
}
BENCHMARK(BM_CollideStep);
