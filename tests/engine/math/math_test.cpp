#include "engine/math/matrix.h"
#include "engine/math/quaternion.h"
#include "engine/math/vector.h"

#include <gtest/gtest.h>

namespace {

void expectQuat(Quat q, float x, float y, float z, float w) {
    EXPECT_NEAR(q.x, x, 1e-6f);
    EXPECT_NEAR(q.y, y, 1e-6f);
    EXPECT_NEAR(q.z, z, 1e-6f);
    EXPECT_NEAR(q.w, w, 1e-6f);
}

void expectMatrixNear(const Mat4& a, const Mat4& b, float tolerance = 1e-5f) {
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(a.m[i], b.m[i], tolerance) << "element " << i;
}

TEST(Vectors, NormalisingZeroLeavesZero) {
    Vec3 v = {0, 0, 0};
    normalise3(&v);
    EXPECT_EQ(v.x, 0.0f);
    EXPECT_EQ(v.y, 0.0f);
    EXPECT_EQ(v.z, 0.0f);
    Vec3 w = {3, 0, 4};
    normalise3(&w);
    EXPECT_FLOAT_EQ(w.x, 0.6f);
    EXPECT_FLOAT_EQ(w.z, 0.8f);
}

TEST(Quaternions, TurnAboutZAndProductOrder) {
    Quat q = identityQuaternion();
    turnAboutZ(&q, 90.0f);
    expectQuat(q, 0, 0, 0.7071068f, 0.7071068f);

    // out := b (x) a: turning by a (90 about X) first, then b (90 about Z), takes +Y to +X... check on a vector.
    Quat a = quaternionFromAxisAngle(vec3(1, 0, 0), 90.0f);
    Quat b = quaternionFromAxisAngle(vec3(0, 0, 1), 90.0f);
    Quat both;
    quaternionProduct(&both, &a, &b);
    Vec3 v = {0, 1, 0};
    rotateByQuaternion(&both, &v); // X turns +Y to +Z, then Z leaves +Z
    EXPECT_NEAR(v.x, 0.0f, 1e-6f);
    EXPECT_NEAR(v.y, 0.0f, 1e-6f);
    EXPECT_NEAR(v.z, 1.0f, 1e-6f);
    Vec3 x = {1, 0, 0};
    rotateByQuaternion(&both, &x); // X leaves +X, then Z turns it to +Y
    EXPECT_NEAR(x.y, 1.0f, 1e-6f);
}

TEST(Quaternions, ToRotationWritesOnlyTheUpperLeft) {
    Mat4 m;
    for (float& e : m.m) e = 9.0f;
    Quat q = {0, 0, 0.7071068f, 0.7071068f};
    quaternionToRotation(&q, &m);
    EXPECT_NEAR(m.m[0], 0.0f, 1e-6f);
    EXPECT_NEAR(m.m[1], 1.0f, 1e-6f);
    EXPECT_NEAR(m.m[2], 0.0f, 1e-6f);
    EXPECT_EQ(m.m[3], 9.0f);
    EXPECT_EQ(m.m[12], 9.0f);
    EXPECT_EQ(m.m[15], 9.0f);
}

TEST(Quaternions, FromRotationBothBranches) {
    // 180 degrees about X: the trace is negative.
    Mat3 half = {{1, 0, 0, 0, -1, 0, 0, 0, -1}};
    Quat q;
    rotationToQuaternion(&half, &q);
    expectQuat(q, 1, 0, 0, 0);
    // Round trip through a general rotation.
    Quat original = quaternionFromAxisAngle(normalised3(vec3(1, 2, 3)), 70.0f);
    Mat4 m = rotationMatrix(&original);
    Quat back;
    rotation4ToQuaternion(&m, &back);
    expectQuat(back, original.x, original.y, original.z, original.w);
    Mat3 identity = identityMatrix3();
    rotationToQuaternion(&identity, &q);
    expectQuat(q, 0, 0, 0, 1);
}

TEST(Matrices, LookAtDownMinusZIsTheIdentity) {
    Mat4 view;
    lookAt(&view, vec3(0, 0, 0), vec3(0, 0, -1), vec3(0, 1, 0));
    expectMatrixNear(view, identityMatrix4());
    // A point in front of an eye lands on the view's -Z axis.
    lookAt(&view, vec3(1, 2, 3), vec3(1, 7, 3), vec3(0, 0, 1));
    Vec3 p = transformPoint(&view, vec3(1, 12, 3));
    EXPECT_NEAR(p.x, 0.0f, 1e-5f);
    EXPECT_NEAR(p.y, 0.0f, 1e-5f);
    EXPECT_NEAR(p.z, -10.0f, 1e-5f);
}

TEST(Matrices, InverseOfASingularMatrixIsTheIdentity) {
    Mat4 singular = identityMatrix4();
    singular.m[4] = singular.m[0], singular.m[5] = singular.m[1], singular.m[6] = singular.m[2]; // column 1 = column 0
    Mat4 out;
    inverseMatrix4(&out, &singular);
    expectMatrixNear(out, identityMatrix4(), 0.0f);

    Quat q = quaternionFromAxisAngle(normalised3(vec3(0, 1, 1)), 33.0f);
    Mat4 m = transformMatrix(vec3(1, -2, 5), &q, vec3(2, 3, 0.5f));
    Mat4 inverse, product;
    inverseMatrix4(&inverse, &m);
    multiplyMatrix4(&product, &m, &inverse);
    expectMatrixNear(product, identityMatrix4());
}

TEST(Matrices, Inverse3x3LeavesOutputAloneWhenSingular) {
    Mat3 zero = {};
    Mat3 out = {{7, 7, 7, 7, 7, 7, 7, 7, 7}};
    EXPECT_FALSE(inverseMatrix3(&zero, &out));
    EXPECT_EQ(out.m[4], 7.0f);
    Mat3 scale = {{2, 0, 0, 0, 4, 0, 0, 0, 8}};
    EXPECT_TRUE(inverseMatrix3(&scale, &out));
    EXPECT_FLOAT_EQ(out.m[0], 0.5f);
    EXPECT_FLOAT_EQ(out.m[4], 0.25f);
    EXPECT_FLOAT_EQ(out.m[8], 0.125f);
}

TEST(Matrices, ScaleOfAMatrix) {
    Quat q = quaternionFromAxisAngle(vec3(0, 0, 1), 40.0f);
    Mat4 m = transformMatrix(vec3(0, 0, 0), &q, vec3(2, 3, 4));
    Vec3 s;
    scaleOfMatrix(&m, &s);
    EXPECT_NEAR(s.x, 2.0f, 1e-5f);
    EXPECT_NEAR(s.y, 3.0f, 1e-5f);
    EXPECT_NEAR(s.z, 4.0f, 1e-5f);
}

TEST(Projections, PerspectiveNumbers) {
    Mat4 p = identityMatrix4();
    perspective(&p, 90.0f, 1.7777778f, 0.5f, 100.0f);
    EXPECT_NEAR(matrixAt(&p, 0, 0), 0.5625f, 1e-6f);
    EXPECT_NEAR(matrixAt(&p, 1, 1), 1.0f, 1e-6f);
    EXPECT_NEAR(matrixAt(&p, 2, 2), -1.0050251f, 1e-6f);
    EXPECT_NEAR(matrixAt(&p, 2, 3), -0.50251256f, 1e-6f);
    EXPECT_EQ(matrixAt(&p, 3, 2), -1.0f);
    EXPECT_EQ(matrixAt(&p, 3, 3), 0.0f);
    // Depth -near maps to 0, -far to 1.
    Vec4 nearPoint = transformVector4(&p, Vec4{0, 0, -0.5f, 1});
    Vec4 farPoint = transformVector4(&p, Vec4{0, 0, -100.0f, 1});
    EXPECT_NEAR(nearPoint.z / nearPoint.w, 0.0f, 1e-6f);
    EXPECT_NEAR(farPoint.z / farPoint.w, 1.0f, 1e-6f);
}

TEST(Projections, DegenerateArgumentsWriteNothing) {
    Mat4 p = identityMatrix4();
    perspective(&p, 90.0f, 1.0f, 1.0f, 1.0f);
    perspective(&p, 90.0f, 0.0f, 0.1f, 10.0f);
    perspective(&p, 0.0f, 1.0f, 0.1f, 10.0f);
    expectMatrixNear(p, identityMatrix4(), 0.0f);
}

TEST(Projections, GuiOrthographic) {
    Mat4 p = identityMatrix4();
    orthographic(&p, 0, 1280, 0, 720, -2, 10);
    EXPECT_FLOAT_EQ(matrixAt(&p, 0, 0), 2.0f / 1280);
    EXPECT_FLOAT_EQ(matrixAt(&p, 1, 1), 2.0f / 720);
    EXPECT_FLOAT_EQ(matrixAt(&p, 2, 2), -1.0f / 12);
    EXPECT_FLOAT_EQ(matrixAt(&p, 0, 3), -1.0f);
    EXPECT_FLOAT_EQ(matrixAt(&p, 1, 3), -1.0f);
    EXPECT_FLOAT_EQ(matrixAt(&p, 2, 3), 1.0f / 6);
}

} // namespace
