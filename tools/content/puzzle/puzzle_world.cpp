#include "tools/content/puzzle/puzzle_world.h"

#include "backend/vertex_formats.h"
#include "engine/assets/asset_refusal.h"
#include "engine/assets/gltf_mesh.h"
#include "engine/platform/files.h"
#include "engine/platform/module_directory.h"
#include "game/scene_files.h"
#include "game/keypad_code.h"
#include "tools/content/game_frame.h"
#include "tools/content/texts.h"

#include <math.h>
#include <stdarg.h>
#include <stdio.h>
#include <string.h>

namespace {

bool failWorld(PuzzleWorld* world, const char* format, ...) {
    va_list args;
    va_start(args, format);
    vsnprintf(world->failure, sizeof(world->failure), format, args);
    va_end(args);
    return false;
}

// Names go into the solver's fixed buffers; one that does not fit is refused rather
// than cut (a cut name would match nothing the game matches).
bool copyName(PuzzleWorld* world, char* out, size_t capacity, const char* name) {
    size_t length = strlen(name);
    if (length >= capacity) return failWorld(world, "the name \"%.40s...\" is too long for the solver", name);
    memcpy(out, name, length + 1);
    return true;
}

void meshBounds(const Mesh* mesh, Bounds* bounds) {
    uint32_t slots = (uint32_t)vertexFormatSlots(mesh->vertexFormat); // 0 for no format: no vertex counted
    bounds->lo = vec3(1e30f, 1e30f, 1e30f);
    bounds->hi = vec3(-1e30f, -1e30f, -1e30f);
    for (uint32_t v = 0; slots >= 3 && v + slots <= mesh->vertexSlotCount; v += slots) {
        const float* p = mesh->vertices + v;
        bounds->lo = vec3(fminf(bounds->lo.x, p[0]), fminf(bounds->lo.y, p[1]), fminf(bounds->lo.z, p[2]));
        bounds->hi = vec3(fmaxf(bounds->hi.x, p[0]), fmaxf(bounds->hi.y, p[1]), fmaxf(bounds->hi.z, p[2]));
    }
}

// The number of entries of a texture list, read as the game reads it.
bool readTextureListCount(PuzzleWorld* world, const char* path, uint32_t* count) {
    TextureList list;
    if (!readTextureList(path, &list, world->failure)) return false;
    *count = list.count;
    releaseTextureList(&list);
    return true;
}

bool loadLevel(PuzzleWorld* world) {
    uint32_t count;
    if (!readTextureListCount(world, "data/meshes/textures", &count)) return false;
    for (uint32_t i = 0; i < count; ++i) {
        char path[64];
        snprintf(path, sizeof(path), "data/meshes/%u.dmesh", i);
        Mesh mesh = {};
        if (!loadMesh(&mesh, path)) return failWorld(world, "%s", assetRefusal());
        bool kept = appendLevelPick(&world->level, &mesh);
        releaseMesh(&mesh);
        if (!kept) return failWorld(world, "%s: cannot be kept for picking", path);
    }
    return true;
}

bool loadInteractables(PuzzleWorld* world) {
    InteractableList list;
    if (!readInteractableList("data/meshes/interactibleNames", &list, world->failure)) return false;
    bool ok = true;
    for (uint32_t i = 0; i < list.count && ok; ++i) {
        const InteractableRecord& record = list.records[i];
        PuzzleInteractable it = {};
        ok = copyName(world, it.name, sizeof(it.name), record.name) &&
             copyName(world, it.openingItem, sizeof(it.openingItem), record.openingItem);
        it.required = record.required;
        it.openOffset = record.openOffset;
        if (ok) world->interactables.push_back(it);
    }
    releaseInteractableList(&list);
    if (!ok) return false;
    for (PuzzleInteractable& it : world->interactables) {
        char path[256];
        snprintf(path, sizeof(path), "data/meshes/%s_textures", it.name);
        uint32_t partCount = 0;
        if (!readTextureListCount(world, path, &partCount)) return false;
        for (uint32_t k = 0; k < partCount; ++k) {
            snprintf(path, sizeof(path), "data/meshes/%s%u.dmesh", it.name, k);
            Mesh part = {};
            if (!loadMesh(&part, path)) return failWorld(world, "%s", assetRefusal());
            bool appended = appendMesh(&it.pickMesh, &part);
            releaseMesh(&part);
            if (!appended) return failWorld(world, "%s: does not fit the pick mesh of %s", path, it.name);
        }
        meshBounds(&it.pickMesh, &it.bounds);
    }
    return true;
}

bool loadEntities(PuzzleWorld* world) {
    EntityList list;
    if (!readEntityList("data/meshes/entities", &list, world->failure)) return false;
    bool ok = true;
    for (uint32_t i = 0; i < list.cameraCount && ok; ++i) {
        const CameraRecord& record = list.cameras[i];
        PuzzleCamera c = {};
        ok = copyName(world, c.name, sizeof(c.name), record.name);
        // The game's own set-up, so the solver sees through the same lens.
        SecurityCamera camera = {};
        setUpSecurityCamera(&camera, &record);
        c.position = camera.position;
        c.direction = camera.direction;
        c.fovDegrees = camera.fieldOfView;
        c.eye = camera.eye;
        c.projection = camera.projection;
        c.view = camera.view;
        world->cameras.push_back(c);
    }
    for (uint32_t i = 0; i < list.entityCount && ok; ++i) {
        const EntityRecord& record = list.entities[i];
        PuzzleEntity e = {};
        ok = copyName(world, e.name, sizeof(e.name), record.name) &&
             copyName(world, e.modelPath, sizeof(e.modelPath), record.modelPath) &&
             copyName(world, e.partName, sizeof(e.partName), record.partName);
        e.position = record.positionA;
        e.scale = record.scaleA;
        e.colour = record.color;
        e.rotation = rotationFromDataAngles(record.rotationA);
        e.previewScale = record.scaleB;
        e.pickable = record.pickable;
        e.id = lookupNameId(e.name);
        world->entities.push_back(e);
    }
    releaseEntityList(&list);
    if (!ok) return false;
    for (uint32_t i = 0; i < world->entities.size(); ++i) {
        PuzzleEntity& e = world->entities[i];
        if (!loadGlb(&e.mesh, e.modelPath, e.partName[0] ? e.partName : nullptr))
            return failWorld(world, "%s", assetRefusal());
        if (e.mesh.indexCount == 0)
            return failWorld(world, "%s: no geometry for the part \"%s\" of entity %s", e.modelPath, e.partName, e.name);
        meshBounds(&e.mesh, &e.bounds);
        world->inWorld.push_back(i);
    }
    return true;
}

} // namespace

