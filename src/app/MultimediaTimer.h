#pragma once

// The Windows multimedia timer: a 32-bit millisecond clock that wraps after 2^32 ms
// and a request for 1 ms resolution. On Windows these are winmm's own functions;
// elsewhere a small layer gives the same contract on a monotonic clock.
#ifdef _WIN32
// No min and max macros over std::min and std::max, and none of what the timer does not need.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// mmsystem.h needs windows.h first.
#include <mmsystem.h>
#else
#include <cstdint>

std::uint32_t timeGetTime();
unsigned timeBeginPeriod(unsigned periodMs); // no-op: the clock already has 1 ms steps
unsigned timeEndPeriod(unsigned periodMs);   // no-op
#endif
