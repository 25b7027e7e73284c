#pragma once

#include "physics/Vector3.h"
#include "world/Map.h"

// Cell coordinates of a picked block; all three -1 when nothing was hit.
struct PickResult {
    int x, y, z;
};

// Walks the cells along the ray from origin, the start cell first, and returns the first one
// that is not Air. The walk ends where the ray leaves 0..maxX, 0..maxY, 0..maxZ (inclusive),
// which must lie inside the map. The direction need not be unit length.
PickResult pickBlock(Vector3 origin, Vector3 direction, int maxX, int maxY, int maxZ,
                     const Map& map);
