#include "engine/math/matrix.h"

#include <math.h>
#include <string.h>

Mat4 identityMatrix4() {
    Mat4 m = {};
    m.m[0] = m.m[5] = m.m[10] = m.m[15] = 1.0f;
    return m;
}

Mat3 identityMatrix3() {
    Mat3 m = {};
    m.m[0] = m.m[4] = m.m[8] = 1.0f;
    return m;
}

void multiplyMatrix4(Mat4* out, const Mat4* a, const Mat4* b) {
    Mat4 r;
    for (int c = 0; c < 4; ++c)
        for (int row = 0; row < 4; ++row) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) sum += a->m[4 * k + row] * b->m[4 * c + k];
            r.m[4 * c + row] = sum;
        }
    *out = r;
}

Vec4 transformVector4(const Mat4* m, Vec4 v) {
    const float* a = m->m;
    return Vec4{a[0] * v.x + a[4] * v.y + a[8] * v.z + a[12] * v.w, a[1] * v.x + a[5] * v.y + a[9] * v.z + a[13] * v.w,
                a[2] * v.x + a[6] * v.y + a[10] * v.z + a[14] * v.w,
                a[3] * v.x + a[7] * v.y + a[11] * v.z + a[15] * v.w};
}

Vec3 transformPoint(const Mat4* m, Vec3 p) {
    Vec4 r = transformVector4(m, Vec4{p.x, p.y, p.z, 1.0f});
    return Vec3{r.x, r.y, r.z};
}

Mat4 translationMatrix(Vec3 t) {
    Mat4 m = identityMatrix4();
    m.m[12] = t.x;
    m.m[13] = t.y;
    m.m[14] = t.z;
    return m;
}

Mat4 scaleMatrix(Vec3 s) {
    Mat4 m = identityMatrix4();
    m.m[0] = s.x;
    m.m[5] = s.y;
    m.m[10] = s.z;
    return m;
}

Mat4 rotationMatrix(const Quat* q) {
    Mat4 m = identityMatrix4();
    quaternionToRotation(q, &m);
    return m;
}

Mat4 transformMatrix(Vec3 translation, const Quat* rotation, Vec3 scale) {
    Mat4 r = rotationMatrix(rotation);
    Mat4 s = scaleMatrix(scale);
    Mat4 t = translationMatrix(translation);
    Mat4 out;
    multiplyMatrix4(&out, &r, &s);
    multiplyMatrix4(&out, &t, &out);
    return out;
}

void scaleOfMatrix(const Mat4* m, Vec3* out) {
    const float* a = m->m;
    out->x = sqrtf(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]);
    out->y = sqrtf(a[4] * a[4] + a[5] * a[5] + a[6] * a[6]);
    out->z = sqrtf(a[8] * a[8] + a[9] * a[9] + a[10] * a[10]);
}

void lookAt(Mat4* out, Vec3 eye, Vec3 target, Vec3 up) {
    Vec3 f = sub3(target, eye);
    normalise3(&f);
    Vec3 s = cross3(f, up);
    normalise3(&s);
    Vec3 u = cross3(s, f);
    normalise3(&u);
    float* m = out->m;
    m[0] = s.x, m[1] = u.x, m[2] = -f.x, m[3] = 0.0f;
    m[4] = s.y, m[5] = u.y, m[6] = -f.y, m[7] = 0.0f;
    m[8] = s.z, m[9] = u.z, m[10] = -f.z, m[11] = 0.0f;
    m[12] = -dot3(s, eye), m[13] = -dot3(u, eye), m[14] = dot3(f, eye), m[15] = 1.0f;
}

