#include "support/TestMap.h"

#include <cstring>

namespace {

struct TestMapGenerator : MapGenerator {
    TestMapGenerator(int height, CellFunction cell) : height(height), cell(std::move(cell)) {}
    void generate(Map& map) override {
        const int layer = map.sizeX * map.sizeY;
        for (int z = 0; z < map.sizeZ; ++z) {
            std::uint8_t* cells = map.blocks + static_cast<std::size_t>(layer) * z;
            std::memset(cells, z < height ? Stone : Air, layer);
            for (int i = 0; cell && i < layer; ++i)
                cells[i] = cell(i % map.sizeX, i / map.sizeX, z);
        }
    }
    int height;
    CellFunction cell;
};

} // namespace

std::unique_ptr<Map> makeMap(CellFunction cell) {
    return std::make_unique<Map>(new TestMapGenerator(0, std::move(cell)));
}

std::unique_ptr<Map> makeFlatMap(int height) {
    return std::make_unique<Map>(new TestMapGenerator(height, nullptr));
}

std::unique_ptr<Map> makeEmptyMap() { return makeFlatMap(0); }
