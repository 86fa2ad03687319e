// The static level: room shells (floors, walls with their openings, ceilings), door
// frames, lamps, signs and furniture, collected per material and draw zone. Each
// (zone, material) pair with geometry becomes one level mesh, zones in order: the
// security room's furniture first, then its shell, then the rest of the building, so
// that in the player's view near surfaces come before far ones.
#pragma once

#include "tools/content/geometry.h"
#include "tools/content/layout.h"

enum Material {
    MAT_FLOOR_TILES,
    MAT_CARPET,
    MAT_CONCRETE,
    MAT_BRICK,
    MAT_WALL_PAINT,
    MAT_CEILING,
    MAT_METAL,
    MAT_WOOD,
    MAT_STRIPES,
    MAT_WHITE,
    MAT_ASPHALT,
    MAT_SCREEN,
    MAT_CRATE,
    MAT_LOCKER_FRONT,
    MAT_SIGN_LOCKERS,
    MAT_SIGN_STOREROOM,
    MAT_SIGN_OFFICE,
    MAT_SIGN_WAREHOUSE,
    MAT_SIGN_EXIT,
    MAT_SIGN_SECURITY,
    MAT_POSTER_PLAN,
    MAT_POSTER_SAFETY,
    MAT_POSTER_CAMERAS,
    MAT_WHITEBOARD,
    MAT_NUMBERS,
    MAT_DOOR_GREY,
    MAT_DOOR_RED,
    MAT_DOOR_OFFICE,
    MAT_DOOR_EXIT,
    MAT_SHUTTER,
    MAT_COUNT
};

// Texture path of a material, relative to the program directory.
const char* materialTexturePath(int material);

enum Zone { ZONE_SECURITY_FURNITURE, ZONE_SECURITY_SHELL, ZONE_BUILDING, ZONE_COUNT };

struct LevelBuilder {
    MeshBuilder parts[ZONE_COUNT][MAT_COUNT];
};

MeshBuilder* levelPart(LevelBuilder* level, int zone, int material);

// Fills the whole static level.
void buildLevel(LevelBuilder* level);

// A sub-rectangle (u0, v0)-(u1, v1) of a texture stretched over a panel.
void addPanelUv(MeshBuilder* b, Vec3 origin, Vec3 right, Vec3 up, Vec3 colour, float u0, float v0, float u1,
                float v1);
