#include "physics/Collision.h"
#include "physics/KeyState.h"
#include "physics/MapCollision.h"
#include "physics/Player.h"
#include "physics/TimeStep.h"
#include "support/Testing.h"

#include <SDL/SDL_keysym.h>

namespace {

// What f writes to the process's standard output file, where nothing may go through cout.
template <class F> std::string standardOutputOf(F f) {
    testing::internal::CaptureStdout();
    EXPECT_EQ(written(std::cout, f), "");
    std::fflush(stdout);
    return testing::internal::GetCapturedStdout();
}

TEST(VectorMath, SquareRootNormalizeAndPlanesInSinglePrecision) {
    // Nothing usable normalises to zero; a plane through a, b, c faces where they run clockwise.
    const Vector3 normalized[][2] = {{{3, 0, -4}, {0.6f, 0, -0.8f}},
                                     {{-0.0f, 0, 0}, {0, 0, 0}},
                                     {{1e-30f, 0, 0}, {0, 0, 0}},
                                     {{1, NAN, 0}, {0, 0, 0}}};
    for (const auto& c : normalized)
        EXPECT_EQ(xyz(normalize(c[0])), xyz(c[1])) << c[0].x << " " << c[0].y << " " << c[0].z;
    const Plane plane = planeFromPoints({0, 1, 5}, {1, 0, 5}, {0, 0, 5});
    EXPECT_EQ(std::make_tuple(xyz(plane.normal), xyz(plane.point), plane.d),
              std::make_tuple(xyz({0, 0, 1}), xyz({0, 0, 5}), -5.0f));
}

// Whether the cylinder hits the box, the vector and length out (7 where left unwritten).
auto separation(AxisAlignedBox box, UprightCylinder cylinder) {
    Vector3 vector{7, 7, 7};
    float length = 7;
    const bool hit = testCylinderBox(box, cylinder, vector, length);
    return std::make_tuple(hit, xyz(vector), length);
}

TEST(CylinderBox, SeparatesAlongZAFaceNormalOrACornerDirectionOrMissesLeavingTheOutputs) {
    const float corner = 0.25f / squareRoot(0.125f), cornerDepth = 0.5f - squareRoot(0.125f),
                edge = (0.4f + 0.5f) - (1.01f - 0.5f);
    // Cylinder x, y, z, half height, radius against the unit block: vector and length, or 7 for
    // a miss (touching, or 0.625 from the corner (1, 1) with both axes overlapping).
    // clang-format off
    const float cases[][9] = {
        {1.25, 1.25, 0.5, 0.5, 0.5, corner, corner, 0, cornerDepth}, // the second self-test
        // Horizontally inside: the smaller overlap wins, ties go to y (unless z is smaller).
        {0.25, 0.75, 0.5, 9, 0.5, 0, 1, 0, 0.75}, {0.375, 0.5, 0.5, 9, 0.5, -1, 0, 0, 0.875},
        {1.375, 1.5, 0.5, 0.5, 0.63f, 0.6f, 0.8f, 0, 0.63f - 0.625f}, // near the corner
        {1.25, 0.5, 1.25, 0.5, 0.5, 1, 0, 0, 0.25}, // equal lengths go sideways
        {1.25, 0.5, 1.375, 0.5, 0.5, 0, 0, 1, 0.125},
        {0.5, -0.4375, 0.5, 0.5, 0.5, 0, -1, 0, 0.0625},
        // A centre on an edge's line is inside along that axis: the face's overlap, not the
        // distance to the corner, which rounds to another float.
        {1.01f, 1, 0.5, 9, 0.4f, 1, 0, 0, edge}, {1, 1.01f, 0.5, 9, 0.4f, 0, 1, 0, edge},
        {0, -0.01f, 0.5, 9, 0.4f, 0, -1, 0, edge}, {-0.01f, 0, 0.5, 9, 0.4f, -1, 0, 0, edge},
        {0.5, 0.5, 0, 0.25, 0.5, 0, 0, 1, 0.25}, // only a centre strictly below goes down
        {0.5, 0.5, -0.125, 0.25, 0.5, 0, 0, -1, 0.125}, {0.5, 0.5, 1.5, 0.5, 0.5, 7, 7, 7, 7},
        {1.5, 0.5, 0.5, 0.5, 0.5, 7, 7, 7, 7}, {1.375, 1.5, 0.5, 0.5, 0.625, 7, 7, 7, 7}};
    // clang-format on
    const AxisAlignedBox unit{0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f};
    for (const auto& c : cases)
        EXPECT_EQ(separation(unit, {c[0], c[1], c[2], c[3], c[4]}),
                  std::make_tuple(c[8] != 7, xyz(c + 5), c[8]))
            << c[0] << " " << c[1] << " " << c[2] << " " << c[4];
    // A centre on a long box's middle line goes the positive way out of the shallower side.
    EXPECT_EQ(separation({0.5f, 0.5f, 0.5f, 0.5f, 2, 0.5f}, {0.5f, 1, 0.5f, 9, 0.5f}),
              std::make_tuple(true, xyz({1, 0, 0}), 1.0f));
    EXPECT_EQ(separation({0.5f, 0.5f, 0.5f, 2, 0.5f, 0.5f}, {1, 0.5f, 0.5f, 9, 0.5f}),
              std::make_tuple(true, xyz({0, 1, 0}), 1.0f));
}

// The trace digest (tests/arch) covers the start, the fall and each key at each heading.
TEST(Player, KeysAndBodyAccelerateTheMouseTurnsAndTheCameraIsPointSevenAboveTheCentre) {
    // The keys held, facing +x (yaw -90, where sine and cosine are exact): where one step from
    // rest takes the body, a walk to a side or a thrust up, besides the drop. Held all at once,
    // none excludes another (SDLK_UNKNOWN: every key): the walks cancel, the thrust stays.
    static std::array<std::uint8_t, SDLK_LAST> keys;
    keyState = keys.data();
    const float walk = (3 * timeStep) * timeStep, drop = (-9.8f * timeStep) * timeStep;
    const Vector3 thrust{0, 0, (30 * timeStep) * timeStep + drop};
    const std::pair<SDLKey, Vector3> held[] = {
        {SDLK_w, {walk, 0, drop}},  {SDLK_a, {0, walk, drop}}, {SDLK_s, {-walk, 0, drop}},
        {SDLK_d, {0, -walk, drop}}, {SDLK_SPACE, thrust},      {SDLK_UNKNOWN, thrust}};
    for (const auto& [key, after] : held) {
        keys.fill(key == SDLK_UNKNOWN);
        keys[key] = 1;
        Player player;
        player.position = player.lastPosition = {0, 0, 0};
        player.yaw = -90;
        player.updateMovement(timeStep);
        EXPECT_EQ(xyz(player.position), xyz(after)) << "key " << key;
    }
    PhysicsBody body({0, 0, 0});            // near the origin nothing is lost to rounding
    body.acceleration = {1.0f, 0.0f, 0.0f}; // its own acceleration adds to gravity
    body.integrate(timeStep);
    EXPECT_EQ(
        std::make_tuple(xyz(body.position), xyz(body.lastPosition), body.getVelocity().z),
        std::make_tuple(xyz({timeStep * timeStep, 0, drop}), xyz({0, 0, 0}), drop / timeStep));
    Player player;
    player.lastPosition = {10, 20, 30};
    player.position = {11, 22, 29};
    EXPECT_EQ(xyz(player.interpolatePosition(0.5f)), xyz({10.5f, 21, 29.5f}));
    EXPECT_EQ(std::make_pair(xyz(player.getCameraPosition(1)), xyz(player.getCameraPosition(0))),
              std::make_pair(xyz({11, 22, 29.0f + 0.7f}), xyz({10, 20, 30.0f + 0.7f})));
    // Yaw, mouse dx, dy: yaw and pitch after, a quarter degree per count; yaw wraps once
    // (359.9 + 0.5 and - 360 are exact there) but keeps 0 and 360; pitch stops at 90.
    const double looks[][5] = {{359.9f, -2, 4, 0.399993896484375, -1},
                               {0.1f, 1, INT_MAX, (0.1f - 0.25f) + 360.0f, -90},
                               {359.75f, -1, INT_MIN, 360, 90},
                               {0.25f, 1, 0, 0, 0}};
    for (const auto& c : looks) {
        Player looking;
        looking.yaw = float(c[0]);
        looking.applyLook(int(c[1]), int(c[2]));
        EXPECT_EQ(std::make_pair(looking.yaw, looking.pitch),
                  std::make_pair(float(c[3]), float(c[4])));
    }
}

// Collides the body with the map; returns whether the step was split into sub-steps.
bool collide(UprightCylinderCollider& body, const Map& map) {
    const std::string trace = standardOutputOf([&] { collideWithMap(body, map); });
    return trace.find("\tColliding with multiple steps\n") != std::string::npos;
}

// The trace's wording, and how contacts are averaged and pushed apart, the trace digest fixes.
TEST(MapCollision, EveryStepIsTracedSplitBeyondTheLeastExtentAndSeparatedByTheAverageContact) {
    const auto flat = makeFlatMap(10); // solid below z = 10; walls at x = 0 and y = 0
    const auto west = makeMap([](int x, int, int z) { return x == 0 && z < 20 ? Stone : Air; });
    const auto south = makeMap([](int, int y, int z) { return y == 0 && z < 20 ? Stone : Air; });
    const Vector3 same{NAN, NAN, NAN};
    const float past = std::nextafter(0.4f, 1.0f);
    const std::pair<float, float> player{0.4f, 1.7f}, wide{0.8f, 1.7f}, low{1, 0.5f}, dot{0, 0};
    enum { single, split, resolved }; // collided in one step or in sub-steps, or one pass resolved
    // Map, position, last position, radius and height, run: the position (same: both unchanged)
    // and last position (same: the position) after. Steps split beyond the least of radius, half
    // height and 0.5 (0.4 is one step), ending where they end, even in sub-steps of 0.
    // clang-format off
    const std::tuple<const Map*, Vector3, Vector3, std::pair<float, float>, int, Vector3, Vector3,
                     float> cases[] = {
        {flat.get(), {128.5f, 128.5f, 10.75f}, {128.5f, 128.5f, 11}, player, single,
         {128.5f, 128.5f, 10.85f}, same, 1e-5f}, // landing
        {flat.get(), {0.4f, 5, 100}, {0, 5, 100}, player, single, same, same, 0},
        {flat.get(), {past, 5, 100}, {0, 5, 100}, player, split, same, same, 0},
        {flat.get(), {100.28f, 100, 100}, {100, 100, 100}, low, split, same, same, 0},
        {flat.get(), {9, 9, 20}, {9, 9, 21}, dot, split, same, same, 0},
        // Sub-steps of 0.4, 0.4, 0.2 each land, the last at 0.112 along x from the start.
        {flat.get(), {10.72f, 10.5f, 10.04f}, {10.44f, 10.5f, 11}, player, split,
         {10.72f, 10.5f, 10.85f}, {10.552f, 10.5f, 10.85f}, 1e-5f},
        // The map's first column and row are searched too, though the search starts below them,
        // and a body wider than a block reaches cells more than a block from its centre. Along a
        // wall the motion along it is kept.
        {west.get(), {1.3f, 50, 10.5f}, {1.4f, 49.8f, 10.5f}, player, resolved, {1.4f, 50, 10.5f},
         {1.4f, 49.8f, 10.5f}, 1e-5f},
        {west.get(), {1.7f, 50, 10.5f}, {1.8f, 50, 10.5f}, wide, resolved, {1.8f, 50, 10.5f},
         same, 1e-5f},
        {south.get(), {50, 1.7f, 10.5f}, {50, 1.8f, 10.5f}, wide, resolved, {50, 1.8f, 10.5f},
         same, 1e-5f}};
    // clang-format on
    for (const auto& [map, position, last, shape, run, after, lastAfter, tolerance] : cases) {
        SCOPED_TRACE(testing::Message() << position.x << " " << position.y << " " << position.z);
        UprightCylinderCollider moving(position, shape.first, shape.second);
        moving.lastPosition = last;
        if (run == resolved)
            resolveContacts(moving, *map, last);
        else
            EXPECT_EQ(collide(moving, *map), run == split);
        const Vector3 p = std::isnan(after.x) ? position : after;
        const Vector3 l = std::isnan(after.x) ? last : std::isnan(lastAfter.x) ? p : lastAfter;
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(xyz(moving.position)[i], xyz(p)[i], tolerance) << "axis " << i;
            EXPECT_NEAR(xyz(moving.lastPosition)[i], xyz(l)[i], tolerance) << "last, axis " << i;
        }
    }
}

} // namespace
