#pragma once

#include <cstdint>

// Measures each pass of the main loop in whole milliseconds and keeps the mean of
// the last ten, which stands in for a pass in which the clock did not advance.
struct FrameTimer {
    using Clock = std::uint32_t (*)();

    // The system's multimedia clock.
    static std::uint32_t systemClock();

    explicit FrameTimer(Clock clock = &FrameTimer::systemClock);
    ~FrameTimer();
    FrameTimer(const FrameTimer&) = delete;
    FrameTimer& operator=(const FrameTimer&) = delete;

    void Reset();
    void Tick();

    std::uint32_t frameTimes[10];
    std::uint32_t lastTime;
    std::uint32_t averageFrameTime;
    float deltaSeconds;
    std::uint32_t frameCount;
    Clock clock; // timeGetTime in the game; tests drive their own

private:
    void clearFields();
};

extern FrameTimer frameTimer;
