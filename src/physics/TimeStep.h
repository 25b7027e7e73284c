#pragma once

// The fixed simulation step: 1/60 s rounded to single precision.
constexpr float timeStep = 1.0f / 60.0f;

static_assert(timeStep == 0.016666668f, "the step is the single-precision value of 1/60");
