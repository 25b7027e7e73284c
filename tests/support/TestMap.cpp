#include "support/TestMap.h"

#include <cstring>

void FunctionMapGenerator::generate(Map& map) {
    for (int z = 0; z < map.sizeZ; ++z) {
        for (int y = 0; y < map.sizeY; ++y) {
            for (int x = 0; x < map.sizeX; ++x) {
                map.blocks[map.blockIndex(x, y, z)] = cell_(x, y, z);
            }
        }
    }
}

namespace {
class LayerGenerator : public MapGenerator {
  public:
    explicit LayerGenerator(int height) : height_(height) {}
    void generate(Map& map) override {
        const std::size_t layer = static_cast<std::size_t>(map.sizeX) * map.sizeY;
        for (int z = 0; z < map.sizeZ; ++z) {
            std::memset(map.blocks + layer * z, z < height_ ? Stone : Air, layer);
        }
    }

  private:
    int height_;
};
} // namespace

std::unique_ptr<Map> makeMap(FunctionMapGenerator::CellFunction cell) {
    return std::make_unique<Map>(new FunctionMapGenerator(std::move(cell)));
}

std::unique_ptr<Map> makeEmptyMap() {
    return std::make_unique<Map>(new LayerGenerator(0));
}

std::unique_ptr<Map> makeFlatMap(int height) {
    return std::make_unique<Map>(new LayerGenerator(height));
}
