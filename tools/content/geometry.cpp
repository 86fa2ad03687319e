#include "tools/content/geometry.h"

#include <math.h>

uint32_t addVertex(MeshBuilder* b, Vec3 position, Vec2f uv, Vec3 colour, Vec3 normal) {
    uint32_t index = builderVertexCount(b);
    const float v[GEOMETRY_FLOATS_PER_VERTEX] = {position.x, position.y, position.z, uv.u,     uv.v,    colour.x,
                                                 colour.y,   colour.z,   normal.x,   normal.y, normal.z};
    b->vertices.insert(b->vertices.end(), v, v + GEOMETRY_FLOATS_PER_VERTEX);
    return index;
}

void addTriangle(MeshBuilder* b, uint32_t i0, uint32_t i1, uint32_t i2) {
    b->indices.push_back(i0);
    b->indices.push_back(i1);
    b->indices.push_back(i2);
}

void addQuad(MeshBuilder* b, Vec3 p0, Vec3 p1, Vec3 p2, Vec3 p3, Vec2f t0, Vec2f t1, Vec2f t2, Vec2f t3,
             Vec3 colour) {
    Vec3 normal = normalised3(cross3(sub3(p1, p0), sub3(p3, p0)));
    uint32_t i0 = addVertex(b, p0, t0, colour, normal);
    uint32_t i1 = addVertex(b, p1, t1, colour, normal);
    uint32_t i2 = addVertex(b, p2, t2, colour, normal);
    uint32_t i3 = addVertex(b, p3, t3, colour, normal);
    addTriangle(b, i0, i1, i2);
    addTriangle(b, i0, i2, i3);
}

void addPanel(MeshBuilder* b, Vec3 origin, Vec3 right, Vec3 up, Vec3 colour, float tileSize, Vec2f uvOrigin) {
    float du = length3(right) / tileSize, dv = length3(up) / tileSize;
    Vec2f t0 = uvOrigin, t1 = {uvOrigin.u + du, uvOrigin.v}, t2 = {uvOrigin.u + du, uvOrigin.v + dv},
          t3 = {uvOrigin.u, uvOrigin.v + dv};
    addQuad(b, origin, add3(origin, right), add3(add3(origin, right), up), add3(origin, up), t0, t1, t2, t3, colour);
}

void addFittedPanel(MeshBuilder* b, Vec3 origin, Vec3 right, Vec3 up, Vec3 colour) {
    addQuad(b, origin, add3(origin, right), add3(add3(origin, right), up), add3(origin, up), Vec2f{0, 0},
            Vec2f{1, 0}, Vec2f{1, 1}, Vec2f{0, 1}, colour);
}

// The six faces of [lo, hi], each given by its origin (bottom left seen from outside),
// right and up vectors.
static void boxFace(Vec3 lo, Vec3 hi, int face, Vec3* origin, Vec3* right, Vec3* up) {
    float dx = hi.x - lo.x, dy = hi.y - lo.y, dz = hi.z - lo.z;
    switch (face) {
    case 0: *origin = vec3(lo.x, hi.y, lo.z), *right = vec3(0, -dy, 0), *up = vec3(0, 0, dz); break; // -x
    case 1: *origin = vec3(hi.x, lo.y, lo.z), *right = vec3(0, dy, 0), *up = vec3(0, 0, dz); break;  // +x
    case 2: *origin = vec3(lo.x, lo.y, lo.z), *right = vec3(dx, 0, 0), *up = vec3(0, 0, dz); break;  // -y
    case 3: *origin = vec3(hi.x, hi.y, lo.z), *right = vec3(-dx, 0, 0), *up = vec3(0, 0, dz); break; // +y
    case 4: *origin = vec3(lo.x, hi.y, lo.z), *right = vec3(dx, 0, 0), *up = vec3(0, -dy, 0); break; // -z
    default: *origin = vec3(lo.x, lo.y, hi.z), *right = vec3(dx, 0, 0), *up = vec3(0, dy, 0); break; // +z
    }
}

