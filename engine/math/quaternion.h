// Quaternions stored x, y, z, w (w is the scalar part); identity (0, 0, 0, 1).
#pragma once

#include "engine/math/vector.h"

struct Mat3;
struct Mat4;

struct Quat {
    float x, y, z, w;
};

inline Quat identityQuaternion() { return Quat{0.0f, 0.0f, 0.0f, 1.0f}; }

// out := b (x) a: the Hamilton product with the second argument on the left, so the
// result turns by a first, then by b.
void quaternionProduct(Quat* out, const Quat* a, const Quat* b);

// v := q (x) (v, 0) (x) q', with q' the conjugate of q divided by q's length.
void rotateByQuaternion(const Quat* q, Vec3* v);

// q := q (x) (0, 0, sin(angle / 2), cos(angle / 2)), angle in degrees.
void turnAboutZ(Quat* q, float degrees);

// The rotation by an angle in degrees about a unit axis (built from the half-angle).
Quat quaternionFromAxisAngle(Vec3 axis, float degrees);

// Writes only the upper-left 3 x 3 of the matrix.
void quaternionToRotation(const Quat* q, Mat4* matrix);

// The normalised quaternion of a 3 x 3 rotation (trace-based conversion).
void rotationToQuaternion(const Mat3* rotation, Quat* out);
// The same from the upper-left 3 x 3 of a 4 x 4.
void rotation4ToQuaternion(const Mat4* matrix, Quat* out);

// Translation, rotation and scale of a column-major matrix whose columns 0 to 2 are a
// scaled rotation (a zero-length column keeps its elements as they are).
void decomposeMatrix(const Mat4* matrix, Vec3* translation, Quat* rotation, Vec3* scale);

// Degrees to radians in single precision, as every angle in the data is given.
#define DEGREES_TO_RADIANS 0.017453292f
