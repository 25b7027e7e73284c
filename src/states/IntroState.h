#pragma once

#include "app/GameState.h"
#include "app/HeapWarmUp.h"

class Texture;
union SDL_Event;

// The splash: "Vortel.png" centred on black, fading in one step per pass.
class IntroState : public GameState {
  public:
    void Init() override;
    void Cleanup() override;
    void Pause() override;
    void Resume() override;
    void HandleEvents(GameEngine* game) override;
    void Update(GameEngine* game) override;
    void Draw(GameEngine* game) override;

    Texture* splashTexture = nullptr;
    float fadeAlpha = 0.0f;
    // Warmed a slice per frame once the frame is shown, while the player looks.
    HeapWarmUp heapWarmUp;
};

extern IntroState introState;

// The fade: +0.001 per pass in single precision, held at 1.
float nextFadeAlpha(float fadeAlpha);

// Lower-left corner that centres an image in a window (negative when larger).
struct ScreenOffset {
    int x, y;
};
ScreenOffset centredOffset(int windowWidth, int windowHeight, int imageWidth, int imageHeight);

// Escape or the window closed: what ends the game from the splash and the menu.
bool quits(const SDL_Event& event);
