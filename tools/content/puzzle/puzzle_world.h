// The puzzle as the game sees it, loaded from a data folder with the engine's own
// readers: the clickable objects with their pick meshes, the entities, the security
// cameras and their model, the four monitors, the inventory and the keypad, plus the
// static level, which hides what lies behind it from the picture and from a click.
// The solver, the data tests and the end-to-end test share it.
#pragma once

#include "engine/assets/mesh.h"
#include "engine/math/matrix.h"
#include "engine/math/quaternion.h"
#include "engine/math/vector.h"
#include "game/keypad_code.h"
#include "game/nearest_pick.h"

#include <stdint.h>

#include <vector>

enum { PUZZLE_MONITOR_COUNT = 4, PUZZLE_NAME_CAPACITY = 64 };

using Bounds = PickBox;

struct PuzzleInteractable {
    char name[PUZZLE_NAME_CAPACITY];
    char openingItem[PUZZLE_NAME_CAPACITY];
    bool required;
    bool done;
    Vec3 openOffset;
    Vec3 position; // the offset added so far: 0 when closed, openOffset when open
    Mesh pickMesh; // all parts merged, in world coordinates when closed
    Bounds bounds; // of pickMesh, closed
};

struct PuzzleEntity {
    char name[PUZZLE_NAME_CAPACITY];
    char modelPath[256];
    char partName[PUZZLE_NAME_CAPACITY];
    int32_t id; // from the name table, -1 when the name has no key
    Vec3 position, scale;
    Quat rotation;
    Vec3 colour;
    Vec3 previewScale;
    bool pickable;
    Mesh mesh;
    Bounds bounds; // local
};

struct PuzzleCamera {
    char name[PUZZLE_NAME_CAPACITY];
    Vec3 position, direction, eye;
    float fovDegrees;
    Mat4 view, projection;
};

struct PuzzleMonitor {
    uint32_t camera;
    std::vector<uint32_t> reachable;
};

struct PuzzleWorld {
    std::vector<PuzzleInteractable> interactables;
    std::vector<PuzzleEntity> entities;
    std::vector<uint32_t> inWorld;   // entity indices, in the game's world-list order
    std::vector<uint32_t> inventory; // entity indices, in order taken
    std::vector<PuzzleCamera> cameras;
    Mesh cameraModel;
    Bounds cameraModelBounds;
    Quat cameraModelRotation; // the fixed -90 degrees about x
    LevelPick level; // as the game keeps it for picking
    PuzzleMonitor monitors[PUZZLE_MONITOR_COUNT];
    char typed[KEYPAD_CODE_LENGTH];
    uint32_t typedCount;
    char code[sizeof(kKeypadCode)];
    char failure[512]; // why loading stopped
};

// Loads the folder whose "data/" sub-folder holds the game's files (the directory the
// program runs from). False, with the reason in world->failure, when a file is missing
// or refused; the world is then unusable.
bool loadPuzzleWorld(PuzzleWorld* world, const char* programDirectory);
void releasePuzzleWorld(PuzzleWorld* world);

// A copy that owns its meshes, so a search can try actions and throw the copy away.
// Meshes are shared read-only: only the state (positions, done flags, lists) is copied.
struct PuzzleState {
    std::vector<Vec3> positions;
    std::vector<uint8_t> done;
    std::vector<uint32_t> inWorld;
    std::vector<uint32_t> inventory;
    PuzzleMonitor monitors[PUZZLE_MONITOR_COUNT];
    char typed[KEYPAD_CODE_LENGTH];
    uint32_t typedCount;
};

void savePuzzleState(const PuzzleWorld* world, PuzzleState* state);
void restorePuzzleState(PuzzleWorld* world, const PuzzleState* state);

// Index of a named interactable, entity or camera; -1 when absent.
int findInteractable(const PuzzleWorld* world, const char* name);
int findEntity(const PuzzleWorld* world, const char* name);
int findCamera(const PuzzleWorld* world, const char* name);
// Position of an entity in the inventory, -1 when it is not there.
int inventorySlot(const PuzzleWorld* world, uint32_t entity);

// Required objects and how many of them are done.
void requiredCounts(const PuzzleWorld* world, uint32_t* done, uint32_t* required);
