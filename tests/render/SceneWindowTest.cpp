// A few blocks in front of the camera drawn by the real renderer, checked by their
// colours on screen: each face shows its block's colour under the map's two lights.
#include "render/Camera.h"
#include "render/GLWindow.h"
#include "render/LightIds.h"
#include "render/MapRenderer.h"
#include "support/TestMap.h"
#include "support/XScreen.h"

#include <GL/glu.h>
#include <cmath>
#include <string>

namespace {

const char* const sceneCaption = "Tessaria render scene";
const char* const screenshotPath = "/tmp/tessaria-render-scene.png";

class Scene : public GLWindowTest {
  protected:
    const char* caption() const override { return sceneCaption; }
};

void setBlock(Map& map, int x, int y, int z, std::uint8_t type) {
    map.blocks[map.blockIndex(x, y, z)] = type;
}

// Where a world point lands in the window, bottom-left origin, with the matrices
// the renderer left behind.
Rgb pixelAt(Vector3 p) {
    GLdouble modelview[16];
    GLdouble projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    GLdouble wx = 0;
    GLdouble wy = 0;
    GLdouble wz = 0;
    gluProject(p.x, p.y, p.z, modelview, projection, viewport, &wx, &wy, &wz);
    unsigned char rgb[3] = {0, 0, 0};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(static_cast<GLint>(wx), static_cast<GLint>(wy), 1, 1, GL_RGB, GL_UNSIGNED_BYTE,
                 rgb);
    return {rgb[0], rgb[1], rgb[2]};
}

// The lit colour of a face: the vertex colour drives ambient and diffuse; the global
// ambient 0.2 and the lights' ambients 0.4 and 0.1 add to 0.7, then each light's
// diffuse (1 and 0.5) times the cosine toward it. Primary light from
// (0.5345, 0.2672, 0.8017), secondary from (-0.4588, -0.2294, -0.8584).
Rgb lit(Rgb colour, float factor) {
    const auto channel = [&](int c) {
        return std::min(255, static_cast<int>(std::lround(c * factor)));
    };
    return {channel(colour.r), channel(colour.g), channel(colour.b)};
}

const Rgb grass{93, 168, 39}, dirt{116, 69, 48}, stone{81, 90, 90};
const float topFactor = 0.7f + 0.80178f;         // primary from above
const float facingMinusYFactor = 0.7f + 0.1147f; // secondary only, weakly
const float facingPlusXFactor = 0.7f + 0.53455f; // primary from the +x side
const float facingMinusXFactor = 0.7f + 0.2294f; // secondary only

::testing::AssertionResult near(Rgb actual, Rgb expected) {
    if (std::abs(actual.r - expected.r) <= 3 && std::abs(actual.g - expected.g) <= 3 &&
        std::abs(actual.b - expected.b) <= 3) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "(" << actual.r << ", " << actual.g << ", " << actual.b << ") instead of ("
           << expected.r << ", " << expected.g << ", " << expected.b << ")";
}

TEST_F(Scene, BlocksShowTheirColoursLitFromAboveAndThePlusXSide) {
    std::unique_ptr<Map> map = makeEmptyMap();
    for (int y = 100; y < 170; ++y) {
        for (int x = 100; x < 157; ++x) {
            setBlock(*map, x, y, 100, Grass); // the ground, top at z = 101
        }
    }
    for (int z = 101; z < 104; ++z) {
        for (int x = 126; x < 131; ++x) {
            setBlock(*map, x, 112, z, Dirt); // a wall across the view
        }
    }
    setBlock(*map, 122, 108, 101, Stone); // left: shows its +x side
    setBlock(*map, 134, 108, 101, Stone); // right: shows its -x side

    // As the play state sets up drawing.
    glClearColor(0.686f, 0.843f, 1.0f, 1.0f);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);

    freeLightIds = makeLightIdPool();
    MapRenderer renderer(*map);
    StillParent parent({128.5f, 102.0f, 103.5f}, 0.0f, -15.0f);
    Camera camera(&parent, 80.0f, 0.1f, 10000.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    renderer.draw(camera);
    glFinish();

    EXPECT_TRUE(near(pixelAt({128.5f, 106.5f, 101.0f}), lit(grass, topFactor))) << "ground";
    EXPECT_TRUE(near(pixelAt({128.5f, 112.0f, 102.5f}), lit(dirt, facingMinusYFactor)))
        << "wall front";
    EXPECT_TRUE(near(pixelAt({123.0f, 108.5f, 101.5f}), lit(stone, facingPlusXFactor)))
        << "left block's +x side";
    EXPECT_TRUE(near(pixelAt({134.0f, 108.5f, 101.5f}), lit(stone, facingMinusXFactor)))
        << "right block's -x side";
    EXPECT_TRUE(near(pixelAt({128.5f, 400.0f, 200.0f}), {175, 215, 255})) << "sky";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    SDL_GL_SwapBuffers();
    XScreen screen;
    const unsigned long window = screen.waitForWindow(sceneCaption, 5.0);
    ASSERT_NE(window, 0u);
    EXPECT_TRUE(XScreen::savePng(window, screenshotPath)) << screenshotPath;
}

} // namespace
