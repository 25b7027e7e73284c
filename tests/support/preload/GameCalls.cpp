// Preloaded into the real game (and scripts/bench's yardsticks) to record from outside what
// no pixel shows. With TESSARIA_CALLS naming a file, a line each:
//   attribute NUMBER VALUE  each SDL_GL_SetAttribute (the attribute's number in SDL_GLattr)
//   mode W H BITS FLAGS     each SDL_SetVideoMode (FLAGS in hexadecimal)
//   lists N                 at a buffer swap: display lists compiled since the last swap
// With TESSARIA_TIMES naming a file, "EVENT NS CPU_NS" lines: the time on CLOCK_REALTIME
// (Python's time.time_ns()), then the processor time of all the process's threads so far:
//   start, main       the C library starting the program (every library loaded); main entered
//   SDL_Init, SDL_SetVideoMode, glewInit, IMG_Load, glTexImage2D
//                     the first call of each entered, and NAME-done when it returned
//   swap              every buffer swap's return; TESSARIA_EXIT_AFTER_SWAP ends the process there
//   key               the first key press taken from the event queue
//   play              the play state set up: its "PlayState Init" line written to the log
//   lists, compiling  then: when the first display list was begun, and the nanoseconds
//                     spent compiling lists (glNewList to glEndList's return)
// With TESSARIA_VIEWS naming a file, at each swap after "play": "NS YAW PITCH X Y Z", the view
// the frame was drawn from, as the camera's rotations and translation give it.
// With TESSARIA_NO_VIDEO_INFO set, SDL has no video information to give, and says so.
#include <GL/gl.h>
#include <SDL/SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dlfcn.h>
#include <string>
#include <unistd.h>
#include <utility>

