#pragma once

class Map;

// Fills every cell of a map; owned and destroyed by the map.
class MapGenerator {
  public:
    virtual ~MapGenerator() = default;
    virtual void generate(Map& map) = 0;
};
