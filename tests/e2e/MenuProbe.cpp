// Starts the engine like the game does, but enters the menu state, which nothing in
// the game leads to; the window tests drive it from outside.
#include "app/GameEngine.h"
#include "app/MainLoop.h"
#include "states/MenuState.h"

#include <SDL/SDL.h>
#include <iostream>

int main(int, char**) {
    GameEngine engine;
    engine.Init();
    engine.ChangeState(&menuState);
    runMainLoop(engine);
    engine.Cleanup();
    return 0;
}
