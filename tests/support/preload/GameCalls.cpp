// Preloaded into the real game by the window tests: records what the game asks SDL and
// OpenGL for that no pixel shows, a line each, in the file named by TESSARIA_CALLS:
//   attribute NUMBER VALUE  each SDL_GL_SetAttribute (the attribute's number in SDL_GLattr)
//   mode W H BITS FLAGS     each SDL_SetVideoMode (FLAGS in hexadecimal)
//   lists N                 at a buffer swap: display lists compiled since the last swap
// With TESSARIA_NO_VIDEO_INFO set, SDL has no video information to give.
#include <GL/gl.h>
#include <SDL/SDL.h>

#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>

namespace {

std::FILE* const file =
    std::fopen(std::getenv("TESSARIA_CALLS"), "w"); // none in a read-only folder

template <class... Values> void record(const char* format, Values... values) {
    if (file != nullptr) {
        std::fprintf(file, format, values...);
        std::fflush(file); // the tests read the file while the game runs
    }
}

template <class Function> Function next(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

int listsCompiled = 0;

} // namespace

extern "C" {

int SDL_GL_SetAttribute(SDL_GLattr attribute, int value) {
    record("attribute %d %d\n", attribute, value);
    return next<int (*)(SDL_GLattr, int)>("SDL_GL_SetAttribute")(attribute, value);
}

const SDL_VideoInfo* SDL_GetVideoInfo() {
    return std::getenv("TESSARIA_NO_VIDEO_INFO") != nullptr
               ? nullptr
               : next<const SDL_VideoInfo* (*)()>("SDL_GetVideoInfo")();
}

SDL_Surface* SDL_SetVideoMode(int width, int height, int bits, Uint32 flags) {
    record("mode %d %d %d %#x\n", width, height, bits, flags);
    return next<SDL_Surface* (*)(int, int, int, Uint32)>("SDL_SetVideoMode")(width, height, bits,
                                                                             flags);
}

void glNewList(GLuint list, GLenum mode) {
    ++listsCompiled;
    next<void (*)(GLuint, GLenum)>("glNewList")(list, mode);
}

void SDL_GL_SwapBuffers() {
    next<void (*)()>("SDL_GL_SwapBuffers")();
    if (listsCompiled != 0) {
        record("lists %d\n", listsCompiled);
        listsCompiled = 0;
    }
}
}
