#include "physics/Player.h"
#include "physics/TestKeyboard.h"
#include "physics/TimeStep.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>

namespace {

Player playerAt(Vector3 position) {
    Player player;
    player.position = position;
    player.lastPosition = position;
    return player;
}

TEST(PhysicsBody, NewPlayerStartsAtRestAboveTheMiddleOfTheMap) {
    const Player player;
    EXPECT_EQ(player.position.x, 128.0f);
    EXPECT_EQ(player.position.y, 128.0f);
    EXPECT_EQ(player.position.z, 256.0f);
    EXPECT_EQ(player.lastPosition.z, 256.0f);
    EXPECT_EQ(player.acceleration.z, 0.0f);
    EXPECT_EQ(player.radius, 0.4f);
    EXPECT_EQ(player.height, 1.7f);
    EXPECT_EQ(player.yaw, 0.0f);
    EXPECT_EQ(player.pitch, 0.0f);
    EXPECT_EQ(timeStep, 0.016666668f);
}

TEST(PhysicsBody, FirstFallStepFromRest) {
    const float drop = (-9.8f * timeStep) * timeStep;

    // Near the origin nothing is lost to the position's own rounding.
    PhysicsBody body({0.0f, 0.0f, 0.0f});
    body.integrate(timeStep);
    EXPECT_EQ(body.position.z, drop);
    EXPECT_EQ(body.lastPosition.z, 0.0f);
    EXPECT_EQ(body.position.x, 0.0f);
    EXPECT_NEAR(body.position.z, -0.00272222f, 1e-8f);
    EXPECT_EQ(body.getVelocity().z, drop / timeStep);
    EXPECT_NEAR(body.getVelocity().z, -9.8f * timeStep, 1e-7f);

    // The new player does the same through updateMovement, at the resolution of 256.
    TestKeyboard keyboard;
    Player player;
    player.updateMovement(timeStep);
    EXPECT_EQ(player.position.z, 256.0f + drop);
    EXPECT_EQ(player.lastPosition.z, 256.0f);
    EXPECT_NEAR(player.getVelocity().z, -9.8f * timeStep, 2e-3f);
    EXPECT_EQ(player.position.x, 128.0f);
    EXPECT_EQ(player.position.y, 128.0f);
}

TEST(PhysicsBody, HorizontalVelocityPersistsOverManySteps) {
    PhysicsBody body({100.0f, 100.0f, 0.0f});
    body.setVelocity({3.0f, -2.0f, 0.0f});
    for (int step = 0; step < 600; ++step) {
        body.integrate(timeStep);
    }
    const Vector3 velocity = body.getVelocity();
    EXPECT_NEAR(velocity.x, 3.0f, 3e-3f);
    EXPECT_NEAR(velocity.y, -2.0f, 3e-3f);
    EXPECT_NEAR(body.position.x, 130.0f, 0.05f);
}

TEST(PhysicsBody, OwnAccelerationAddsToGravity) {
    PhysicsBody body({0.0f, 0.0f, 0.0f});
    body.acceleration = {1.0f, 0.0f, 9.8f};
    body.integrate(timeStep);
    EXPECT_EQ(body.position.x, timeStep * timeStep);
    EXPECT_EQ(body.position.z, 0.0f);
}

TEST(PhysicsBody, InterpolationRunsFromLastPositionToPosition) {
    PhysicsBody body;
    body.lastPosition = {1.0f, 2.0f, 3.0f};
    body.position = {3.0f, 6.0f, -1.0f};
    const Vector3 start = body.interpolatePosition(0.0f);
    const Vector3 middle = body.interpolatePosition(0.5f);
    const Vector3 end = body.interpolatePosition(1.0f);
    EXPECT_EQ(start.x, 1.0f);
    EXPECT_EQ(start.z, 3.0f);
    EXPECT_EQ(middle.x, 2.0f);
    EXPECT_EQ(middle.y, 4.0f);
    EXPECT_EQ(middle.z, 1.0f);
    EXPECT_EQ(end.y, 6.0f);
    EXPECT_EQ(end.z, -1.0f);
}

TEST(PlayerMovement, HoldingWAtYawZeroAcceleratesAlongPlusY) {
    TestKeyboard keyboard;
    keyboard.hold(SDLK_w);
    Player player = playerAt({0.0f, 0.0f, 0.0f});
    player.updateMovement(timeStep);
    EXPECT_NEAR(player.getVelocity().y, 3.0f * timeStep, 1e-6f);
    // cos 90 degrees in single precision is not quite 0.
    EXPECT_NE(player.getVelocity().x, 0.0f);
    EXPECT_NEAR(player.getVelocity().x, 0.0f, 1e-8f);
    player.updateMovement(timeStep);
    EXPECT_NEAR(player.getVelocity().y, 6.0f * timeStep, 1e-6f);

    // At the start position each step still adds about 0.05; positions near 128 resolve
    // velocities only to about 0.001.
    Player fromStart;
    float previous = 0.0f;
    for (int step = 1; step <= 10; ++step) {
        fromStart.updateMovement(timeStep);
        EXPECT_NEAR(fromStart.getVelocity().y - previous, 0.05f, 2e-3f) << step;
        previous = fromStart.getVelocity().y;
    }
    EXPECT_NEAR(fromStart.position.x, 128.0f, 1e-4f);
}

TEST(PlayerMovement, EachWalkingKeyPushesItsOwnWay) {
    struct Case {
        float yaw;
        SDLKey key;
        float x, y;
    };
    const Case cases[] = {
        {0.0f, SDLK_d, 1.0f, 0.0f},   {0.0f, SDLK_a, -1.0f, 0.0f},   {0.0f, SDLK_s, 0.0f, -1.0f},
        {90.0f, SDLK_w, -1.0f, 0.0f}, {180.0f, SDLK_w, 0.0f, -1.0f}, {270.0f, SDLK_d, 0.0f, -1.0f},
    };
    for (const Case& c : cases) {
        TestKeyboard keyboard;
        keyboard.hold(c.key);
        Player player = playerAt({0.0f, 0.0f, 0.0f});
        player.yaw = c.yaw;
        player.updateMovement(timeStep);
        const Vector3 velocity = player.getVelocity();
        EXPECT_NEAR(velocity.x, c.x * 3.0f * timeStep, 1e-6f) << c.yaw << " " << c.key;
        EXPECT_NEAR(velocity.y, c.y * 3.0f * timeStep, 1e-6f) << c.yaw << " " << c.key;
    }
}

TEST(PlayerMovement, OppositeKeysCancelAndDiagonalsAdd) {
    TestKeyboard opposite;
    opposite.hold(SDLK_w);
    opposite.hold(SDLK_s);
    opposite.hold(SDLK_a);
    opposite.hold(SDLK_d);
    Player still = playerAt({0.0f, 0.0f, 0.0f});
    still.updateMovement(timeStep);
    EXPECT_EQ(still.position.x, 0.0f);
    EXPECT_EQ(still.position.y, 0.0f);

    TestKeyboard diagonal;
    diagonal.hold(SDLK_w);
    diagonal.hold(SDLK_d);
    Player player = playerAt({0.0f, 0.0f, 0.0f});
    player.updateMovement(timeStep);
    const Vector3 velocity = player.getVelocity();
    EXPECT_NEAR(std::hypot(velocity.x, velocity.y), 3.0f * squareRootOfTwo * timeStep, 1e-6f);
}

TEST(PlayerMovement, SpaceThrustsUpWithoutGround) {
    TestKeyboard keyboard;
    keyboard.hold(SDLK_SPACE);
    Player player = playerAt({0.0f, 0.0f, 0.0f});
    player.updateMovement(timeStep);
    EXPECT_NEAR(player.getVelocity().z, (30.0f - 9.8f) * timeStep, 1e-6f);
    player.updateMovement(timeStep);
    EXPECT_NEAR(player.getVelocity().z, 2.0f * (30.0f - 9.8f) * timeStep, 1e-6f);
    EXPECT_EQ(player.acceleration.z, 0.0f);
}

TEST(PlayerLook, YawWrapsOnceAndKeepsExactBounds) {
    struct Case {
        float yaw;
        int dx;
        float expected;
    };
    const Case cases[] = {
        {359.9f, -2, 0.4f},    {0.1f, 1, 359.85f}, {360.0f, 0, 360.0f}, {0.0f, 0, 0.0f},
        {359.75f, -1, 360.0f}, {0.25f, 1, 0.0f},   {90.0f, 4, 89.0f},   {90.0f, -4, 91.0f},
    };
    for (const Case& c : cases) {
        Player player;
        player.yaw = c.yaw;
        player.applyLook(c.dx, 0);
        EXPECT_NEAR(player.yaw, c.expected, 1e-4f) << c.yaw << " " << c.dx;
        EXPECT_GE(player.yaw, 0.0f);
        EXPECT_LE(player.yaw, 360.0f);
    }

    // To the last bit: 359.9 + 0.5 is exact at this magnitude, and so is taking 360 off.
    Player player;
    player.yaw = 359.9f;
    player.applyLook(-2, 0);
    EXPECT_EQ(player.yaw, 0.399993896484375f);
    player.yaw = 0.1f;
    player.applyLook(1, 0);
    EXPECT_EQ(player.yaw, (0.1f - 0.25f) + 360.0f);
    player.yaw = 360.0f;
    player.applyLook(0, 0);
    EXPECT_EQ(player.yaw, 360.0f);
}

TEST(PlayerLook, MovingTheMouseDownLowersThePitchWhichStaysWithinNinety) {
    Player player;
    player.applyLook(0, 4);
    EXPECT_EQ(player.pitch, -1.0f);
    player.applyLook(0, -8);
    EXPECT_EQ(player.pitch, 1.0f);

    const int motions[] = {356, 357, 360, 361, 100000, INT_MAX, -356, -361, -100000, INT_MIN};
    for (const int dy : motions) {
        player.pitch = 0.0f;
        player.applyLook(0, dy);
        EXPECT_GE(player.pitch, -90.0f) << dy;
        EXPECT_LE(player.pitch, 90.0f) << dy;
        EXPECT_EQ(player.pitch,
                  dy > 0 ? std::max(-0.25f * dy, -90.0f) : std::min(-0.25f * dy, 90.0f))
            << dy;
    }
}

TEST(PlayerCamera, EyeSitsPointSevenAboveTheInterpolatedCentre) {
    auto player = std::make_unique<Player>();
    player->lastPosition = {10.0f, 20.0f, 30.0f};
    player->position = {11.0f, 22.0f, 29.0f};
    player->yaw = 45.0f;
    player->pitch = -30.0f;

    ICameraParent& parent = *player;
    const Vector3 now = parent.getCameraPosition(1.0f);
    EXPECT_EQ(now.x, 11.0f);
    EXPECT_EQ(now.y, 22.0f);
    EXPECT_EQ(now.z, 29.0f + 0.7f);
    const Vector3 before = parent.getCameraPosition(0.0f);
    EXPECT_EQ(before.x, 10.0f);
    EXPECT_EQ(before.y, 20.0f);
    EXPECT_EQ(before.z, 30.0f + 0.7f);

    EXPECT_EQ(&parent.getPosition(), &player->position);
    EXPECT_EQ(parent.getYaw(), 45.0f);
    EXPECT_EQ(parent.getPitch(), -30.0f);

    // The play state deletes the player through the interface.
    std::unique_ptr<ICameraParent> owned(player.release());
    owned.reset();
}

} // namespace
