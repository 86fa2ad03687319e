// What a ray through a security camera's picture reaches first: the nearest of the
// clickable objects, entities and camera models, unless a wall or another surface of
// the static level lies in front of it. The game picks with this every frame, and the
// content tools call the same function so that they see the clicks as the game does.
#pragma once

#include "engine/assets/dyn_array.h"
#include "engine/assets/mesh.h"
#include "engine/math/quaternion.h"
#include "engine/math/vector.h"
#include "game/picking.h"

#include <stdint.h>

enum PickKind { PICK_NONE, PICK_INTERACTABLE, PICK_ENTITY, PICK_CAMERA, PICK_LEVEL };

struct PickBox {
    Vec3 lo, hi;
};

// One thing the ray may reach: a mesh placed by translation, scale and rotation.
struct PickCandidate {
    PickKind kind;
    uint32_t index;        // in the caller's list of that kind
    const Mesh* mesh;
    Vec3 translation;
    Vec3 scale;
    Quat rotation;
    const PickBox* bounds; // of the mesh before placement; null to test every triangle
};

// A run of level triangles and the box around them, so that a ray skips most of the
// level after a few box tests.
struct LevelPickChunk {
    PickBox box;
    uint32_t firstIndex;
    uint32_t indexCount;
};

// The static level for ray tests: positions only (xyz per vertex), the triangles, and
// the chunks that cover them. All zero is an empty level.
struct LevelPick {
    DynArray<float> positions;
    DynArray<uint32_t> indices;
    DynArray<LevelPickChunk> chunks;
};

struct PickResult {
    PickKind kind;  // PICK_NONE when nothing is hit, PICK_LEVEL when the level hides it
    uint32_t index; // of the candidate's kind; 0 for PICK_NONE and PICK_LEVEL
    float distance; // along the ray, for every kind but PICK_NONE
};

// Adds a mesh's triangles (in world coordinates) to the level. False, with the level as
// it was, when an index names no vertex or memory runs out.
bool appendLevelPick(LevelPick* level, const Mesh* mesh);
void releaseLevelPick(LevelPick* level);

// The nearest level surface along the ray, nearer than limit; limit when there is none.
float levelPickDistance(const LevelPick* level, const Ray* ray, float limit);

// The slab test of a ray against a box: true when the ray enters it before limit.
bool rayEntersBox(const Ray* ray, const PickBox* box, float limit);

// The box around a local box once placed by translation, scale and rotation.
PickBox placedPickBox(const PickBox* local, Vec3 translation, Vec3 scale, const Quat* rotation);

// The box around every vertex position of a mesh; empty (lo above hi) for no vertices.
PickBox meshPickBox(const Mesh* mesh);

// The single thing the ray reaches, from candidates listed interactables first, then
// entities, then camera models. A candidate must be nearer than the best so far to
// replace it, a camera model only not beyond it (so a camera wins a tie). A level
// surface nearer than the winner hides it: the result is then PICK_LEVEL. level may
// be null.
PickResult nearestPick(const Ray* ray, const PickCandidate* candidates, uint32_t count, const LevelPick* level);
