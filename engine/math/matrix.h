// 4 x 4 and 3 x 3 matrices of 32-bit floats, column-major: element (row r, column c)
// is at 4c + r (3c + r). Vectors are column vectors, P x V x M, translation in
// elements 12, 13, 14. Passed to the render backends as stored.
#pragma once

#include "engine/math/quaternion.h"
#include "engine/math/vector.h"

struct Mat4 {
    float m[16];
};

struct Mat3 {
    float m[9];
};

Mat4 identityMatrix4();
Mat3 identityMatrix3();

// out := a x b (out may alias either).
void multiplyMatrix4(Mat4* out, const Mat4* a, const Mat4* b);
Vec4 transformVector4(const Mat4* m, Vec4 v);
Vec3 transformPoint(const Mat4* m, Vec3 p);

Mat4 translationMatrix(Vec3 t);
Mat4 scaleMatrix(Vec3 s);
Mat4 rotationMatrix(const Quat* q);
// T(translation) x R(rotation) x S(scale).
Mat4 transformMatrix(Vec3 translation, const Quat* rotation, Vec3 scale);

// Lengths of the xyz parts of columns 0, 1 and 2.
void scaleOfMatrix(const Mat4* m, Vec3* out);

// Right-handed view matrix looking from eye towards target.
void lookAt(Mat4* out, Vec3 eye, Vec3 target, Vec3 up);

// Cofactor inverse; the identity when the determinant is exactly 0.
void inverseMatrix4(Mat4* out, const Mat4* m);

// Cofactor inverse; out is left as it was when the determinant is exactly 0.
// Returns whether it was written.
bool inverseMatrix3(const Mat3* m, Mat3* out);

// The upper-left 3 x 3 (elements 0, 1, 2, 4, 5, 6, 8, 9, 10).
Mat3 upperLeft3x3(const Mat4* m);

// Right-handed perspective mapping view depth -near to 0 and -far to 1. Writes only
// m(0,0), m(1,1), m(2,2), m(3,2), m(2,3), m(3,3) and expects the others to hold the
// identity's values; writes nothing when near == far, the angle's sine is 0 or aspect is 0.
void perspective(Mat4* projection, float fovDegrees, float aspect, float nearPlane, float farPlane);

// Right-handed orthographic projection with depth mapped to 0..1; writes m(0,0),
// m(1,1), m(2,2), m(0,3), m(1,3), m(2,3).
void orthographic(Mat4* projection, float left, float right, float bottom, float top, float nearPlane,
                  float farPlane);

inline float& matrixAt(Mat4* m, int row, int column) { return m->m[4 * column + row]; }
inline float matrixAt(const Mat4* m, int row, int column) { return m->m[4 * column + row]; }
