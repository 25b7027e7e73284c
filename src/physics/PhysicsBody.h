#pragma once

#include "physics/Vector3.h"

// Added to every body's own acceleration in each step (units per second squared).
constexpr Vector3 gravity{0.0f, 0.0f, -9.8f};

// A position-Verlet body: the velocity is where it is less where it was one step ago.
class PhysicsBody {
  public:
    PhysicsBody() = default;
    explicit PhysicsBody(Vector3 start);

    // Advances one step; no damping, so a body keeps its velocity until something
    // changes it.
    void integrate(float dt);

    // Both use timeStep, not the dt of integrate; the play state always steps by timeStep.
    Vector3 getVelocity() const;
    void setVelocity(Vector3 velocity);

    // alpha 0 gives lastPosition, 1 gives position.
    Vector3 interpolatePosition(float alpha) const;

    Vector3 position{0.0f, 0.0f, 0.0f};
    Vector3 lastPosition{0.0f, 0.0f, 0.0f};
    Vector3 acceleration{0.0f, 0.0f, 0.0f};
};

// A body shaped as an upright cylinder centred on its position.
class UprightCylinderCollider : public PhysicsBody {
  public:
    UprightCylinderCollider() = default;
    UprightCylinderCollider(Vector3 start, float radius, float height);

    float radius = 0.0f;
    float height = 0.0f; // reaches height / 2 above and below position
};
