// Where to click: searches a monitor's picture for a point where an action reaches a
// given object under the game's rules, where that object is what the picture shows
// (nothing, the level included, in front of it), and which keeps a margin of such
// points around it, so a click a pixel off still does the same.
#pragma once

#include "tools/content/puzzle/puzzle_rules.h"

enum ActionKind {
    ACTION_CLICK, // press and release the left button on the picture
    ACTION_DROP,  // release an item dragged from the inventory
};

struct ClickTarget {
    PickKind kind; // PICK_INTERACTABLE, PICK_ENTITY or PICK_CAMERA
    int index;
};

struct ClickChoice {
    float u, v;          // on the monitor's picture, 0 to 1, v from the bottom
    float marginPixels;  // distance to the nearest point that would not do the same
    uint32_t hitPixels;  // area (in pixels of the picture) where the action works
};

// The picture size the margins are measured in: the monitors render at half the
// window, 640 x 360 for the game's 1280 x 720.
inline constexpr float kMonitorPictureWidth = 640.0f;
inline constexpr float kMonitorPictureHeight = 360.0f;

// The game's window as the player first sees it. Parts of the monitor panels lie
// outside it until the player turns the head, and the inventory bar takes clicks in
// its corner, so a search that plays the game only takes points inside the window
// and clear of the bar.
struct ScreenLimits {
    float width, height; // window pixels
};
inline constexpr ScreenLimits kGameWindow = {1280.0f, 720.0f};

// Leaves the world as it was. item is the entity dropped for ACTION_DROP. With screen
// null, any point of the picture will do (the camera's whole view).
bool findClickPoint(PuzzleWorld* world, int monitor, ActionKind action, int item, ClickTarget target,
                    ClickChoice* choice, const ScreenLimits* screen = &kGameWindow);

// Whether monitor point (u, v) is on the screen and clear of the inventory bar.
bool monitorPointClickable(int monitor, float u, float v, const ScreenLimits* screen);

// Whether camera `from` shows camera `to`'s model somewhere in its view where a click
// switches to it (used for the camera graph, over the camera's whole view). Leaves the
// world as it was.
bool cameraSeesCamera(PuzzleWorld* world, uint32_t from, uint32_t to, ClickChoice* choice);
