#pragma once

class GameEngine;

// One screen of the game. Each concrete state has exactly one global instance;
// Init creates everything the state needs and Cleanup releases it, so a state
// can be entered again.
class GameState {
public:
    virtual void Init() = 0;
    virtual void Cleanup() = 0;
    virtual void Pause() = 0;
    virtual void Resume() = 0;
    virtual void HandleEvents(GameEngine* game) = 0;
    virtual void Update(GameEngine* game) = 0;
    virtual void Draw(GameEngine* game) = 0;

protected:
    ~GameState() = default; // states are globals, never deleted through the base
};
