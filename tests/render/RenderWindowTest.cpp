// The camera, the renderer, textures and the first frame of play in a real OpenGL context: an
// 800 x 600 SDL window on the test program's own X server. (The splash shows in the window tests.)
#include "app/FrameTimer.h"
#include "app/GameEngine.h"
#include "app/Texture.h"
#include "physics/Player.h"
#include "physics/TimeStep.h"
#include "render/Camera.h"
#include "render/LightIds.h"
#include "render/MapRenderer.h"
#include "states/FixedStep.h"
#include "states/IntroState.h"
#include "states/PlayState.h"
#include "support/TestMap.h"
#include "support/Testing.h"

#include <GL/glew.h>
#include <SDL/SDL.h>
#include <array>
#include <cmath>
#include <dlfcn.h>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <tuple>

// Every glCallList of this program passes through here, so a test can look at the
// state the renderer has set while a chunk is drawn.
namespace {
std::function<void(GLuint)> onCallList;
}

extern "C" void glCallList(GLuint list) {
    static const auto real = reinterpret_cast<void (*)(GLuint)>(dlsym(RTLD_NEXT, "glCallList"));
    if (onCallList) {
        onCallList(list);
    }
    real(list);
}

namespace {

class Window : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
        ASSERT_NE(SDL_SetVideoMode(800, 600, 32, SDL_OPENGL), nullptr) << SDL_GetError();
        ASSERT_EQ(glewInit(), static_cast<GLenum>(GLEW_OK));
        freeLightIds = makeLightIdPool(); // earlier draws have reordered it
    }
    void TearDown() override {
        onCallList = nullptr;
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        SDL_Quit();
    }
};

// The camera's parent as the game has it, between two simulation steps.
std::unique_ptr<Player> player(Vector3 last, Vector3 now, float yaw, float pitch) {
    auto p = std::make_unique<Player>();
    p->lastPosition = last;
    p->position = now;
    p->yaw = yaw;
    p->pitch = pitch;
    return p;
}

using Matrix = std::array<GLfloat, 16>;

Matrix matrix(GLenum which) {
    Matrix m{};
    glGetFloatv(which, m.data());
    return m;
}

// Where the modelview matrix takes a world point.
std::array<float, 3> eyeSpace(Vector3 p) {
    const Matrix m = matrix(GL_MODELVIEW_MATRIX);
    std::array<float, 3> r{};
    for (int row = 0; row < 3; ++row) {
        r[row] = m[row] * p.x + m[4 + row] * p.y + m[8 + row] * p.z + m[12 + row];
    }
    return r;
}

void set(Map& map, int x, int y, int z, std::uint8_t type) {
    map.blocks[map.blockIndex(x, y, z)] = type;
}

void expectStateBracketed() {
    for (GLenum c :
         {GL_VERTEX_ARRAY, GL_NORMAL_ARRAY, GL_COLOR_ARRAY, GL_COLOR_MATERIAL, GL_LIGHTING,
          GL_LIGHT0, GL_LIGHT1, GL_LIGHT2, GL_LIGHT3, GL_LIGHT4, GL_LIGHT5, GL_LIGHT6, GL_LIGHT7}) {
        EXPECT_FALSE(glIsEnabled(c)) << std::hex << c;
    }
}

TEST_F(Window, CameraProjectsForTheWindowAndLooksAlongItsDirection) {
    const auto parent = player({1.0f, 2.0f, 3.0f}, {3.0f, 6.0f, 11.0f}, 30.0f, 45.0f);
    Camera camera(parent.get(), 80.0f, 0.1f, 10000.0f);
    EXPECT_EQ(camera.position.z, 3.0f + 0.7f) << "update(0) shows the previous step, at the eye";
    const Matrix projection = matrix(GL_PROJECTION_MATRIX);
    const double focal = 1.0 / std::tan(40.0 * M_PI / 180.0);
    EXPECT_NEAR(projection[5], focal, 1e-5);
    EXPECT_NEAR(projection[0], focal * 600.0 / 800.0, 1e-5);
    EXPECT_NEAR(projection[10], -(10000.0 + 0.1) / (10000.0 - 0.1), 1e-6);

    camera.update(0.5f);
    EXPECT_EQ(std::make_tuple(camera.position.x, camera.position.y, camera.position.z),
              std::make_tuple(2.0f, 4.0f, 7.0f + 0.7f));
    const FrustumPlanes planes = frustumPlanes(camera.position, viewBasis(30.0f, 45.0f), 80.0f,
                                               0.1f, 10000.0f, 800.0f / 600.0f);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(camera.planes[i].d, planes[i].d) << "plane " << i;
    }
    for (float yaw : {0.0f, 45.0f, 90.0f, 200.0f, -30.0f}) {
        for (float pitch : {-80.0f, 0.0f, 35.0f, 89.0f}) {
            parent->yaw = yaw;
            parent->pitch = pitch;
            camera.update(1.0f);
            camera.applyView();
            const Vector3 p = camera.position, d = camera.direction;
            const auto ahead = eyeSpace({p.x + d.x, p.y + d.y, p.z + d.z});
            const auto above = eyeSpace({p.x, p.y, p.z + 1.0f});
            EXPECT_NEAR(std::hypot(ahead[0], ahead[1], ahead[2] + 1.0f), 0.0f, 1e-4)
                << "the direction is straight ahead at " << yaw << " " << pitch;
            EXPECT_NEAR(above[1], std::cos(pitch * M_PI / 180.0), 1e-4) << "world z is up";
        }
    }
}

