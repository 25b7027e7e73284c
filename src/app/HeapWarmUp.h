#pragma once

#include <cstddef>

// What entering the game needs: the map (16 MiB), the staging array, and the driver's
// display lists of the world's 1.7 million vertices, with room to spare.
constexpr std::size_t playHeapBytes = 96u << 20;

// What the splash warms per frame: one huge page, a fraction of a millisecond.
constexpr std::size_t heapWarmUpSliceBytes = 2u << 20;

// Keeps blocks up to 32 MiB in the heap and freed memory there for reuse, rather than
// handing them to the system and back, so that pages touched once stay ready. Costs
// nothing; called first thing at start-up.
void keepLargeBlocksInHeap();

// Grows the heap and touches it a slice at a time while the splash shows, then hands it
// back to the heap: the world, its staging array and the graphics driver's copies of the
// meshes, built when the player has pressed a key and waits, then find their pages ready
// instead of faulting in tens of thousands of fresh ones. The range is backed by huge
// pages where the system offers them. Does nothing where the C library is not glibc, nor
// under AddressSanitizer, which keeps its own heap. Needs no code to construct, so it can
// live in a constant-initialised global.
class HeapWarmUp {
  public:
    // Takes `bytes` at the top of the heap and touches none of it yet.
    void begin(std::size_t bytes);
    // Touches up to `bytes` more of it; false once all of it is warm (or none was taken).
    bool step(std::size_t bytes);
    // Frees it all back into the heap, as warm as the steps made it.
    void end();

  private:
    static constexpr int maxBlocks = 64;
    char* blocks[maxBlocks] = {};
    int blockCount = 0;
    std::size_t warmed = 0; // bytes touched, from the first block on
};
