#pragma once

#include "world/Map.h"
#include "world/MapGenerator.h"

#include <libnoise/noise.h>

#include <cmath>
#include <cstddef>
#include <vector>

// Noise input per block along x and y, and the fixed third coordinate of every sample.
constexpr double noiseSampleSpacing = 0.005;
constexpr double noiseSampleZ = 1.35;
// Dirt blocks directly below a column's Grass.
constexpr int dirtDepth = 5;

// (n + 1) / 2 * sizeZ rounded half up: -1 gives 0, 0 gives sizeZ / 2, 1 gives sizeZ.
// Each rounding to float is part of the result, so the same noise builds the same world.
inline int columnHeight(double noiseValue, int sizeZ) {
    const float n = static_cast<float>(noiseValue);
    const float scaled = static_cast<float>((static_cast<double>(n) + 1.0) * 0.5 *
                                            static_cast<double>(static_cast<float>(sizeZ)));
    const float rounded = scaled + 0.5f;
    return static_cast<int>(std::floor(rounded));
}

// One query per column, y outer and x inner; heights[y * sizeX + x].
// Module is anything with libnoise's GetValue(x, y, z) const.
template <class Module>
void sampleHeights(const Module& module, int sizeX, int sizeY, int sizeZ, int* heights) {
    for (int y = 0; y < sizeY; ++y) {
        for (int x = 0; x < sizeX; ++x) {
            const double value =
                module.GetValue(x * noiseSampleSpacing, y * noiseSampleSpacing, noiseSampleZ);
            heights[static_cast<std::size_t>(y) * sizeX + x] = columnHeight(value, sizeZ);
        }
    }
}

// Writes every cell of the map once, in index order, from the column heights:
// Stone below h - 5, Dirt up to h - 1, Grass at h, Air above.
void fillTerrain(Map& map, const int* heights);

// The terrain generator over any default-constructible noise module; tests run it on stubs.
template <class Module> class BasicNoiseMapGenerator : public MapGenerator {
  public:
    void generate(Map& map) override {
        std::vector<int> heights(static_cast<std::size_t>(map.sizeX) * map.sizeY);
        const Module module{};
        sampleHeights(module, map.sizeX, map.sizeY, map.sizeZ, heights.data());
        fillTerrain(map, heights.data());
    }
};

// The game's terrain. Ridged multifractal noise sampled this way stays within the map: its
// lowest columns just touch the floor (no holes to fall through) and only a few peaks reach
// the ceiling, where plain Perlin noise leaves about 7 % of the columns empty.
class NoiseMapGenerator : public BasicNoiseMapGenerator<noise::module::RidgedMulti> {};
