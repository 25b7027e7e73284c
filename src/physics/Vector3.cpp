#include "physics/Vector3.h"

#include <cmath>

float squareRoot(float v) {
    return static_cast<float>(std::sqrt(static_cast<double>(v)));
}

Vector3 normalize(Vector3 v) {
    float lengthSquared = 0.0f;
    lengthSquared = lengthSquared + v.x * v.x;
    lengthSquared = lengthSquared + v.y * v.y;
    lengthSquared = lengthSquared + v.z * v.z;
    const float length = squareRoot(lengthSquared);
    if (!(length > 0.0f)) {
        return {0.0f, 0.0f, 0.0f};
    }
    return {v.x / length, v.y / length, v.z / length};
}

Plane planeFromPoints(Vector3 a, Vector3 b, Vector3 c) {
    const Vector3 u{a.x - c.x, a.y - c.y, a.z - c.z};
    const Vector3 w{b.x - c.x, b.y - c.y, b.z - c.z};
    // n = w x u; the operand order decides which side the normal faces.
    const Vector3 n{u.z * w.y - u.y * w.z, u.x * w.z - u.z * w.x, u.y * w.x - u.x * w.y};
    Plane plane;
    plane.normal = normalize(n);
    plane.point = c;
    float dot = plane.normal.x * c.x + 0.0f;
    dot = dot + plane.normal.y * c.y;
    dot = dot + plane.normal.z * c.z;
    plane.d = -dot;
    return plane;
}