void inverseMatrix4(Mat4* out, const Mat4* matrix) {
    const float* m = matrix->m;
    float inv[16];
    inv[0] = m[5] * m[10] * m[15] - m[5] * m[11] * m[14] - m[9] * m[6] * m[15] + m[9] * m[7] * m[14] +
             m[13] * m[6] * m[11] - m[13] * m[7] * m[10];
    inv[4] = -m[4] * m[10] * m[15] + m[4] * m[11] * m[14] + m[8] * m[6] * m[15] - m[8] * m[7] * m[14] -
             m[12] * m[6] * m[11] + m[12] * m[7] * m[10];
    inv[8] = m[4] * m[9] * m[15] - m[4] * m[11] * m[13] - m[8] * m[5] * m[15] + m[8] * m[7] * m[13] +
             m[12] * m[5] * m[11] - m[12] * m[7] * m[9];
    inv[12] = -m[4] * m[9] * m[14] + m[4] * m[10] * m[13] + m[8] * m[5] * m[14] - m[8] * m[6] * m[13] -
              m[12] * m[5] * m[10] + m[12] * m[6] * m[9];
    inv[1] = -m[1] * m[10] * m[15] + m[1] * m[11] * m[14] + m[9] * m[2] * m[15] - m[9] * m[3] * m[14] -
             m[13] * m[2] * m[11] + m[13] * m[3] * m[10];
    inv[5] = m[0] * m[10] * m[15] - m[0] * m[11] * m[14] - m[8] * m[2] * m[15] + m[8] * m[3] * m[14] +
             m[12] * m[2] * m[11] - m[12] * m[3] * m[10];
    inv[9] = -m[0] * m[9] * m[15] + m[0] * m[11] * m[13] + m[8] * m[1] * m[15] - m[8] * m[3] * m[13] -
             m[12] * m[1] * m[11] + m[12] * m[3] * m[9];
    inv[13] = m[0] * m[9] * m[14] - m[0] * m[10] * m[13] - m[8] * m[1] * m[14] + m[8] * m[2] * m[13] +
              m[12] * m[1] * m[10] - m[12] * m[2] * m[9];
    inv[2] = m[1] * m[6] * m[15] - m[1] * m[7] * m[14] - m[5] * m[2] * m[15] + m[5] * m[3] * m[14] +
             m[13] * m[2] * m[7] - m[13] * m[3] * m[6];
    inv[6] = -m[0] * m[6] * m[15] + m[0] * m[7] * m[14] + m[4] * m[2] * m[15] - m[4] * m[3] * m[14] -
             m[12] * m[2] * m[7] + m[12] * m[3] * m[6];
    inv[10] = m[0] * m[5] * m[15] - m[0] * m[7] * m[13] - m[4] * m[1] * m[15] + m[4] * m[3] * m[13] +
              m[12] * m[1] * m[7] - m[12] * m[3] * m[5];
    inv[14] = -m[0] * m[5] * m[14] + m[0] * m[6] * m[13] + m[4] * m[1] * m[14] - m[4] * m[2] * m[13] -
              m[12] * m[1] * m[6] + m[12] * m[2] * m[5];
    inv[3] = -m[1] * m[6] * m[11] + m[1] * m[7] * m[10] + m[5] * m[2] * m[11] - m[5] * m[3] * m[10] -
             m[9] * m[2] * m[7] + m[9] * m[3] * m[6];
    inv[7] = m[0] * m[6] * m[11] - m[0] * m[7] * m[10] - m[4] * m[2] * m[11] + m[4] * m[3] * m[10] +
             m[8] * m[2] * m[7] - m[8] * m[3] * m[6];
    inv[11] = -m[0] * m[5] * m[11] + m[0] * m[7] * m[9] + m[4] * m[1] * m[11] - m[4] * m[3] * m[9] -
              m[8] * m[1] * m[7] + m[8] * m[3] * m[5];
    inv[15] = m[0] * m[5] * m[10] - m[0] * m[6] * m[9] - m[4] * m[1] * m[10] + m[4] * m[2] * m[9] +
              m[8] * m[1] * m[6] - m[8] * m[2] * m[5];
    float det = m[0] * inv[0] + m[1] * inv[4] + m[2] * inv[8] + m[3] * inv[12];
    if (det == 0.0f) {
        *out = identityMatrix4();
        return;
    }
    for (int i = 0; i < 16; ++i) out->m[i] = inv[i] / det;
}

bool inverseMatrix3(const Mat3* matrix, Mat3* out) {
    const float* a = matrix->m;
    float det = a[0] * a[4] * a[8] + a[1] * a[5] * a[6] + a[2] * a[3] * a[7] - a[2] * a[4] * a[6] -
                a[1] * a[3] * a[8] - a[0] * a[5] * a[7];
    if (det == 0.0f) return false;
    float r[9] = {(a[4] * a[8] - a[5] * a[7]) / det, (a[2] * a[7] - a[1] * a[8]) / det,
                  (a[1] * a[5] - a[2] * a[4]) / det, (a[5] * a[6] - a[3] * a[8]) / det,
                  (a[0] * a[8] - a[2] * a[6]) / det, (a[2] * a[3] - a[0] * a[5]) / det,
                  (a[3] * a[7] - a[4] * a[6]) / det, (a[1] * a[6] - a[0] * a[7]) / det,
                  (a[0] * a[4] - a[1] * a[3]) / det};
    memcpy(out->m, r, sizeof(r));
    return true;
}

Mat3 upperLeft3x3(const Mat4* m) {
    const float* a = m->m;
    return Mat3{{a[0], a[1], a[2], a[4], a[5], a[6], a[8], a[9], a[10]}};
}

void perspective(Mat4* projection, float fovDegrees, float aspect, float nearPlane, float farPlane) {
    double half = fovDegrees / 2.0 * 0.017453292519943;
    float sine = static_cast<float>(sin(half));
    float cosine = static_cast<float>(cos(half));
    if (nearPlane == farPlane || sine == 0.0f || aspect == 0.0f) return;
    float cotangent = cosine / sine;
    matrixAt(projection, 0, 0) = cotangent / aspect;
    matrixAt(projection, 1, 1) = cotangent;
    matrixAt(projection, 2, 2) = farPlane / (nearPlane - farPlane);
    matrixAt(projection, 3, 2) = -1.0f;
    matrixAt(projection, 2, 3) = nearPlane * farPlane / (nearPlane - farPlane);
    matrixAt(projection, 3, 3) = 0.0f;
}

void orthographic(Mat4* projection, float left, float right, float bottom, float top, float nearPlane,
                  float farPlane) {
    matrixAt(projection, 0, 0) = 2.0f / (right - left);
    matrixAt(projection, 1, 1) = 2.0f / (top - bottom);
    matrixAt(projection, 2, 2) = -1.0f / (farPlane - nearPlane);
    matrixAt(projection, 0, 3) = -(left + right) / (right - left);
    matrixAt(projection, 1, 3) = -(bottom + top) / (top - bottom);
    matrixAt(projection, 2, 3) = nearPlane / (nearPlane - farPlane);
}
