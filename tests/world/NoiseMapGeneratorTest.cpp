#include "world/NoiseMapGenerator.h"
#include "world/BlockType.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace {

// Noise that is Numerator / Denominator everywhere.
template <int Numerator, int Denominator> struct ConstantNoise {
    double GetValue(double, double, double) const {
        return static_cast<double>(Numerator) / Denominator;
    }
};

struct RecordingNoise {
    double GetValue(double x, double y, double z) const {
        queries.push_back({x, y, z});
        return 0.0;
    }
    mutable std::vector<std::array<double, 3>> queries;
};

template <class Module> std::unique_ptr<Map> generateWith() {
    return std::make_unique<Map>(new BasicNoiseMapGenerator<Module>);
}

// Every cell of layer z holds expectedCode(z).
void expectUniformLayers(const Map& map, const std::function<std::uint8_t(int z)>& expectedCode) {
    const std::size_t layerSize = static_cast<std::size_t>(map.sizeX) * map.sizeY;
    for (int z = 0; z < map.sizeZ; ++z) {
        const std::uint8_t* layer = map.blocks + layerSize * z;
        const std::uint8_t code = expectedCode(z);
        const auto wrong = std::find_if(layer, layer + layerSize,
                                        [code](std::uint8_t cell) { return cell != code; });
        ASSERT_EQ(wrong, layer + layerSize)
            << "layer " << z << " cell " << (wrong - layer) << " holds " << int(*wrong)
            << ", expected " << int(code);
    }
}

TEST(NoiseMapGeneratorTest, ColumnHeightRoundsHalfUpFromFloatNoise) {
    EXPECT_EQ(columnHeight(-1.0, 256), 0);
    EXPECT_EQ(columnHeight(0.0, 256), 128);
    EXPECT_EQ(columnHeight(1.0, 256), 256);
    EXPECT_EQ(columnHeight(-0.5, 256), 64);
    // Exactly half a block rounds up, also below the floor.
    EXPECT_EQ(columnHeight(-1.0 + 1.0 / 256, 256), 1);
    EXPECT_EQ(columnHeight(-1.0 - 1.0 / 256, 256), 0);
    EXPECT_EQ(columnHeight(-1.0 - 2.0 / 256, 256), -1);
    // The noise is rounded to float first: in double this would stay just below the half.
    EXPECT_EQ(columnHeight(-1.0 + 1.0 / 256 - 1e-12, 256), 1);
}

TEST(NoiseMapGeneratorTest, NoiseZeroGivesSurfaceAt128) {
    const auto map = generateWith<ConstantNoise<0, 1>>();
    expectUniformLayers(*map, [](int z) -> std::uint8_t {
        return z <= 122 ? Stone : z <= 127 ? Dirt : z == 128 ? Grass : Air;
    });
}

TEST(NoiseMapGeneratorTest, NoiseMinusOneGivesGrassOnTheFloorOnly) {
    const auto map = generateWith<ConstantNoise<-1, 1>>();
    expectUniformLayers(*map, [](int z) -> std::uint8_t { return z == 0 ? Grass : Air; });
}

TEST(NoiseMapGeneratorTest, NoiseOneFillsToTheCeilingWithoutGrassOrAir) {
    const auto map = generateWith<ConstantNoise<1, 1>>();
    expectUniformLayers(*map, [](int z) -> std::uint8_t { return z <= 250 ? Stone : Dirt; });
}

TEST(NoiseMapGeneratorTest, NoiseMinusHalfGivesSurfaceAt64) {
    const auto map = generateWith<ConstantNoise<-1, 2>>();
    expectUniformLayers(*map, [](int z) -> std::uint8_t {
        return z <= 58 ? Stone : z <= 63 ? Dirt : z == 64 ? Grass : Air;
    });
}

TEST(NoiseMapGeneratorTest, ModuleIsQueriedOncePerColumnRowByRow) {
    RecordingNoise recorder;
    std::vector<int> heights(256 * 256);
    sampleHeights(recorder, 256, 256, 256, heights.data());

    ASSERT_EQ(recorder.queries.size(), 65536u);
    EXPECT_EQ(recorder.queries[0], (std::array<double, 3>{0.0, 0.0, 1.35}));
    EXPECT_DOUBLE_EQ(recorder.queries[255][0], 1.275);
    EXPECT_EQ(recorder.queries[255][1], 0.0);
    EXPECT_EQ(recorder.queries[256], (std::array<double, 3>{0.0, 0.005, 1.35}));
    for (std::size_t i = 0; i < recorder.queries.size(); ++i) {
        const int x = static_cast<int>(i % 256);
        const int y = static_cast<int>(i / 256);
        const std::array<double, 3> expected{x * 0.005, y * 0.005, 1.35};
        ASSERT_EQ(recorder.queries[i], expected) << "query " << i;
    }
    EXPECT_TRUE(std::all_of(heights.begin(), heights.end(), [](int h) { return h == 128; }));
}

// The ideal column of height h, straight from the layer rules.
std::array<std::uint8_t, 256> idealColumn(int h) {
    std::array<std::uint8_t, 256> column{};
    for (int z = 0; z < 256; ++z) {
        column[z] = z < h - 5 ? Stone : z < h ? Dirt : z == h ? Grass : Air;
    }
    return column;
}

class GeneratedWorldTest : public testing::Test {
  protected:
    static void SetUpTestSuite() { map_ = new Map(new NoiseMapGenerator); }
    static void TearDownTestSuite() {
        delete map_;
        map_ = nullptr;
    }
    static Map* map_;
};
Map* GeneratedWorldTest::map_ = nullptr;

TEST_F(GeneratedWorldTest, EveryCellHoldsABlockCode) {
    const std::size_t cells = static_cast<std::size_t>(map_->sizeX) * map_->sizeY * map_->sizeZ;
    const std::uint8_t* highest = std::max_element(map_->blocks, map_->blocks + cells);
    EXPECT_LE(*highest, Stone);
}

TEST_F(GeneratedWorldTest, EveryColumnIsStoneDirtGrassAirFromTheBottomUp) {
    for (int y = 0; y < map_->sizeY; ++y) {
        for (int x = 0; x < map_->sizeX; ++x) {
            std::array<std::uint8_t, 256> column{};
            int counts[4] = {0, 0, 0, 0};
            for (int z = 0; z < 256; ++z) {
                column[z] = map_->blocks[map_->blockIndex(x, y, z)];
                ++counts[column[z] & 3];
            }
            // Read the height back: the Grass cell, else a column cut by the floor (all Air)
            // or by the ceiling (Stone then at most five Dirt).
            int h = -1;
            if (counts[Grass] == 1) {
                h = static_cast<int>(std::find(column.begin(), column.end(), Grass) -
                                     column.begin());
            } else if (counts[Air] == 0) {
                h = counts[Stone] + dirtDepth;
            }
            ASSERT_EQ(column, idealColumn(h)) << "column " << x << ", " << y;
        }
    }
}

TEST_F(GeneratedWorldTest, NoColumnHasAHoleThroughTheFloor) {
    const std::size_t layerSize = static_cast<std::size_t>(map_->sizeX) * map_->sizeY;
    EXPECT_EQ(std::count(map_->blocks, map_->blocks + layerSize, Air), 0);
}

} // namespace
