#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Rgb {
    int r, g, b;
};

// Reads what the X server shows, for pixel checks in window tests.
class XScreen {
  public:
    XScreen(); // connects to $DISPLAY
    ~XScreen();
    XScreen(const XScreen&) = delete;
    XScreen& operator=(const XScreen&) = delete;

    // Id of the first mapped window titled `name`, or 0; waits up to timeoutSeconds.
    unsigned long waitForWindow(const std::string& name, double timeoutSeconds);
    // Pixel at (x, y) of the window's contents (top-left origin).
    Rgb pixel(unsigned long window, int x, int y);
    // The whole window contents, row-major, top row first.
    std::vector<Rgb> capture(unsigned long window, int& width, int& height);
    // Sends the WM_DELETE_WINDOW message a window manager sends for a close click.
    void requestClose(unsigned long window);
    // Saves the window as PNG (for people to look at) with ImageMagick's import.
    static bool savePng(unsigned long window, const std::string& path);

    // True when another client holds the pointer grab (our own grab attempt fails).
    bool pointerGrabbedElsewhere();
    // Opens a small window of our own and gives it the input focus, taking the focus
    // from whoever had it; closeDecoy() removes it again.
    void focusDecoy();
    void closeDecoy();
    void focus(unsigned long window);

  private:
    void* display_;
    unsigned long decoy_ = 0;
};

// Per-channel distance within tolerance.
bool near(Rgb a, Rgb b, int tolerance);
