#include "support/Testing.h"
#include "world/NoiseMapGenerator.h"
#include "world/Picking.h"

namespace {

using Heard = std::vector<std::array<int, 4>>; // observer, x, y, z
constexpr std::size_t cellCount = 256u * 256u * 256u;

struct RecordingObserver : MapChangeObserver {
    RecordingObserver(Heard& log, int tag) : log(log), tag(tag) {}
    void blockChanged(int x, int y, int z) override { log.push_back({tag, x, y, z}); }
    Heard& log;
    int tag;
};

// The cell order (x fastest, then y, then z) is fixed by the world's digests (tests/arch).
TEST(Map, LightsAreSetAndObserversHearEveryChangedCell) {
    const auto map = makeEmptyMap();
    const Vector4 p = map->secondaryLight.position, zero = normalize4({0, 0, 0, 0});
    EXPECT_EQ(
        std::make_tuple(p.x, p.y, p.z, p.w, map->primaryLight.lightId, map->secondaryLight.lightId),
        std::make_tuple(-0x1.d5d56p-2f, -0x1.d5bedep-3f, -0x1.b781eap-1f, 0.0f, 0u, 0u));
    EXPECT_EQ(std::make_tuple(zero.x, zero.y, zero.z, zero.w), std::make_tuple(0, 0, 0, 0));
    // An observer added twice hears each change twice, in order, even of a cell already Air.
    Heard log;
    RecordingObserver a(log, 1), b(log, 2);
    for (RecordingObserver* observer : {&a, &b, &a})
        map->addObserver(observer);
    map->digSphere(3, 4, 5, 0.0f);
    const std::array<int, 4> heardA{1, 3, 4, 5}, heardB{2, 3, 4, 5};
    EXPECT_EQ(log, (Heard{heardA, heardB, heardA}));
}

// Each cell reported in the map, within the radius and Air, z slowest; the first not ends it.
void expectDug(const Map& map, const Heard& log, const Cell& centre, float radius) {
    for (std::size_t i = 0; i < log.size(); ++i) {
        const auto [tag, x, y, z] = log[i];
        SCOPED_TRACE(testing::Message() << "cell " << x << " " << y << " " << z);
        const long long dx = x - centre[0], dy = y - centre[1], dz = z - centre[2];
        ASSERT_GE(std::min({x, y, z}), 0);
        ASSERT_LE(std::max({x, y, z}), 255);
        ASSERT_LE(static_cast<double>(dx * dx + dy * dy + dz * dz), radius * radius);
        ASSERT_EQ(map.blocks[map.blockIndex(x, y, z)], Air);
        const Cell before =
            i == 0 ? Cell{-1, -1, -1} : Cell{log[i - 1][3], log[i - 1][2], log[i - 1][1]};
        ASSERT_LT(before, (Cell{z, y, x}));
    }
}

TEST(DigSphere, ClearsAndReportsExactlyTheCellsWithinTheRadiusInsideTheMap) {
    // Centre, radius: the cells cleared, each reported once, z slowest and x fastest (at -0.5
    // the reach rounds up to 0 and the centre's distance 0 is within r^2).
    const double cases[][5] = {
        {7, 8, 9, 0, 1},        {0, 0, 0, 20, 4662},     {255, 255, 255, 20, 4662},
        {-25, 128, 128, 20, 0}, {128, 300, 128, 20, 0},  {INT_MAX, INT_MIN, 128, 20, 0},
        {128, 128, 128, -1, 0}, {128, 128, 128, NAN, 0}, {128, 128, 128, -0.5, 1}};
    for (const auto& c : cases) {
        const Cell centre{int(c[0]), int(c[1]), int(c[2])};
        const float radius = float(c[3]);
        SCOPED_TRACE(testing::Message() << centre[0] << " " << centre[1] << " r " << radius);
        const auto map = makeFlatMap(256);
        Heard log;
        RecordingObserver observer(log, 0);
        map->addObserver(&observer);
        map->digSphere(centre[0], centre[1], centre[2], radius);
        EXPECT_EQ(log.size(), c[4]);
        EXPECT_EQ(std::count(map->blocks, map->blocks + cellCount, Air), long(c[4]));
        expectDug(*map, log, centre, radius);
    }
}

TEST(PickBlock, WalksTheCellsAlongTheRayFromTheStartCell) {
    const Cell none{-1, -1, -1};
    const std::vector<Cell> pair{{12, 10, 10}, {5, 10, 10}}, axes{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
        beside{{11, 10, 10}, {10, 11, 10}, {10, 10, 11}},
        below{{9, 10, 10}, {10, 9, 10}, {10, 10, 9}}, far{{12, 10, 200}};
    const Vector3 middle{0.5f, 0.5f, 0.5f}, at10{10.5f, 10.5f, 10.5f}, at5{5.5f, 10.5f, 200.5f};
    // Stone below the height and in the listed cells; the walk's last x: the cell picked.
    // Equal crossings step z, then y, then x; a zero of either sign never steps.
    // clang-format off
    const std::tuple<int, std::vector<Cell>, Vector3, Vector3, int, Cell> cases[] = {
        {129, {}, {5.5f, 6.25f, 100.2f}, {0, 0, 1}, 255, {5, 6, 100}}, // the start cell
        {129, {}, {10.5f, 10.5f, 200.5f}, {0, 0, 1}, 255, none},
        {0, pair, {20.5f, 10.5f, 10.5f}, {-1, 0, 0}, 255, {12, 10, 10}},
        {0, axes, middle, {0.6f, 0.2f, 0.6f}, 255, {0, 0, 1}},
        {0, axes, middle, {0.6f, 0.6f, 0.2f}, 255, {0, 1, 0}},
        {0, below, at10, {-0.6f, -0.2f, -0.6f}, 255, {10, 10, 9}},
        {0, below, at10, {-0.6f, -0.6f, -0.2f}, 255, {10, 9, 10}},
        // Below the map (its cell -1, not 0) and beyond any int: outside, whatever the ray.
        {1, {}, {10.5f, 10.5f, -0.5f}, {0, 0, 1}, 255, none},
        {129, {}, {10.5f, 3e9f, 100.5f}, {0, -1, 0}, 255, none},
        {0, far, at5, {1, 0, 0}, 11, none}, {0, far, at5, {1, 0, 0}, 12, {12, 10, 200}},
        {0, beside, at10, {-0.0f, -0.0f, 1}, 255, {10, 10, 11}},
        {0, beside, at10, {1, -0.0f, -0.0f}, 255, {11, 10, 10}},
        {0, {}, at10, {-0.0f, -0.0f, -0.0f}, 255, none}};
    // clang-format on
    for (const auto& [height, solid, origin, direction, lastX, hit] : cases) {
        const auto map = makeFlatMap(height);
        for (const Cell& s : solid)
            map->blocks[map->blockIndex(s[0], s[1], s[2])] = Stone;
        const PickResult r = pickBlock(origin, direction, lastX, 255, 255, *map);
        EXPECT_EQ((Cell{r.x, r.y, r.z}), hit) << origin.x << " " << origin.y << " " << origin.z;
    }
}

// Every cell against the per-cell rule: Stone below h - 5, Dirt up to h - 1, Grass at h.
void expectTerrain(const Map& map, const std::vector<int>& heights) {
    for (std::size_t i = 0; i < cellCount; ++i) {
        const long long h = heights[i % 65536], z = static_cast<long long>(i / 65536);
        const std::uint8_t rule = z < h - 5 ? Stone : z < h ? Dirt : z == h ? Grass : Air;
        ASSERT_EQ(map.blocks[i], rule) << "cell " << i % 256 << ", " << i / 256 % 256 << ", " << z;
    }
}

std::vector<std::array<double, 3>> stubQueries;
struct StubNoise {
    double GetValue(double x, double y, double z) const {
        stubQueries.push_back({x, y, z});
        return 0.0;
    }
};

// The game's own world is fixed by the cells digest (tests/arch).
TEST(NoiseTerrain, OneQueryPerColumnRowByRowSetsItsHeightRoundedHalfUpFromFloatNoise) {
    // Half a block rounds up; the noise is rounded to float first (the last row in double).
    // clang-format off
    const double heights[][2] = {{-1.0, 0}, {0.0, 128}, {1.0, 256}, {-0.5, 64},
        {-1.0 + 1.0 / 256, 1},
        {-1.0 - 1.0 / 256, 0}, {-1.0 - 2.0 / 256, -1}, {-1.0 + 1.0 / 256 - 1e-12, 1}};
    // clang-format on
    for (const auto& c : heights)
        EXPECT_EQ(columnHeight(c[0], 256), c[1]) << c[0];
    expectTerrain(Map(new BasicNoiseMapGenerator<StubNoise>), std::vector<int>(65536, 128));
    ASSERT_EQ(stubQueries.size(), 65536u);
    for (std::size_t i = 0; i < stubQueries.size(); ++i)
        ASSERT_EQ(stubQueries[i], (std::array<double, 3>{i % 256 * 0.005, i / 256 * 0.005, 1.35}));
}

// The vectorised fill against the rule, into cells no block has, so a skipped cell shows.
TEST(TerrainFillEquivalence, TheFillMatchesThePerCellRule) {
    const std::vector<int> edges{INT_MIN, -1000, -7,  -6,  -5,  -1,  0,   1,    4,      5,   6,
                                 7,       64,    122, 123, 127, 128, 129, 133,  134,    250, 251,
                                 254,     255,   256, 257, 260, 261, 262, 1000, INT_MAX};
    std::vector<std::vector<int>> cases(edges.size() + 3, std::vector<int>(65536));
    std::mt19937 random(1);
    for (std::size_t i = 0; i < 65536; ++i) {
        for (std::size_t k = 0; k < edges.size(); ++k)
            cases[k][i] = edges[k];
        cases[edges.size()][i] = edges[random() % edges.size()]; // mixed edges
        cases[edges.size() + 1][i] = int(random() % 311) - 10;   // across and beyond the map
    }
    sampleHeights(noise::module::Perlin(), 256, 256, 256, cases.back().data()); // with holes
    const auto map = makeEmptyMap();
    for (const std::vector<int>& heights : cases) {
        SCOPED_TRACE(testing::Message() << "heights " << heights[0] << " " << heights[1]);
        std::memset(map->blocks, 0xA5, cellCount);
        fillTerrain(*map, heights.data());
        expectTerrain(*map, heights);
    }
}

} // namespace
