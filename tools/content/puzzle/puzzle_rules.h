// The game's rules for one frame through one monitor, kept close to how the game
// applies them: the ray through the monitor's camera, the game's own choice of the one
// thing it reaches first (interactables, entities in the world, the other cameras'
// models, hidden by the level in front of them), and what that one thing does with
// the click or the dropped item; the arrow keys; the keypad.
#pragma once

#include "game/nearest_pick.h"
#include "tools/content/puzzle/puzzle_world.h"

// The ray through point (u, v) (0 to 1 across the picture, v from the bottom) of
// monitor k's current camera: un-projected through its projection and view, from
// its eye.
void monitorRay(const PuzzleWorld* world, int monitor, float u, float v, Vec3* origin, Vec3* direction);
void cameraRay(const PuzzleCamera* camera, float u, float v, Vec3* origin, Vec3* direction);

struct FrameInput {
    int monitor;
    float u, v;
    bool leftDown;     // the left button is down this frame
    bool clickUsed;    // the click was consumed earlier (kept across frames while held)
    int itemToUse;     // entity being dropped on the monitor this frame, -1 for none
    bool holdingItem;  // an inventory item is being dragged
};

struct FrameEffects {
    int toggled;      // interactable opened or closed by a click, -1
    int opened;       // interactable opened by the item, -1
    int taken;        // entity moved into the inventory, -1
    int switchedTo;   // camera the monitor switched to, -1
    int pressed;      // entity clicked (keypad rule), -1
    PickKind hovered; // what the label shows: the one thing the ray reaches (PICK_LEVEL: a wall)
    int hoveredIndex;
};

// Applies one frame of the rules for the monitor under the cursor (the caller has
// already found which monitor the cursor is on). input->clickUsed is updated.
void applyMonitorFrame(PuzzleWorld* world, FrameInput* input, FrameEffects* effects);

// Left (-1) or Right (+1) on a monitor: the previous or next camera of its reachable
// list, wrapping around.
void applyArrow(PuzzleWorld* world, int monitor, int direction);

// The first thing seen along the ray, level included (what the picture shows there,
// and what a click there reaches). The camera looking (whose own model it never draws)
// is left out.
PickKind firstVisible(const PuzzleWorld* world, Vec3 origin, Vec3 direction, int viewingCamera, int* index,
                      float* distance);

// World bounds of an object as placed now.
Bounds interactableBounds(const PuzzleWorld* world, uint32_t index);
Bounds entityBounds(const PuzzleWorld* world, uint32_t index);
Bounds cameraModelWorldBounds(const PuzzleWorld* world, uint32_t camera);