bool loadPuzzleWorld(PuzzleWorld* world, const char* programDirectory) {
    world->failure[0] = 0;
    setModuleDirectory(programDirectory);
    if (!loadLevel(world) || !loadInteractables(world) || !loadEntities(world)) return false;
    if (!loadMesh(&world->cameraModel, "data/meshes/objects/Cam.glb")) return failWorld(world, "%s", assetRefusal());
    meshBounds(&world->cameraModel, &world->cameraModelBounds);
    world->cameraModelRotation = cameraModelRotation();
    if (world->cameras.empty()) return failWorld(world, "data/meshes/entities: no camera");
    for (uint32_t m = 0; m < PUZZLE_MONITOR_COUNT; ++m) {
        world->monitors[m].camera = m < world->cameras.size() ? m : 0;
        world->monitors[m].reachable.assign(1, world->monitors[m].camera);
    }
    world->typedCount = 0;
    memcpy(world->code, kKeypadCode, sizeof(world->code));
    return true;
}

void releasePuzzleWorld(PuzzleWorld* world) {
    for (PuzzleInteractable& it : world->interactables) releaseMesh(&it.pickMesh);
    for (PuzzleEntity& e : world->entities) releaseMesh(&e.mesh);
    releaseMesh(&world->cameraModel);
    world->interactables.clear();
    world->entities.clear();
    world->cameras.clear();
    releaseLevelPick(&world->level);
}

void savePuzzleState(const PuzzleWorld* world, PuzzleState* state) {
    state->positions.clear();
    state->done.clear();
    for (const PuzzleInteractable& it : world->interactables) {
        state->positions.push_back(it.position);
        state->done.push_back(it.done ? 1 : 0);
    }
    state->inWorld = world->inWorld;
    state->inventory = world->inventory;
    for (int m = 0; m < PUZZLE_MONITOR_COUNT; ++m) state->monitors[m] = world->monitors[m];
    memcpy(state->typed, world->typed, sizeof(state->typed));
    state->typedCount = world->typedCount;
}

void restorePuzzleState(PuzzleWorld* world, const PuzzleState* state) {
    for (size_t i = 0; i < world->interactables.size() && i < state->positions.size(); ++i) {
        world->interactables[i].position = state->positions[i];
        world->interactables[i].done = state->done[i] != 0;
    }
    world->inWorld = state->inWorld;
    world->inventory = state->inventory;
    for (int m = 0; m < PUZZLE_MONITOR_COUNT; ++m) world->monitors[m] = state->monitors[m];
    memcpy(world->typed, state->typed, sizeof(world->typed));
    world->typedCount = state->typedCount;
}

int findInteractable(const PuzzleWorld* world, const char* name) {
    for (size_t i = 0; i < world->interactables.size(); ++i)
        if (strcmp(world->interactables[i].name, name) == 0) return (int)i;
    return -1;
}

int findEntity(const PuzzleWorld* world, const char* name) {
    for (size_t i = 0; i < world->entities.size(); ++i)
        if (strcmp(world->entities[i].name, name) == 0) return (int)i;
    return -1;
}

int findCamera(const PuzzleWorld* world, const char* name) {
    for (size_t i = 0; i < world->cameras.size(); ++i)
        if (strcmp(world->cameras[i].name, name) == 0) return (int)i;
    return -1;
}

int inventorySlot(const PuzzleWorld* world, uint32_t entity) {
    for (size_t i = 0; i < world->inventory.size(); ++i)
        if (world->inventory[i] == entity) return (int)i;
    return -1;
}

void requiredCounts(const PuzzleWorld* world, uint32_t* done, uint32_t* required) {
    *done = *required = 0;
    for (const PuzzleInteractable& it : world->interactables)
        if (it.required) {
            ++*required;
            if (it.done) ++*done;
        }
}
