// Built into the i386 game only, and compiled without SSE: the rest of the game does
// its floating point in SSE2, which keeps results the same on every architecture, so
// on a processor without SSE2 it would die of an illegal instruction. This runs first
// (before any other static initialiser of the game) and says so instead.
#include <cpuid.h>
#include <unistd.h>

namespace {

__attribute__((constructor(101))) void requireSse2() {
    unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) != 0 && (edx & bit_SSE2) != 0) {
        return;
    }
    static const char message[] =
        "Tessaria needs a processor with SSE2 (a Pentium 4, Athlon 64 or later).\n";
    ssize_t written = write(STDERR_FILENO, message, sizeof message - 1);
    static_cast<void>(written);
    _exit(5);
}

} // namespace
