#pragma once

#include "physics/Vector3.h"

// What a camera follows: an eye position between the last two simulation
// states, the current body position, and the look angles in degrees.
class ICameraParent {
public:
    virtual ~ICameraParent() = default;
    virtual Vector3 getCameraPosition(float alpha) = 0;
    virtual Vector3& getPosition() = 0;
    virtual float getYaw() = 0;
    virtual float getPitch() = 0;
};
