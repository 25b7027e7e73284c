#include "world/NoiseMapGenerator.h"

#include "world/BlockType.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// The map's layers are multiples of 256 cells (its extents are multiples of 16). An inner loop
// of fixed length vectorises even at -O2; the tail loop only serves other extents.
constexpr std::size_t fillBlock = 256;

// Layers share one signed byte per column, key = h - base - 127 clamped to -128..127, valid
// for the keySpan layers from base. With step = z - base, the code is the sum of
// h >= z (key > step - 128), h > z (key > step - 127) and h - 5 > z (key > step - 122);
// the clamps cannot change an answer while step < keySpan. Signed bytes compare in one
// instruction where unsigned ones take three.
constexpr int keySpan = 128;

void rebaseKeys(const int* heights, std::size_t count, int base, std::int8_t* keys) {
    for (std::size_t i = 0; i < count; ++i) {
        keys[i] =
            static_cast<std::int8_t>(std::clamp(heights[i], base - 1, base + 254) - base - 127);
    }
}

void fillLayer(const std::int8_t* __restrict keys, std::size_t count, int step,
               std::uint8_t* __restrict layer) {
    const std::int8_t grassOrDeeper = static_cast<std::int8_t>(step - 128);
    const std::int8_t dirtOrDeeper = static_cast<std::int8_t>(step - 127);
    const std::int8_t stone = static_cast<std::int8_t>(step - 127 + dirtDepth);
    const auto code = [&](std::int8_t key) {
        return static_cast<std::uint8_t>((key > grassOrDeeper) + (key > dirtOrDeeper) +
                                         (key > stone));
    };
    const std::size_t blocked = count - count % fillBlock;
    for (std::size_t start = 0; start < blocked; start += fillBlock) {
        const std::int8_t* blockKeys = keys + start;
        std::uint8_t* blockCells = layer + start;
        for (std::size_t i = 0; i < fillBlock; ++i) {
            blockCells[i] = code(blockKeys[i]);
        }
    }
    for (std::size_t i = blocked; i < count; ++i) {
        layer[i] = code(keys[i]);
    }
}

} // namespace

void fillTerrain(Map& map, const int* heights) {
    const std::size_t layerSize = static_cast<std::size_t>(map.sizeX) * map.sizeY;
    if (layerSize == 0) {
        return;
    }
    const auto [lowest, highest] = std::minmax_element(heights, heights + layerSize);
    std::vector<std::int8_t> keys(layerSize);
    int keyBase = 0;
    bool keysValid = false;
    for (int z = 0; z < map.sizeZ; ++z) {
        std::uint8_t* layer = map.blocks + layerSize * z;
        // Layers above every surface or below every column's dirt are uniform.
        if (z > *highest) {
            std::memset(layer, Air, layerSize);
        } else if (z + dirtDepth < *lowest) {
            std::memset(layer, Stone, layerSize);
        } else {
            if (!keysValid || z - keyBase >= keySpan) {
                keyBase = z;
                keysValid = true;
                rebaseKeys(heights, layerSize, keyBase, keys.data());
            }
            fillLayer(keys.data(), layerSize, z - keyBase, layer);
        }
    }
}
