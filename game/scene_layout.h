// The fixed layout of the security room and the poses built from the data files.
#pragma once

#include "game/game_state.h"

struct CameraRecord;

// The four monitor panels in the desk frame (origin (1.7, 0.7, 2.5), turned -90
// degrees about the vertical axis): upper left, lower left, upper right, lower right.
// Each is the unit quad scaled (16/9, 1, 1), turned about the vertical axis by +7
// (left) or -7 (right) degrees and, before that, about the x axis by 105 (upper) or
// 75 (lower) degrees; placements are returned in world coordinates.
void placeMonitorPanels(PanelPlacement panels[MONITOR_COUNT]);

// The player's eye in the chair and the way it faces at the start (not yet unit length).
inline constexpr Vec3 kPlayerEye = {0.48357f, -0.19299f, 2.92309f};
inline constexpr Vec3 kPlayerForward = {0.99917f, 0.001733f, 0.03692f};

// The player's chair: position, forward along +x, 90 degrees at 16:9, near 0.5, far 100.
void resetPlayerView(PlayerView* player);

// The camera model is drawn turned by -90 degrees about x at every camera.
Quat cameraModelRotation();

// A security camera from its record: eye 0.2 below the position, perspective of its
// field of view at 16:9 (near 0.1, far 100), view from the eye along the direction.
void setUpSecurityCamera(SecurityCamera* camera, const CameraRecord* record);

// Three angles in degrees combined as Rz(first) * Rx(second) * Ry(third).
Quat rotationFromDataAngles(Vec3 degrees);

// Monitor slot i shows camera i, or camera 0 when there are fewer cameras.
void assignMonitorCameras(GameState* game);

// The unit quad in vertex format 0: (0,0), (0,1), (1,0), (1,1) with matching texture
// coordinates, white, facing +z; indices 0, 2, 1, 1, 2, 3.
bool buildUnitQuad(Mesh* quad);
