#include "states/FixedStep.h"

int takeFixedSteps(float& accumulator, float frameSeconds, float step) {
    accumulator = accumulator + frameSeconds;
    int steps = 0;
    while (!(accumulator < step)) {
        accumulator = accumulator - step;
        ++steps;
    }
    return steps;
}

float interpolationFactor(float accumulator, float step) {
    return accumulator / step;
}
