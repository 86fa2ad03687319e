#include "tools/content/layout.h"

#include "tools/content/building.h"

// Tints are multiplied with the texture; the room's character comes mostly from them.
const Room kRooms[ROOM_COUNT] = {
    {"security room", -1.8f, 2.4f, -2.4f, 2.4f, 4.2f, MAT_FLOOR_TILES, MAT_WALL_PAINT, MAT_CEILING,
     {0.55f, 0.62f, 0.70f}, {0.78f, 0.82f, 0.88f}, {0.9f, 0.9f, 0.9f}, 2.0f, 3.0f},
    // The corridors' ceilings are painted dark, which sets the lamps and signs off in
    // the corridor cameras' pictures.
    {"corridor west", -1.8f, 8.3f, 2.6f, 4.8f, 4.0f, MAT_FLOOR_TILES, MAT_WALL_PAINT, MAT_CEILING,
     {0.85f, 0.78f, 0.62f}, {0.80f, 0.86f, 0.95f}, {0.30f, 0.32f, 0.38f}, 2.0f, 3.0f},
    {"corridor east", 8.5f, 16.0f, 2.6f, 4.8f, 4.0f, MAT_FLOOR_TILES, MAT_WALL_PAINT, MAT_CEILING,
     {0.85f, 0.78f, 0.62f}, {0.80f, 0.86f, 0.95f}, {0.30f, 0.32f, 0.38f}, 2.0f, 3.0f},
    {"locker room", -1.8f, 6.6f, 5.0f, 10.0f, 4.0f, MAT_FLOOR_TILES, MAT_WALL_PAINT, MAT_CEILING,
     {0.60f, 0.75f, 0.72f}, {0.74f, 0.90f, 0.80f}, {0.9f, 0.9f, 0.9f}, 1.2f, 3.0f},
    {"storeroom", 2.6f, 6.0f, 0.0f, 2.4f, 3.6f, MAT_CONCRETE, MAT_BRICK, MAT_CONCRETE,
     {0.75f, 0.72f, 0.68f}, {0.95f, 0.80f, 0.72f}, {0.6f, 0.6f, 0.6f}, 2.0f, 2.0f},
    {"office", 6.8f, 16.0f, 5.0f, 11.0f, 4.0f, MAT_CARPET, MAT_WALL_PAINT, MAT_CEILING,
     {0.45f, 0.50f, 0.75f}, {0.98f, 0.92f, 0.78f}, {0.9f, 0.9f, 0.9f}, 2.0f, 3.0f},
    {"warehouse", 6.2f, 16.0f, -6.0f, 2.4f, 6.0f, MAT_CONCRETE, MAT_CONCRETE, MAT_METAL,
     {0.80f, 0.80f, 0.78f}, {0.86f, 0.84f, 0.80f}, {0.45f, 0.45f, 0.48f}, 3.0f, 3.0f},
    {"hall", 16.2f, 22.0f, 0.4f, 7.4f, 4.6f, MAT_FLOOR_TILES, MAT_WALL_PAINT, MAT_CEILING,
     {0.92f, 0.90f, 0.86f}, {0.95f, 0.88f, 0.74f}, {0.9f, 0.9f, 0.9f}, 2.0f, 3.0f},
};

const Opening kOpenings[OPENING_COUNT] = {
    {"security room door", 0, 2.5f, -1.2f, -0.2f, kFloorZ, kFloorZ + 2.2f, false},
    {"vestiaireDoor", 0, 4.9f, 3.6f, 4.6f, kFloorZ, kFloorZ + 2.4f, false},
    {"redDoor", 0, 2.5f, 3.6f, 4.6f, kFloorZ, kFloorZ + 2.4f, false},
    {"corridorDoor", 1, 8.4f, 3.7f, 4.6f, kFloorZ, kFloorZ + 2.8f, false},
    {"warehouseDoor", 0, 2.5f, 11.0f, 12.8f, kFloorZ, kFloorZ + 2.85f, false},
    {"deskDoor", 0, 4.9f, 11.4f, 12.4f, kFloorZ, kFloorZ + 2.5f, false},
    {"hall archway", 1, 16.1f, 2.8f, 4.6f, kFloorZ, kFloorZ + 2.7f, false},
    {"exitDoor", 1, 22.1f, 3.3f, 4.5f, kFloorZ, kFloorZ + 2.4f, true},
};

// The first four start on the monitors, in order.
const CameraSpot kCameras[CAMERA_COUNT] = {
    {"CAM 1", {1.0f, 4.15f, 3.55f}, {1.0f, -0.05f, -0.14f}, 44.0f, ROOM_CORRIDOR_WEST},
    {"CAM 2", {16.6f, 0.8f, 4.0f}, {5.4f, 3.6f, -1.8f}, 65.0f, ROOM_HALL},
    {"CAM 3", {20.3f, 5.65f, 2.85f}, {0.819f, -0.574f, -0.12f}, 30.0f, ROOM_HALL},
    {"CAM 4", {4.1f, 8.5f, 3.5f}, {-0.33f, -1.0f, -0.3f}, 50.0f, ROOM_LOCKERS},
    {"CAM 5", {4.1f, 0.35f, 3.05f}, {0.5f, 1.0f, -0.45f}, 75.0f, ROOM_STOREROOM},
    {"CAM 6", {12.2f, 4.4f, 3.55f}, {-0.669f, -0.743f, -0.18f}, 75.0f, ROOM_CORRIDOR_EAST},
    {"CAM 7", {11.2f, -3.0f, 4.0f}, {-0.1f, 1.0f, -0.32f}, 56.0f, ROOM_WAREHOUSE},
    {"CAM 8", {11.9f, 5.7f, 3.2f}, {-1.0f, 0.7f, -0.6f}, 60.0f, ROOM_OFFICE},
};