TEST_F(Window, TextureTakesTheImageSizeAndSaysWhetherItHasAlpha) {
    for (int bits : {24, 32}) {
        SDL_Surface* image = SDL_CreateRGBSurface(SDL_SWSURFACE, 3, 2, bits, 0xFF, 0xFF00, 0xFF0000,
                                                  bits == 32 ? 0xFF000000 : 0);
        ASSERT_EQ(SDL_SaveBMP(image, "texture.bmp"), 0);
        SDL_FreeSurface(image);
        const Texture texture("texture.bmp");
        EXPECT_EQ(std::make_tuple(texture.width, texture.height, texture.hasAlpha),
                  std::make_tuple(3, 2, bits == 32));
        EXPECT_TRUE(glIsTexture(texture.textureId));
    }
}

TEST_F(Window, ChunksHaveAListOnlyWhileTheyHaveFaces) {
    std::unique_ptr<Map> map = makeEmptyMap();
    set(*map, 20, 20, 20, Grass);
    set(*map, 200, 3, 100, Stone);
    MapRenderer renderer(*map);
    EXPECT_EQ(map->observers, std::vector<MapChangeObserver*>{&renderer});
    ASSERT_EQ(renderer.chunkCount, 4096);
    int withLists = 0;
    for (int i = 0; i < renderer.chunkCount; ++i) {
        const Chunk& chunk = renderer.chunks[i];
        EXPECT_FALSE(chunk.queued);
        EXPECT_EQ(chunk.hasGeometry, chunk.displayList != 0);
        withLists += chunk.hasGeometry && glIsList(chunk.displayList) ? 1 : 0;
    }
    EXPECT_EQ(withLists, 2);
    EXPECT_TRUE(renderer.staging.empty());
    EXPECT_GE(renderer.staging.capacity(), 36u) << "the staging storage is kept";
    EXPECT_EQ(renderer.chunkAt(15, 15, 15).bounds.min.x, 240.0f);
    EXPECT_EQ(renderer.chunkAt(15, 15, 15).bounds.max.z, 256.0f);
    expectStateBracketed();

    // Emptied, refilled, then buried: solid itself and in the one-cell shell around it.
    Chunk& chunk = renderer.chunkAt(1, 1, 1);
    for (const std::uint8_t fill : {Air, Dirt, Stone}) {
        for (int i = 0; i < 18 * 18 * 18; ++i) {
            const bool centre = i == (5 * 18 + 5) * 18 + 5;
            set(*map, 15 + i % 18, 15 + i / 18 % 18, 15 + i / 324,
                fill != Dirt || centre ? fill : std::uint8_t{Air});
        }
        const GLuint old = chunk.displayList;
        renderer.buildChunk(chunk, 1, 1, 1);
        EXPECT_FALSE(glIsList(old)) << "the old list is deleted";
        EXPECT_EQ(chunk.hasGeometry, fill == Dirt);
        EXPECT_EQ(chunk.displayList != 0, fill == Dirt);
        EXPECT_TRUE(renderer.staging.empty());
    }
}

