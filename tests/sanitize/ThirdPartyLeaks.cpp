// Linked into every program of the sanitizer build (TESSARIA_SANITIZE), nowhere else:
// what SDL and Mesa keep for themselves, kept out of the leak check at exit. This
// file stands in for a suppression file, which cannot do the job here: SDL and Mesa
// are built without frame pointers, so the fast unwinder stops inside SDL_malloc,
// where our own surfaces (the splash image, the menu picture) are allocated too, and
// the slow unwinder deadlocks against the unwind tables of Mesa's JIT code.
//
// 1. sdl12-compat over SDL 2 never frees the D-Bus session connection that SDL 2
//    opens inside SDL_Init (its read buffer), nor the screen surface it makes in
//    every SDL_SetVideoMode. Both calls run with the leak checker looking away,
//    which is what a suppression of their names would do; no code of ours runs
//    inside either.
// 2. Mesa keeps process-wide state (made at context creation and at the first draw)
//    referenced from its driver's static data, and unloads the driver when SDL
//    closes the display; at exit that state would then look leaked. Once a video
//    mode has loaded the driver, it is pinned so that its data stays mapped and the
//    leak checker still sees those references. Nothing is ignored for this.
#include <SDL/SDL.h>
#include <cstring>
#include <dlfcn.h>
#include <link.h>
#include <sanitizer/lsan_interface.h>

namespace {

template <typename Function> Function nextDefinition(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

bool isMesaDriver(const char* path) {
    const size_t length = std::strlen(path);
    const char suffix[] = "_dri.so";
    const size_t suffixLength = sizeof suffix - 1;
    return std::strstr(path, "/dri/") != nullptr && length > suffixLength &&
           std::strcmp(path + length - suffixLength, suffix) == 0;
}

int pinIfMesaDriver(dl_phdr_info* info, size_t, void*) {
    if (info->dlpi_name != nullptr && isMesaDriver(info->dlpi_name)) {
        // Already loaded, so this only marks it never to be unloaded.
        dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    }
    return 0;
}

} // namespace

extern "C" int SDL_Init(Uint32 flags) {
    static const auto sdlInit = nextDefinition<int (*)(Uint32)>("SDL_Init");
    __lsan::ScopedDisabler thirdPartyOnly;
    return sdlInit(flags);
}

extern "C" SDL_Surface* SDL_SetVideoMode(int width, int height, int bitsPerPixel, Uint32 flags) {
    static const auto setVideoMode =
        nextDefinition<SDL_Surface* (*)(int, int, int, Uint32)>("SDL_SetVideoMode");
    SDL_Surface* screen = nullptr;
    {
        __lsan::ScopedDisabler thirdPartyOnly;
        screen = setVideoMode(width, height, bitsPerPixel, flags);
    }
    dl_iterate_phdr(pinIfMesaDriver, nullptr);
    return screen;
}
