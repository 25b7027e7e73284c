#pragma once

class GameEngine;

// Runs the state on top of the engine's stack until the running flag is cleared,
// reporting one pending OpenGL error after each pass.
void runMainLoop(GameEngine& engine);
