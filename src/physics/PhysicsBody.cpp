#include "physics/PhysicsBody.h"

#include "physics/TimeStep.h"

PhysicsBody::PhysicsBody(Vector3 start) : position(start), lastPosition(start) {}

namespace {

void verletStep(float& position, float& lastPosition, float acceleration, float dt) {
    const float s = (acceleration * dt) * dt;
    const float v = position - lastPosition;
    lastPosition = position;
    position = position + (v + s);
}

} // namespace

void PhysicsBody::integrate(float dt) {
    verletStep(position.x, lastPosition.x, acceleration.x + gravity.x, dt);
    verletStep(position.y, lastPosition.y, acceleration.y + gravity.y, dt);
    verletStep(position.z, lastPosition.z, acceleration.z + gravity.z, dt);
}

Vector3 PhysicsBody::getVelocity() const {
    return {(position.x - lastPosition.x) / timeStep, (position.y - lastPosition.y) / timeStep,
            (position.z - lastPosition.z) / timeStep};
}

void PhysicsBody::setVelocity(Vector3 velocity) {
    lastPosition = {position.x - velocity.x * timeStep, position.y - velocity.y * timeStep,
                    position.z - velocity.z * timeStep};
}

Vector3 PhysicsBody::interpolatePosition(float alpha) const {
    const float back = 1.0f - alpha;
    return {alpha * position.x + back * lastPosition.x, alpha * position.y + back * lastPosition.y,
            alpha * position.z + back * lastPosition.z};
}

UprightCylinderCollider::UprightCylinderCollider(Vector3 start, float radius, float height)
    : PhysicsBody(start), radius(radius), height(height) {}
