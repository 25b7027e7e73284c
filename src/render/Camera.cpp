#include "render/Camera.h"

#include <GL/glew.h>
#include <GL/glu.h>
#include <SDL/SDL.h>

namespace {

void videoSize(int& width, int& height) {
    // The window's, as the play state's viewport: not the desktop's, which sdl12-compat
    // reports as the video information's current size.
    const SDL_Surface* window = SDL_GetVideoSurface();
    width = window->w;
    height = window->h;
}

} // namespace

Camera::Camera(ICameraParent* parent, float fov, float nearDistance, float farDistance)
    : parent(parent), position{0.0f, 0.0f, 0.0f}, yaw(0.0f),
      pitch(0.0f), direction{0.0f, 0.0f, 0.0f}, planes{}, fov(fov), nearDistance(nearDistance),
      farDistance(farDistance) {
    int width = 0;
    int height = 0;
    videoSize(width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fov, static_cast<double>(width) / height, nearDistance, farDistance);
    glMatrixMode(GL_MODELVIEW);
    update(0.0f);
}

void Camera::update(float alpha) {
    position = parent->getCameraPosition(alpha);
    yaw = parent->getYaw();
    pitch = parent->getPitch();

    const ViewBasis basis = viewBasis(yaw, pitch);
    direction = basis.direction;

    int width = 0;
    int height = 0;
    videoSize(width, height);
    const float aspect = static_cast<float>(width) / static_cast<float>(height);
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
