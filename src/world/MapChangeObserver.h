#pragma once

// Told of every changed cell, synchronously, once per cell.
class MapChangeObserver {
  public:
    virtual void blockChanged(int x, int y, int z) = 0;
    virtual ~MapChangeObserver() = default;
};
