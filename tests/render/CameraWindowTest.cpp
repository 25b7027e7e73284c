#include "render/Camera.h"
#include "render/GLWindow.h"

#include <GL/glu.h>
#include <cmath>

namespace {

class CameraWithContext : public GLWindowTest {};

TEST_F(CameraWithContext, LevelViewMapsOneStepAheadToEyeMinusZ) {
    StillParent parent({10.5f, 20.25f, 30.75f});
    Camera camera(&parent, 80.0f, 0.1f, 10000.0f);
    camera.applyView();
    const std::array<float, 3> eye =
        transformPoint(currentMatrix(GL_MODELVIEW_MATRIX), {10.5f, 21.25f, 30.75f});
    EXPECT_NEAR(eye[0], 0.0f, 1e-5);
    EXPECT_NEAR(eye[1], 0.0f, 1e-5);
    EXPECT_NEAR(eye[2], -1.0f, 1e-5);
    const std::array<float, 3> above =
        transformPoint(currentMatrix(GL_MODELVIEW_MATRIX), {10.5f, 20.25f, 31.75f});
    EXPECT_NEAR(above[1], 1.0f, 1e-5) << "world z is the eye's up";
}

TEST_F(CameraWithContext, ViewDirectionBecomesEyeMinusZAtAnyAngle) {
    for (const float yaw : {0.0f, 45.0f, 90.0f, 200.0f, -30.0f}) {
        for (const float pitch : {-80.0f, -20.0f, 0.0f, 35.0f, 89.0f}) {
            SCOPED_TRACE(::testing::Message() << "yaw " << yaw << " pitch " << pitch);
            StillParent parent({100.0f, 50.0f, 140.0f}, yaw, pitch);
            Camera camera(&parent, 80.0f, 0.1f, 10000.0f);
            camera.applyView();
            const Vector3 p = camera.position;
            const Vector3 d = camera.direction;
            const std::array<float, 3> eye = transformPoint(currentMatrix(GL_MODELVIEW_MATRIX),
                                                            {p.x + d.x, p.y + d.y, p.z + d.z});
            EXPECT_NEAR(eye[0], 0.0f, 1e-4);
            EXPECT_NEAR(eye[1], 0.0f, 1e-4);
            EXPECT_NEAR(eye[2], -1.0f, 1e-4);
        }
    }
}

TEST_F(CameraWithContext, ProjectionIsSetOnceFromTheWindowAndModelviewIsSelected) {
    StillParent parent({0.0f, 0.0f, 0.0f});
    Camera camera(&parent, 80.0f, 0.1f, 10000.0f);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    const Matrix projection = currentMatrix(GL_PROJECTION_MATRIX);
    const double focal = 1.0 / std::tan(40.0 * M_PI / 180.0);
    EXPECT_NEAR(projection[5], focal, 1e-5);
    EXPECT_NEAR(projection[0], focal / (800.0 / 600.0), 1e-5);
    EXPECT_NEAR(projection[10], -(10000.0 + 0.1) / (10000.0 - 0.1), 1e-6);
    EXPECT_EQ(projection[11], -1.0f);
}

TEST_F(CameraWithContext, UpdateFollowsTheParentBetweenItsStates) {
    StillParent parent({1.0f, 2.0f, 3.0f}, {3.0f, 6.0f, 11.0f}, 30.0f, 45.0f);
    Camera camera(&parent, 80.0f, 0.1f, 10000.0f);
    EXPECT_EQ(camera.position.x, 1.0f) << "the constructor's update(0) shows the previous state";
    EXPECT_EQ(camera.position.y, 2.0f);
    EXPECT_EQ(camera.position.z, 3.0f);
    EXPECT_EQ(camera.parent, &parent);

    camera.update(0.5f);
    EXPECT_EQ(camera.position.x, 2.0f);
    EXPECT_EQ(camera.position.y, 4.0f);
    EXPECT_EQ(camera.position.z, 7.0f);
    EXPECT_EQ(camera.yaw, 30.0f);
    EXPECT_EQ(camera.pitch, 45.0f);

    const ViewBasis basis = viewBasis(30.0f, 45.0f);
    EXPECT_EQ(camera.direction.x, basis.direction.x);
    EXPECT_EQ(camera.direction.y, basis.direction.y);
    EXPECT_EQ(camera.direction.z, basis.direction.z);
    const FrustumPlanes expected =
        frustumPlanes(camera.position, basis, 80.0f, 0.1f, 10000.0f, 800.0f / 600.0f);
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(camera.planes[i].normal.x, expected[i].normal.x);
        EXPECT_EQ(camera.planes[i].normal.y, expected[i].normal.y);
        EXPECT_EQ(camera.planes[i].normal.z, expected[i].normal.z);
        EXPECT_EQ(camera.planes[i].d, expected[i].d);
    }
    EXPECT_EQ(camera.boxInFrustum({{-1.0f, -1.0f, -1.0f}, {0.0f, 0.0f, 0.0f}}),
              FrustumResult::Outside);
}

} // namespace
