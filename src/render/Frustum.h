#pragma once

#include "physics/Vector3.h"
#include "render/BoundingBox.h"

#include <array>

// The camera's geometry without a window: the eye's frame for given look angles,
// the six planes of its view volume and the box test against them. Every value is
// single precision in the order the camera's update gives.

struct ViewBasis {
    Vector3 direction; // unit view direction
    Vector3 up;        // unit, perpendicular to direction; (0, 0, 1) at pitch 0
    Vector3 right;     // direction x up
};

// yaw 0 looks along +y and grows counter-clockwise seen from above; pitch > 0 looks up.
ViewBasis viewBasis(float yaw, float pitch);

enum FrustumPlane { NearPlane, FarPlane, TopPlane, BottomPlane, LeftPlane, RightPlane };
using FrustumPlanes = std::array<Plane, 6>;

// Planes in FrustumPlane order with every normal pointing into the view volume.
// fov is the vertical field of view in degrees; aspect is width / height.
FrustumPlanes frustumPlanes(Vector3 position, const ViewBasis& basis, float fov, float nearDistance,
                            float farDistance, float aspect);

enum class FrustumResult { Inside, Outside, Intersect };

// Conservative: a box outside near an edge or corner of the volume, but not wholly
// behind any one plane, is Intersect.
FrustumResult classifyBox(const FrustumPlanes& planes, const BoundingBox& box);
