#pragma once

#include "physics/Vector3.h"

#include <cstdio>

// Upright cylinder (axis parallel to z), centred at (x, y, z).
struct UprightCylinder {
    float x, y, z;
    float halfHeight;
    float radius;
};

struct AxisAlignedBox {
    float x, y, z;
    float halfX, halfY, halfZ;
};

struct Circle {
    float x, y;
    float radius;
};

struct Rectangle {
    float x, y;
    float halfX, halfY;
};

struct Axis2 {
    float x, y;
};

// Circle against rectangle in the ground plane. On overlap writes the unit axis that
// moves the circle out of the rectangle and the distance; otherwise leaves them.
bool testCircleRectangle(const Rectangle& rect, const Circle& circle, Axis2& axis, float& length);

// Cylinder against box: separates along exactly one of z, a face normal or a corner
// direction. Out-arguments written only on a collision.
bool testCylinderBox(const AxisAlignedBox& box, const UprightCylinder& cylinder,
                     Vector3& projectionVector, float& projectionLength);

// The two start-up checks, reported on the process's standard output file (a test
// may pass its own).
void runCollisionSelfTests(std::FILE* out = stdout);
