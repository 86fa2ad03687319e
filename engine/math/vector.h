// 32-bit float vectors. Most arithmetic is written inline where it is used; these
// are the small helpers everyone shares.
#pragma once

#include <math.h>

struct Vec2 {
    float x, y;
};

struct Vec3 {
    float x, y, z;
};

struct Vec4 {
    float x, y, z, w;
};

inline Vec3 vec3(float x, float y, float z) { return Vec3{x, y, z}; }
inline Vec3 add3(Vec3 a, Vec3 b) { return Vec3{a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 sub3(Vec3 a, Vec3 b) { return Vec3{a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 scale3(Vec3 a, float s) { return Vec3{a.x * s, a.y * s, a.z * s}; }
inline Vec3 mul3(Vec3 a, Vec3 b) { return Vec3{a.x * b.x, a.y * b.y, a.z * b.z}; }
inline float dot3(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 cross3(Vec3 a, Vec3 b) { return Vec3{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
inline float length3(Vec3 a) { return sqrtf(dot3(a, a)); }

// In place; a vector whose squared length is exactly 0 stays as it is.
void normalise3(Vec3* v);
inline Vec3 normalised3(Vec3 v) {
    normalise3(&v);
    return v;
}
