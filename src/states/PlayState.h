#pragma once

#include "app/GameState.h"
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

    // Whether the game has the input focus is SDL's to say (its application state); this
    // is what the last pump left. Without it the button does not dig and mouse motion
    // does not turn the view.
    bool hadFocus = true;
    // The button held now was pressed without the focus or is the click that brought it
    // back: it digs nothing until released.
    bool focusClick = false;
    // After the focus comes back, a press counts as the click that brought it back until
    // both focusClickPumps more pumps and focusClickMs have passed, or a key event comes.
    static constexpr int focusClickPumps = 3;
    static constexpr unsigned focusClickMs = 500;
    bool focusClickOpen = false;
    int pumpsSinceFocus = 0;
    unsigned focusTicks = 0;
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
