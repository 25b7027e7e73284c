#pragma once

#include <cmath>

// Angles cross interfaces in degrees; the trigonometry runs in double precision and is
// rounded once to single, so every platform's libm gives the same float.

// pi/180 rounded to single precision.
constexpr float degreesToRadians = 0.017453292f;

inline float sine(float radians) {
    return static_cast<float>(std::sin(static_cast<double>(radians)));
}

inline float cosine(float radians) {
    return static_cast<float>(std::cos(static_cast<double>(radians)));
}

inline float tangent(float radians) {
    return static_cast<float>(std::tan(static_cast<double>(radians)));
}
