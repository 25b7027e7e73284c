#include "world/Picking.h"

#include "world/BlockType.h"

#include <cmath>
#include <limits>

namespace {

struct AxisWalk {
    int step;
    float tMax;   // ray parameter at which the ray leaves the current cell along this axis
    float tDelta; // ray parameter length of one cell along this axis
};

AxisWalk startAxis(float origin, int cell, float direction) {
    const float tDelta = 1.0f / std::fabs(direction);
    if (direction < 0.0f) {
        return {-1, (static_cast<float>(cell) - origin) / direction, tDelta};
    }
    if (direction > 0.0f) {
        return {1, (static_cast<float>(cell + 1) - origin) / direction, tDelta};
    }
    // A zero of either sign never reaches a face of this axis. Dividing by -0 would give
    // -infinity and step this axis every time; looking straight up makes x exactly -0.
    return {1, std::numeric_limits<float>::infinity(), tDelta};
}

} // namespace

PickResult pickBlock(Vector3 origin, Vector3 direction, int maxX, int maxY, int maxZ,
                     const Map& map) {
    // The floor, so that -0.5 is the cell below 0; bounded one beyond the walk's bounds, where
    // it stops at once.
    int x = boundedCell(std::floor(origin.x), -1, maxX + 1);
    int y = boundedCell(std::floor(origin.y), -1, maxY + 1);
    int z = boundedCell(std::floor(origin.z), -1, maxZ + 1);
    AxisWalk walkX = startAxis(origin.x, x, direction.x);
    AxisWalk walkY = startAxis(origin.y, y, direction.y);
    AxisWalk walkZ = startAxis(origin.z, z, direction.z);

    while (x <= maxX) {
        if (x < 0 || y < 0 || y > maxY || z < 0 || z > maxZ) {
            break;
        }
        if (map.blocks[map.blockIndex(x, y, z)] != Air) {
            return {x, y, z};
        }
        // Strict comparisons: ties go to z over x and y, and to y over x.
        if (walkX.tMax < walkY.tMax) {
            if (walkX.tMax < walkZ.tMax) {
                x += walkX.step;
                walkX.tMax += walkX.tDelta;
            } else {
                z += walkZ.step;
                walkZ.tMax += walkZ.tDelta;
            }
        } else if (walkY.tMax < walkZ.tMax) {
            y += walkY.step;
            walkY.tMax += walkY.tDelta;
        } else {
            z += walkZ.step;
            walkZ.tMax += walkZ.tDelta;
        }
    }
    return {-1, -1, -1};
}
