// What SDL and Mesa keep for themselves, kept out of the leak check at exit. Not a suppression
// file: without frame pointers in SDL and Mesa the fast unwinder stops in SDL_malloc, where our
// surfaces are allocated too, and the slow one deadlocks on the unwind tables of Mesa's JIT.
// sdl12-compat never frees SDL 2's D-Bus connection (SDL_Init) nor each SDL_SetVideoMode's
// screen: both run with the checker looking away (none of our code runs inside). Mesa's driver
// is pinned once loaded, so its state is still referenced at exit, after SDL closed the display.
#include <SDL/SDL.h>
#include <cstring>
#include <dlfcn.h>
#include <link.h>
#include <sanitizer/lsan_interface.h>

namespace {

// A Mesa driver (.../dri/*_dri.so) is already loaded: this only marks it never to be unloaded.
int pinIfMesaDriver(dl_phdr_info* info, size_t, void*) {
    const char* path = info->dlpi_name;
    const size_t length = path == nullptr ? 0 : std::strlen(path);
    if (length > 7 && std::strstr(path, "/dri/") && std::strcmp(path + length - 7, "_dri.so") == 0)
        dlopen(path, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    return 0;
}

} // namespace

extern "C" int SDL_Init(Uint32 flags) {
    static const auto sdlInit = reinterpret_cast<decltype(&SDL_Init)>(dlsym(RTLD_NEXT, "SDL_Init"));
    __lsan::ScopedDisabler thirdPartyOnly;
    return sdlInit(flags);
}

extern "C" SDL_Surface* SDL_SetVideoMode(int width, int height, int bitsPerPixel, Uint32 flags) {
    static const auto setVideoMode =
        reinterpret_cast<decltype(&SDL_SetVideoMode)>(dlsym(RTLD_NEXT, "SDL_SetVideoMode"));
    __lsan_disable();
    SDL_Surface* const screen = setVideoMode(width, height, bitsPerPixel, flags);
    __lsan_enable();
    dl_iterate_phdr(pinIfMesaDriver, nullptr);
    return screen;
}