namespace {

std::FILE* openNamed(const char* variable, const char* mode) { // none in a read-only folder
    const char* const name = std::getenv(variable);
    return name != nullptr ? std::fopen(name, mode) : nullptr;
}
std::FILE* const calls = openNamed("TESSARIA_CALLS", "w");
std::FILE* const times = openNamed("TESSARIA_TIMES", "a"); // the launch may stand there first
std::FILE* const views = openNamed("TESSARIA_VIEWS", "w");

template <class... Values> void record(std::FILE* file, const char* format, Values... values) {
    if (file != nullptr) {
        std::fprintf(file, format, values...);
        std::fflush(file); // read while the game runs
    }
}

long long ns(clockid_t clock = CLOCK_REALTIME) {
    timespec now{};
    clock_gettime(clock, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

void stamp(const char* event, long long at = ns()) {
    record(times, "%s %lld %lld\n", event, at, ns(CLOCK_PROCESS_CPUTIME_ID));
}

// The function this library stands in for, as `real`.
#define REAL(function)                                                                             \
    static const auto real = reinterpret_cast<decltype(&function)>(dlsym(RTLD_NEXT, #function))

// Stamps NAME on the way into the first call and NAME-done on the way out.
struct FirstCall {
    FirstCall(const char* name, bool& called) : name(std::exchange(called, true) ? nullptr : name) {
        if (this->name != nullptr)
            stamp(name);
    }
    ~FirstCall() {
        if (name != nullptr)
            stamp((std::string(name) + "-done").c_str());
    }
    const char* name;
};

// A stand-in that stamps the first call of FUNCTION and calls it, after any statement given last.
#define STAMP_FIRST_CALL(result, function, parameters, arguments, ...)                             \
    result function parameters {                                                                   \
        __VA_ARGS__;                                                                               \
        static bool called = false;                                                                \
        const FirstCall timed(#function, called);                                                  \
        REAL(function);                                                                            \
        return real arguments;                                                                     \
    }

int listsSinceSwap = 0;
long long firstListNs = 0, listBegunNs = 0, compilingNs = 0;
bool played = false;
float view[5] = {}; // yaw, pitch, the eye's x, y, z

using Main = int (*)(int, char**, char**);
Main realMain = nullptr;
int stampedMain(int argc, char** argv, char** environment) {
    stamp("main");
    return realMain(argc, argv, environment);
}

} // namespace

extern "C" {

int __libc_start_main(Main main, int argc, char** argv, void (*init)(), void (*fini)(),
                      void (*rtldFini)(), void* stackEnd) {
    stamp("start");
    realMain = main;
    REAL(__libc_start_main);
    return real(stampedMain, argc, argv, init, fini, rtldFini, stackEnd);
}

STAMP_FIRST_CALL(int, SDL_Init, (Uint32 flags), (flags))
STAMP_FIRST_CALL(GLenum, glewInit, (), ())
STAMP_FIRST_CALL(SDL_Surface*, IMG_Load, (const char* file), (file))
STAMP_FIRST_CALL(void, glTexImage2D,
                 (GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                  GLint border, GLenum format, GLenum type, const void* pixels),
                 (target, level, internalFormat, width, height, border, format, type, pixels))

int SDL_GL_SetAttribute(SDL_GLattr attribute, int value) {
    record(calls, "attribute %d %d\n", attribute, value);
    REAL(SDL_GL_SetAttribute);
    return real(attribute, value);
}

const SDL_VideoInfo* SDL_GetVideoInfo() {
    REAL(SDL_GetVideoInfo);
    return std::getenv("TESSARIA_NO_VIDEO_INFO") == nullptr
               ? real()
               : (SDL_SetError("TESSARIA_NO_VIDEO_INFO is set"), nullptr);
}

STAMP_FIRST_CALL(SDL_Surface*, SDL_SetVideoMode, (int width, int height, int bits, Uint32 flags),
                 (width, height, bits, flags),
                 record(calls, "mode %d %d %d %#x\n", width, height, bits, flags))

void SDL_GL_SwapBuffers() {
    REAL(SDL_GL_SwapBuffers);
    static const bool exitAfterSwap = std::getenv("TESSARIA_EXIT_AFTER_SWAP") != nullptr;
    real();
    stamp("swap");
    if (played) {
        record(views, "%lld %.9g %.9g %.9g %.9g %.9g\n", ns(), view[0], view[1], view[2], view[3],
               view[4]);
    }
    if (exitAfterSwap)
        std::_Exit(0);
    if (listsSinceSwap != 0) {
        record(calls, "lists %d\n", listsSinceSwap);
        listsSinceSwap = 0;
    }
}

int SDL_PollEvent(SDL_Event* event) {
    static bool keySeen = false;
    REAL(SDL_PollEvent);
    const int result = real(event);
    if (result != 0 && event != nullptr && event->type == SDL_KEYDOWN && !keySeen) {
        keySeen = true;
        stamp("key");
    }
    return result;
}

// The log is the game's standard output in a file: the line comes through here once written.
ssize_t write(int file, const void* data, size_t size) {
    REAL(write);
    const ssize_t written = real(file, data, size);
    static const char line[] = "PlayState Init\n";
    if (!played && memmem(data, size, line, sizeof line - 1) != nullptr) {
        played = true;
        stamp("play");
        stamp("lists", firstListNs);
        stamp("compiling", compilingNs);
    }
    return written;
}

void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
    REAL(glRotatef);
    view[z != 0.0f ? 0 : 1] = -angle; // about x: the constant quarter turn, then the pitch
    real(angle, x, y, z);
}

void glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
    REAL(glTranslatef);
    view[2] = -x;
    view[3] = -y;
    view[4] = -z;
    real(x, y, z);
}

void glNewList(GLuint list, GLenum mode) {
    REAL(glNewList);
    ++listsSinceSwap;
    listBegunNs = ns();
    firstListNs = firstListNs != 0 ? firstListNs : listBegunNs;
    real(list, mode);
}

void glEndList() {
    REAL(glEndList);
    real();
    compilingNs += played ? 0 : ns() - listBegunNs;
}
}
