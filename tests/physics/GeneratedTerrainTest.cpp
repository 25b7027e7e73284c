#include "physics/Collision.h"
#include "physics/MapCollision.h"
#include "physics/Player.h"
#include "physics/TestKeyboard.h"
#include "physics/TimeStep.h"
#include "world/Map.h"
#include "world/NoiseMapGenerator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace {

class GeneratedTerrain : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        map_ = new Map(new NoiseMapGenerator);
        sink_ = std::fopen("/dev/null", "w");
    }
    static void TearDownTestSuite() {
        std::fclose(sink_);
        delete map_;
    }

    // One fixed step as the play state runs it; returns how far the body moved
    // before the collision put it back.
    float step(Player& player) {
        player.updateMovement(timeStep);
        const float moved = std::hypot(player.position.x - player.lastPosition.x,
                                       player.position.y - player.lastPosition.y,
                                       player.position.z - player.lastPosition.z);
        collideWithMap(player, *map_, sink_);
        return moved;
    }

    // Top face of the highest solid block under the cylinder's footprint.
    static float surfaceUnder(const UprightCylinderCollider& body) {
        int top = -1;
        const int x0 = static_cast<int>(std::floor(body.position.x - body.radius));
        const int x1 = static_cast<int>(std::floor(body.position.x + body.radius));
        const int y0 = static_cast<int>(std::floor(body.position.y - body.radius));
        const int y1 = static_cast<int>(std::floor(body.position.y + body.radius));
        for (int x = x0; x <= x1; ++x) {
            for (int y = y0; y <= y1; ++y) {
                for (int z = map_->sizeZ - 1; z > top; --z) {
                    if (map_->blocks[map_->blockIndex(x, y, z)] != Air) {
                        top = z;
                        break;
                    }
                }
            }
        }
        return static_cast<float>(top + 1);
    }

    // The deepest the cylinder reaches into any solid block around it.
    static float deepestOverlap(const UprightCylinderCollider& body) {
        const UprightCylinder cylinder{body.position.x, body.position.y, body.position.z,
                                       body.height * 0.5f, body.radius};
        float deepest = 0.0f;
        const int cx = static_cast<int>(std::floor(body.position.x));
        const int cy = static_cast<int>(std::floor(body.position.y));
        const int cz = static_cast<int>(std::floor(body.position.z));
        for (int x = cx - 2; x <= cx + 2; ++x) {
            for (int y = cy - 2; y <= cy + 2; ++y) {
                for (int z = std::max(cz - 2, 0); z <= std::min(cz + 2, map_->sizeZ - 1); ++z) {
                    if (map_->blocks[map_->blockIndex(x, y, z)] == Air) {
                        continue;
                    }
                    const AxisAlignedBox box{x + 0.5f, y + 0.5f, z + 0.5f, 0.5f, 0.5f, 0.5f};
                    Vector3 vector{0.0f, 0.0f, 0.0f};
                    float length = 0.0f;
                    if (testCylinderBox(box, cylinder, vector, length)) {
                        deepest = std::max(deepest, length);
                    }
                }
            }
        }
        return deepest;
    }

    // Drops a new player from its start until it stands still.
    Player landedPlayer() {
        Player player;
        for (int i = 0; i < 1200; ++i) {
            step(player);
            if (player.position.z == player.lastPosition.z) {
                break;
            }
        }
        return player;
    }

    static Map* map_;
    static std::FILE* sink_;
    TestKeyboard keyboard_;
};

Map* GeneratedTerrain::map_ = nullptr;
std::FILE* GeneratedTerrain::sink_ = nullptr;

TEST_F(GeneratedTerrain, DroppedPlayerLandsUnderTheMiddleAndStaysOnTheSurface) {
    Player player = landedPlayer();
    EXPECT_NEAR(player.position.x, 128.0f, 1e-4f);
    EXPECT_NEAR(player.position.y, 128.0f, 1e-4f);
    const float resting = surfaceUnder(player) + 0.85f;
    EXPECT_NEAR(player.position.z, resting, 0.001f);

    for (int i = 0; i < 600; ++i) {
        step(player);
        ASSERT_NEAR(player.position.z, resting, 0.001f) << "step " << i;
    }
    EXPECT_NEAR(player.position.x, 128.0f, 1e-4f);
    EXPECT_NEAR(player.position.y, 128.0f, 1e-4f);
}

TEST_F(GeneratedTerrain, HoldingWWalksAlongPlusYWithoutEnteringTheGround) {
    // From the middle the ground falls away along +y, so the walk is not stopped by
    // a one-block rise it cannot climb.
    Player player = landedPlayer();
    const Vector3 start = player.position;
    keyboard_.hold(SDLK_w);
    for (int i = 0; i < 600; ++i) {
        const float moved = step(player);
        const float depth = deepestOverlap(player);
        // Never deeper in a block than the distance of the one step it just took.
        ASSERT_LE(depth, moved + 1e-4f) << "step " << i << " at " << player.position.x << ", "
                                        << player.position.y << ", " << player.position.z;
    }
    EXPECT_GT(player.position.y, start.y + 5.0f);
    EXPECT_NEAR(player.position.x, start.x, 0.5f);
}

} // namespace
