#pragma once

#include <vector>

class GameState;
struct SDL_Surface;

// SDL makes no window wider or taller than this.
constexpr int largestWindowSide = 16384;

// The window side to ask SDL for: a setting of 0 means the desktop's, as in SDL 1.2
// (sdl12-compat honours that only for windows and gives full screen a 1 x 1 one).
// Returns 0 when no window can have the side: below 1, or beyond the largest, where
// sdl12-compat makes sizes near 2^31 into windows 65535 pixels wide or tall, and
// Mesa's software driver overflows on their buffers and crashes in the first swap.
int windowSide(int setting, int desktopSide);

// The window's size in pixels: its video surface's, for viewports, projections and
// centring. Not the video information's current size, which sdl12-compat makes the
// desktop's. Needs the window open.
struct WindowSize {
    int width;
    int height;
};
WindowSize windowSize();

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
