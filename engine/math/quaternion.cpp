#include "engine/math/quaternion.h"

#include "engine/math/matrix.h"

#include <math.h>

void quaternionProduct(Quat* out, const Quat* a, const Quat* b) {
    // b (x) a
    const Quat p = *b;
    const Quat q = *a;
    Quat r;
    r.x = p.w * q.x + p.x * q.w + p.y * q.z - p.z * q.y;
    r.y = p.w * q.y - p.x * q.z + p.y * q.w + p.z * q.x;
    r.z = p.w * q.z + p.x * q.y - p.y * q.x + p.z * q.w;
    r.w = p.w * q.w - p.x * q.x - p.y * q.y - p.z * q.z;
    *out = r;
}

void rotateByQuaternion(const Quat* q, Vec3* v) {
    // Most things are placed unturned, and the ray tests turn every vertex they try: the
    // identity leaves v as the products below would (up to the sign of a zero).
    if (q->x == 0.0f && q->y == 0.0f && q->z == 0.0f && q->w == 1.0f) return;
    float length = sqrtf(q->x * q->x + q->y * q->y + q->z * q->z + q->w * q->w);
    if (length == 0.0f) return;
    Quat conjugate = {-q->x / length, -q->y / length, -q->z / length, q->w / length};
    Quat pure = {v->x, v->y, v->z, 0.0f};
    Quat left, result;
    quaternionProduct(&left, &pure, q);           // q (x) v
    quaternionProduct(&result, &conjugate, &left); // (q (x) v) (x) q'
    v->x = result.x;
    v->y = result.y;
    v->z = result.z;
}

void turnAboutZ(Quat* q, float degrees) {
    float half = degrees * DEGREES_TO_RADIANS * 0.5f;
    Quat turn = {0.0f, 0.0f, sinf(half), cosf(half)};
    quaternionProduct(q, &turn, q); // q (x) turn
}

Quat quaternionFromAxisAngle(Vec3 axis, float degrees) {
    float half = degrees * DEGREES_TO_RADIANS * 0.5f;
    float s = sinf(half);
    return Quat{axis.x * s, axis.y * s, axis.z * s, cosf(half)};
}

void quaternionToRotation(const Quat* q, Mat4* matrix) {
    float x = q->x, y = q->y, z = q->z, w = q->w;
    float* m = matrix->m;
    m[0] = 1 - 2 * y * y - 2 * z * z;
    m[1] = 2 * x * y + 2 * z * w;
    m[2] = 2 * x * z - 2 * y * w;
    m[4] = 2 * x * y - 2 * z * w;
    m[5] = 1 - 2 * x * x - 2 * z * z;
    m[6] = 2 * y * z + 2 * x * w;
    m[8] = 2 * x * z + 2 * y * w;
    m[9] = 2 * y * z - 2 * x * w;
    m[10] = 1 - 2 * x * x - 2 * y * y;
}

void rotationToQuaternion(const Mat3* rotation, Quat* out) {
    auto at = [rotation](int r, int c) { return rotation->m[3 * c + r]; };
    float q[4]; // x, y, z, w
    float t = at(0, 0) + at(1, 1) + at(2, 2);
    if (t > 0.0f) {
        float s = sqrtf(t + 1.0f);
        q[3] = s / 2.0f;
        float k = 0.5f / s;
        q[0] = (at(2, 1) - at(1, 2)) * k;
        q[1] = (at(0, 2) - at(2, 0)) * k;
        q[2] = (at(1, 0) - at(0, 1)) * k;
    } else {
        int i = 0;
        if (at(1, 1) > at(0, 0)) i = 1;
        if (at(2, 2) > at(i, i)) i = 2;
        static const int next[3] = {1, 2, 0};
        int j = next[i];
        int k = next[j];
        float s = sqrtf(at(i, i) - (at(j, j) + at(k, k)) + 1.0f);
        q[i] = s / 2.0f;
        if (s != 0.0f) s = 0.5f / s;
        q[3] = (at(k, j) - at(j, k)) * s;
        q[j] = (at(j, i) + at(i, j)) * s;
        q[k] = (at(k, i) + at(i, k)) * s;
    }
    float length = sqrtf(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
    if (length == 0.0f) length = 1.0f;
    *out = Quat{q[0] / length, q[1] / length, q[2] / length, q[3] / length};
}

void rotation4ToQuaternion(const Mat4* matrix, Quat* out) {
    Mat3 rotation = upperLeft3x3(matrix);
    rotationToQuaternion(&rotation, out);
}

void decomposeMatrix(const Mat4* matrix, Vec3* translation, Quat* rotation, Vec3* scale) {
    const float* m = matrix->m;
    *translation = Vec3{m[12], m[13], m[14]};
    scaleOfMatrix(matrix, scale);
    const float lengths[3] = {scale->x, scale->y, scale->z};
    Mat3 unit;
    for (int c = 0; c < 3; ++c)
        for (int r = 0; r < 3; ++r) {
            float e = m[4 * c + r];
            unit.m[3 * c + r] = lengths[c] != 0.0f ? e / lengths[c] : e;
        }
    rotationToQuaternion(&unit, rotation);
}
