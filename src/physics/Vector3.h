#pragma once

// Single-precision 3-vector and the few helpers shared across subsystems.
// Every intermediate is a float; sums are accumulated from 0 in x, y, z order.
struct Vector3 {
    float x, y, z;
};

// Point-normal plane: signed distance of p is normal . p + d.
struct Plane {
    Vector3 normal;
    Vector3 point;
    float d;
};

// Square root taken in double precision and rounded to single.
float squareRoot(float v);

// v / |v|, or (0, 0, 0) when the length is not greater than 0 (zero or NaN).
Vector3 normalize(Vector3 v);

// Plane through a, b, c: normal = normalize((b - c) x (a - c)), point = c.
Plane planeFromPoints(Vector3 a, Vector3 b, Vector3 c);

// sqrt(2) rounded to single precision, computed once before main.
extern const float squareRootOfTwo;
