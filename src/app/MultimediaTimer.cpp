#include "app/MultimediaTimer.h"

#ifndef _WIN32
#include <chrono>

std::uint32_t timeGetTime() {
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    return static_cast<std::uint32_t>(ms); // wraps at 2^32 like the real clock
}

unsigned timeBeginPeriod(unsigned) { return 0; }
unsigned timeEndPeriod(unsigned) { return 0; }
#endif
