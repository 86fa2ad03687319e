// What the game fixes in code rather than data: the player's view, the four monitor
// panels on the desk, the turn of the camera model, and how the data files' three
// angles make a rotation. The content builder places the room around them; the solver
// maps monitor images to window pixels with them.
#pragma once

#include "engine/math/matrix.h"
#include "engine/math/quaternion.h"
#include "engine/math/vector.h"

inline constexpr Vec3 kPlayerEye = {0.48357f, -0.19299f, 2.92309f};
inline constexpr Vec3 kPlayerForward = {0.99917f, 0.001733f, 0.03692f};
inline constexpr Vec3 kDeskOrigin = {1.7f, 0.7f, 2.5f};
inline constexpr float kDeskTurnDegrees = -90.0f;
inline constexpr float kMonitorAspect = 16.0f / 9.0f;

struct PanelPlacement {
    Vec3 position;
    Vec3 scale;
    Quat rotation;
};

// Monitor k (0 upper left, 1 lower left, 2 upper right, 3 lower right) in the world.
PanelPlacement monitorPanelPlacement(int k);
Mat4 panelModelMatrix(const PanelPlacement* placement);
// A point of panel k at (u, v) of its unit quad, in the world.
Vec3 panelPoint(int k, float u, float v);
// The player's view and projection matrices.
void playerViewProjection(Mat4* view, Mat4* projection);
// The rotation of the entities file's three angles: Rz(a) Rx(b) Ry(c).
Quat rotationFromAngles(Vec3 degrees);
// The camera model is drawn turned by -90 degrees about x at every camera.
Quat cameraModelRotation();

// The window pixel (x from the left, y from the bottom) that shows point (u, v) of
// monitor k's picture, for a window of width x height. False when the point falls
// outside the window.
bool monitorPointToWindow(int k, float u, float v, float width, float height, float* x, float* y);

// Centre of inventory slot k in window pixels (y from the bottom): slots are 96 x 128
// GUI pixels of the 1280 x 720 design, side by side from the left.
void inventorySlotCentre(int k, float width, float height, float* x, float* y);
