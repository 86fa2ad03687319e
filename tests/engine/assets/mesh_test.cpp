#include "backend/vertex_formats.h"
#include "engine/assets/dyn_array.h"
#include "engine/assets/mesh.h"
#include "engine/math/quaternion.h"

#include <gtest/gtest.h>

#include <string.h>

namespace {

uint32_t floatBits(float f) {
    uint32_t bits;
    memcpy(&bits, &f, sizeof(bits));
    return bits;
}

float bitsFloat(uint32_t bits) {
    float f;
    memcpy(&f, &bits, sizeof(f));
    return f;
}

// A mesh in the given format whose slot s of vertex v holds 100 v + s.
Mesh numberedMesh(int32_t format, uint32_t vertexCount) {
    Mesh mesh = {};
    mesh.vertexFormat = format;
    uint32_t slots = static_cast<uint32_t>(vertexFormatSlots(format));
    EXPECT_TRUE(setMeshVertexSlotCount(&mesh, vertexCount * slots));
    for (uint32_t v = 0; v < vertexCount; ++v)
        for (uint32_t s = 0; s < slots; ++s) mesh.vertices[v * slots + s] = static_cast<float>(100 * v + s);
    return mesh;
}

void setTriangles(Mesh* mesh, std::initializer_list<uint32_t> indices) {
    ASSERT_TRUE(setMeshIndexCount(mesh, static_cast<uint32_t>(indices.size())));
    uint32_t i = 0;
    for (uint32_t index : indices) mesh->indices[i++] = index;
}

void setPosition(Mesh* mesh, uint32_t vertex, float x, float y, float z) {
    float* p = mesh->vertices + vertex * vertexFormatSlots(mesh->vertexFormat);
    p[0] = x, p[1] = y, p[2] = z;
}

const float* normalOf(const Mesh* mesh, uint32_t vertex) {
    return mesh->vertices + vertex * vertexFormatSlots(mesh->vertexFormat) +
           vertexAttributeOffset(mesh->vertexFormat, VERTEX_ATTRIBUTE_NORMAL);
}

TEST(DynArrayGrowth, CapacityDoublesFromTwoUntilItExceedsTheRequest) {
    EXPECT_EQ(grownCapacity(0, 1), 2u);
    EXPECT_EQ(grownCapacity(0, 2), 4u);  // 2 does not exceed 2
    EXPECT_EQ(grownCapacity(0, 5), 8u);
    EXPECT_EQ(grownCapacity(1, 3), 4u);  // max(1, 2) doubled
    EXPECT_EQ(grownCapacity(6, 7), 12u); // not a power of two: doubling starts from the capacity
    EXPECT_EQ(grownCapacity(0, 0x80000000u), 0xFFFFFFFFu); // saturates instead of wrapping to 0
}

TEST(DynArrayGrowth, SettingCountsKeepsElementsAndOnlyGrowsPastTheCapacity) {
    Mesh mesh = {};
    ASSERT_TRUE(setMeshVertexSlotCount(&mesh, 2));
    EXPECT_EQ(mesh.vertexSlotCapacity, 4u);
    mesh.vertices[0] = 1.5f;
    mesh.vertices[1] = 2.5f;
    float* block = mesh.vertices;
    ASSERT_TRUE(setMeshVertexSlotCount(&mesh, 4)); // at the capacity: same block
    EXPECT_EQ(mesh.vertices, block);
    ASSERT_TRUE(setMeshVertexSlotCount(&mesh, 1));
    EXPECT_EQ(mesh.vertexSlotCapacity, 4u);
    ASSERT_TRUE(setMeshVertexSlotCount(&mesh, 5));
    EXPECT_EQ(mesh.vertexSlotCapacity, 8u);
    EXPECT_EQ(mesh.vertices[0], 1.5f);
    EXPECT_EQ(mesh.vertices[1], 2.5f); // beyond the count before growing, still kept
    ASSERT_TRUE(setMeshIndexCount(&mesh, 9));
    EXPECT_EQ(mesh.indexCapacity, 16u);
    releaseMesh(&mesh);
    EXPECT_EQ(mesh.vertices, nullptr);
    EXPECT_EQ(mesh.vertexSlotCapacity, 0u);

    DynArray<int> numbers = {};
    uint32_t capacities[10];
    for (int i = 0; i < 10; ++i) {
        ASSERT_TRUE(pushDynArray(&numbers, i));
        capacities[i] = numbers.capacity;
    }
    EXPECT_EQ(capacities[0], 2u);
    EXPECT_EQ(capacities[1], 2u);
    EXPECT_EQ(capacities[2], 4u);
    EXPECT_EQ(capacities[4], 8u);
    EXPECT_EQ(capacities[8], 16u);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(numbers.elements[i], i);
    releaseDynArray(&numbers);
}

TEST(DynArrayGrowth, ABlockBesideItsOwnCountGrowsByTheSameRule) {
    uint16_t* codes = nullptr;
    uint32_t capacity = 0;
    ASSERT_TRUE(growElements(&codes, &capacity, 3));
    EXPECT_EQ(capacity, 4u);
    codes[0] = 7;
    codes[3] = 9;
    uint16_t* block = codes;
    ASSERT_TRUE(growElements(&codes, &capacity, 4)); // within the capacity: same block
    EXPECT_EQ(codes, block);
    ASSERT_TRUE(growElements(&codes, &capacity, 5));
    EXPECT_EQ(capacity, 8u);
    EXPECT_EQ(codes[0], 7);
    EXPECT_EQ(codes[3], 9);
    for (uint32_t i = 4; i < 8; ++i) EXPECT_EQ(codes[i], 0) << i; // new room reads as zero

    // An exact reallocation keeps what fits and zeroes the rest.
    ASSERT_TRUE(reallocateElements(&codes, capacity, 10));
    EXPECT_EQ(codes[3], 9);
    EXPECT_EQ(codes[9], 0);
    releaseBlock(codes);
}

TEST(MeshVertices, AppendedPositionsLandInTheFormatsPositionSlots) {
    Mesh mesh = {}; // format 0
    appendVertexPosition(&mesh, 1, 2, 3);
    appendVertexPosition(&mesh, 4, 5, 6);
    ASSERT_EQ(meshVertexCount(&mesh), 2u);
    EXPECT_EQ(mesh.vertexSlotCount, 22u);
    EXPECT_EQ(mesh.vertices[11], 4.0f);
    EXPECT_EQ(mesh.vertices[13], 6.0f);
    EXPECT_EQ(mesh.vertices[3], 0.0f); // unwritten attributes read as zero
    releaseMesh(&mesh);

    // A 2D format has no third position slot: z must not land on the texture coordinate.
    Mesh flat = {};
    flat.vertexFormat = 7;
    appendVertexPosition(&flat, 1, 2, 3);
    EXPECT_EQ(flat.vertexSlotCount, 7u);
    EXPECT_EQ(flat.vertices[2], 0.0f);
    releaseMesh(&flat);
}

TEST(MeshNormals, SmoothNormalsAverageTheFacesNamingEachVertex) {
    Mesh mesh = {};
    for (int i = 0; i < 5; ++i) appendVertexPosition(&mesh, 0, 0, 0);
    // A roof: two faces meeting along the edge 0-1, one facing +x+z, one -x+z.
    setPosition(&mesh, 0, 0, 0, 1);
    setPosition(&mesh, 1, 0, 1, 1);
    setPosition(&mesh, 2, 1, 0, 0);
    setPosition(&mesh, 3, -1, 0, 0);
    setPosition(&mesh, 4, 7, 7, 7); // named by no triangle
    setTriangles(&mesh, {2, 1, 0, 0, 1, 3, 1, 1, 1, 0, 2}); // a degenerate triangle, then an incomplete triple
    computeSmoothNormals(&mesh);

    const float h = 0.70710678f;
    const float* n2 = normalOf(&mesh, 2);
    EXPECT_NEAR(n2[0], h, 1e-6f);
    EXPECT_NEAR(n2[1], 0.0f, 1e-6f);
    EXPECT_NEAR(n2[2], h, 1e-6f);
    const float* n3 = normalOf(&mesh, 3);
    EXPECT_NEAR(n3[0], -h, 1e-6f);
    EXPECT_NEAR(n3[2], h, 1e-6f);
    // The shared edge gets the normalised sum; the degenerate triangle adds nothing.
    for (uint32_t v : {0u, 1u}) {
        const float* n = normalOf(&mesh, v);
        EXPECT_NEAR(n[0], 0.0f, 1e-6f) << v;
        EXPECT_NEAR(n[1], 0.0f, 1e-6f) << v;
        EXPECT_NEAR(n[2], 1.0f, 1e-6f) << v;
    }
    const float* n4 = normalOf(&mesh, 4);
    EXPECT_EQ(n4[0], 0.0f);
    EXPECT_EQ(n4[1], 0.0f);
    EXPECT_EQ(n4[2], 1.0f);
    releaseMesh(&mesh);
}

TEST(MeshNormals, TrianglesNamingMissingVerticesAreSkipped) {
    Mesh mesh = {};
    appendVertexPosition(&mesh, 0, 0, 0);
    appendVertexPosition(&mesh, 1, 0, 0);
    appendVertexPosition(&mesh, 0, 1, 0);
    setTriangles(&mesh, {0, 1, 2, 0, 1, 1000000});
    computeSmoothNormals(&mesh);
    EXPECT_NEAR(normalOf(&mesh, 0)[2], 1.0f, 1e-6f);
    releaseMesh(&mesh);
}

TEST(MeshAppend, IndicesAreOffsetByTheVerticesAlreadyThere) {
    Mesh mesh = numberedMesh(3, 4);
    setTriangles(&mesh, {0, 1, 2, 2, 3, 0});
    Mesh other = numberedMesh(3, 3);
    setTriangles(&other, {0, 1, 2});
    EXPECT_TRUE(appendMesh(&mesh, &other));
    ASSERT_EQ(mesh.indexCount, 9u);
    EXPECT_EQ(mesh.indices[5], 0u);
    EXPECT_EQ(mesh.indices[6], 4u);
    EXPECT_EQ(mesh.indices[7], 5u);
    EXPECT_EQ(mesh.indices[8], 6u);
    ASSERT_EQ(meshVertexCount(&mesh), 7u);
    EXPECT_EQ(mesh.vertices[4 * 3 + 0], 0.0f); // other's vertex 0, unchanged
    EXPECT_EQ(mesh.vertices[6 * 3 + 2], 202.0f);

    // Appending a mesh to itself reads what it held before the call.
    appendMesh(&other, &other);
    ASSERT_EQ(other.indexCount, 6u);
    EXPECT_EQ(other.indices[3], 3u);
    EXPECT_EQ(meshVertexCount(&other), 6u);
    EXPECT_EQ(other.vertices[3 * 3 + 1], 1.0f);

    // A mesh of another layout is not mixed in.
    Mesh foreign = numberedMesh(0, 2);
    setTriangles(&foreign, {0, 1, 1});
    EXPECT_FALSE(appendMesh(&mesh, &foreign));
    EXPECT_EQ(mesh.indexCount, 9u);
    EXPECT_EQ(meshVertexCount(&mesh), 7u);
    releaseMesh(&mesh);
    releaseMesh(&other);
    releaseMesh(&foreign);
}

TEST(MeshConversion, TwoDimensionalColourFormatToFormatZero) {
    Mesh mesh = numberedMesh(8, 3); // position 2, texcoord 2, colour 4
    convertVertexFormat(&mesh, 0);
    EXPECT_EQ(mesh.vertexFormat, 0);
    ASSERT_EQ(mesh.vertexSlotCount, 33u);
    EXPECT_EQ(mesh.vertexSlotCapacity, 64u); // the smallest power of two above 33
    const float* v = mesh.vertices + 11; // vertex 1
    EXPECT_EQ(v[0], 100.0f);
    EXPECT_EQ(v[1], 101.0f);
    EXPECT_EQ(v[2], 0.0f);  // z added
    EXPECT_EQ(v[3], 102.0f); // texture coordinate
    EXPECT_EQ(v[4], 103.0f);
    EXPECT_EQ(v[5], 104.0f); // the first three colour components
    EXPECT_EQ(v[6], 105.0f);
    EXPECT_EQ(v[7], 106.0f);
    releaseMesh(&mesh);
}

TEST(MeshConversion, FormatZeroToFormatSevenKeepsOnlyWhatBothHave) {
    Mesh mesh = numberedMesh(0, 2);
    convertVertexFormat(&mesh, 7); // position 2, texcoord 2, colour 3
    ASSERT_EQ(mesh.vertexSlotCount, 14u);
    const float* v = mesh.vertices + 7;
    float expected[7] = {100, 101, 103, 104, 105, 106, 107};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(v[i], expected[i]) << i;
    EXPECT_EQ(mesh.vertexSlotCapacity, 32u); // the block grown for 22 slots is large enough and kept

    Mesh same = numberedMesh(0, 2);
    float* block = same.vertices;
    convertVertexFormat(&same, 0);
    EXPECT_EQ(same.vertices, block);
    EXPECT_EQ(same.vertexSlotCount, 22u);
    EXPECT_EQ(same.vertices[21], 110.0f);
    releaseMesh(&mesh);
    releaseMesh(&same);
}

TEST(MeshConversion, JointsWeightsAndMeshIndexTravelBitForBit) {
    Mesh mesh = numberedMesh(4, 1); // joints at 11, weights at 15
    const int32_t joints[4] = {-1, 2, 70000, 3};
    memcpy(mesh.vertices + 11, joints, sizeof(joints));
    convertVertexFormat(&mesh, 10); // adds a mesh index
    ASSERT_EQ(mesh.vertexSlotCount, 20u);
    int32_t copied[4];
    memcpy(copied, mesh.vertices + 11, sizeof(copied));
    for (int i = 0; i < 4; ++i) EXPECT_EQ(copied[i], joints[i]);
    EXPECT_EQ(mesh.vertices[15], 15.0f);
    EXPECT_EQ(floatBits(mesh.vertices[19]), 0u); // the new mesh index is integer 0

    mesh.vertices[19] = bitsFloat(7);
    convertVertexFormat(&mesh, 9); // position, texcoord, mesh index
    ASSERT_EQ(mesh.vertexSlotCount, 6u);
    EXPECT_EQ(floatBits(mesh.vertices[5]), 7u);
    EXPECT_EQ(mesh.vertices[3], 3.0f);
    releaseMesh(&mesh);

    // Unknown formats are left alone.
    Mesh other = numberedMesh(3, 2);
    convertVertexFormat(&other, 15);
    EXPECT_EQ(other.vertexFormat, 3);
    EXPECT_EQ(other.vertexSlotCount, 6u);
    releaseMesh(&other);
}

// Two unit squares facing +z, one at z = 0 and one at z = -2 (format 3).
Mesh twoSquares() {
    Mesh mesh = {};
    mesh.vertexFormat = 3;
    const float z[2] = {0.0f, -2.0f};
    for (int k = 0; k < 2; ++k) {
        appendVertexPosition(&mesh, 0, 0, z[k]);
        appendVertexPosition(&mesh, 1, 0, z[k]);
        appendVertexPosition(&mesh, 1, 1, z[k]);
        appendVertexPosition(&mesh, 0, 1, z[k]);
    }
    setTriangles(&mesh, {4, 5, 6, 6, 7, 4, 0, 1, 2, 2, 3, 0}); // the far square first
    return mesh;
}

float hitDistance(const Mesh& mesh, Vec3 origin, Vec3 direction, Vec3 translation = {0, 0, 0},
                  Vec3 scale = {1, 1, 1}, Quat rotation = {0, 0, 0, 1}, bool* hit = nullptr) {
    float distance = 123.0f;
    bool result = intersectRayMesh(&origin.x, &direction.x, &translation.x, &scale.x, &rotation.x, &distance,
                                   mesh.vertices, mesh.indices, mesh.indexCount, mesh.vertexFormat);
    if (hit) *hit = result;
    EXPECT_EQ(result, distance > 0.00001f);
    return distance;
}

TEST(MeshRay, NearestHitThroughASharedEdge) {
    Mesh mesh = twoSquares();
    bool hit = false;
    // (0.5, 0.5) lies on the diagonal both triangles of each square share.
    EXPECT_FLOAT_EQ(hitDistance(mesh, {0.5f, 0.5f, 3}, {0, 0, -1}, {0, 0, 0}, {1, 1, 1}, {0, 0, 0, 1}, &hit), 3.0f);
    EXPECT_TRUE(hit);
    // The distance counts in units of the direction's length, which is not normalised.
    EXPECT_FLOAT_EQ(hitDistance(mesh, {0.5f, 0.5f, 3}, {0, 0, -2}), 1.5f);
    // From between the squares looking down: the far one; from behind looking up: both windings count.
    EXPECT_FLOAT_EQ(hitDistance(mesh, {0.25f, 0.75f, -1}, {0, 0, -1}), 1.0f);
    EXPECT_FLOAT_EQ(hitDistance(mesh, {0.25f, 0.75f, -5}, {0, 0, 1}), 3.0f);
    // Missing beside, and parallel to the plane.
    EXPECT_EQ(hitDistance(mesh, {1.5f, 0.5f, 3}, {0, 0, -1}, {0, 0, 0}, {1, 1, 1}, {0, 0, 0, 1}, &hit), -1.0f);
    EXPECT_FALSE(hit);
    EXPECT_EQ(hitDistance(mesh, {-1, 0.5f, 0}, {1, 0, 0}), -1.0f);
    releaseMesh(&mesh);
}

TEST(MeshRay, DistanceLimits) {
    Mesh mesh = twoSquares();
    bool hit = true;
    // A start on the surface (distance 0) is not a hit, but the far square still is.
    EXPECT_FLOAT_EQ(hitDistance(mesh, {0.5f, 0.25f, 0}, {0, 0, -1}), 2.0f);
    EXPECT_EQ(hitDistance(mesh, {0.5f, 0.25f, 0}, {0, 0, 1}, {0, 0, 0}, {1, 1, 1}, {0, 0, 0, 1}, &hit), -1.0f);
    EXPECT_FALSE(hit);
    // 0.0001 away is reported.
    EXPECT_NEAR(hitDistance(mesh, {0.5f, 0.25f, 0.0001f}, {0, 0, -1}), 0.0001f, 1e-8f);
    // Exactly 10,000,000 away is never reported; a little closer is.
    EXPECT_EQ(hitDistance(mesh, {0.5f, 0.25f, 0}, {0, 0, -1}, {0, 0, -10000000.0f}), -1.0f);
    EXPECT_FLOAT_EQ(hitDistance(mesh, {0.5f, 0.25f, 0}, {0, 0, -1}, {0, 0, -9000000.0f}), 9000000.0f);
    releaseMesh(&mesh);
}

TEST(MeshRay, MeshIsScaledRotatedThenMoved) {
    Mesh mesh = twoSquares();
    // Scale x by 4 (the squares span x 0..4), turn +z to +y (90 degrees about x), move by (10, 0, 0):
    // the near square now lies in the plane y = 0, the far one in y = -2, both over x 10..14, z -1..0.
    Quat turn = quaternionFromAxisAngle(vec3(1, 0, 0), -90.0f);
    Vec3 probe = {0, 0, 1};
    rotateByQuaternion(&turn, &probe);
    ASSERT_NEAR(probe.y, 1.0f, 1e-6f);
    EXPECT_NEAR(hitDistance(mesh, {13.5f, -3, -0.5f}, {0, 1, 0}, {10, 0, 0}, {4, 1, 1}, turn), 1.0f, 1e-5f);
    EXPECT_NEAR(hitDistance(mesh, {13.5f, 1, -0.5f}, {0, -1, 0}, {10, 0, 0}, {4, 1, 1}, turn), 1.0f, 1e-5f);
    EXPECT_EQ(hitDistance(mesh, {9.5f, -3, -0.5f}, {0, 1, 0}, {10, 0, 0}, {4, 1, 1}, turn), -1.0f);
    releaseMesh(&mesh);
}

} // namespace
