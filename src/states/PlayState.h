#pragma once

#include "app/GameState.h"
#include "states/FocusClick.h"
#include "world/Picking.h"

class Camera;
class Map;
class MapRenderer;
class Player;

// The game proper: the world, the player walking and digging in it, drawn through the
// camera that follows the player.
class PlayState : public GameState {
  public:
    void Init() override;
    void Cleanup() override;
    void Pause() override;
    void Resume() override;
    void HandleEvents(GameEngine* game) override;
    void Update(GameEngine* game) override;
    void Draw(GameEngine* game) override;

    bool digRequested = false;
    PickResult pickedBlock = {0, 0, 0};
    Map* map = nullptr;
    Camera* camera = nullptr;
    Player* player = nullptr;
    MapRenderer* renderer = nullptr;

    // The button against the focus (SDL's application state, as each pump leaves it).
    FocusClick focusClick;
    // Pumps whose mouse motion is discarded: the warp on regaining the focus.
    int motionToDiscard = 0;
};

extern PlayState playState;

// Frame time not yet consumed by fixed steps; survives leaving the state.
extern float stepAccumulator;

// Radius of the sphere a dig clears around the picked block.
constexpr float digRadius = 20.0f;

// The eight corners of the picked block's outline, 0.01 outside the block on every side:
// 0-3 the lower face, 4-7 the upper face.
struct OutlineCorners {
    float xyz[8][3];
};
OutlineCorners outlineCorners(int x, int y, int z);

// The twelve edges of the outline as pairs of corner numbers.
extern const unsigned char outlineIndices[24];
