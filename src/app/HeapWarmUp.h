#pragma once

#include <cstddef>

// What entering the game needs: the map (16 MiB), the staging array, and the driver's
// display lists of the world's 1.7 million vertices, with room to spare.
constexpr std::size_t playHeapBytes = 96u << 20;

// Grows the heap by `bytes` and touches it once, at start-up, then keeps it: the world,
// its staging array and the graphics driver's copies of the meshes are built later, when
// the player has pressed a key and waits, and then find their pages ready instead of
// faulting in tens of thousands of fresh ones. Large blocks are kept in the heap too
// (not handed to the system and back), and the touched range is backed by huge pages
// where the system offers them. Does nothing where the C library is not glibc, nor
// under AddressSanitizer, which keeps its own heap.
void warmUpHeap(std::size_t bytes);
