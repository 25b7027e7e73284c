#pragma once

#include <vector>

class GameState;
struct SDL_Surface;

// Owns the window with its OpenGL context, the state stack and the running flag.
// The states are globals: the engine refers to them, never owns them.
class GameEngine {
public:
    GameEngine();

    // Loads the settings and opens SDL, the window and GLEW; ends the process with
    // status 1 to 4 on failure.
    void Init();
    // Cleans up every state on the stack, leaves full-screen mode, shuts SDL down.
    void Cleanup();

    // Replaces the top state: old Cleanup, then new Init.
    void ChangeState(GameState* state);

    bool Running() const { return running; }
    void Quit() { running = false; }

    SDL_Surface* screen;
    std::vector<GameState*> states;
    bool running;
    bool fullscreen;
};
