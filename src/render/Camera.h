#pragma once

#include "physics/Vector3.h"
#include "render/BoundingBox.h"
#include "render/Frustum.h"
#include "render/ICameraParent.h"

// Follows an ICameraParent: its eye position, look direction and view frustum, and
// the projection and view transforms of OpenGL. The projection is set once, when the
// camera is made, from the video surface's size at that time.
class Camera {
  public:
    // Needs the OpenGL context current; calls update(0).
    Camera(ICameraParent* parent, float fov, float nearDistance, float farDistance);

    // Follows the parent at interpolation factor alpha and rebuilds direction and planes.
    void update(float alpha);
    // Loads the view transform into the modelview matrix.
    void applyView();
    // Reads only the planes.
    FrustumResult boxInFrustum(const BoundingBox& box) const;

    ICameraParent* parent;
    Vector3 position;
    float yaw;
    float pitch;
    Vector3 direction;
    FrustumPlanes planes; // near, far, top, bottom, left, right
    float fov;
    float nearDistance;
    float farDistance;
};
