#pragma once

#include "world/Map.h"

#include <functional>
#include <memory>

// Maps built by hand in tests.
using CellFunction = std::function<std::uint8_t(int x, int y, int z)>;
std::unique_ptr<Map> makeMap(CellFunction cell); // each cell from its coordinates
std::unique_ptr<Map> makeFlatMap(int height);    // Stone below z = height, Air above
std::unique_ptr<Map> makeEmptyMap();
