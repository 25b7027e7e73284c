#include "support/XScreen.h"

#include "support/Process.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cstdlib>
#include <stdexcept>

namespace {

Display* dpy(void* d) {
    return static_cast<Display*>(d);
}

unsigned long findNamed(Display* display, Window root, const std::string& name) {
    Window rootReturn = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, root, &rootReturn, &parent, &children, &count) == 0) {
        return 0;
    }
    unsigned long found = 0;
    for (unsigned int i = 0; i < count && found == 0; ++i) {
        char* title = nullptr;
        if (XFetchName(display, children[i], &title) != 0 && title != nullptr) {
            XWindowAttributes attributes;
            if (name == title && XGetWindowAttributes(display, children[i], &attributes) != 0 &&
                attributes.map_state == IsViewable) {
                found = children[i];
            }
            XFree(title);
        }
        if (found == 0) {
            found = findNamed(display, children[i], name);
        }
    }
    if (children != nullptr) {
        XFree(children);
    }
    return found;
}

XErrorHandler xlibErrorHandler = nullptr;

// Windows come and go while a test looks at them (SDL makes and drops a few while it
// starts); a request on one just destroyed fails with BadWindow, which Xlib's default
// handler answers by ending the test process. The failed request's result (0, no
// image) is handled where it is made; other errors still go to Xlib's handler.
int ignoreVanishedWindows(Display* display, XErrorEvent* error) {
    if (error->error_code == BadWindow || error->error_code == BadMatch ||
        error->error_code == BadDrawable) {
        return 0;
    }
    return xlibErrorHandler(display, error);
}

} // namespace

XScreen::XScreen() : display_(XOpenDisplay(nullptr)) {
    if (display_ == nullptr) {
        throw std::runtime_error("cannot open X display");
    }
    XErrorHandler previous = XSetErrorHandler(ignoreVanishedWindows);
    if (previous != ignoreVanishedWindows) {
        xlibErrorHandler = previous;
    }
}

XScreen::~XScreen() {
    XCloseDisplay(dpy(display_));
}

unsigned long XScreen::waitForWindow(const std::string& name, double timeoutSeconds) {
    const int polls = static_cast<int>(timeoutSeconds / 0.02) + 1;
    for (int i = 0; i < polls; ++i) {
        const unsigned long window =
            findNamed(dpy(display_), DefaultRootWindow(dpy(display_)), name);
        if (window != 0) {
            return window;
        }
        sleepSeconds(0.02);
    }
    return 0;
}

std::vector<Rgb> XScreen::capture(unsigned long window, int& width, int& height) {
    XWindowAttributes attributes;
    XGetWindowAttributes(dpy(display_), window, &attributes);
    width = attributes.width;
    height = attributes.height;
    XImage* image = XGetImage(dpy(display_), window, 0, 0, width, height, AllPlanes, ZPixmap);
    std::vector<Rgb> pixels;
    if (image == nullptr) {
        return pixels;
    }
    pixels.reserve(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const unsigned long p = XGetPixel(image, x, y);
            pixels.push_back({static_cast<int>((p >> 16) & 0xff), static_cast<int>((p >> 8) & 0xff),
                              static_cast<int>(p & 0xff)});
        }
    }
    XDestroyImage(image);
    return pixels;
}

Rgb XScreen::pixel(unsigned long window, int x, int y) {
    XImage* image = XGetImage(dpy(display_), window, x, y, 1, 1, AllPlanes, ZPixmap);
    if (image == nullptr) {
        return {-1, -1, -1};
    }
    const unsigned long p = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    return {static_cast<int>((p >> 16) & 0xff), static_cast<int>((p >> 8) & 0xff),
            static_cast<int>(p & 0xff)};
}

void XScreen::requestClose(unsigned long window) {
    Display* display = dpy(display_);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

bool XScreen::savePng(unsigned long window, const std::string& path) {
    return runCommand({"/usr/bin/import", "-window", std::to_string(window), path}, 20.0) == 0;
}

bool XScreen::pointerGrabbedElsewhere() {
    Display* display = dpy(display_);
    const int result = XGrabPointer(display, DefaultRootWindow(display), False, 0, GrabModeAsync,
                                    GrabModeAsync, None, None, CurrentTime);
    if (result == GrabSuccess) {
        XUngrabPointer(display, CurrentTime);
    }
    XSync(display, False);
    return result == AlreadyGrabbed;
}

void XScreen::focusDecoy() {
    Display* display = dpy(display_);
    if (decoy_ == 0) {
        decoy_ =
            XCreateSimpleWindow(display, DefaultRootWindow(display), 900, 700, 50, 50, 0, 0, 0);
        XMapWindow(display, decoy_);
        XSync(display, False);
        sleepSeconds(0.1);
    }
    XSetInputFocus(display, decoy_, RevertToParent, CurrentTime);
    XSync(display, False);
}

void XScreen::closeDecoy() {
    if (decoy_ != 0) {
        XDestroyWindow(dpy(display_), decoy_);
        XSync(dpy(display_), False);
        decoy_ = 0;
    }
}

void XScreen::focus(unsigned long window) {
    XSetInputFocus(dpy(display_), window, RevertToParent, CurrentTime);
    XSync(dpy(display_), False);
}

bool near(Rgb a, Rgb b, int tolerance) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance;
}
