// Starts the engine like the game does, but enters the menu state, which nothing in
// the game leads to; the window tests drive it from outside. With TESSARIA_MENU_SOFTWARE
// set, the window is remade without OpenGL first, and the menu draws through SDL's blit.
#include "app/GameEngine.h"
#include "app/MainLoop.h"
#include "states/MenuState.h"

#include <SDL/SDL.h>
#include <cstdlib>
#include <iostream>

int main(int, char**) {
    GameEngine engine;
    engine.Init();
    if (std::getenv("TESSARIA_MENU_SOFTWARE") != nullptr) {
        engine.screen = SDL_SetVideoMode(engine.screen->w, engine.screen->h, 32, SDL_SWSURFACE);
    }
    engine.ChangeState(&menuState);
    runMainLoop(engine);
    engine.Cleanup();
    return 0;
}
