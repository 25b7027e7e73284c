#pragma once

#include "app/GameState.h"

struct SDL_Surface;

// Shows "menu.bmp" centred and waits for Escape. Nothing in the game leads here.
class MenuState : public GameState {
  public:
    void Init() override;
    void Cleanup() override;
    void Pause() override;
    void Resume() override;
    void HandleEvents(GameEngine* game) override;
    void Update(GameEngine* game) override;
    void Draw(GameEngine* game) override;

    SDL_Surface* menuImage = nullptr;
};

extern MenuState menuState;
