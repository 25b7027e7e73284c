#include "physics/MapCollision.h"

#include "physics/Collision.h"
#include "world/Map.h"

#include <algorithm>
#include <cmath>

namespace {

void printVector(std::FILE* trace, const char* format, Vector3 v) {
    std::fprintf(trace, format, v.x, v.y, v.z);
}

} // namespace

void resolveContacts(UprightCylinderCollider& collider, const Map& map, Vector3 reference) {
    const Vector3 p = collider.position;
    const float halfHeight = collider.height * 0.5f;
    const UprightCylinder cylinder{p.x, p.y, p.z, halfHeight, collider.radius};

    // A NaN position gives 0 at either bound, an empty range.
    const int x0 = boundedCell(std::floor(p.x - collider.radius) - 1.0f, 0, map.sizeX);
    const int x1 = boundedCell(std::floor(p.x + collider.radius) + 1.0f, 0, map.sizeX);
    const int y0 = boundedCell(std::floor(p.y - collider.radius) - 1.0f, 0, map.sizeY);
    const int y1 = boundedCell(std::floor(p.y + collider.radius) + 1.0f, 0, map.sizeY);
    const int z0 = boundedCell(std::floor(p.z - halfHeight) - 1.0f, 0, map.sizeZ);
    const int z1 = boundedCell(std::floor(p.z + halfHeight) + 1.0f, 0, map.sizeZ);

    int count = 0;
    Vector3 sumVector{0.0f, 0.0f, 0.0f};
    float sumLength = 0.0f;
    for (int x = x0; x < x1; ++x) {
        for (int y = y0; y < y1; ++y) {
            for (int z = z0; z < z1; ++z) {
                if (map.blocks[map.blockIndex(x, y, z)] == Air) {
                    continue;
                }
                const AxisAlignedBox box{static_cast<float>(x) + 0.5f,
                                         static_cast<float>(y) + 0.5f,
                                         static_cast<float>(z) + 0.5f,
                                         0.5f,
                                         0.5f,
                                         0.5f};
                Vector3 projectionVector{0.0f, 0.0f, 0.0f};
                float projectionLength = 0.0f;
                if (testCylinderBox(box, cylinder, projectionVector, projectionLength)) {
                    ++count;
                    sumVector.x += projectionVector.x;
                    sumVector.y += projectionVector.y;
                    sumVector.z += projectionVector.z;
                    sumLength += projectionLength;
                }
            }
        }
    }
    if (count == 0) {
        return;
    }

    const float n = static_cast<float>(count);
    const Vector3 average{sumVector.x / n, sumVector.y / n, sumVector.z / n};
    const float averageLength = sumLength / n;
    const Vector3 normal = normalize(average);

    const Vector3 v{p.x - reference.x, p.y - reference.y, p.z - reference.z};
    float dot = 0.0f;
    dot = dot + v.x * normal.x;
    dot = dot + v.y * normal.y;
    dot = dot + v.z * normal.z;
    // Moving out of the contact (or not at all, or no usable direction): leave it.
    if (!(dot < 0.0f)) {
        return;
    }
    const Vector3 tangent{v.x - dot * normal.x, v.y - dot * normal.y, v.z - dot * normal.z};

    collider.position = {p.x + normal.x * averageLength, p.y + normal.y * averageLength,
                         p.z + normal.z * averageLength};
    collider.lastPosition = {collider.position.x - tangent.x, collider.position.y - tangent.y,
                             collider.position.z - tangent.z};
}

void collideWithMap(UprightCylinderCollider& collider, const Map& map, std::FILE* trace) {
    const Vector3 d{collider.position.x - collider.lastPosition.x,
                    collider.position.y - collider.lastPosition.y,
                    collider.position.z - collider.lastPosition.z};
    std::fputs("Colliding...\n\t", trace);
    printVector(trace, "Position: (%f, %f, %f)\n\t", collider.position);
    printVector(trace, "Last Position: (%f, %f, %f)\n\t", collider.lastPosition);
    printVector(trace, "Displacement: (%f, %f, %f)\n\t", d);

    const float halfHeight = collider.height * 0.5f;
    float m = std::min(collider.radius * collider.radius, halfHeight * halfHeight);
    if (m > 0.25f) {
        m = 0.25f;
    }
    float lengthSquared = 0.0f;
    lengthSquared = lengthSquared + d.x * d.x;
    lengthSquared = lengthSquared + d.y * d.y;
    lengthSquared = lengthSquared + d.z * d.z;

    // Vertical pass first: landing is settled before sliding along the ground, so
    // a walking body is not stopped by the ground it stands on.
    if (lengthSquared <= m) {
        std::fputs("Colliding in single step\n\t", trace);
        const Vector3 end = collider.position;
        collider.position.x = collider.lastPosition.x;
        collider.position.y = collider.lastPosition.y;
        resolveContacts(collider, map, collider.lastPosition);
        collider.position.x = end.x;
        collider.position.y = end.y;
        resolveContacts(collider, map, collider.lastPosition);
    } else {
        std::fputs("Colliding with multiple steps\n\t", trace);
        const float distance = squareRoot(lengthSquared);
        const float step = squareRoot(m);
        const Vector3 direction = normalize(d);

        collider.position = collider.lastPosition;
        float travelled = 0.0f;
        if (step < distance) {
            do {
                const Vector3 previous = collider.position;
                const Vector3 target{previous.x + direction.x * step,
                                     previous.y + direction.y * step,
                                     previous.z + direction.z * step};
                collider.position = {previous.x, previous.y, target.z};
                resolveContacts(collider, map, previous);
                collider.position.x = target.x;
                collider.position.y = target.y;
                resolveContacts(collider, map, previous);
                const float before = travelled;
                travelled = travelled + step;
                // A step too small to count (zero, or lost against a huge distance)
                // would loop for ever: whatever is left goes to the remainder.
                if (!(travelled > before)) {
                    break;
                }
            } while (travelled + step < distance);
        }
        if (distance > travelled) {
            // The remainder is measured from lastPosition, as a single step is.
            const float rest = distance - travelled;
            const Vector3 target{collider.position.x + direction.x * rest,
                                 collider.position.y + direction.y * rest,
                                 collider.position.z + direction.z * rest};
            collider.position = {collider.lastPosition.x, collider.lastPosition.y, target.z};
            resolveContacts(collider, map, collider.lastPosition);
            collider.position.x = target.x;
            collider.position.y = target.y;
            resolveContacts(collider, map, collider.lastPosition);
        }
    }

    printVector(trace, "Post-Collision Position: (%f, %f, %f)\n\t", collider.position);
    printVector(trace, "Post-Collision Last Position: (%f, %f, %f)\n", collider.lastPosition);
    std::fputs("Collision complete.\n\n", trace);
}
