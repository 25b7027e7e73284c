#pragma once

// The Windows multimedia timer: a 32-bit millisecond clock that wraps after 2^32 ms
// and a request for 1 ms resolution. On Windows these are winmm's own functions;
// elsewhere a small layer gives the same contract on a monotonic clock.
#ifdef _WIN32
#include <windows.h>
#include <mmsystem.h>
#else
#include <cstdint>

std::uint32_t timeGetTime();
unsigned timeBeginPeriod(unsigned periodMs); // no-op: the clock already has 1 ms steps
unsigned timeEndPeriod(unsigned periodMs);   // no-op
#endif
