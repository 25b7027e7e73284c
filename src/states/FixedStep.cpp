#include "states/FixedStep.h"

int takeFixedSteps(float& accumulator, float frameSeconds, float step) {
    accumulator = accumulator + frameSeconds;
    int steps = 0;
    while (!(accumulator < step)) {
        const float rest = accumulator - step;
        // Past about 2^19 s a step is below half the accumulator's precision and
        // subtracting it changes nothing: the loop would never end. Such a stall (a
        // process stopped for days) is not caught up; its time is dropped.
        if (rest == accumulator) {
            accumulator = 0.0f;
            break;
        }
        accumulator = rest;
        ++steps;
    }
    return steps;
}

float interpolationFactor(float accumulator, float step) {
    return accumulator / step;
}
