#include "app/GameEngine.h"

#include "app/GameState.h"
#include "script/Settings.h"

#include <GL/glew.h>
#include <SDL/SDL.h>
#include <cstdlib>
#include <iostream>
#include <string>

namespace {

// The usual line, then SDL's reason on the next, as the window's failure gives it.
[[noreturn]] void fail(const char* message, int status, bool quitSdl) {
    std::cerr << message << '\n' << SDL_GetError() << std::endl;
    if (quitSdl) {
        SDL_Quit();
    }
    std::exit(status);
}

// The usual line first, then what was asked for and why it could not be had.
[[noreturn]] void failVideoMode(int width, int height, const std::string& reason) {
    std::cerr << "Unable to create a window with the desired OpenGL properties\n"
              << "Asked for " << width << " x " << height << " pixels "
              << (settings.fullscreen ? "in full screen" : "in a window") << ", antialiasing "
              << settings.antialiasing << ": " << reason << std::endl;
    SDL_Quit();
    std::exit(3);
}

} // namespace

WindowSize windowSize() {
    const SDL_Surface* window = SDL_GetVideoSurface();
    return {window->w, window->h};
}

int windowSide(int setting, int desktopSide) {
    const int side = setting == 0 ? desktopSide : setting;
    return side >= 1 && side <= largestWindowSide ? side : 0;
}

GameEngine::GameEngine() : screen(nullptr), running(false), fullscreen(false) {}

void GameEngine::Init() {
    loadSettings();

    if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_VIDEO) < 0) {
        fail("Unable to initialize SDL", 1, false);
    }
    SDL_WM_SetCaption("Tessaria", "Tessaria");

    const SDL_VideoInfo* info = SDL_GetVideoInfo();
    if (info == nullptr) {
        fail("Unable to acquire SDL Video information", 2, true);
    }
    const int bitsPerPixel = info->vfmt->BitsPerPixel;

    const int channelBits = bitsPerPixel / 4;
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, channelBits);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, channelBits);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, channelBits);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, channelBits);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_SWAP_CONTROL, settings.vsync ? 1 : 0);
    if (settings.antialiasing != 0) {
        SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, 1);
        SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, settings.antialiasing);
    } else {
        SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, 0);
    }

    Uint32 flags = SDL_OPENGL;
    if (settings.fullscreen) {
        flags |= SDL_FULLSCREEN;
    }
    const int width = windowSide(settings.screenWidth, info->current_w);
    const int height = windowSide(settings.screenHeight, info->current_h);
    if (width == 0 || height == 0) {
        failVideoMode(settings.screenWidth == 0 ? info->current_w : settings.screenWidth,
                      settings.screenHeight == 0 ? info->current_h : settings.screenHeight,
                      "each side must be 1 to " + std::to_string(largestWindowSide) + " pixels");
    }
    screen = SDL_SetVideoMode(width, height, bitsPerPixel, flags);
    if (screen == nullptr) {
        failVideoMode(width, height, SDL_GetError());
    }

    const GLenum glewStatus = glewInit();
    if (glewStatus != GLEW_OK) {
        std::cerr << "Unable to initialize GLEW: "
                  << reinterpret_cast<const char*>(glewGetErrorString(glewStatus)) << std::endl;
        SDL_Quit();
        std::exit(4);
    }
    std::cout << "Initialized GLEW " << reinterpret_cast<const char*>(glewGetString(GLEW_VERSION))
              << "\n";

    fullscreen = settings.fullscreen;
    running = true;
}

void GameEngine::Cleanup() {
    while (!states.empty()) {
        states.back()->Cleanup();
        states.pop_back();
    }
    if (fullscreen) {
        screen = SDL_SetVideoMode(640, 480, 0, 0);
    }
    std::cout << "GameEngine Cleanup\n" << std::flush;
    SDL_Quit();
}

void GameEngine::ChangeState(GameState* state) {
    if (!states.empty()) {
        states.back()->Cleanup();
        states.pop_back();
    }
    states.push_back(state);
    states.back()->Init();
}
