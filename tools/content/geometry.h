// Triangle meshes in vertex format 0 (position, texture coordinate, colour, normal:
// 11 floats a vertex) built from quads, boxes and simple solids. Every face is wound
// counter-clockwise seen from the side its normal points to, the side the game's
// back-face culling keeps.
#pragma once

#include "engine/math/quaternion.h"
#include "engine/math/vector.h"

#include <stdint.h>

#include <vector>

enum { GEOMETRY_FLOATS_PER_VERTEX = 11 };

struct MeshBuilder {
    std::vector<float> vertices; // 11 floats per vertex
    std::vector<uint32_t> indices;
};

struct Vec2f {
    float u, v;
};

inline uint32_t builderVertexCount(const MeshBuilder* b) {
    return (uint32_t)(b->vertices.size() / GEOMETRY_FLOATS_PER_VERTEX);
}

uint32_t addVertex(MeshBuilder* b, Vec3 position, Vec2f uv, Vec3 colour, Vec3 normal);
void addTriangle(MeshBuilder* b, uint32_t i0, uint32_t i1, uint32_t i2);

// A planar quad p0, p1, p2, p3 counter-clockwise seen from the front (p0 bottom left,
// p1 bottom right, p2 top right, p3 top left); the normal is (p1 - p0) x (p3 - p0).
void addQuad(MeshBuilder* b, Vec3 p0, Vec3 p1, Vec3 p2, Vec3 p3, Vec2f t0, Vec2f t1, Vec2f t2, Vec2f t3,
             Vec3 colour);

// A rectangle from origin along right (to the viewer's right) and up, both full-length
// vectors; texture coordinates are the distances along them divided by tileSize,
// starting at uvOrigin.
void addPanel(MeshBuilder* b, Vec3 origin, Vec3 right, Vec3 up, Vec3 colour, float tileSize, Vec2f uvOrigin);
// The same with the texture stretched once over the rectangle (u, v from 0 to 1).
void addFittedPanel(MeshBuilder* b, Vec3 origin, Vec3 right, Vec3 up, Vec3 colour);

// Which faces of a box to emit.
enum BoxFaces : uint32_t {
    FACE_NEG_X = 1,
    FACE_POS_X = 2,
    FACE_NEG_Y = 4,
    FACE_POS_Y = 8,
    FACE_NEG_Z = 16,
    FACE_POS_Z = 32,
    FACE_ALL = 63,
};

// Axis-aligned box with outward faces; texture coordinates are world coordinates of
// the face's plane divided by tileSize, so neighbouring boxes continue the pattern.
void addBox(MeshBuilder* b, Vec3 lo, Vec3 hi, Vec3 colour, float tileSize, uint32_t faces = FACE_ALL);
// Box with each face's texture fitted once (0 to 1), for doors, signs and panels.
void addFittedBox(MeshBuilder* b, Vec3 lo, Vec3 hi, Vec3 colour, uint32_t faces = FACE_ALL);

// Box centred at center, its local axes turned by rotation, half extents halfSize.
// Texture coordinates are fitted per face.
void addOrientedBox(MeshBuilder* b, Vec3 center, const Quat* rotation, Vec3 halfSize, Vec3 colour);

// Upright cylinder (axis +z) from base to base + height, with caps; segments around.
void addCylinder(MeshBuilder* b, Vec3 base, float radius, float height, uint32_t segments, Vec3 colour);
// A solid cylinder along any unit axis, from start, of the given length.
void addCylinderAlong(MeshBuilder* b, Vec3 start, Vec3 axis, float radius, float length, uint32_t segments,
                      Vec3 colour);
// Hemisphere bulging towards direction -z from center (a dome hanging from a ceiling).
void addDome(MeshBuilder* b, Vec3 center, float radius, uint32_t segments, uint32_t rings, Vec3 colour);

// Appends other, shifting its indices.
void appendBuilder(MeshBuilder* b, const MeshBuilder* other);
// Moves every vertex by offset; rotates positions and normals by rotation first.
void transformBuilder(MeshBuilder* b, const Quat* rotation, Vec3 offset);
// Bounds of the positions (both zero for an empty builder).
void builderBounds(const MeshBuilder* b, Vec3* lo, Vec3* hi);
