#include "states/IntroState.h"

#include "app/GameEngine.h"
#include "app/Texture.h"
#include "states/PlayState.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL/SDL.h>
#include <iostream>

float nextFadeAlpha(float fadeAlpha) {
    const float next = fadeAlpha + 0.001f;
    return next > 1.0f ? 1.0f : next;
}

ScreenOffset centredOffset(int windowWidth, int windowHeight, int imageWidth, int imageHeight) {
    return {(windowWidth - imageWidth) / 2, (windowHeight - imageHeight) / 2};
}

bool quits(const SDL_Event& event) {
    return event.type == SDL_QUIT ||
           (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE);
}

void IntroState::Init() {
    splashTexture = new Texture("Vortel.png");
    fadeAlpha = 0.0f;

    const WindowSize window = windowSize();
    glViewport(0, 0, window.width, window.height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(0, window.width, 0, window.height);
    glMatrixMode(GL_MODELVIEW);

    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClearDepth(1.0);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    heapWarmUp.begin(playHeapBytes);
    std::cout << "IntroState Init" << std::endl;
}

void IntroState::Cleanup() {
    if (splashTexture != nullptr) {
        delete splashTexture;
        splashTexture = nullptr;
    }
    // A key pressed before the heap is warm leaves the rest to be faulted in by the world.
    heapWarmUp.end();
    std::cout << "IntroState Cleanup" << std::endl;
}

void IntroState::Pause() {
    std::cout << "IntroState Pause" << std::endl;
}

void IntroState::Resume() {
    std::cout << "IntroState Resume" << std::endl;
}

void IntroState::HandleEvents(GameEngine* game) {
    // Every pending event, not one a pass: motion worked off one a pass fills SDL's queue,
    // and a key pressed then is dropped. The first key or quit decides.
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        if (quits(event)) {
            game->Quit();
            return;
        }
        if (event.type == SDL_KEYDOWN) {
            // Cleans this state up and builds the world; touch nothing of ours after.
            game->ChangeState(&playState);
            return;
        }
    }
}

void IntroState::Update(GameEngine*) {
    fadeAlpha = nextFadeAlpha(fadeAlpha);
}

void IntroState::Draw(GameEngine*) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    const int w = splashTexture->width;
    const int h = splashTexture->height;
    const WindowSize window = windowSize();
    const ScreenOffset at = centredOffset(window.width, window.height, w, h);

    glColor4f(1.0f, 1.0f, 1.0f, fadeAlpha);
    glBindTexture(GL_TEXTURE_2D, splashTexture->textureId);
    glBegin(GL_QUADS);
    glTexCoord2i(0, 0);
    glVertex3i(at.x, at.y + h, 0);
    glTexCoord2i(0, 1);
    glVertex3i(at.x, at.y, 0);
    glTexCoord2i(1, 1);
    glVertex3i(at.x + w, at.y, 0);
    glTexCoord2i(1, 0);
    glVertex3i(at.x + w, at.y + h, 0);
    glEnd();

    SDL_GL_SwapBuffers();
    heapWarmUp.step(heapWarmUpSliceBytes);
}
