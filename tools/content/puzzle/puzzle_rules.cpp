#include "tools/content/puzzle/puzzle_rules.h"

#include "game/keypad_code.h"
#include "game/picking.h"

#include <float.h>
#include <string.h>

#include <vector>

namespace {

// The game's keypad rule; the right code opens the exit as the game opens it.
void keypadRule(PuzzleWorld* world, const PuzzleEntity* entity) {
    if (pressKeypad(world->typed, &world->typedCount, world->code, entity->id) != KEYPAD_CODE_RIGHT) return;
    for (PuzzleInteractable& it : world->interactables)
        if (strcmp(it.name, "exitDoor") == 0 && !it.done) {
            it.done = true;
            it.position = add3(it.position, it.openOffset);
        }
}

// The world's things as the game lists them for a click: interactables, the entities in
// the world (indexed by their place in that list), the cameras other than the one looking.
void gatherCandidates(const PuzzleWorld* world, int lookingCamera, std::vector<PickCandidate>* out) {
    out->clear();
    for (uint32_t i = 0; i < world->interactables.size(); ++i) {
        const PuzzleInteractable* it = &world->interactables[i];
        out->push_back(PickCandidate{PICK_INTERACTABLE, i, &it->pickMesh, it->position, vec3(1, 1, 1),
                                     identityQuaternion(), &it->bounds});
    }
    for (uint32_t w = 0; w < world->inWorld.size(); ++w) {
        const PuzzleEntity* e = &world->entities[world->inWorld[w]];
        out->push_back(PickCandidate{PICK_ENTITY, w, &e->mesh, e->position, e->scale, e->rotation, &e->bounds});
    }
    for (uint32_t c = 0; c < world->cameras.size(); ++c) {
        if ((int)c == lookingCamera) continue;
        out->push_back(PickCandidate{PICK_CAMERA, c, &world->cameraModel, world->cameras[c].position, vec3(1, 1, 1),
                                     world->cameraModelRotation, &world->cameraModelBounds});
    }
}

// A candidate's box as nearestPick places it, kept with the placement it was made for.
struct PlacedBox {
    PickBox local;
    Vec3 translation, scale;
    Quat rotation;
    PickBox placed;
};

bool samePlacement(const PlacedBox* kept, const PickCandidate* c) {
    const float a[16] = {kept->local.lo.x, kept->local.lo.y, kept->local.lo.z, kept->local.hi.x, kept->local.hi.y,
                         kept->local.hi.z, kept->translation.x, kept->translation.y, kept->translation.z,
                         kept->scale.x, kept->scale.y, kept->scale.z, kept->rotation.x, kept->rotation.y,
                         kept->rotation.z, kept->rotation.w};
    const float b[16] = {c->bounds->lo.x, c->bounds->lo.y, c->bounds->lo.z, c->bounds->hi.x, c->bounds->hi.y,
                         c->bounds->hi.z, c->translation.x, c->translation.y, c->translation.z,
                         c->scale.x, c->scale.y, c->scale.z, c->rotation.x, c->rotation.y,
                         c->rotation.z, c->rotation.w};
    for (int i = 0; i < 16; ++i)
        if (!(a[i] == b[i])) return false;
    return true;
}

// Drops the candidates whose placed box the ray never enters. nearestPick would pass
// over each of them (it tests the same box, with a limit no farther than this one), so
// the choice stays the game's; but it places every box for every ray, eight quaternion
// turns for each turned entity and camera model, and the searches cast a great many
// rays at a world whose things hardly move. The boxes are kept per place in the list
// and placed again only when that place's placement changed.
void keepReachable(const Ray* ray, std::vector<PickCandidate>* candidates, std::vector<PlacedBox>* boxes) {
    if (boxes->size() < candidates->size()) boxes->resize(candidates->size());
    size_t kept = 0;
    for (size_t i = 0; i < candidates->size(); ++i) {
        const PickCandidate* c = &(*candidates)[i];
        if (c->bounds) {
            PlacedBox* box = &(*boxes)[i];
            if (!samePlacement(box, c))
                *box = PlacedBox{*c->bounds, c->translation, c->scale, c->rotation,
                                 placedPickBox(c->bounds, c->translation, c->scale, &c->rotation)};
            if (!rayEntersBox(ray, &box->placed, FLT_MAX)) continue;
        }
        (*candidates)[kept++] = *c;
    }
    candidates->resize(kept);
}

// The game's choice along the ray; an entity's index is turned from its place in the
// world list into its index among all entities.
PickResult pickAlong(const PuzzleWorld* world, Vec3 origin, Vec3 direction, int lookingCamera,
                     uint32_t* worldPlace) {
    // Reused: the searches call this for every sample.
    static std::vector<PickCandidate> candidates;
    static std::vector<PlacedBox> boxes;
    gatherCandidates(world, lookingCamera, &candidates);
    Ray ray = {origin, direction};
    keepReachable(&ray, &candidates, &boxes);
    PickResult hit = nearestPick(&ray, candidates.data(), (uint32_t)candidates.size(), &world->level);
    *worldPlace = hit.index;
    if (hit.kind == PICK_ENTITY) hit.index = world->inWorld[hit.index];
    return hit;
}

} // namespace

