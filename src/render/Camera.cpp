#include "render/Camera.h"

#include "app/GameEngine.h"

#include <GL/glew.h>
#include <GL/glu.h>

Camera::Camera(ICameraParent* parent, float fov, float nearDistance, float farDistance)
    : parent(parent), position{0.0f, 0.0f, 0.0f}, yaw(0.0f),
      pitch(0.0f), direction{0.0f, 0.0f, 0.0f}, planes{}, fov(fov), nearDistance(nearDistance),
      farDistance(farDistance) {
    const WindowSize window = windowSize();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fov, static_cast<double>(window.width) / window.height, nearDistance,
                   farDistance);
    glMatrixMode(GL_MODELVIEW);
    update(0.0f);
}

void Camera::update(float alpha) {
    position = parent->getCameraPosition(alpha);
    yaw = parent->getYaw();
    pitch = parent->getPitch();

    const ViewBasis basis = viewBasis(yaw, pitch);
    direction = basis.direction;

    const WindowSize window = windowSize();
    const float aspect = static_cast<float>(window.width) / static_cast<float>(window.height);
    planes = frustumPlanes(position, basis, fov, nearDistance, farDistance, aspect);
}

void Camera::applyView() {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // Turns the z-up world into OpenGL's y-up eye space, so direction becomes -z.
    glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(-pitch, 1.0f, 0.0f, 0.0f);
    glRotatef(-yaw, 0.0f, 0.0f, 1.0f);
    glTranslatef(-position.x, -position.y, -position.z);
}

FrustumResult Camera::boxInFrustum(const BoundingBox& box) const {
    return classifyBox(planes, box);
}
