// Rays through the player's view and through the security cameras, and the
// placement of the monitor panels they pass through.
#pragma once

#include "engine/math/matrix.h"

#include <stdint.h>

struct GameState;
struct PanelPlacement;

struct Ray {
    Vec3 origin;
    Vec3 direction; // unit length
};

// The ray from eye through a point given in normalised device coordinates:
// (x', y') = the first two components of inverse(projection) x (x, y, -1, 1), and the
// direction is the normalised xyz of inverse(view) x (x', y', -1, 0).
Ray unprojectRay(const Mat4* view, const Mat4* projection, Vec3 eye, float ndcX, float ndcY);

// The unit quad's model matrix at a panel placement: T(position) R(rotation) S(scale).
Mat4 panelModelMatrix(const PanelPlacement* panel);

// Where a ray crosses a monitor panel, in the panel's own 0..1 coordinates (u across,
// v up); false when it misses.
bool rayHitsPanel(const GameState* game, const PanelPlacement* panel, const Ray* ray, float* u, float* v);

struct SecurityCamera;

// Where a world point appears in a camera's image, in its monitor panel's 0..1
// coordinates (u across, v up); false when it is behind the camera.
bool worldToPanel(const SecurityCamera* camera, Vec3 world, float* u, float* v);

// Where a point of a panel (u, v in 0..1) appears on screen through the player's view,
// in render pixels from the bottom left; false when it is behind the player.
bool panelToCursor(const GameState* game, const PanelPlacement* panel, float u, float v, int32_t* x, int32_t* y);