// World-aligned texture origin of a face: the face plane's own two coordinates.
static Vec2f worldUv(Vec3 origin, int face, float tileSize) {
    switch (face) {
    case 0: return Vec2f{-origin.y / tileSize, origin.z / tileSize};
    case 1: return Vec2f{origin.y / tileSize, origin.z / tileSize};
    case 2: return Vec2f{origin.x / tileSize, origin.z / tileSize};
    case 3: return Vec2f{-origin.x / tileSize, origin.z / tileSize};
    case 4: return Vec2f{origin.x / tileSize, -origin.y / tileSize};
    default: return Vec2f{origin.x / tileSize, origin.y / tileSize};
    }
}

void addBox(MeshBuilder* b, Vec3 lo, Vec3 hi, Vec3 colour, float tileSize, uint32_t faces) {
    for (int face = 0; face < 6; ++face) {
        if (!(faces & (1u << face))) continue;
        Vec3 origin, right, up;
        boxFace(lo, hi, face, &origin, &right, &up);
        addPanel(b, origin, right, up, colour, tileSize, worldUv(origin, face, tileSize));
    }
}

void addFittedBox(MeshBuilder* b, Vec3 lo, Vec3 hi, Vec3 colour, uint32_t faces) {
    for (int face = 0; face < 6; ++face) {
        if (!(faces & (1u << face))) continue;
        Vec3 origin, right, up;
        boxFace(lo, hi, face, &origin, &right, &up);
        addFittedPanel(b, origin, right, up, colour);
    }
}

void addOrientedBox(MeshBuilder* b, Vec3 center, const Quat* rotation, Vec3 halfSize, Vec3 colour) {
    MeshBuilder local;
    addFittedBox(&local, scale3(halfSize, -1.0f), halfSize, colour);
    transformBuilder(&local, rotation, center);
    appendBuilder(b, &local);
}

void addCylinder(MeshBuilder* b, Vec3 base, float radius, float height, uint32_t segments, Vec3 colour) {
    addCylinderAlong(b, base, vec3(0, 0, 1), radius, height, segments, colour);
}

void addCylinderAlong(MeshBuilder* b, Vec3 start, Vec3 axis, float radius, float length, uint32_t segments,
                      Vec3 colour) {
    Vec3 a = normalised3(axis);
    Vec3 helper = fabsf(a.z) < 0.9f ? vec3(0, 0, 1) : vec3(1, 0, 0);
    Vec3 e1 = normalised3(cross3(helper, a));
    Vec3 e2 = cross3(a, e1);
    Vec3 end = add3(start, scale3(a, length));
    const float twoPi = 6.2831853f;
    for (uint32_t i = 0; i < segments; ++i) {
        float t0 = twoPi * i / segments, t1 = twoPi * (i + 1) / segments;
        Vec3 d0 = add3(scale3(e1, cosf(t0)), scale3(e2, sinf(t0)));
        Vec3 d1 = add3(scale3(e1, cosf(t1)), scale3(e2, sinf(t1)));
        // Side: smooth normals; around the axis counter-clockwise seen from outside.
        uint32_t s0 = addVertex(b, add3(start, scale3(d0, radius)), Vec2f{(float)i / segments, 0}, colour, d0);
        uint32_t s1 = addVertex(b, add3(start, scale3(d1, radius)), Vec2f{(float)(i + 1) / segments, 0}, colour, d1);
        uint32_t s2 = addVertex(b, add3(end, scale3(d1, radius)), Vec2f{(float)(i + 1) / segments, 1}, colour, d1);
        uint32_t s3 = addVertex(b, add3(end, scale3(d0, radius)), Vec2f{(float)i / segments, 1}, colour, d0);
        addTriangle(b, s0, s1, s2);
        addTriangle(b, s0, s2, s3);
        // Caps.
        Vec3 back = scale3(a, -1.0f);
        uint32_t c0 = addVertex(b, start, Vec2f{0.5f, 0.5f}, colour, back);
        uint32_t c1 = addVertex(b, add3(start, scale3(d0, radius)), Vec2f{0, 0}, colour, back);
        uint32_t c2 = addVertex(b, add3(start, scale3(d1, radius)), Vec2f{1, 0}, colour, back);
        addTriangle(b, c0, c2, c1);
        uint32_t e0 = addVertex(b, end, Vec2f{0.5f, 0.5f}, colour, a);
        uint32_t eA = addVertex(b, add3(end, scale3(d0, radius)), Vec2f{0, 0}, colour, a);
        uint32_t eB = addVertex(b, add3(end, scale3(d1, radius)), Vec2f{1, 0}, colour, a);
        addTriangle(b, e0, eA, eB);
    }
}

