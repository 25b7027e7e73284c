#include "app/HeapWarmUp.h"

namespace {

constexpr std::uintptr_t hugePage = 2u << 20;

} // namespace

AddressRange wholeHugePages(std::uintptr_t start, std::size_t bytes) {
    const std::uintptr_t from = (start + hugePage - 1) & ~(hugePage - 1);
    const std::uintptr_t to = (start + bytes) & ~(hugePage - 1);
    return {from, to > from ? to : from};
}

#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__)
#include <cstdlib>
#include <malloc.h>
#include <sys/mman.h>

namespace {

constexpr std::size_t block = 8u << 20; // below the largest mmap threshold glibc accepts
constexpr std::size_t page = 4096;

// Where warming from `warmed` ends: `bytes` further, but never beyond `until`.
std::size_t warmEnd(std::size_t warmed, std::size_t until, std::size_t bytes) {
    return until - warmed < bytes ? until : warmed + bytes;
}

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
        // Each block on its own: the heap need not have laid them one after the other.
        const AddressRange huge = wholeHugePages(reinterpret_cast<std::uintptr_t>(memory), bytes);
        if (huge.from < huge.to) {
            madvise(reinterpret_cast<void*>(huge.from), huge.to - huge.from, MADV_HUGEPAGE);
        }
        blocks[blockCount++] = memory;
        taken += bytes;
        wanted -= bytes;
    }
    wantedHeapBytes = 0;
}

bool HeapWarmUp::step(std::size_t bytes) {
    if (wantedHeapBytes != 0) {
        take();
    }
    // Every block but the last is a whole one, so an offset into them all finds its block;
    // the last page touched may be a short one.
    for (const std::size_t until = warmEnd(warmed, taken, bytes); warmed < until;
         warmed = warmEnd(warmed, until, page)) {
        static_cast<volatile char*>(blocks[warmed / block])[warmed % block] = 0;
    }
    // A warm block goes back at once, so that what is allocated meanwhile finds warm pages.
    for (; released < blockCount && warmed >= (static_cast<std::size_t>(released) + 1) * block;
         ++released) {
        std::free(blocks[released]);
        blocks[released] = nullptr;
    }
    if (warmed >= taken) {
        end();
        return false;
    }
    return true;
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
