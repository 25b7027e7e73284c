#pragma once

#include <cstddef>
#include <cstdint>

// What entering the game needs the heap to hold: SDL's and the driver's own, the map
// (16 MiB), the staging array, and the driver's display lists of the world's 1.7 million
// vertices, with room to spare.
constexpr std::size_t playHeapBytes = 96u << 20;

// What the splash warms per frame: two huge pages, well under a millisecond.
constexpr std::size_t heapWarmUpSliceBytes = 4u << 20;

// Keeps blocks up to 32 MiB in the heap and freed memory there for reuse, rather than
// handing them to the system and back, so that pages touched once stay ready. Costs
// nothing; called first thing at start-up.
void keepLargeBlocksInHeap();

// Grows the heap and touches it a slice at a time while the splash shows: the world, its
// staging array and the graphics driver's copies of the meshes, built when the player has
// pressed a key and waits, then find their pages ready instead of faulting in tens of
// thousands of fresh ones. Each block is backed by huge pages where the system offers
// them, as far as whole ones lie inside it. Does nothing where the C library is not glibc,
// nor under AddressSanitizer, which keeps its own heap. Needs no code to construct, so it
// can live in a constant-initialised global.
class HeapWarmUp {
  public:
    // Sets how large the heap is to grow, counting what it holds by the first step; takes
    // nothing yet.
    void begin(std::size_t heapBytes);
    // Takes what the heap lacks at the first step, then touches up to `bytes` more of it
    // each; a block goes back to the heap as soon as it is warm, the rest once all is.
    // False once all is warm (or nothing was lacking).
    bool step(std::size_t bytes);
    // Hands back to the heap what is still held, as warm as the steps made it.
    void end();

  private:
    void take();

    static constexpr int maxBlocks = 64;
    char* blocks[maxBlocks] = {};
    int blockCount = 0;
    int released = 0; // blocks already handed back, from the first on
    std::size_t wantedHeapBytes = 0;
    std::size_t taken = 0;  // bytes in the blocks, all whole but the last
    std::size_t warmed = 0; // bytes touched, from the first block on; never beyond taken
};

// Addresses from `from` up to, not including, `to`.
struct AddressRange {
    std::uintptr_t from;
    std::uintptr_t to;
};

// The whole huge pages (2 MiB) within `bytes` from `start`: what may be advised to be
// backed by them. Empty (from == to) when there are none.
AddressRange wholeHugePages(std::uintptr_t start, std::size_t bytes);