TEST_F(Window, DrawCallsTheChunksInViewUnderTwoLightsFromThePoolAndPutsThemBack) {
    std::unique_ptr<Map> map = makeEmptyMap();
    set(*map, 128, 120, 130, Stone); // chunk (8, 7, 8), ahead
    set(*map, 128, 60, 130, Stone);  // chunk (8, 3, 8), wholly behind
    set(*map, 130, 97, 131, Stone);  // chunk (8, 6, 8), the eye's own, behind the eye
    MapRenderer renderer(*map);
    const auto parent = player({128.5f, 100.0f, 129.8f}, {128.5f, 100.0f, 129.8f}, 0.0f, 0.0f);
    Camera camera(parent.get(), 80.0f, 0.1f, 10000.0f);
    set(*map, 140, 130, 130, Stone); // chunk (8, 8, 8), ahead, built by the first draw
    renderer.blockChanged(140, 130, 130);
    renderer.blockChanged(140, 130, 130);
    renderer.blockChanged(130, 130, 143); // on the face to chunk (8, 8, 9)
    std::vector<std::tuple<int, int, int>> queued;
    for (const DirtyChunk& entry : renderer.rebuildQueue) {
        queued.emplace_back(entry.cx, entry.cy, entry.cz);
    }
    EXPECT_EQ(queued, (decltype(queued){{8, 8, 8}, {8, 8, 9}})) << "each once, in order";

    std::vector<std::tuple<GLuint, GLenum, GLenum, bool>> calls; // list, lights, all lit
    onCallList = [&](GLuint list) {
        const GLenum primary = map->primaryLight.lightId, secondary = map->secondaryLight.lightId;
        GLfloat diffuse[2][4] = {};
        glGetLightfv(primary, GL_DIFFUSE, diffuse[0]);
        glGetLightfv(secondary, GL_DIFFUSE, diffuse[1]);
        const bool lit = glIsEnabled(GL_LIGHTING) && glIsEnabled(GL_COLOR_MATERIAL) &&
                         glIsEnabled(primary) && glIsEnabled(secondary) && diffuse[0][0] == 1.0f &&
                         diffuse[1][0] == 0.5f;
        calls.emplace_back(list, primary, secondary, lit);
    };
    for (int frame = 0; frame < 3; ++frame) {
        calls.clear();
        renderer.draw(camera);
        // Each chunk in view with faces once; the lights taken from the end of the pool.
        const GLenum primary = frame % 2 == 0 ? GL_LIGHT7 : GL_LIGHT6;
        const GLenum secondary = GL_LIGHT7 + GL_LIGHT6 - primary;
        decltype(calls) expected;
        for (const auto& [cx, cy, cz] : {std::tuple{8, 6, 8}, {8, 7, 8}, {8, 8, 8}}) {
            expected.emplace_back(renderer.chunkAt(cx, cy, cz).displayList, primary, secondary,
                                  true);
        }
        EXPECT_EQ(calls, expected) << "frame " << frame;
        EXPECT_TRUE(renderer.rebuildQueue.empty() && !renderer.chunkAt(8, 8, 9).queued);
        EXPECT_EQ(map->primaryLight.lightId + map->secondaryLight.lightId, 0u);
        EXPECT_EQ(freeLightIds,
                  (std::vector<std::uint32_t>{GL_LIGHT0, GL_LIGHT1, GL_LIGHT2, GL_LIGHT3, GL_LIGHT4,
                                              GL_LIGHT5, primary, secondary}));
        expectStateBracketed();
    }
    // The first chunk counts too: the map's corner, the eye in it.
    set(*map, 3, 10, 3, Stone);
    renderer.blockChanged(3, 10, 3);
    const auto corner = player({3.5f, 2, 3.8f}, {3.5f, 2, 3.8f}, 0, 0);
    Camera cornerCamera(corner.get(), 80.0f, 0.1f, 10000.0f);
    calls.clear();
    renderer.draw(cornerCamera);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(std::get<0>(calls[0]), renderer.chunkAt(0, 0, 0).displayList);
}

TEST_F(Window, PlayLooksThrough80DegreesAndStepsOnlyForItsFirstFramesTime) {
    playState.Init();
    const Matrix projection = matrix(GL_PROJECTION_MATRIX); // 80 degrees high, 4:3
    EXPECT_FLOAT_EQ(projection[5], 1 / std::tan(40 * M_PI / 180));
    EXPECT_FLOAT_EQ(projection[0], 0.75 / std::tan(40 * M_PI / 180));
    playState.Update(nullptr);
    float accumulator = 0.0f;
    const int steps = takeFixedSteps(accumulator, frameTimer.deltaSeconds, timeStep);
    Player fresh; // high above the terrain, falling freely
    for (int i = 0; i < steps; ++i)
        fresh.updateMovement(timeStep);
    EXPECT_EQ(xyz(playState.player->position), xyz(fresh.position)) << steps << " steps";
    playState.Cleanup();
}

TEST_F(Window, TheSplashClearsToBlackWhateverColourTheContextHad) {
    const auto folder = std::filesystem::current_path();
    std::filesystem::current_path(TESSARIA_ASSETS); // where the game finds its picture
    glClearColor(0.686f, 0.843f, 1.0f, 1.0f);       // the sky, should play ever come first
    GameEngine engine;
    engine.screen = SDL_GetVideoSurface();
    introState.Init();
    introState.Draw(&engine);
    std::array<GLubyte, 3> corner{};
    glReadPixels(0, 0, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, corner.data());
    introState.Cleanup();
    std::filesystem::current_path(folder);
    EXPECT_EQ(corner, (std::array<GLubyte, 3>{0, 0, 0}));
}

} // namespace
