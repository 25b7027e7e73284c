#include "app/HeapWarmUp.h"

#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__)
#include <cstdint>
#include <cstdlib>
#include <malloc.h>
#include <sys/mman.h>

namespace {

constexpr std::size_t block = 8u << 20; // below the largest mmap threshold glibc accepts
constexpr std::size_t hugePage = 2u << 20;
constexpr std::size_t page = 4096;

} // namespace

void keepLargeBlocksInHeap() {
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
}

void HeapWarmUp::begin(std::size_t heapBytes) {
    end();
    wantedHeapBytes = heapBytes;
}

void HeapWarmUp::take() {
    // What the heap holds by now (SDL's, the driver's, the first frame's) counts.
    const std::size_t held = mallinfo2().arena;
    for (std::size_t wanted = wantedHeapBytes > held ? wantedHeapBytes - held : 0;
         wanted > 0 && blockCount < maxBlocks;) {
        const std::size_t bytes = wanted < block ? wanted : block;
        char* memory = static_cast<char*>(std::malloc(bytes));
        if (memory == nullptr) {
            break;
        }
        blocks[blockCount++] = memory;
        taken += bytes;
        wanted -= bytes;
    }
    wantedHeapBytes = 0;
    if (blockCount > 0) {
        // The blocks lie one after the other at the top of the heap.
        const auto first = reinterpret_cast<std::uintptr_t>(blocks[0]);
        const auto last = reinterpret_cast<std::uintptr_t>(blocks[blockCount - 1]) +
                          (taken - static_cast<std::size_t>(blockCount - 1) * block);
        const std::uintptr_t from = (first + hugePage - 1) & ~(hugePage - 1);
        const std::uintptr_t to = last & ~(hugePage - 1);
        if (from < to) {
            madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
        }
    }
}

bool HeapWarmUp::step(std::size_t bytes) {
    if (wantedHeapBytes != 0) {
        take();
    }
    // Every block but the last is a whole one.
    const std::size_t until = taken - warmed < bytes ? taken : warmed + bytes;
    for (; warmed < until; warmed += page) {
        static_cast<volatile char*>(blocks[warmed / block])[warmed % block] = 0;
    }
    // A warm block goes back at once, so that what is allocated meanwhile finds warm pages.
    for (; released < blockCount && warmed >= (static_cast<std::size_t>(released) + 1) * block;
         ++released) {
        std::free(blocks[released]);
        blocks[released] = nullptr;
    }
    if (warmed == taken) {
        end();
    }
    return warmed < taken;
}

void HeapWarmUp::end() {
    // Last first, so each free joins the top of the heap and the whole stays one piece.
    while (blockCount > released) {
        std::free(blocks[--blockCount]);
        blocks[blockCount] = nullptr;
    }
    blockCount = 0;
    released = 0;
    taken = 0;
    warmed = 0;
    wantedHeapBytes = 0;
}
#else
void keepLargeBlocksInHeap() {}
void HeapWarmUp::begin(std::size_t) {}
void HeapWarmUp::take() {}
bool HeapWarmUp::step(std::size_t) {
    return false;
}
void HeapWarmUp::end() {}
#endif
