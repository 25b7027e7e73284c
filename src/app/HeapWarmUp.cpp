#include "app/HeapWarmUp.h"

#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__)
#include <cstdint>
#include <cstdlib>
#include <malloc.h>
#include <sys/mman.h>
#include <vector>

namespace {

constexpr std::size_t block = 8u << 20; // below the largest mmap threshold glibc accepts
constexpr std::size_t hugePage = 2u << 20;

} // namespace

void warmUpHeap(std::size_t bytes) {
    // Blocks up to 32 MiB come from the heap, and freed memory stays there for reuse.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    std::vector<char*> blocks;
    for (std::size_t done = 0; done < bytes; done += block) {
        char* memory = static_cast<char*>(std::malloc(block));
        if (memory == nullptr) {
            break;
        }
        blocks.push_back(memory);
    }
    if (!blocks.empty()) {
        // The blocks lie one after the other at the top of the heap.
        const auto first = reinterpret_cast<std::uintptr_t>(blocks.front());
        const auto end = reinterpret_cast<std::uintptr_t>(blocks.back()) + block;
        const std::uintptr_t from = (first + hugePage - 1) & ~(hugePage - 1);
        const std::uintptr_t to = end & ~(hugePage - 1);
        if (from < to) {
            madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
        }
    }
    for (char* memory : blocks) {
        for (std::size_t at = 0; at < block; at += 4096) {
            static_cast<volatile char*>(memory)[at] = 0;
        }
    }
    for (auto it = blocks.rbegin(); it != blocks.rend(); ++it) {
        std::free(*it);
    }
}
#else
void warmUpHeap(std::size_t) {}
#endif
