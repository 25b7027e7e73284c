#pragma once

#include "physics/PhysicsBody.h"
#include "render/ICameraParent.h"

// The one moving body: keys accelerate it, the mouse turns it, the camera follows it.
class Player : public UprightCylinderCollider, public ICameraParent {
  public:
    // At rest in the middle of the ground area, at the top of the map.
    Player();

    // One fixed step of keyboard-driven acceleration and gravity; dt is timeStep.
    void updateMovement(float dt);

    // Applies the mouse motion since the previous call.
    void updateLook();

    // updateLook without SDL: dx, dy in mouse counts, positive right and down.
    void applyLook(int dx, int dy);

    Vector3 getCameraPosition(float alpha) override;
    Vector3& getPosition() override;
    float getYaw() override;
    float getPitch() override;

    float yaw = 0.0f;   // degrees; 0 faces +y, growing counter-clockwise seen from above
    float pitch = 0.0f; // degrees, positive up, within -90 .. 90
};
