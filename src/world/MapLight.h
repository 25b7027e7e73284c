#pragma once

#include <cstdint>

// Homogeneous position or RGBA colour (x, y, z, w = r, g, b, a).
struct Vector4 {
    float x, y, z, w;
};

// Zero vector stays zero; otherwise each component divided by the float length
// accumulated as x^2, y^2, z^2, w^2.
Vector4 normalize4(Vector4 v);

struct MapLight {
    Vector4 position; // w = 0: directional, light arriving from (x, y, z)
    Vector4 ambient;
    Vector4 diffuse;
    Vector4 specular;
    std::uint32_t lightId; // GL light bound while the renderer draws; 0 otherwise
};
