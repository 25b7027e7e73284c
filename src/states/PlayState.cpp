#include "states/PlayState.h"

#include "app/FrameTimer.h"
#include "app/GameEngine.h"
#include "physics/MapCollision.h"
#include "physics/Player.h"
#include "physics/TimeStep.h"
#include "render/Camera.h"
#include "render/MapRenderer.h"
#include "script/Settings.h"
#include "states/FixedStep.h"
#include "world/Map.h"
#include "world/NoiseMapGenerator.h"

#include <GL/glew.h>
#include <SDL/SDL.h>
#include <iostream>

const unsigned char outlineIndices[24] = {0, 1, 1, 2, 2, 3, 3, 0, 0, 4, 1, 5,
                                          2, 6, 3, 7, 4, 5, 5, 6, 6, 7, 7, 4};

OutlineCorners outlineCorners(int x, int y, int z) {
    const float lx = static_cast<float>(x) - 0.01f;
    const float ly = static_cast<float>(y) - 0.01f;
    const float lz = static_cast<float>(z) - 0.01f;
    const float hx = static_cast<float>(x) + 1.01f;
    const float hy = static_cast<float>(y) + 1.01f;
    const float hz = static_cast<float>(z) + 1.01f;
    return {{{lx, ly, lz},
             {hx, ly, lz},
             {hx, hy, lz},
             {lx, hy, lz},
             {lx, ly, hz},
             {hx, ly, hz},
             {hx, hy, hz},
             {lx, hy, hz}}};
}

namespace {

// The game listens to the mouse while it has the input focus and is not iconified, and
// holds the pointer (hidden and grabbed) exactly then: a pointer held by a game that
// does not listen would be trapped, and one let go is no longer the player's look.
bool hasFocus() {
    const Uint8 state = SDL_GetAppState();
    return (state & SDL_APPINPUTFOCUS) != 0 && (state & SDL_APPACTIVE) != 0;
}

} // namespace

void PlayState::Init() {
    map = new Map(new NoiseMapGenerator());
    renderer = new MapRenderer(*map);

    focusClick = FocusClick();
    focusClick.hadFocus = hasFocus();
    if (focusClick.hadFocus) {
        SDL_WM_GrabInput(SDL_GRAB_ON);
        SDL_ShowCursor(SDL_DISABLE);
    }
    SDL_EnableKeyRepeat(500, 30);
    // Mouse motion on the splash, or while the world was built, turns nothing: play
    // starts looking straight ahead.
    SDL_GetRelativeMouseState(nullptr, nullptr);
    motionToDiscard = 0;

    const WindowSize window = windowSize();
    glViewport(0, 0, window.width, window.height);

    player = new Player();
    camera = new Camera(player, 80.0f, 0.1f, 10000.0f);

    glClearColor(0.686f, 0.843f, 1.0f, 1.0f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    if (settings.antialiasing != 0) {
        glEnable(GL_MULTISAMPLE);
    }

    // The first measured frame starts now, not before the world was built.
    frameTimer.Reset();
    std::cout << "PlayState Init" << std::endl;
}

void PlayState::Cleanup() {
    delete camera;
    camera = nullptr;
    delete player;
    player = nullptr;
    delete map;
    map = nullptr;
    // The map is gone already; the renderer's destruction does not touch it.
    delete renderer;
    renderer = nullptr;
    std::cout << "PlayState Cleanup" << std::endl;
}

void PlayState::Pause() {
    std::cout << "PlayState Pause" << std::endl;
}

void PlayState::Resume() {
    std::cout << "PlayState Resume" << std::endl;
}

void PlayState::HandleEvents(GameEngine* game) {
    // The button as of the previous pump; only a dig clears the request.
    const bool button = (SDL_GetMouseState(nullptr, nullptr) & SDL_BUTTON_LMASK) != 0;
    if (focusClick.digs(button)) {
        digRequested = true;
    }
    bool keyEvent = false;
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        switch (event.type) {
        case SDL_KEYUP:
            keyEvent = true;
            break;
        case SDL_KEYDOWN:
            keyEvent = true;
            if (event.key.keysym.sym == SDLK_ESCAPE) {
                game->Quit();
            } else if (event.key.keysym.sym == SDLK_r) {
                renderer->rebuildAll();
            }
            break;
        case SDL_QUIT:
            game->Quit();
            break;
        default: // the focus's events (SDL_ACTIVEEVENT) are read as the state they leave
            break;
        }
    }
    // One signal for the pointer, the button and the look: the focus as this pump left it.
    const bool focused = hasFocus();
    if (focused && !focusClick.hadFocus) {
        SDL_ShowCursor(SDL_DISABLE);
        SDL_WM_GrabInput(SDL_GRAB_ON);
        SDL_WarpMouse(1, 1);
        motionToDiscard = 2; // the warp's motion may arrive a pump later
    } else if (!focused && focusClick.hadFocus) {
        SDL_WM_GrabInput(SDL_GRAB_OFF);
        SDL_ShowCursor(SDL_ENABLE);
        // A click made before the focus went (at the sky, say) digs nothing once it is back.
        digRequested = false;
    }
    focusClick.pumped(focused, keyEvent, SDL_GetTicks());
    // The pointer crossing the window of another program, and the warp that takes it
    // back, are no looking about: that motion never reaches the player.
    if (!focused || motionToDiscard > 0) {
        SDL_GetRelativeMouseState(nullptr, nullptr);
        motionToDiscard = motionToDiscard > 0 ? motionToDiscard - 1 : 0;
    }
}

void PlayState::Update(GameEngine*) {
    frameTimer.Tick();
    const int steps = takeFixedSteps(stepAccumulator, frameTimer.deltaSeconds, timeStep);
    for (int i = 0; i < steps; ++i) {
        player->updateMovement(timeStep);
        collideWithMap(*player, *map);
    }
    const float alpha = interpolationFactor(stepAccumulator, timeStep);

    player->updateLook();
    camera->update(alpha);

    pickedBlock = pickBlock(camera->parent->getPosition(), camera->direction, map->sizeX - 1,
                            map->sizeY - 1, map->sizeZ - 1, *map);
    if (digRequested && pickedBlock.x >= 0) {
        digRequested = false;
        map->digSphere(pickedBlock.x, pickedBlock.y, pickedBlock.z, digRadius);
    }
}

void PlayState::Draw(GameEngine*) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    renderer->draw(*camera);

    if (pickedBlock.x >= 0) {
        // Drawn in world coordinates through the view the renderer left loaded.
        const OutlineCorners corners = outlineCorners(pickedBlock.x, pickedBlock.y, pickedBlock.z);
        glEnableClientState(GL_VERTEX_ARRAY);
        glColor3f(1.0f, 1.0f, 1.0f);
        glVertexPointer(3, GL_FLOAT, 0, corners.xyz);
        glDrawElements(GL_LINES, 24, GL_UNSIGNED_BYTE, outlineIndices);
        glDisableClientState(GL_VERTEX_ARRAY);
    }
    SDL_GL_SwapBuffers();
}
