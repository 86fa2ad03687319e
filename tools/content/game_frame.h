// What the game fixes in code rather than data, as the content builder and the solver
// need it: the player's view, the four monitor panels on the desk, the turn of the
// camera model and how the data files' three angles make a rotation all come from the
// game's own layout; this adds the window mapping the solver clicks by.
#pragma once

#include "engine/math/matrix.h"
#include "engine/math/quaternion.h"
#include "engine/math/vector.h"
#include "game/picking.h"
#include "game/scene_layout.h"

// Monitor k (0 upper left, 1 lower left, 2 upper right, 3 lower right) in the world.
PanelPlacement monitorPanelPlacement(int k);
// A point of panel k at (u, v) of its unit quad, in the world.
Vec3 panelPoint(int k, float u, float v);
// The player's view and projection matrices at the start.
void playerViewProjection(Mat4* view, Mat4* projection);

// The window pixel (x from the left, y from the bottom) that shows point (u, v) of
// monitor k's picture, for a window of width x height. False when the point falls
// outside the window.
bool monitorPointToWindow(int k, float u, float v, float width, float height, float* x, float* y);

// Centre of inventory slot k in window pixels (y from the bottom): slots are 96 x 128
// GUI pixels of the 1280 x 720 design, side by side from the left.
void inventorySlotCentre(int k, float width, float height, float* x, float* y);