void cameraRay(const PuzzleCamera* camera, float u, float v, Vec3* origin, Vec3* direction) {
    Ray ray = unprojectRay(&camera->view, &camera->projection, camera->eye, 2.0f * u - 1.0f, 2.0f * v - 1.0f);
    *direction = ray.direction;
    *origin = ray.origin;
}

void monitorRay(const PuzzleWorld* world, int monitor, float u, float v, Vec3* origin, Vec3* direction) {
    cameraRay(&world->cameras[world->monitors[monitor].camera], u, v, origin, direction);
}

void applyMonitorFrame(PuzzleWorld* world, FrameInput* input, FrameEffects* effects) {
    *effects = FrameEffects{-1, -1, -1, -1, -1, PICK_NONE, -1};
    Vec3 origin, direction;
    monitorRay(world, input->monitor, input->u, input->v, &origin, &direction);
    PuzzleMonitor* monitor = &world->monitors[input->monitor];
    uint32_t place;
    PickResult hit = pickAlong(world, origin, direction, (int)monitor->camera, &place);
    effects->hovered = hit.kind;
    effects->hoveredIndex = hit.kind == PICK_NONE || hit.kind == PICK_LEVEL ? -1 : (int)hit.index;
    bool click = input->leftDown && !input->clickUsed && !input->holdingItem;

    switch (hit.kind) {
    case PICK_INTERACTABLE: {
        PuzzleInteractable* it = &world->interactables[hit.index];
        int item = input->itemToUse;
        if (item >= 0) {
            if (it->openingItem[0] && strcmp(it->openingItem, world->entities[item].name) == 0 && !it->done) {
                it->done = true;
                it->position = add3(it->position, it->openOffset);
                effects->opened = (int)hit.index;
                int slot = inventorySlot(world, (uint32_t)item);
                if (slot >= 0) world->inventory.erase(world->inventory.begin() + slot);
            }
        } else if (click && it->openingItem[0] == 0) {
            it->position = it->done ? sub3(it->position, it->openOffset) : add3(it->position, it->openOffset);
            it->done = !it->done;
            input->clickUsed = true;
            effects->toggled = (int)hit.index;
        }
        break;
    }
    case PICK_ENTITY: {
        uint32_t e = hit.index;
        if (world->entities[e].pickable && input->leftDown && !input->holdingItem) {
            world->inWorld.erase(world->inWorld.begin() + place);
            world->inventory.push_back(e);
            input->clickUsed = true;
            effects->taken = (int)e;
        } else if (click) {
            input->clickUsed = true;
            effects->pressed = (int)e;
            keypadRule(world, &world->entities[e]);
        }
        break;
    }
    case PICK_CAMERA:
        if (click) {
            input->clickUsed = true;
            monitor->camera = hit.index;
            bool known = false;
            for (uint32_t r : monitor->reachable) known = known || r == hit.index;
            if (!known) monitor->reachable.push_back(hit.index);
            effects->switchedTo = (int)hit.index;
        }
        break;
    default: break;
    }
}

void applyArrow(PuzzleWorld* world, int monitor, int direction) {
    PuzzleMonitor* m = &world->monitors[monitor];
    size_t n = m->reachable.size();
    if (n == 0) return;
    size_t at = 0;
    for (size_t i = 0; i < n; ++i)
        if (m->reachable[i] == m->camera) at = i;
    at = direction < 0 ? (at + n - 1) % n : (at + 1) % n;
    m->camera = m->reachable[at];
}

PickKind firstVisible(const PuzzleWorld* world, Vec3 origin, Vec3 direction, int viewingCamera, int* index,
                      float* distance) {
    uint32_t place;
    PickResult hit = pickAlong(world, origin, direction, viewingCamera, &place);
    *index = hit.kind == PICK_NONE || hit.kind == PICK_LEVEL ? -1 : (int)hit.index;
    *distance = hit.distance;
    return hit.kind;
}

Bounds interactableBounds(const PuzzleWorld* world, uint32_t index) {
    const PuzzleInteractable* it = &world->interactables[index];
    Quat identity = identityQuaternion();
    return placedPickBox(&it->bounds, it->position, vec3(1, 1, 1), &identity);
}

Bounds entityBounds(const PuzzleWorld* world, uint32_t index) {
    const PuzzleEntity* e = &world->entities[index];
    return placedPickBox(&e->bounds, e->position, e->scale, &e->rotation);
}

Bounds cameraModelWorldBounds(const PuzzleWorld* world, uint32_t camera) {
    return placedPickBox(&world->cameraModelBounds, world->cameras[camera].position, vec3(1, 1, 1),
                         &world->cameraModelRotation);
}
