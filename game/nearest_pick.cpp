#include "game/nearest_pick.h"

#include "backend/vertex_formats.h"

#include <math.h>

namespace {

const float kNoHit = 10000000.0f;

float candidateDistance(const Ray* ray, const PickCandidate* candidate, float limit) {
    const Mesh* mesh = candidate->mesh;
    if (!mesh || !mesh->indexCount || !mesh->vertices) return -1.0f;
    if (candidate->bounds) {
        PickBox box = placedPickBox(candidate->bounds, candidate->translation, candidate->scale, &candidate->rotation);
        if (!rayEntersBox(ray, &box, limit)) return -1.0f;
    }
    float distance = -1.0f;
    if (!intersectRayMesh(&ray->origin.x, &ray->direction.x, &candidate->translation.x, &candidate->scale.x,
                          &candidate->rotation.x, &distance, mesh->vertices, mesh->indices, mesh->indexCount,
                          mesh->vertexFormat))
        return -1.0f;
    return distance;
}

} // namespace

bool rayEntersBox(const Ray* ray, const PickBox* box, float limit) {
    float enter = 0.0f, leave = limit;
    const float origin[3] = {ray->origin.x, ray->origin.y, ray->origin.z};
    const float direction[3] = {ray->direction.x, ray->direction.y, ray->direction.z};
    const float lo[3] = {box->lo.x, box->lo.y, box->lo.z}, hi[3] = {box->hi.x, box->hi.y, box->hi.z};
    for (int a = 0; a < 3; ++a) {
        if (fabsf(direction[a]) < 1e-12f) {
            if (origin[a] < lo[a] || origin[a] > hi[a]) return false;
            continue;
        }
        float inverse = 1.0f / direction[a];
        float near = (lo[a] - origin[a]) * inverse, far = (hi[a] - origin[a]) * inverse;
        if (near > far) {
            float swap = near;
            near = far;
            far = swap;
        }
        enter = near > enter ? near : enter;
        leave = far < leave ? far : leave;
        if (enter > leave) return false;
    }
    return true;
}

PickBox placedPickBox(const PickBox* local, Vec3 translation, Vec3 scale, const Quat* rotation) {
    PickBox out = {Vec3{1e30f, 1e30f, 1e30f}, Vec3{-1e30f, -1e30f, -1e30f}};
    for (int i = 0; i < 8; ++i) {
        Vec3 p = {(i & 1) ? local->hi.x : local->lo.x, (i & 2) ? local->hi.y : local->lo.y,
                  (i & 4) ? local->hi.z : local->lo.z};
        p = mul3(p, scale);
        rotateByQuaternion(rotation, &p);
        p = add3(p, translation);
        out.lo = Vec3{fminf(out.lo.x, p.x), fminf(out.lo.y, p.y), fminf(out.lo.z, p.z)};
        out.hi = Vec3{fmaxf(out.hi.x, p.x), fmaxf(out.hi.y, p.y), fmaxf(out.hi.z, p.z)};
    }
    // A little room for rounding at grazing hits.
    out.lo = sub3(out.lo, Vec3{0.001f, 0.001f, 0.001f});
    out.hi = add3(out.hi, Vec3{0.001f, 0.001f, 0.001f});
    return out;
}

PickBox meshPickBox(const Mesh* mesh) {
    PickBox box = {Vec3{1e30f, 1e30f, 1e30f}, Vec3{-1e30f, -1e30f, -1e30f}};
    const int32_t slots = vertexFormatSlots(mesh->vertexFormat);
    const int32_t components = vertexAttributeComponents(mesh->vertexFormat, VERTEX_ATTRIBUTE_POSITION);
    const uint32_t count = meshVertexCount(mesh);
    for (uint32_t v = 0; v < count && components > 0; ++v) {
        const float* p = mesh->vertices + static_cast<size_t>(v) * static_cast<size_t>(slots);
        Vec3 q = {p[0], components > 1 ? p[1] : 0.0f, components > 2 ? p[2] : 0.0f};
        box.lo = Vec3{fminf(box.lo.x, q.x), fminf(box.lo.y, q.y), fminf(box.lo.z, q.z)};
        box.hi = Vec3{fmaxf(box.hi.x, q.x), fmaxf(box.hi.y, q.y), fmaxf(box.hi.z, q.z)};
    }
    return box;
}

PickResult nearestPick(const Ray* ray, const PickCandidate* candidates, uint32_t count, const LevelPick* level) {
    PickResult best = {PICK_NONE, 0, kNoHit};
    for (uint32_t i = 0; i < count; ++i) {
        const PickCandidate* candidate = &candidates[i];
        float distance = candidateDistance(ray, candidate, best.distance);
        if (distance <= 0.0f) continue;
        bool wins = candidate->kind == PICK_CAMERA ? distance <= best.distance : distance < best.distance;
        if (wins) best = PickResult{candidate->kind, candidate->index, distance};
    }
    // What the picture shows there: a wall in front of the object hides it from the click.
    if (level) {
        float wall = levelPickDistance(level, ray, best.distance);
        if (wall < best.distance) best = PickResult{PICK_LEVEL, 0, wall};
    }
    if (best.kind == PICK_NONE) best.distance = 0.0f;
    return best;
}
