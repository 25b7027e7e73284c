// The camera, the renderer, the outline, the splash and play's pictures held to a ray
// cast of the map, in a real OpenGL context: a 640 x 400 SDL window on the test program's own X
// server, whose 1024 x 768 screen has another shape, so a view taken from the screen shows.
#include "physics/Player.h"
#include "render/Camera.h"
#include "render/LightIds.h"
#include "render/MapRenderer.h"
#include "render/RayCast.h"
#include "states/IntroState.h"
#include "states/PlayState.h"
#include "support/Testing.h"

#include <GL/glew.h>
#include <GL/glu.h>
#include <SDL/SDL.h>
#include <chrono>
#include <dlfcn.h>
#include <filesystem>
#include <functional>
#include <thread>

// Every glCallList of this program passes through here, so a test can look at the
// state the renderer has set while a chunk is drawn.
static std::function<void(GLuint)> onCallList;

extern "C" void glCallList(GLuint list) {
    static const auto real = reinterpret_cast<void (*)(GLuint)>(dlsym(RTLD_NEXT, "glCallList"));
    if (onCallList)
        onCallList(list);
    real(list);
}

namespace {

constexpr int width = 640, height = 400;

void set(Map& map, int x, int y, int z, std::uint8_t type) {
    map.blocks[map.blockIndex(x, y, z)] = type;
}

void expectStateBracketed() {
    for (GLenum c :
         {GL_VERTEX_ARRAY, GL_NORMAL_ARRAY, GL_COLOR_ARRAY, GL_COLOR_MATERIAL, GL_LIGHTING,
          GL_LIGHT0, GL_LIGHT1, GL_LIGHT2, GL_LIGHT3, GL_LIGHT4, GL_LIGHT5, GL_LIGHT6, GL_LIGHT7})
        EXPECT_FALSE(glIsEnabled(c)) << std::hex << c;
}

// The picture last drawn, bottom row first.
std::vector<std::array<GLubyte, 3>> picture() {
    std::vector<std::array<GLubyte, 3>> pixels(width * height);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

// One window for the whole run, each part in it after the other.
TEST(Window, CameraRendererPlayOutlineAndSplash) {
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    ASSERT_NE(SDL_SetVideoMode(width, height, 32, SDL_OPENGL), nullptr) << SDL_GetError();
    ASSERT_EQ(glewInit(), static_cast<GLenum>(GLEW_OK));

    // The camera follows between two steps.
    Player body; // between two simulation steps
    std::tie(body.lastPosition, body.position, body.yaw, body.pitch) =
        std::tuple(Vector3{1, 2, 3}, Vector3{3, 6, 11}, 30.0f, 45.0f);
    Camera eye(&body, 80.0f, 0.1f, 10000.0f);
    EXPECT_EQ(eye.position.z, 3.0f + 0.7f) << "update(0) shows the previous step, at the eye";
    eye.update(0.5f);
    EXPECT_EQ(xyz(eye.position), xyz(Vector3{2.0f, 4.0f, 7.0f + 0.7f}));

    // Chunks have a list while they have faces; those in view are drawn under two pooled lights.
    std::unique_ptr<Map> map = makeEmptyMap(); // blocks as seen from (8.5, 4, 9.8) along +y:
    set(*map, 8, 24, 10, Stone);               // chunk (0, 1, 0), ahead
    set(*map, 75, 10, 10, Stone);              // chunk (4, 0, 0), wholly right of the view
    set(*map, 10, 1, 11, Stone);   // chunk (0, 0, 0), the first and the eye's own, behind the eye
    set(*map, 200, 3, 100, Stone); // chunk (12, 0, 6), right of the view
    set(*map, 20, 20, 20, Grass);  // chunk (1, 1, 1), buried below
    MapRenderer renderer(*map);
    EXPECT_EQ(renderer.chunkCount, 4096);
    int withLists = 0;
    for (int i = 0; i < renderer.chunkCount; ++i) {
        const Chunk& chunk = renderer.chunks[i];
        EXPECT_EQ(chunk.hasGeometry, chunk.displayList != 0) << "chunk " << i;
        withLists += chunk.hasGeometry && glIsList(chunk.displayList) ? 1 : 0;
    }
    EXPECT_EQ(withLists, 5);
    const BoundingBox last = renderer.chunkAt(15, 15, 15).bounds;
    EXPECT_EQ(std::make_pair(last.min.x, last.max.z), std::make_pair(240.0f, 256.0f));
    expectStateBracketed();

    // A chunk emptied, refilled, then buried: solid itself and in the one-cell shell around it.
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
        EXPECT_EQ(std::make_pair(chunk.hasGeometry, chunk.displayList != 0),
                  std::make_pair(fill == Dirt, fill == Dirt));
        EXPECT_TRUE(renderer.staging.empty());
    }

    Player walker;
    walker.position = walker.lastPosition = {8.5f, 4, 9.8f};
    Camera camera(&walker, 80.0f, 0.1f, 10000.0f);
    set(*map, 12, 40, 10, Stone); // chunk (0, 2, 0), ahead, built by the first draw
    renderer.blockChanged(12, 40, 10);
    renderer.blockChanged(12, 40, 10);
    renderer.blockChanged(10, 47, 10); // on the face to chunk (0, 3, 0)
    std::vector<std::tuple<int, int, int>> queued;
    for (const DirtyChunk& entry : renderer.rebuildQueue)
        queued.emplace_back(entry.cx, entry.cy, entry.cz);
    EXPECT_EQ(queued, (decltype(queued){{0, 2, 0}, {0, 3, 0}})) << "each once, in order";

    std::vector<GLuint> calls; // each list drawn
    onCallList = [&](GLuint list) { calls.push_back(list); };
    for (int frame = 0; frame < 3; ++frame) {
        calls.clear();
        renderer.draw(camera);
        // Each chunk in view with faces once; the lights taken from the end of the pool.
        const GLenum primary = frame % 2 == 0 ? GL_LIGHT7 : GL_LIGHT6;
        const GLenum secondary = GL_LIGHT7 + GL_LIGHT6 - primary;
        decltype(calls) expected;
        for (int cy = 0; cy < 3; ++cy)
            expected.push_back(renderer.chunkAt(0, cy, 0).displayList);
        EXPECT_EQ(calls, expected) << "frame " << frame;
        EXPECT_EQ(std::make_pair(renderer.rebuildQueue.size(), renderer.chunkAt(0, 3, 0).queued),
                  std::make_pair(std::size_t{0}, false));
        EXPECT_EQ(map->primaryLight.lightId + map->secondaryLight.lightId, 0u);
        EXPECT_EQ(freeLightIds,
                  (std::vector<std::uint32_t>{GL_LIGHT0, GL_LIGHT1, GL_LIGHT2, GL_LIGHT3, GL_LIGHT4,
                                              GL_LIGHT5, primary, secondary}));
        expectStateBracketed();
    }
    onCallList = nullptr;

    // Play takes the window, steps only for its first frame's time and sees the far terrain.
    playState.Init(); // builds the world, which takes far longer than a frame
    const auto built = std::chrono::steady_clock::now();
    std::array<GLint, 4> viewport{};
    glGetIntegerv(GL_VIEWPORT, viewport.data());
    EXPECT_EQ(viewport, (std::array<GLint, 4>{0, 0, width, height}));

    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    testing::internal::CaptureStdout(); // the collision trace: a block a step
    playState.Update(nullptr);
    const std::string trace = testing::internal::GetCapturedStdout();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - built).count();
    int steps = 0;
    for (std::size_t at = 0; (at = trace.find("Colliding...", at) + 1) != 0;)
        ++steps;
    EXPECT_GE(steps, 5);
    EXPECT_LE(steps, seconds * 60 + 1) << "steps in " << seconds << " s";

