#include "app/FrameTimer.h"

#include "app/MultimediaTimer.h"

std::uint32_t FrameTimer::systemClock() { return static_cast<std::uint32_t>(timeGetTime()); }

FrameTimer::FrameTimer(Clock clockFunction) : clock(clockFunction) {
    clearFields();
    timeBeginPeriod(1);
    lastTime = clock();
}

FrameTimer::~FrameTimer() { timeEndPeriod(1); }

void FrameTimer::clearFields() {
    for (std::uint32_t& t : frameTimes) {
        t = 0;
    }
    lastTime = 0;
    averageFrameTime = 0;
    deltaSeconds = 0.0f;
    frameCount = 0;
}

void FrameTimer::Reset() {
    clearFields();
    lastTime = clock();
}

void FrameTimer::Tick() {
    const std::uint32_t slot = frameCount % 10;
    const std::uint32_t now = clock();
    // A clock that stood still or wrapped around gives the mean instead of 0 or ~2^32.
    const std::uint32_t duration = now > lastTime ? now - lastTime : averageFrameTime;
    frameTimes[slot] = duration;
    ++frameCount;
    lastTime = now;
    deltaSeconds = static_cast<float>(duration / 1000.0);
    // After 2^32 ticks the count wraps to 0; the ring is full by then, so use all ten.
    const std::uint32_t samples = (frameCount == 0 || frameCount > 10) ? 10 : frameCount;
    std::uint32_t sum = 0;
    for (std::uint32_t i = 0; i < samples; ++i) {
        sum += frameTimes[i];
    }
    averageFrameTime = sum / samples;
}
