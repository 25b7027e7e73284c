#include "world/Map.h"
#include "support/TestMap.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

TEST(MapTest, BlockIndexRunsXFastestThenYThenZ) {
    const auto map = makeEmptyMap();
    EXPECT_EQ(map->blockIndex(0, 0, 0), 0);
    EXPECT_EQ(map->blockIndex(255, 0, 0), 255);
    EXPECT_EQ(map->blockIndex(0, 1, 0), 256);
    EXPECT_EQ(map->blockIndex(0, 0, 1), 65536);
    EXPECT_EQ(map->blockIndex(255, 255, 255), 16777215);
}

TEST(MapTest, Normalize4OfZeroVectorStaysZero) {
    const Vector4 v = normalize4({0.0f, 0.0f, 0.0f, 0.0f});
    EXPECT_EQ(v.x, 0.0f);
    EXPECT_EQ(v.y, 0.0f);
    EXPECT_EQ(v.z, 0.0f);
    EXPECT_EQ(v.w, 0.0f);
    EXPECT_FALSE(std::isnan(v.x));
}

TEST(MapTest, Normalize4DividesByLength) {
    const Vector4 v = normalize4({3.0f, 0.0f, 4.0f, 0.0f});
    EXPECT_EQ(v.x, 0.6f);
    EXPECT_EQ(v.y, 0.0f);
    EXPECT_EQ(v.z, 0.8f);
    EXPECT_EQ(v.w, 0.0f);
}

TEST(MapTest, FreshMapIsFullSizeWithNoObserversAndNoBoundLights) {
    const auto map = makeEmptyMap();
    EXPECT_EQ(map->sizeX, 256);
    EXPECT_EQ(map->sizeY, 256);
    EXPECT_EQ(map->sizeZ, 256);
    EXPECT_TRUE(map->observers.empty());
    EXPECT_EQ(map->primaryLight.lightId, 0u);
    EXPECT_EQ(map->secondaryLight.lightId, 0u);
}

TEST(MapTest, LightsHoldTheirSinglePrecisionConstants) {
    const auto map = makeEmptyMap();
    const MapLight& primary = map->primaryLight;
    EXPECT_EQ(primary.position.x, 0.5345f);
    EXPECT_EQ(primary.position.y, 0.2672f);
    EXPECT_EQ(primary.position.z, 0.8017f);
    EXPECT_EQ(primary.position.w, 0.0f);
    EXPECT_EQ(primary.ambient.x, 0.4f);
    EXPECT_EQ(primary.ambient.w, 1.0f);
    EXPECT_EQ(primary.diffuse.y, 1.0f);
    EXPECT_EQ(primary.specular.z, 0.0f);

    const MapLight& secondary = map->secondaryLight;
    EXPECT_EQ(secondary.position.x, -0x1.d5d56p-2f);
    EXPECT_EQ(secondary.position.y, -0x1.d5bedep-3f);
    EXPECT_EQ(secondary.position.z, -0x1.b781eap-1f);
    EXPECT_EQ(secondary.position.w, 0.0f);
    EXPECT_EQ(secondary.ambient.x, 0.1f);
    EXPECT_EQ(secondary.ambient.w, 1.0f);
    EXPECT_EQ(secondary.diffuse.z, 0.5f);
    EXPECT_EQ(secondary.diffuse.w, 1.0f);
    EXPECT_EQ(secondary.specular.w, 0.0f);
}

class NamedObserver : public MapChangeObserver {
  public:
    NamedObserver(std::string name, std::vector<std::string>& log)
        : name_(std::move(name)), log_(log) {}
    void blockChanged(int x, int y, int z) override {
        log_.push_back(name_ + " " + std::to_string(x) + "," + std::to_string(y) + "," +
                       std::to_string(z));
    }

  private:
    std::string name_;
    std::vector<std::string>& log_;
};

TEST(MapTest, ObserverAddedTwiceHearsEveryChangeTwiceInRegistrationOrder) {
    const auto map = makeFlatMap(256);
    std::vector<std::string> log;
    NamedObserver a("a", log);
    NamedObserver b("b", log);
    map->addObserver(&a);
    map->addObserver(&b);
    map->addObserver(&a);

    map->digSphere(3, 4, 5, 0.0f);
    map->digSphere(7, 8, 9, 0.0f);

    const std::vector<std::string> expected = {"a 3,4,5", "b 3,4,5", "a 3,4,5",
                                               "a 7,8,9", "b 7,8,9", "a 7,8,9"};
    EXPECT_EQ(log, expected);
}

} // namespace
