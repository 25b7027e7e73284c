// The engine started as the game does, but in the menu state, which nothing leads to. With
// TESSARIA_MENU_SOFTWARE set, the window is remade without OpenGL and the menu blitted.
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
