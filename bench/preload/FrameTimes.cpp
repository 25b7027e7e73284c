// Preloaded into the real game by scripts/measure-play and scripts/measure-launch, so its
// start and its frames can be timed without a hook in the product. Appends
// "<event> <nanoseconds> <cpu nanoseconds>" lines to the file named by TESSARIA_FRAME_TIMES:
// the time on CLOCK_REALTIME (the clock of `date +%s%N` and of bash's EPOCHREALTIME), then
// the processor time the process has used so far, all its threads (which a busy machine
// stretches far less than the time):
//   start the C library starting the program: every library loaded, linked, initialised
//   main  the program's own static initialisation done, main entered
//   SDL_Init, SDL_SetVideoMode, glewInit, IMG_Load, glTexImage2D
//         the first call of each entered, and "<name>-done" when it returned
//   key   the first key press the game takes from its event queue
//   grab  the play state grabbing the mouse, once the world is generated and meshed
//   swap  every buffer swap, after it returns; with TESSARIA_EXIT_AFTER_SWAP set, the
//         first one ends the process there and then (status 0)
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
        // Appended: measure-launch writes the launch time first.
        return name != nullptr ? std::fopen(name, "a") : nullptr;
    }();
    return file;
}

long long nowNs() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

long long cpuNs() {
    timespec used{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
    return static_cast<long long>(used.tv_sec) * 1000000000LL + used.tv_nsec;
}

void record(const char* event, long long value = nowNs()) {
    if (std::FILE* const file = timesFile()) {
        // Flushed at once: the script reads the file while the game runs.
        std::fprintf(file, "%s %lld %lld\n", event, value, cpuNs());
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

// Stamps the first call of a function on the way in and, with "-done", on the way out.
class FirstCall {
  public:
    explicit FirstCall(const char* name) : name(name), first(!calledBefore(name)) {
        if (first) {
            record(name);
        }
    }
    ~FirstCall() {
        if (first) {
            char done[64];
            std::snprintf(done, sizeof done, "%s-done", name);
            record(done);
        }
    }

  private:
    static bool calledBefore(const char* name) {
        static const char* seen[16];
        for (const char*& slot : seen) {
            if (slot == name) {
                return true;
            }
            if (slot == nullptr) {
                slot = name;
                return false;
            }
        }
        return true;
    }
    const char* name;
    bool first;
};

using Main = int (*)(int, char**, char**);
Main realMain = nullptr;

int timedMain(int argc, char** argv, char** environment) {
    record("main");
    return realMain(argc, argv, environment);
}

} // namespace

extern "C" {

int __libc_start_main(Main main, int argc, char** argv, void (*init)(), void (*fini)(),
                      void (*rtldFini)(), void* stackEnd) {
    using Start = int (*)(Main, int, char**, void (*)(), void (*)(), void (*)(), void*);
    static const auto real = next<Start>("__libc_start_main");
    record("start");
    realMain = main;
    return real(timedMain, argc, argv, init, fini, rtldFini, stackEnd);
}

int SDL_Init(Uint32 flags) {
    static const auto real = next<int (*)(Uint32)>("SDL_Init");
    const FirstCall timed("SDL_Init");
    return real(flags);
}

SDL_Surface* SDL_SetVideoMode(int width, int height, int bitsPerPixel, Uint32 flags) {
    static const auto real = next<SDL_Surface* (*)(int, int, int, Uint32)>("SDL_SetVideoMode");
    const FirstCall timed("SDL_SetVideoMode");
    return real(width, height, bitsPerPixel, flags);
}

GLenum glewInit() {
    static const auto real = next<GLenum (*)()>("glewInit");
    const FirstCall timed("glewInit");
    return real();
}

SDL_Surface* IMG_Load(const char* file) {
    static const auto real = next<SDL_Surface* (*)(const char*)>("IMG_Load");
    const FirstCall timed("IMG_Load");
    return real(file);
}

void glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                  GLint border, GLenum format, GLenum type, const void* pixels) {
    static const auto real =
        next<void (*)(GLenum, GLint, GLint, GLsizei, GLsizei, GLint, GLenum, GLenum, const void*)>(
            "glTexImage2D");
    const FirstCall timed("glTexImage2D");
    real(target, level, internalFormat, width, height, border, format, type, pixels);
}

void SDL_GL_SwapBuffers() {
    static const auto real = next<void (*)()>("SDL_GL_SwapBuffers");
    real();
    record("swap");
    static const bool exitAfterSwap = std::getenv("TESSARIA_EXIT_AFTER_SWAP") != nullptr;
    if (exitAfterSwap) {
        std::_Exit(0);
    }
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
