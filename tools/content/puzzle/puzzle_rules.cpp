#include "tools/content/puzzle/puzzle_rules.h"

#include "game/picking.h"

#include <math.h>
#include <string.h>

namespace {

const float kFar = 10000000.0f;

// Slab test of a ray against a box; true when it enters the box before maxDistance.
bool rayHitsBox(Vec3 origin, Vec3 direction, const Bounds* box, float maxDistance) {
    float t0 = 0.0f, t1 = maxDistance;
    const float o[3] = {origin.x, origin.y, origin.z}, d[3] = {direction.x, direction.y, direction.z};
    const float lo[3] = {box->lo.x, box->lo.y, box->lo.z}, hi[3] = {box->hi.x, box->hi.y, box->hi.z};
    for (int a = 0; a < 3; ++a) {
        if (fabsf(d[a]) < 1e-12f) {
            if (o[a] < lo[a] || o[a] > hi[a]) return false;
            continue;
        }
        float inv = 1.0f / d[a];
        float near = (lo[a] - o[a]) * inv, far = (hi[a] - o[a]) * inv;
        if (near > far) {
            float t = near;
            near = far;
            far = t;
        }
        t0 = near > t0 ? near : t0;
        t1 = far < t1 ? far : t1;
        if (t0 > t1) return false;
    }
    return true;
}

// World bounds of local bounds placed by translation, scale and rotation.
Bounds placedBounds(const Bounds* local, Vec3 translation, Vec3 scale, const Quat* rotation) {
    Bounds out = {vec3(1e30f, 1e30f, 1e30f), vec3(-1e30f, -1e30f, -1e30f)};
    for (int i = 0; i < 8; ++i) {
        Vec3 p = vec3((i & 1) ? local->hi.x : local->lo.x, (i & 2) ? local->hi.y : local->lo.y,
                      (i & 4) ? local->hi.z : local->lo.z);
        p = mul3(p, scale);
        rotateByQuaternion(rotation, &p);
        p = add3(p, translation);
        out.lo = vec3(fminf(out.lo.x, p.x), fminf(out.lo.y, p.y), fminf(out.lo.z, p.z));
        out.hi = vec3(fmaxf(out.hi.x, p.x), fmaxf(out.hi.y, p.y), fmaxf(out.hi.z, p.z));
    }
    // A little slack for rounding at grazing hits.
    out.lo = sub3(out.lo, vec3(0.001f, 0.001f, 0.001f));
    out.hi = add3(out.hi, vec3(0.001f, 0.001f, 0.001f));
    return out;
}

bool hitMesh(const Mesh* mesh, const Bounds* local, Vec3 translation, Vec3 scale, Quat rotation, Vec3 origin,
             Vec3 direction, float* distance) {
    Bounds box = placedBounds(local, translation, scale, &rotation);
    if (!rayHitsBox(origin, direction, &box, kFar)) return false;
    float o[3] = {origin.x, origin.y, origin.z}, d[3] = {direction.x, direction.y, direction.z};
    float t[3] = {translation.x, translation.y, translation.z}, s[3] = {scale.x, scale.y, scale.z};
    float q[4] = {rotation.x, rotation.y, rotation.z, rotation.w};
    return intersectRayMesh(o, d, t, s, q, distance, mesh->vertices, mesh->indices, mesh->indexCount,
                            mesh->vertexFormat);
}

// Ids 18 to 26 are the buttons 1 to 9 and 27 is 0; Star and Pound add nothing.
void keypadRule(PuzzleWorld* world, const PuzzleEntity* entity, FrameEffects* effects) {
    if (entity->id < 18 || entity->id > 27) return;
    char digit = entity->id == 27 ? '0' : (char)('1' + (entity->id - 18));
    world->typed[world->typedCount++] = digit;
    if (world->typedCount < 4) return;
    if (memcmp(world->typed, world->code, 4) == 0) {
        for (PuzzleInteractable& it : world->interactables)
            if (strcmp(it.name, "exitDoor") == 0) {
                it.done = true;
                it.position = add3(it.position, it.openOffset);
                effects->exitOpened = true;
            }
    }
    world->typedCount = 0;
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

bool hitInteractable(const PuzzleWorld* world, uint32_t index, Vec3 origin, Vec3 direction, float* distance) {
    const PuzzleInteractable* it = &world->interactables[index];
    return hitMesh(&it->pickMesh, &it->bounds, it->position, vec3(1, 1, 1), identityQuaternion(), origin, direction,
                   distance);
}

bool hitEntity(const PuzzleWorld* world, uint32_t index, Vec3 origin, Vec3 direction, float* distance) {
    const PuzzleEntity* e = &world->entities[index];
    return hitMesh(&e->mesh, &e->bounds, e->position, e->scale, e->rotation, origin, direction, distance);
}

bool hitCameraModel(const PuzzleWorld* world, uint32_t camera, Vec3 origin, Vec3 direction, float* distance) {
    return hitMesh(&world->cameraModel, &world->cameraModelBounds, world->cameras[camera].position, vec3(1, 1, 1),
                   world->cameraModelRotation, origin, direction, distance);
}

float levelDistance(const PuzzleWorld* world, Vec3 origin, Vec3 direction) {
    float best = kFar;
    float o[3] = {origin.x, origin.y, origin.z}, d[3] = {direction.x, direction.y, direction.z};
    const float t[3] = {0, 0, 0}, s[3] = {1, 1, 1}, q[4] = {0, 0, 0, 1};
    for (const LevelChunk& chunk : world->level) {
        if (!rayHitsBox(origin, direction, &chunk.bounds, best)) continue;
        float distance;
        if (intersectRayMesh(o, d, t, s, q, &distance, chunk.positions.data(), chunk.indices.data(),
                             (uint32_t)chunk.indices.size(), 3) &&
            distance < best)
            best = distance;
    }
    return best;
}

void applyMonitorFrame(PuzzleWorld* world, FrameInput* input, FrameEffects* effects) {
    *effects = FrameEffects{-1, -1, -1, -1, -1, false, PICK_NONE, -1};
    Vec3 origin, direction;
    monitorRay(world, input->monitor, input->u, input->v, &origin, &direction);
    float best = kFar;
    bool click = input->leftDown && !input->clickUsed && !input->holdingItem;
    int item = input->itemToUse;

    for (uint32_t i = 0; i < world->interactables.size(); ++i) {
        float distance;
        if (!hitInteractable(world, i, origin, direction, &distance) || distance >= best) continue;
        best = distance;
        effects->hovered = PICK_INTERACTABLE;
        effects->hoveredIndex = (int)i;
        PuzzleInteractable* it = &world->interactables[i];
        if (item >= 0) {
            if (strcmp(it->openingItem, world->entities[item].name) == 0) {
                it->done = true;
                it->position = add3(it->position, it->openOffset);
                effects->opened = (int)i;
                int slot = inventorySlot(world, (uint32_t)item);
                if (slot >= 0) world->inventory.erase(world->inventory.begin() + slot);
                item = -1;
            }
        } else if (click && !input->clickUsed && it->openingItem[0] == 0) {
            it->position = it->done ? sub3(it->position, it->openOffset) : add3(it->position, it->openOffset);
            it->done = !it->done;
            input->clickUsed = true;
            effects->toggled = (int)i;
        }
    }

    for (size_t w = 0; w < world->inWorld.size(); ++w) {
        uint32_t e = world->inWorld[w];
        float distance;
        if (!hitEntity(world, e, origin, direction, &distance) || distance >= best) continue;
        best = distance;
        effects->hovered = PICK_ENTITY;
        effects->hoveredIndex = (int)e;
        if (world->entities[e].pickable && input->leftDown && !input->holdingItem) {
            world->inWorld.erase(world->inWorld.begin() + w);
            world->inventory.push_back(e);
            effects->taken = (int)e;
            break;
        }
        if (input->leftDown && !input->clickUsed && !input->holdingItem) {
            input->clickUsed = true;
            effects->pressed = (int)e;
            keypadRule(world, &world->entities[e], effects);
        }
    }

    PuzzleMonitor* monitor = &world->monitors[input->monitor];
    for (uint32_t c = 0; c < world->cameras.size(); ++c) {
        if (c == monitor->camera) continue;
        float distance;
        if (!hitCameraModel(world, c, origin, direction, &distance) || distance > best) continue;
        effects->hovered = PICK_CAMERA;
        effects->hoveredIndex = (int)c;
        if (input->leftDown && !input->clickUsed && !input->holdingItem) {
            input->clickUsed = true;
            monitor->camera = c;
            bool known = false;
            for (uint32_t r : monitor->reachable) known = known || r == c;
            if (!known) monitor->reachable.push_back(c);
            effects->switchedTo = (int)c;
            break;
        }
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
    PickKind kind = PICK_NONE;
    float best = kFar;
    *index = -1;
    for (uint32_t i = 0; i < world->interactables.size(); ++i) {
        float d;
        if (hitInteractable(world, i, origin, direction, &d) && d < best) {
            best = d;
            kind = PICK_INTERACTABLE;
            *index = (int)i;
        }
    }
    for (uint32_t e : world->inWorld) {
        float d;
        if (hitEntity(world, e, origin, direction, &d) && d < best) {
            best = d;
            kind = PICK_ENTITY;
            *index = (int)e;
        }
    }
    for (uint32_t c = 0; c < world->cameras.size(); ++c) {
        if ((int)c == viewingCamera) continue;
        float d;
        if (hitCameraModel(world, c, origin, direction, &d) && d < best) {
            best = d;
            kind = PICK_CAMERA;
            *index = (int)c;
        }
    }
    float level = levelDistance(world, origin, direction);
    if (level < best) {
        best = level;
        kind = PICK_LEVEL;
        *index = -1;
    }
    *distance = best;
    return kind;
}

Bounds interactableBounds(const PuzzleWorld* world, uint32_t index) {
    const PuzzleInteractable* it = &world->interactables[index];
    Quat identity = identityQuaternion();
    return placedBounds(&it->bounds, it->position, vec3(1, 1, 1), &identity);
}

Bounds entityBounds(const PuzzleWorld* world, uint32_t index) {
    const PuzzleEntity* e = &world->entities[index];
    return placedBounds(&e->bounds, e->position, e->scale, &e->rotation);
}

Bounds cameraModelWorldBounds(const PuzzleWorld* world, uint32_t camera) {
    return placedBounds(&world->cameraModelBounds, world->cameras[camera].position, vec3(1, 1, 1),
                        &world->cameraModelRotation);
}
