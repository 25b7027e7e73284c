#include "physics/Player.h"

#include "physics/KeyState.h"

#include <SDL/SDL_keysym.h>
#include <SDL/SDL_mouse.h>
#include <cmath>

namespace {

constexpr float degreesToRadians = 0.017453292f;
constexpr float walkAcceleration = 3.0f; // per key, units per second squared
constexpr float thrustAcceleration = 30.0f;
constexpr float lookDegreesPerCount = 0.25f;
constexpr float eyeAboveCentre = 0.7f;

float roundedSine(float radians) {
    return static_cast<float>(std::sin(static_cast<double>(radians)));
}

float roundedCosine(float radians) {
    return static_cast<float>(std::cos(static_cast<double>(radians)));
}

} // namespace

Player::Player() : UprightCylinderCollider({128.0f, 128.0f, 256.0f}, 0.4f, 1.7f) {}

void Player::updateMovement(float dt) {
    const float theta = (yaw + 90.0f) * degreesToRadians;
    const float sine = roundedSine(theta);
    const float cosine = roundedCosine(theta);

    Vector3 a{0.0f, 0.0f, 0.0f};
    if (keyState[SDLK_d]) {
        a.x += walkAcceleration * sine;
        a.y -= walkAcceleration * cosine;
    }
    if (keyState[SDLK_a]) {
        a.x -= walkAcceleration * sine;
        a.y += walkAcceleration * cosine;
    }
    if (keyState[SDLK_w]) {
        a.x += walkAcceleration * cosine;
        a.y += walkAcceleration * sine;
    }
    if (keyState[SDLK_s]) {
        a.x -= walkAcceleration * cosine;
        a.y -= walkAcceleration * sine;
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
