#pragma once

// A real OpenGL context for window tests: an 800 x 600 SDL window on the test
// process's own X server, opened before each test and closed after it.

#include "physics/Vector3.h"
#include "render/ICameraParent.h"

#include <GL/glew.h>
#include <SDL/SDL.h>
#include <array>
#include <gtest/gtest.h>

class GLWindowTest : public ::testing::Test {
  protected:
    static constexpr int width = 800;
    static constexpr int height = 600;

    void SetUp() override {
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        SDL_WM_SetCaption(caption(), caption());
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        ASSERT_NE(SDL_SetVideoMode(width, height, 32, SDL_OPENGL), nullptr) << SDL_GetError();
        ASSERT_EQ(glewInit(), static_cast<GLenum>(GLEW_OK));
    }
    void TearDown() override { SDL_Quit(); }

    virtual const char* caption() const { return "Tessaria render test"; }
};

// A camera parent that stands still between two simulation states.
class StillParent : public ICameraParent {
  public:
    StillParent(Vector3 previous, Vector3 current, float yaw, float pitch)
        : previous(previous), current(current), yaw(yaw), pitch(pitch) {}
    explicit StillParent(Vector3 at, float yaw = 0.0f, float pitch = 0.0f)
        : StillParent(at, at, yaw, pitch) {}

    Vector3 getCameraPosition(float alpha) override {
        return {previous.x + (current.x - previous.x) * alpha,
                previous.y + (current.y - previous.y) * alpha,
                previous.z + (current.z - previous.z) * alpha};
    }
    Vector3& getPosition() override { return current; }
    float getYaw() override { return yaw; }
    float getPitch() override { return pitch; }

    Vector3 previous;
    Vector3 current;
    float yaw;
    float pitch;
};

using Matrix = std::array<GLfloat, 16>;

inline Matrix currentMatrix(GLenum which) {
    Matrix m{};
    glGetFloatv(which, m.data());
    return m;
}

// Column-major matrix times (p, 1).
inline std::array<float, 3> transformPoint(const Matrix& m, Vector3 p) {
    std::array<float, 3> r{};
    for (int row = 0; row < 3; ++row) {
        r[row] = m[row] * p.x + m[4 + row] * p.y + m[8 + row] * p.z + m[12 + row];
    }
    return r;
}
