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

void HeapWarmUp::begin(std::size_t bytes) {
    end();
    for (std::size_t taken = 0; taken < bytes && blockCount < maxBlocks; taken += block) {
        char* memory = static_cast<char*>(std::malloc(block));
        if (memory == nullptr) {
            break;
        }
        blocks[blockCount++] = memory;
    }
    if (blockCount > 0) {
        // The blocks lie one after the other at the top of the heap.
        const auto first = reinterpret_cast<std::uintptr_t>(blocks[0]);
        const auto last = reinterpret_cast<std::uintptr_t>(blocks[blockCount - 1]) + block;
        const std::uintptr_t from = (first + hugePage - 1) & ~(hugePage - 1);
        const std::uintptr_t to = last & ~(hugePage - 1);
        if (from < to) {
            madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
        }
    }
}

bool HeapWarmUp::step(std::size_t bytes) {
    const std::size_t total = static_cast<std::size_t>(blockCount) * block;
    const std::size_t until = total - warmed < bytes ? total : warmed + bytes;
    for (; warmed < until; warmed += page) {
        static_cast<volatile char*>(blocks[warmed / block])[warmed % block] = 0;
    }
    return warmed < total;
}

void HeapWarmUp::end() {
    // Last first, so each free joins the top of the heap and the whole stays one piece.
    while (blockCount > 0) {
        std::free(blocks[--blockCount]);
        blocks[blockCount] = nullptr;
    }
    warmed = 0;
}
#else
void keepLargeBlocksInHeap() {}
void HeapWarmUp::begin(std::size_t) {}
bool HeapWarmUp::step(std::size_t) {
    return false;
}
void HeapWarmUp::end() {}
#endif