    // ---- The picture against a ray cast of the map: at the benchmark's four headings from where
    // the player arrives, before a hill with hills beyond, in a dug crater, straight down ----
    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    ASSERT_GE(depthBits, 24) << "a depth buffer of 16 bits may honestly z-fight far terrain";
    Map& world = *playState.map;
    const auto standOn = [&world](float x, float y) { // on the highest of the columns under it
        int surface = 0;
        for (int i = 0; i < 4; ++i)
            for (int z = world.sizeZ - 1; z >= surface; --z)
                if (world.blocks[world.blockIndex(int(std::floor(x + (i & 1 ? 0.4f : -0.4f))),
                                                  int(std::floor(y + (i & 2 ? 0.4f : -0.4f))),
                                                  z)] != Air) {
                    surface = z + 1;
                    break;
                }
        return Vector3{x, y, float(surface) + 0.85f};
    };
    const auto look = [&](const std::string& name, Vector3 at, float yaw, float pitch) {
        Player& player = *playState.player;
        std::tie(player.position, player.lastPosition, player.yaw, player.pitch) =
            std::tie(at, at, yaw, pitch);
        playState.camera->update(1);
        playState.pickedBlock = {-1, -1, -1}; // the outline: below, on its own
        playState.Draw(nullptr);
        std::vector<float> depth(width * height);
        glReadPixels(0, 0, width, height, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
        const Comparison seen =
            compareWithCast(world, RayView({at.x, at.y, at.z}, yaw, pitch, width, height),
                            picture(), depth, depthBits, name);
        EXPECT_EQ(seen.differing, 0) << name << " of " << seen.compared << ": " << seen.report;
        EXPECT_GT(seen.compared, width * height / 4) << name;
    };
    const Vector3 arrival = standOn(128, 128);
    for (int heading = 0; heading < 4; ++heading) // a quarter turn right each
        look("heading-" + std::to_string(heading), arrival, -90.0f * heading, 0);
    // A hill close by on the right, before farther hills, found by searching the map for a place
    // whose view level ahead shows a face within 16 blocks under one more than 64 away.
    look("hill", standOn(56, 40), 0, 0);
    world.digSphere(128, 128, int(arrival.z - 1.85f), 20); // the block under the feet
    look("crater", standOn(128, 128), 30, -25);
    look("down", {128, 128, 250}, 0, -90);

    // A block in the air below the eye picked: its twelve edges, each along the block 0.01
    // outside it, and nothing else. The same picture drawn here, each edge from its lower
    // corner along an axis, may differ only where the two rasterise a line's ends apart.
    playState.pickedBlock = {134, 132, 240};
    glLoadIdentity(); // the view is for the renderer to load
    playState.Draw(nullptr);
    const auto outlined = picture();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    playState.renderer->draw(*playState.camera);
    glColor3f(1, 1, 1);
    glBegin(GL_LINES);
    for (int corner = 0; corner < 8; ++corner)
        for (int axis : {1, 2, 4})
            for (int end : {corner, corner | axis})
                if ((corner & axis) == 0)
                    glVertex3d(134 + (end & 1 ? 1.01 : -0.01), 132 + (end & 2 ? 1.01 : -0.01),
                               240 + (end & 4 ? 1.01 : -0.01));
    glEnd();
    const auto expected = picture();
    int lit = 0, differ = 0;
    for (int i = 0; i < width * height; ++i) {
        lit += expected[i] == std::array<GLubyte, 3>{255, 255, 255} ? 1 : 0;
        differ += outlined[i] != expected[i] ? 1 : 0;
    }
    EXPECT_GT(lit, 200);
    EXPECT_LE(differ, 6) << "of " << lit;
    playState.Cleanup();

    // The splash clears to black whatever colour the context had: here play's sky.
    const auto folder = std::filesystem::current_path();
    std::filesystem::current_path(TESSARIA_ASSETS); // where the game finds its picture
    introState.Init();
    introState.Draw(nullptr);
    EXPECT_EQ(picture()[0], (std::array<GLubyte, 3>{0, 0, 0}));
    introState.Cleanup();
    std::filesystem::current_path(folder);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    SDL_Quit();
}

} // namespace
