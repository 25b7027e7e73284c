#include "world/Map.h"

#include "physics/Vector3.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

Vector4 normalize4(Vector4 v) {
    Vector4 result{0.0f, 0.0f, 0.0f, 0.0f};
    float lengthSquared = 0.0f;
    lengthSquared = lengthSquared + v.x * v.x;
    lengthSquared = lengthSquared + v.y * v.y;
    lengthSquared = lengthSquared + v.z * v.z;
    lengthSquared = lengthSquared + v.w * v.w;
    const float length = squareRoot(lengthSquared);
    if (length > 0.0f) {
        result = {v.x / length, v.y / length, v.z / length, v.w / length};
    }
    return result;
}

Map::Map(MapGenerator* generator)
    : blocks(nullptr), sizeX(256), sizeY(256), sizeZ(256), generator(generator) {
    primaryLight = MapLight{{0.5345f, 0.2672f, 0.8017f, 0.0f},
                            {0.4f, 0.4f, 0.4f, 1.0f},
                            {1.0f, 1.0f, 1.0f, 1.0f},
                            {0.0f, 0.0f, 0.0f, 0.0f},
                            0};
    secondaryLight = MapLight{normalize4({-0.5345f, -0.2672f, -1.0f, 0.0f}),
                              {0.1f, 0.1f, 0.1f, 1.0f},
                              {0.5f, 0.5f, 0.5f, 1.0f},
                              {0.0f, 0.0f, 0.0f, 0.0f},
                              0};
    // Not cleared: the generator writes every cell.
    blocks = new std::uint8_t[static_cast<std::size_t>(sizeX) * sizeY * sizeZ];
    generator->generate(*this);
}

Map::~Map() {
    delete[] blocks;
    delete generator;
}

void Map::addObserver(MapChangeObserver* observer) {
    observers.push_back(observer);
}

namespace {

struct CellRange {
    int first, last; // inclusive; empty when first > last
};

// centre - reach .. centre + reach clamped to 0 .. size - 1, in double so that no centre or
// radius can overflow the arithmetic.
CellRange clampedRange(int centre, double reach, int size) {
    const double first = std::max(centre - reach, 0.0);
    const double last = std::min(centre + reach, size - 1.0);
    if (!(first <= last)) {
        return {0, -1};
    }
    return {static_cast<int>(first), static_cast<int>(last)};
}

} // namespace

void Map::digSphere(int cx, int cy, int cz, float radius) {
    const double reach = std::ceil(radius);
    const float radiusSquared = radius * radius;
    const CellRange xs = clampedRange(cx, reach, sizeX);
    const CellRange ys = clampedRange(cy, reach, sizeY);
    const CellRange zs = clampedRange(cz, reach, sizeZ);
    for (int z = zs.first; z <= zs.last; ++z) {
        for (int y = ys.first; y <= ys.last; ++y) {
            for (int x = xs.first; x <= xs.last; ++x) {
                const std::int64_t dx = cx - static_cast<std::int64_t>(x);
                const std::int64_t dy = cy - static_cast<std::int64_t>(y);
                const std::int64_t dz = cz - static_cast<std::int64_t>(z);
                // Unsigned: three squares of differences of 32-bit ints cannot overflow it.
                const std::uint64_t distanceSquared = static_cast<std::uint64_t>(dx * dx) +
                                                      static_cast<std::uint64_t>(dy * dy) +
                                                      static_cast<std::uint64_t>(dz * dz);
                if (static_cast<double>(distanceSquared) <= radiusSquared) {
                    blocks[blockIndex(x, y, z)] = Air;
                    for (MapChangeObserver* observer : observers) {
                        observer->blockChanged(x, y, z);
                    }
                }
            }
        }
    }
}
