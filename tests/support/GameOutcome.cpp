#include "support/GameOutcome.h"

#include <X11/Xlib.h>
#include <ostream>

const char* const glewLine = "Initialized GLEW 2.2.0";
const char* const videoModeFailure = "Unable to create a window with the desired OpenGL properties";

bool operator==(WindowSize a, WindowSize b) {
    return a.width == b.width && a.height == b.height;
}

std::ostream& operator<<(std::ostream& out, WindowSize size) {
    return out << size.width << " x " << size.height;
}

WindowSize windowSize(unsigned long window) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return {-1, -1};
    }
    XWindowAttributes attributes{};
    WindowSize size{-1, -1};
    if (XGetWindowAttributes(display, window, &attributes) != 0) {
        size = {attributes.width, attributes.height};
    }
    XCloseDisplay(display);
    return size;
}

std::vector<std::string> startupLines() {
    return {"Tessaria started...", "Running tests...", "Finished running tests."};
}

std::vector<std::string> logOfSplashLeftWithEscape(const std::vector<std::string>& printed) {
    std::vector<std::string> lines = startupLines();
    lines.insert(lines.end(), printed.begin(), printed.end());
    lines.insert(lines.end(),
                 {glewLine, "IntroState Init", "IntroState Cleanup", "GameEngine Cleanup"});
    return lines;
}

std::vector<std::string> logOfVideoModeFailure(const std::vector<std::string>& printed) {
    std::vector<std::string> lines = startupLines();
    lines.insert(lines.end(), printed.begin(), printed.end());
    lines.push_back(videoModeFailure);
    return lines;
}

::testing::AssertionResult leaveSplashWithEscape(GameRun& game, WindowSize* size) {
    const unsigned long window = game.waitForWindow();
    if (window == 0) {
        return ::testing::AssertionFailure() << "no window appeared";
    }
    if (!game.waitForLogLine("IntroState Init")) {
        return ::testing::AssertionFailure() << "the splash never started";
    }
    if (size != nullptr) {
        *size = windowSize(window);
    }
    // Without a window manager keys go to the window under the pointer, which a
    // small window may not be; give it the focus outright.
    game.screen().focus(window);
    game.tapKey("Escape");
    if (!game.waitForExit()) {
        return ::testing::AssertionFailure() << "still running 30 s after Escape";
    }
    if (game.exitCode() != 0) {
        return ::testing::AssertionFailure() << "ended with status " << game.exitCode();
    }
    return ::testing::AssertionSuccess();
}
