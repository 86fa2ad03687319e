#include "engine/assets/mesh.h"

#include "backend/vertex_formats.h"
#include "engine/math/quaternion.h"

namespace {

const float kNearest = 0.00001f;    // hits at or below this distance are the ray's own start
const float kFarthest = 10000000.0f; // hits at or beyond this distance are never reported

Vec3 placedCorner(const float* vertices, uint32_t index, int32_t slots, int32_t components, Vec3 translation,
                  Vec3 scale, const Quat* rotation, bool unplaced) {
    const float* p = vertices + static_cast<size_t>(index) * static_cast<size_t>(slots);
    Vec3 v = {p[0], p[1], components == 3 ? p[2] : 0.0f};
    // Level geometry is stored where it stands: scaling by 1, turning by the identity and
    // moving by 0 would give the same corner, one triangle test at a time.
    if (unplaced) return v;
    v = Vec3{v.x * scale.x, v.y * scale.y, v.z * scale.z};
    rotateByQuaternion(rotation, &v);
    return add3(v, translation);
}

} // namespace

bool intersectRayMesh(const float* origin, const float* direction, const float* translation, const float* scale,
                      const float* rotation, float* distanceOut, const float* vertices, const uint32_t* indices,
                      uint32_t indexCount, int32_t format) {
    *distanceOut = -1.0f;
    int32_t slots = vertexFormatSlots(format);
    if (slots == 0) return false;
    int32_t components = vertexAttributeComponents(format, VERTEX_ATTRIBUTE_POSITION);
    Vec3 o = {origin[0], origin[1], origin[2]};
    Vec3 d = {direction[0], direction[1], direction[2]};
    Vec3 t0 = {translation[0], translation[1], translation[2]};
    Vec3 s0 = {scale[0], scale[1], scale[2]};
    Quat q = {rotation[0], rotation[1], rotation[2], rotation[3]};
    const bool unplaced = t0.x == 0.0f && t0.y == 0.0f && t0.z == 0.0f && s0.x == 1.0f && s0.y == 1.0f &&
                          s0.z == 1.0f && q.x == 0.0f && q.y == 0.0f && q.z == 0.0f && q.w == 1.0f;

    float best = kFarthest;
    for (uint32_t i = 0; i + 2 < indexCount; i += 3) {
        Vec3 v1 = placedCorner(vertices, indices[i], slots, components, t0, s0, &q, unplaced);
        Vec3 v2 = placedCorner(vertices, indices[i + 1], slots, components, t0, s0, &q, unplaced);
        Vec3 v3 = placedCorner(vertices, indices[i + 2], slots, components, t0, s0, &q, unplaced);
        // Moller-Trumbore; both windings count as hits.
        Vec3 e1 = sub3(v2, v1), e2 = sub3(v3, v1);
        Vec3 p = cross3(d, e2);
        float det = dot3(e1, p);
        if (det > -0.00001f && det < 0.00001f) continue;
        Vec3 s = sub3(o, v1);
        float u = dot3(s, p) / det;
        if (u < 0.0f || u > 1.0f) continue;
        Vec3 q2 = cross3(s, e1);
        float v = dot3(d, q2) / det;
        if (v < 0.0f || u + v > 1.0f) continue;
        float t = dot3(e2, q2) / det;
        if (t > kNearest && t < best) best = t;
    }
    if (best < kFarthest) *distanceOut = best;
    return *distanceOut > kNearest;
}
