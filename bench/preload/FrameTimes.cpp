// Preloaded into the real game by scripts/measure-play, so its frames can be timed without
// a hook in the product. Appends "<event> <nanoseconds>" lines (CLOCK_REALTIME, the clock
// of `date +%s%N`) to the file named by TESSARIA_FRAME_TIMES:
//   key   the first key press the game takes from its event queue
//   grab  the play state grabbing the mouse, once the world is generated and meshed
//   swap  every buffer swap, after it returns
//   lists the first display list begun, then the time spent compiling lists (between
//         glNewList and the return of glEndList) up to the grab, in nanoseconds
#include <GL/gl.h>
#include <SDL/SDL.h>

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

std::FILE* timesFile() {
    static std::FILE* const file = [] {
        const char* const name = std::getenv("TESSARIA_FRAME_TIMES");
        return name != nullptr ? std::fopen(name, "w") : nullptr;
    }();
    return file;
}

long long nowNs() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

void record(const char* event, long long value = nowNs()) {
    if (std::FILE* const file = timesFile()) {
        // Flushed at once: the script reads the file while the game runs.
        std::fprintf(file, "%s %lld\n", event, value);
        std::fflush(file);
    }
}

long long firstListNs = 0;
long long listStartNs = 0;
long long compilingNs = 0;
bool grabbed = false;

template <class Function> Function next(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" {

void SDL_GL_SwapBuffers() {
    static const auto real = next<void (*)()>("SDL_GL_SwapBuffers");
    real();
    record("swap");
}

int SDL_PollEvent(SDL_Event* event) {
    static const auto real = next<int (*)(SDL_Event*)>("SDL_PollEvent");
    static bool keySeen = false;
    const int result = real(event);
    if (result != 0 && event != nullptr && event->type == SDL_KEYDOWN && !keySeen) {
        keySeen = true;
        record("key");
    }
    return result;
}

SDL_GrabMode SDL_WM_GrabInput(SDL_GrabMode mode) {
    static const auto real = next<SDL_GrabMode (*)(SDL_GrabMode)>("SDL_WM_GrabInput");
    if (mode == SDL_GRAB_ON && !grabbed) {
        grabbed = true;
        record("lists", firstListNs);
        record("compiling", compilingNs);
    }
    if (mode == SDL_GRAB_ON) {
        record("grab");
    }
    return real(mode);
}

void glNewList(GLuint list, GLenum mode) {
    static const auto real = next<void (*)(GLuint, GLenum)>("glNewList");
    listStartNs = nowNs();
    if (firstListNs == 0) {
        firstListNs = listStartNs;
    }
    real(list, mode);
}

void glEndList() {
    static const auto real = next<void (*)()>("glEndList");
    real();
    if (!grabbed) {
        compilingNs += nowNs() - listStartNs;
    }
}
}
