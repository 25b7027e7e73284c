#include "physics/Player.h"

#include "physics/Angles.h"
#include "physics/KeyState.h"

#include <SDL/SDL_keysym.h>
#include <SDL/SDL_mouse.h>

namespace {

constexpr float walkAcceleration = 3.0f; // per key, units per second squared
constexpr float thrustAcceleration = 30.0f;
constexpr float lookDegreesPerCount = 0.25f;
constexpr float eyeAboveCentre = 0.7f;

} // namespace

Player::Player() : UprightCylinderCollider({128.0f, 128.0f, 256.0f}, 0.4f, 1.7f) {}

void Player::updateMovement(float dt) {
    const float theta = (yaw + 90.0f) * degreesToRadians;
    const float sinTheta = sine(theta);
    const float cosTheta = cosine(theta);

    Vector3 a{0.0f, 0.0f, 0.0f};
    if (keyState[SDLK_d]) {
        a.x += walkAcceleration * sinTheta;
        a.y -= walkAcceleration * cosTheta;
    }
    if (keyState[SDLK_a]) {
        a.x -= walkAcceleration * sinTheta;
        a.y += walkAcceleration * cosTheta;
    }
    if (keyState[SDLK_w]) {
        a.x += walkAcceleration * cosTheta;
        a.y += walkAcceleration * sinTheta;
    }
    if (keyState[SDLK_s]) {
        a.x -= walkAcceleration * cosTheta;
        a.y -= walkAcceleration * sinTheta;
    }
    // A thrust, not a jump: it needs no ground and lasts while the key is held.
    if (keyState[SDLK_SPACE]) {
        a.z = thrustAcceleration;
    }

    const Vector3 velocity = getVelocity();
    setVelocity({velocity.x + a.x * dt, velocity.y + a.y * dt, velocity.z + a.z * dt});
    integrate(dt);
}

void Player::updateLook() {
    int dx = 0;
    int dy = 0;
    SDL_GetRelativeMouseState(&dx, &dy);
    applyLook(dx, dy);
}

void Player::applyLook(int dx, int dy) {
    // Wrapped once, so exactly 0 and exactly 360 both stay.
    yaw = yaw - lookDegreesPerCount * static_cast<float>(dx);
    if (yaw > 360.0f) {
        yaw -= 360.0f;
    } else if (yaw < 0.0f) {
        yaw += 360.0f;
    }

    pitch = pitch - lookDegreesPerCount * static_cast<float>(dy);
    if (pitch > 90.0f) {
        pitch = 90.0f;
    } else if (pitch < -90.0f) {
        pitch = -90.0f;
    }
}

Vector3 Player::getCameraPosition(float alpha) {
    const Vector3 body = interpolatePosition(alpha);
    return {body.x, body.y, body.z + eyeAboveCentre};
}

Vector3& Player::getPosition() {
    return position;
}

float Player::getYaw() {
    return yaw;
}

float Player::getPitch() {
    return pitch;
}