void addDome(MeshBuilder* b, Vec3 center, float radius, uint32_t segments, uint32_t rings, Vec3 colour) {
    const float twoPi = 6.2831853f, halfPi = 1.5707963f;
    uint32_t first = builderVertexCount(b);
    for (uint32_t r = 0; r <= rings; ++r) {
        float polar = halfPi * r / rings; // 0 at the rim, pi/2 at the bottom
        for (uint32_t s = 0; s <= segments; ++s) {
            float az = twoPi * s / segments;
            Vec3 n = vec3(cosf(polar) * cosf(az), cosf(polar) * sinf(az), -sinf(polar));
            addVertex(b, add3(center, scale3(n, radius)), Vec2f{(float)s / segments, (float)r / rings}, colour, n);
        }
    }
    uint32_t row = segments + 1;
    for (uint32_t r = 0; r < rings; ++r)
        for (uint32_t s = 0; s < segments; ++s) {
            uint32_t a = first + r * row + s, c = a + row;
            // Seen from outside (below), going down the rings and around counter-clockwise.
            addTriangle(b, a, c, a + 1);
            addTriangle(b, a + 1, c, c + 1);
        }
}

void appendBuilder(MeshBuilder* b, const MeshBuilder* other) {
    uint32_t base = builderVertexCount(b);
    b->vertices.insert(b->vertices.end(), other->vertices.begin(), other->vertices.end());
    for (uint32_t index : other->indices) b->indices.push_back(base + index);
}

void transformBuilder(MeshBuilder* b, const Quat* rotation, Vec3 offset) {
    for (size_t v = 0; v + GEOMETRY_FLOATS_PER_VERTEX <= b->vertices.size(); v += GEOMETRY_FLOATS_PER_VERTEX) {
        float* f = &b->vertices[v];
        Vec3 p = vec3(f[0], f[1], f[2]);
        Vec3 n = vec3(f[8], f[9], f[10]);
        rotateByQuaternion(rotation, &p);
        rotateByQuaternion(rotation, &n);
        p = add3(p, offset);
        f[0] = p.x, f[1] = p.y, f[2] = p.z;
        f[8] = n.x, f[9] = n.y, f[10] = n.z;
    }
}

void builderBounds(const MeshBuilder* b, Vec3* lo, Vec3* hi) {
    *lo = vec3(0, 0, 0);
    *hi = vec3(0, 0, 0);
    bool first = true;
    for (size_t v = 0; v + GEOMETRY_FLOATS_PER_VERTEX <= b->vertices.size(); v += GEOMETRY_FLOATS_PER_VERTEX) {
        Vec3 p = vec3(b->vertices[v], b->vertices[v + 1], b->vertices[v + 2]);
        if (first) {
            *lo = *hi = p;
            first = false;
            continue;
        }
        lo->x = fminf(lo->x, p.x), lo->y = fminf(lo->y, p.y), lo->z = fminf(lo->z, p.z);
        hi->x = fmaxf(hi->x, p.x), hi->y = fmaxf(hi->y, p.y), hi->z = fmaxf(hi->z, p.z);
    }
}
