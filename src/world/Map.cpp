#include "world/Map.h"

#include "physics/Vector3.h"

Vector4 normalize4(Vector4 v) {
    Vector4 result{0.0f, 0.0f, 0.0f, 0.0f};
    float lengthSquared = 0.0f;
    lengthSquared = lengthSquared + v.x * v.x;
    lengthSquared = lengthSquared + v.y * v.y;
    lengthSquared = lengthSquared + v.z * v.z;
    lengthSquared = lengthSquared + v.w * v.w;
    const float length = squareRoot(lengthSquared);
    if (length > 0.0f) {
        result = {v.x / length, v.y / length, v.z / length, v.w / length};
    }
    return result;
}

Map::Map(MapGenerator* generator)
    : blocks(nullptr), sizeX(256), sizeY(256), sizeZ(256), generator(generator) {
    primaryLight = MapLight{{0.5345f, 0.2672f, 0.8017f, 0.0f},
                            {0.4f, 0.4f, 0.4f, 1.0f},
                            {1.0f, 1.0f, 1.0f, 1.0f},
                            {0.0f, 0.0f, 0.0f, 0.0f},
                            0};
    secondaryLight = MapLight{normalize4({-0.5345f, -0.2672f, -1.0f, 0.0f}),
                              {0.1f, 0.1f, 0.1f, 1.0f},
                              {0.5f, 0.5f, 0.5f, 1.0f},
                              {0.0f, 0.0f, 0.0f, 0.0f},
                              0};
    // Not cleared: the generator writes every cell.
    blocks = new std::uint8_t[static_cast<std::size_t>(sizeX) * sizeY * sizeZ];
    generator->generate(*this);
}

Map::~Map() {
    delete[] blocks;
    delete generator;
}

void Map::addObserver(MapChangeObserver* observer) { observers.push_back(observer); }
