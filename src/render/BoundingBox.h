#pragma once

#include "physics/Vector3.h"

// Axis-aligned box between its min and max corners.
struct BoundingBox {
    Vector3 min;
    Vector3 max;
};
