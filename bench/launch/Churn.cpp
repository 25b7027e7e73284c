// Fragments the machine's free memory the way long builds leave it, so that start-up can
// be timed where a huge page cannot be had without compacting memory first:
//   tessaria-churn [KEEP_FREE_MIB]      (default 1024)
// Takes all free memory but KEEP_FREE_MIB in 4 KiB pages, touching each, then gives every
// other page back, so that no free block of 2 MiB is left in what it took. Prints the free
// blocks of 2 MiB and more before and after (from /proc/buddyinfo), "churned" on a line of
// its own, then holds the other half until it is ended (SIGTERM). The page cache is left
// alone: only free memory is taken. The kernel's out-of-memory killer picks it first.
#include <sys/mman.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

constexpr std::size_t page = 4096;

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
                mib += count << (order - 8) >> 1; // 2^order pages of 4 KiB
            }
        }
    }
    return mib;
}

} // namespace

int main(int argc, char** argv) {
    const long long keepFreeMiB = argc > 1 ? std::atoll(argv[1]) : 1024;
    std::ofstream("/proc/self/oom_score_adj") << 1000;

    const long long freeMiB = meminfoKiB("MemFree") / 1024;
    const long long takeMiB = freeMiB - keepFreeMiB;
    std::printf("free %lld MiB, of it in blocks of 2 MiB and more %lld MiB\n", freeMiB,
                freeHugeBlocksMiB());
    if (takeMiB <= 0) {
        std::printf("nothing to take\nchurned\n");
        std::fflush(stdout);
        pause();
        return 0;
    }
    const std::size_t bytes = static_cast<std::size_t>(takeMiB) << 20;
    char* memory = static_cast<char*>(
        mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    if (memory == MAP_FAILED) {
        std::perror("mmap");
        return 1;
    }
    madvise(memory, bytes, MADV_NOHUGEPAGE);
    for (std::size_t at = 0; at < bytes; at += page) {
        memory[at] = 1;
    }
    for (std::size_t at = 0; at < bytes; at += 2 * page) {
        madvise(memory + at, page, MADV_DONTNEED);
    }
    std::printf("took %lld MiB in pages, holds every other one: %lld MiB\n", takeMiB, takeMiB / 2);
    std::printf("free %lld MiB, of it in blocks of 2 MiB and more %lld MiB\n",
                meminfoKiB("MemFree") / 1024, freeHugeBlocksMiB());
    std::printf("churned\n");
    std::fflush(stdout);
    pause();
    return 0;
}
