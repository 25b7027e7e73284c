#pragma once

// The play state's clock arithmetic, apart from SDL so tests can drive it with
// chosen frame times. All single precision.

// Adds the frame time to the accumulator and takes whole steps out of it, one
// subtraction per step; returns how many steps to simulate. No upper limit: after a
// stall the simulation catches up step by step, unless the stall is so long that a
// step no longer changes the accumulator; then the accumulated time is dropped.
int takeFixedSteps(float& accumulator, float frameSeconds, float step);

// How far the present lies between the last simulated state (0) and the next (1).
float interpolationFactor(float accumulator, float step);
