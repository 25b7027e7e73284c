#include "states/MenuState.h"

#include "app/GameEngine.h"
#include "states/IntroState.h"

#include <SDL/SDL.h>
#include <iostream>

void MenuState::Init() {
    SDL_Surface* loaded = SDL_LoadBMP_RW(SDL_RWFromFile("menu.bmp", "rb"), 1);
    // A missing or unreadable picture leaves the menu empty rather than crashing.
    if (loaded != nullptr) {
        menuImage = SDL_DisplayFormat(loaded);
        SDL_FreeSurface(loaded);
    }
    std::cout << "MenuState Init" << std::endl;
}

void MenuState::Cleanup() {
    if (menuImage != nullptr) {
        SDL_FreeSurface(menuImage);
        menuImage = nullptr;
    }
    std::cout << "MenuState Cleanup" << std::endl;
}

void MenuState::Pause() { std::cout << "MenuState Pause" << std::endl; }

void MenuState::Resume() { std::cout << "MenuState Resume" << std::endl; }

void MenuState::HandleEvents(GameEngine* game) {
    SDL_Event event;
    if (SDL_PollEvent(&event) == 0) {
        return;
    }
    if ((event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE) ||
        event.type == SDL_QUIT) {
        game->Quit();
    }
}

void MenuState::Update(GameEngine*) {}

void MenuState::Draw(GameEngine* game) {
    if (menuImage == nullptr) {
        return;
    }
    const ScreenOffset at = centredOffset(game->screen->w, game->screen->h, menuImage->w,
                                          menuImage->h);
    SDL_Rect destination;
    destination.x = static_cast<Sint16>(at.x);
    destination.y = static_cast<Sint16>(at.y);
    destination.w = 0;
    destination.h = 0;
    SDL_BlitSurface(menuImage, nullptr, game->screen, &destination);
    SDL_UpdateRect(game->screen, 0, 0, 0, 0);
}
