#include "states/PlayState.h"

#include "app/GameEngine.h"

#include <SDL/SDL.h>
#include <iostream>

void PlayState::Init() { std::cout << "PlayState Init" << std::endl; }

void PlayState::Cleanup() { std::cout << "PlayState Cleanup" << std::endl; }

void PlayState::Pause() { std::cout << "PlayState Pause" << std::endl; }

void PlayState::Resume() { std::cout << "PlayState Resume" << std::endl; }

void PlayState::HandleEvents(GameEngine* game) {
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        if ((event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE) ||
            event.type == SDL_QUIT) {
            game->Quit();
        }
    }
}

void PlayState::Update(GameEngine*) {}

void PlayState::Draw(GameEngine*) {}
