#pragma once

#include "support/GameRun.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

// What a run of the game came to, seen from outside: its window, its exit status and
// its log. Every wait is bounded, so a game that hangs fails the test instead.

struct WindowSize {
    int width;
    int height;
};

bool operator==(WindowSize a, WindowSize b);
std::ostream& operator<<(std::ostream& out, WindowSize size);

// Size of a window as the X server has it.
WindowSize windowSize(unsigned long window);

// The log's first lines on every run, before the settings script prints anything.
std::vector<std::string> startupLines();
// What GLEW's start-up line reads with the GLEW the game is built against.
extern const char* const glewLine;
extern const char* const videoModeFailure;

// The whole log of a run that showed the splash and was ended with Escape, given
// the lines the settings script printed.
std::vector<std::string> logOfSplashLeftWithEscape(const std::vector<std::string>& printed);
// The whole log of a run whose video mode could not be opened.
std::vector<std::string> logOfVideoModeFailure(const std::vector<std::string>& printed);

// Waits for the splash, gives the window the focus and presses Escape, then waits
// for the end; the window's size is stored when asked for.
::testing::AssertionResult leaveSplashWithEscape(GameRun& game, WindowSize* size = nullptr);
