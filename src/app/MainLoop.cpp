#include "app/MainLoop.h"

#include "app/GameEngine.h"
#include "app/GameState.h"

#include <GL/glew.h>
#include <GL/glu.h>
#include <cstdio>
#include <iostream>

std::string glErrorText(unsigned int code) {
    // GLU returns null for codes it does not know (GL_CONTEXT_LOST, say), and a null
    // pointer streamed into std::cerr would break the stream for good.
    const GLubyte* text = gluErrorString(code);
    if (text != nullptr) {
        return reinterpret_cast<const char*>(text);
    }
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%04X", code);
    return hex;
}

void runMainLoop(GameEngine& engine) {
    while (engine.Running()) {
        // The top is looked up before each call: a state change inside HandleEvents
        // already sends this pass's Update and Draw to the new state.
        engine.states.back()->HandleEvents(&engine);
        engine.states.back()->Update(&engine);
        engine.states.back()->Draw(&engine);

        const GLenum error = glGetError();
        if (error != GL_NO_ERROR) {
            std::cerr << "OpenGL error: " << glErrorText(error) << std::endl;
        }
    }
}
