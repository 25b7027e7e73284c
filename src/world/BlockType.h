#pragma once

#include <cstdint>

// One byte per cell; every code but Air is solid.
enum BlockType : std::uint8_t {
    Air = 0,
    Grass = 1,
    Dirt = 2,
    Stone = 3,
};
