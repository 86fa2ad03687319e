// The building's plan: rooms, the openings in their walls, and the fixed placements
// of the player's desk and monitor panels. One table each; the geometry, the doors,
// the cameras and the solver all read them.
//
// Units are metres; +z is up; every floor is at kFloorZ. Rooms are axis-aligned boxes
// whose walls are drawn from inside only; neighbouring rooms leave a kWallGap between
// their faces, which is where sliding doors disappear when they open.
#pragma once

#include "engine/math/vector.h"
#include "tools/content/game_frame.h"

#include <stdint.h>

inline constexpr float kFloorZ = 1.0f;
inline constexpr float kWallGap = 0.2f;

enum RoomId {
    ROOM_SECURITY,
    ROOM_CORRIDOR_WEST,
    ROOM_CORRIDOR_EAST,
    ROOM_LOCKERS,
    ROOM_STOREROOM,
    ROOM_OFFICE,
    ROOM_WAREHOUSE,
    ROOM_HALL,
    ROOM_COUNT
};

// Surfaces of a room, chosen from the material table (building.h).
struct Room {
    const char* name;
    float x0, x1, y0, y1;
    float ceilingZ;
    int floorMaterial, wallMaterial, ceilingMaterial;
    Vec3 floorTint, wallTint, ceilingTint;
    float floorTile, wallTile; // metres per texture repeat
};

// A hole through the wall between two faces. Axis 0: the wall runs along x at
// y = line; axis 1: it runs along y at x = line. [lo, hi] along the wall, [zBottom, zTop].
struct Opening {
    const char* name; // the door that fills it, or a description
    int axis;
    float line;
    float lo, hi;
    float zBottom, zTop;
    bool outsideBehind; // one side faces the outdoors (no room there)
};

enum OpeningId {
    OPENING_SECURITY_DOOR,
    OPENING_VESTIAIRE,
    OPENING_RED,
    OPENING_CORRIDOR,
    OPENING_WAREHOUSE,
    OPENING_DESK,
    OPENING_HALL_ARCH,
    OPENING_EXIT,
    OPENING_COUNT
};

extern const Room kRooms[ROOM_COUNT];

// The row of lockers on the locker room's south wall: locker i spans
// [kLockerFirstX + i * kLockerPitch, + kLockerWidth] along x, its front at kLockerFrontY.
inline constexpr float kLockerFirstX = -0.4f;
inline constexpr float kLockerPitch = 1.0f;
inline constexpr float kLockerWidth = 0.5f;
inline constexpr float kLockerFrontY = 5.55f;
// The fronts between the lockers stand a little proud of the doors, which slide behind them.
inline constexpr float kLockerPocketFrontY = 5.63f;
// An open locker door shows this much of its edge, handle included, in the opening.
inline constexpr float kLockerDoorEdge = 0.08f;

// The office's drawer pedestal: front at x = kPedestalFrontX facing +x (towards the
// office camera), spanning y from kPedestalY0 over 0.5; three drawers of 0.22.
inline constexpr float kPedestalFrontX = 10.4f;
inline constexpr float kPedestalY0 = 6.6f;
inline constexpr float kDrawerPitch = 0.22f;
// Bottom of drawer k (1 is the top one).
inline constexpr float drawerBottom(int k) { return kFloorZ + 0.02f + (3 - k) * kDrawerPitch; }

// The warehouse's tool cabinet: front at y = kCabinetFrontY facing -y (towards the
// warehouse camera), spanning x from kCabinetX0 over kCabinetWidth.
inline constexpr float kCabinetX0 = 9.4f;
inline constexpr float kCabinetWidth = 0.9f;
inline constexpr float kCabinetFrontY = -1.1f;
extern const Opening kOpenings[OPENING_COUNT];

// The storeroom's tool board on its north wall (face at y = kToolBoardFrontY) and the
// crowbar hanging by its hook from the board's peg: where the crowbar model's centre
// goes, the model's scale, and the peg kCrowbarPegAbove higher, inside the hook's bend.
inline constexpr float kToolBoardX0 = 4.95f, kToolBoardX1 = 5.85f;
inline constexpr float kToolBoardZ0 = kFloorZ + 0.4f, kToolBoardZ1 = kFloorZ + 1.75f;
inline constexpr float kToolBoardFrontY = 2.37f;
inline constexpr float kCrowbarScale = 1.2f;
inline constexpr Vec3 kCrowbarHangsAt = {5.3f, kToolBoardFrontY - 0.065f, kFloorZ + 1.05f};
inline constexpr float kCrowbarPegAbove = 0.4f * kCrowbarScale;

// Security cameras: name shown as the label, position, view direction (any length),
// vertical field of view, and the room whose ceiling holds its mounting pole.
struct CameraSpot {
    const char* name;
    Vec3 position;
    Vec3 direction;
    float fovDegrees;
    int room;
};

enum { CAMERA_COUNT = 8 };
extern const CameraSpot kCameras[CAMERA_COUNT];

