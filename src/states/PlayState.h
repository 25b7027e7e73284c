#pragma once

#include "app/GameState.h"

// The game proper. For now it only announces its life cycle.
class PlayState : public GameState {
public:
    void Init() override;
    void Cleanup() override;
    void Pause() override;
    void Resume() override;
    void HandleEvents(GameEngine* game) override;
    void Update(GameEngine* game) override;
    void Draw(GameEngine* game) override;
};

extern PlayState playState;

// Frame time not yet consumed by fixed steps; survives leaving the state.
extern float stepAccumulator;
