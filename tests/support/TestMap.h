#pragma once

#include "world/Map.h"

#include <functional>
#include <memory>

// A generator that fills each cell from a function of its coordinates, for maps
// built by hand in tests.
class FunctionMapGenerator : public MapGenerator {
  public:
    using CellFunction = std::function<std::uint8_t(int x, int y, int z)>;
    explicit FunctionMapGenerator(CellFunction cell) : cell_(std::move(cell)) {}
    void generate(Map& map) override;

  private:
    CellFunction cell_;
};

std::unique_ptr<Map> makeMap(FunctionMapGenerator::CellFunction cell);

// All Air.
std::unique_ptr<Map> makeEmptyMap();

// Solid (Stone) for z < height, Air above.
std::unique_ptr<Map> makeFlatMap(int height);
