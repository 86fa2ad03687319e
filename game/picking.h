// Rays through the player's view and through the security cameras, and the
// placement of the monitor panels they pass through.
#pragma once

#include "engine/math/matrix.h"

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
