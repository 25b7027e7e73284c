#pragma once

#include <string>

class GameEngine;

// Runs the state on top of the engine's stack until the running flag is cleared,
// reporting one pending OpenGL error after each pass.
void runMainLoop(GameEngine& engine);

// GLU's text for an OpenGL error code, or the code in hexadecimal ("0x0507") where
// GLU has none.
std::string glErrorText(unsigned int code);
