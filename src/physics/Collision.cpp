#include "physics/Collision.h"

#include <cmath>

bool testCircleRectangle(const Rectangle& rect, const Circle& circle, Axis2& axis, float& length) {
    // Written as !(o > 0) so that NaN overlaps count as no overlap.
    const float dx = circle.x - rect.x;
    const float ox = (circle.radius + rect.halfX) - std::fabs(dx);
    if (!(ox > 0.0f)) {
        return false;
    }
    const float dy = circle.y - rect.y;
    const float oy = (rect.halfY + circle.radius) - std::fabs(dy);
    if (!(oy > 0.0f)) {
        return false;
    }

    // A centre exactly on an edge's line counts as inside along that axis.
    const int sx = dx < -rect.halfX ? -1 : (dx > rect.halfX ? 1 : 0);
    const int sy = dy < -rect.halfY ? -1 : (dy > rect.halfY ? 1 : 0);

    if (sx == 0 && sy == 0) {
        if (oy > ox) {
            axis = {dx >= 0.0f ? 1.0f : -1.0f, 0.0f};
            length = ox;
        } else {
            axis = {0.0f, dy >= 0.0f ? 1.0f : -1.0f};
            length = oy;
        }
        return true;
    }
    if (sx == 0) {
        axis = {0.0f, static_cast<float>(sy)};
        length = oy;
        return true;
    }
    if (sy == 0) {
        axis = {static_cast<float>(sx), 0.0f};
        length = ox;
        return true;
    }

    // Corner region: both axis overlaps can be positive while the circle still
    // misses the rounded corner, so the distance to the corner decides.
    const float cornerX = rect.x + static_cast<float>(sx) * rect.halfX;
    const float cornerY = rect.y + static_cast<float>(sy) * rect.halfY;
    const float ex = circle.x - cornerX;
    const float ey = circle.y - cornerY;
    const float distance = squareRoot(ex * ex + ey * ey);
    const float penetration = circle.radius - distance;
    if (!(penetration > 0.0f)) {
        return false;
    }
    if (distance != 0.0f) {
        axis = {ex / distance, ey / distance};
    } else {
        axis = {static_cast<float>(sx) / squareRootOfTwo, static_cast<float>(sy) / squareRootOfTwo};
    }
    length = penetration;
    return true;
}

bool testCylinderBox(const AxisAlignedBox& box, const UprightCylinder& cylinder,
                     Vector3& projectionVector, float& projectionLength) {
    const float dz = cylinder.z - box.z;
    const float vertical = (box.halfZ + cylinder.halfHeight) - std::fabs(dz);
    if (!(vertical > 0.0f)) {
        return false;
    }
    // Only a centre strictly below the bottom face is pushed down.
    const float verticalSign = dz < -box.halfZ ? -1.0f : 1.0f;

    const Rectangle rect{box.x, box.y, box.halfX, box.halfY};
    const Circle circle{cylinder.x, cylinder.y, cylinder.radius};
    Axis2 axis{0.0f, 0.0f};
    float horizontal = 0.0f;
    if (!testCircleRectangle(rect, circle, axis, horizontal)) {
        return false;
    }

    if (horizontal > vertical) {
        projectionVector = {0.0f, 0.0f, verticalSign};
        projectionLength = vertical;
    } else {
        projectionVector = {axis.x, axis.y, 0.0f};
        projectionLength = horizontal;
    }
    return true;
}

namespace {

// The unit block with its lower corner at the origin, as both checks use it.
constexpr AxisAlignedBox unitBlock{0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f};

constexpr const char* testOneFormat =
    "Test 1:\n\tCollision: %i\n\tProjectionVector: (%f, %f, %f)\n\t Projection Length: %f\n\n";
constexpr const char* testTwoFormat =
    "Test 2:\n\tCollision: %i\n\tProjectionVector: (%f, %f, %f)\n\t Projection Length: %f\n\n";

void runSelfTest(std::FILE* out, const char* format, const UprightCylinder& cylinder) {
    Vector3 projectionVector{0.0f, 0.0f, 0.0f};
    float projectionLength = 0.0f;
    const bool collision = testCylinderBox(unitBlock, cylinder, projectionVector, projectionLength);
    std::fprintf(out, format, collision ? 1 : 0, projectionVector.x, projectionVector.y,
                 projectionVector.z, projectionLength);
}

} // namespace

void runCollisionSelfTests(std::FILE* out) {
    // Reaching 0.25 into the top of the block: pushed straight up.
    runSelfTest(out, testOneFormat, UprightCylinder{0.5f, 0.5f, 1.25f, 0.5f, 0.5f});
    // Beside the block's vertical edge at (1, 1): pushed out diagonally.
    runSelfTest(out, testTwoFormat, UprightCylinder{1.25f, 1.25f, 0.5f, 0.5f, 0.5f});
}
