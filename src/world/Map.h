#pragma once

#include "world/BlockType.h"
#include "world/MapChangeObserver.h"
#include "world/MapGenerator.h"
#include "world/MapLight.h"

#include <cstdint>
#include <vector>

// A whole-numbered coordinate as a cell from low to high: bounded while still a float, so that
// no position, however large, becomes an int it does not fit; NaN gives low.
inline int boundedCell(float coordinate, int low, int high) {
    if (!(coordinate > static_cast<float>(low))) {
        return low;
    }
    if (coordinate > static_cast<float>(high)) {
        return high;
    }
    return static_cast<int>(coordinate);
}

// The world: a 256^3 cube of block codes in one flat array, x fastest, z slowest.
class Map {
  public:
    explicit Map(MapGenerator* generator); // takes ownership; generates at once
    ~Map();
    Map(const Map&) = delete;
    Map& operator=(const Map&) = delete;

    int blockIndex(int x, int y, int z) const { return (z * sizeY + y) * sizeX + x; }

    void addObserver(MapChangeObserver* observer);

    // Clears every cell within radius of (cx, cy, cz), clamped to the map, and tells
    // each observer of each cleared cell, in z-slowest, x-fastest order. A radius of -1
    // or less clears nothing; one between -1 and 0 still clears the centre (its reach
    // rounds up to 0 and the centre lies within radius squared).
    void digSphere(int cx, int cy, int cz, float radius);

    std::uint8_t* blocks;
    int sizeX, sizeY, sizeZ;
    MapGenerator* generator;
    MapLight primaryLight;
    MapLight secondaryLight;
    std::vector<MapChangeObserver*> observers;
};
