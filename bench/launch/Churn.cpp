// Fragments the machine's free memory the way long builds leave it, so that start-up can
// be timed where a huge page cannot be had without compacting memory first:
//   tessaria-churn [KEEP_FREE_MIB]      (default 256)
// Takes free memory 64 MiB at a time in 4 KiB pages, touching each, until no more than
// 64 MiB of free blocks of 2 MiB or more are left (or only KEEP_FREE_MIB is free), then
// gives every other page back, so that what it took holds no free block of 2 MiB. Prints
// the free memory and its part in blocks of 2 MiB and more before and after (from
// /proc/buddyinfo), "churned" on a line of its own, then holds the other half until it is
// ended (SIGTERM). The page cache is left alone: only free memory is taken. The kernel's
// out-of-memory killer picks this process first.
#include <sys/mman.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>
#include <unistd.h>

namespace {

constexpr std::size_t page = 4096;
constexpr std::size_t chunk = 64u << 20;
constexpr long long enoughHugeBlocksMiB = 64;

long long meminfoKiB(const std::string& field) {
    std::ifstream meminfo("/proc/meminfo");
    std::string name;
    long long kib = 0;
    std::string unit;
    while (meminfo >> name >> kib >> unit) {
        if (name == field + ":") {
            return kib;
        }
    }
    return 0;
}

// Free memory in blocks of order 9 (2 MiB) and above, in MiB, over all zones.
long long freeHugeBlocksMiB() {
    std::ifstream buddyinfo("/proc/buddyinfo");
    std::string line;
    long long mib = 0;
    while (std::getline(buddyinfo, line)) {
        std::istringstream fields(line.substr(line.find("zone") + 4));
        std::string zone;
        fields >> zone;
        long long count = 0;
        for (int order = 0; fields >> count; ++order) {
            if (order >= 9) {
                mib += count << (order - 8); // 2^order pages of 4 KiB
            }
        }
    }
    return mib;
}

} // namespace

int main(int argc, char** argv) {
    const long long keepFreeMiB = argc > 1 ? std::atoll(argv[1]) : 256;
    std::ofstream("/proc/self/oom_score_adj") << 1000;

    std::printf("free %lld MiB, of it in blocks of 2 MiB and more %lld MiB\n",
                meminfoKiB("MemFree") / 1024, freeHugeBlocksMiB());
    std::vector<char*> chunks;
    while (freeHugeBlocksMiB() > enoughHugeBlocksMiB &&
           meminfoKiB("MemFree") / 1024 > keepFreeMiB + static_cast<long long>(chunk >> 20)) {
        char* memory = static_cast<char*>(
            mmap(nullptr, chunk, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
        if (memory == MAP_FAILED) {
            break;
        }
        madvise(memory, chunk, MADV_NOHUGEPAGE);
        for (std::size_t at = 0; at < chunk; at += page) {
            memory[at] = 1;
        }
        chunks.push_back(memory);
    }
    for (char* memory : chunks) {
        for (std::size_t at = 0; at < chunk; at += 2 * page) {
            madvise(memory + at, page, MADV_DONTNEED);
        }
    }
    const long long takenMiB = static_cast<long long>(chunks.size() * (chunk >> 20));
    std::printf("took %lld MiB in pages, holds every other one: %lld MiB\n", takenMiB,
                takenMiB / 2);
    std::printf("free %lld MiB, of it in blocks of 2 MiB and more %lld MiB\n",
                meminfoKiB("MemFree") / 1024, freeHugeBlocksMiB());
    std::printf("churned\n");
    std::fflush(stdout);
    pause();
    return 0;
}
