#include "app/MainLoop.h"

#include "app/GameEngine.h"
#include "app/GameState.h"

#include <GL/glew.h>
#include <GL/glu.h>
#include <iostream>

void runMainLoop(GameEngine& engine) {
    while (engine.Running()) {
        // The top is looked up before each call: a state change inside HandleEvents
        // already sends this pass's Update and Draw to the new state.
        engine.states.back()->HandleEvents(&engine);
        engine.states.back()->Update(&engine);
        engine.states.back()->Draw(&engine);

        const GLenum error = glGetError();
        if (error != GL_NO_ERROR) {
            std::cerr << "OpenGL error: " << reinterpret_cast<const char*>(gluErrorString(error))
                      << std::endl;
        }
    }
}
