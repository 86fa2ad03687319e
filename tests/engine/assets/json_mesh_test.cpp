#include "backend/vertex_formats.h"
#include "engine/assets/asset_refusal.h"
#include "engine/assets/json_mesh.h"
#include "engine/assets/mesh.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <string.h>

namespace {

class JsonMesh : public ::testing::Test {
protected:
    void SetUp() override { directory = enterTestDirectory("json-mesh"); ASSERT_FALSE(directory.empty()); }
    void TearDown() override { leaveTestDirectory(directory); }
    void write(const char* name, const std::string& text) { ASSERT_TRUE(writeTestFile(directory, name, text)); }
    std::string directory;
};

const float* vertexOf(const Mesh& mesh, uint32_t v) { return mesh.vertices + v * 11; }

TEST_F(JsonMesh, FourVerticesTwoTrianglesComputedNormals) {
    write("quad.json", R"({"model": {
        "vertices": [{"x": 0, "y": 0, "z": 0}, {"x": 1, "y": 0, "z": 0}, {"x": 1, "y": 1, "z": 0}, {"x": 5, "y": 5, "z": 5}],
        "uvs": [{"u": 0.25, "v": 0.75}, {"u": 1, "v": 0}],
        "colors": [{"r": 1, "g": 0.5, "b": 0.25, "a": 0.1}],
        "indices": [{"a": 0, "b": 1, "c": 2}, {"a": 2, "b": 1, "c": 0}]
    }} trailing text after the document is ignored)");
    Mesh mesh = {};
    ASSERT_TRUE(loadJsonMesh(&mesh, "quad.json"));
    EXPECT_EQ(meshVertexCount(&mesh), 4u);
    ASSERT_EQ(mesh.indexCount, 6u);
    const uint32_t expected[6] = {0, 1, 2, 2, 1, 0};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(mesh.indices[i], expected[i]);
    EXPECT_EQ(vertexOf(mesh, 3)[0], 5.0f);
    // Texture coordinates as stored (no flip), colours without alpha, missing entries zero.
    EXPECT_EQ(vertexOf(mesh, 0)[3], 0.25f);
    EXPECT_EQ(vertexOf(mesh, 0)[4], 0.75f);
    EXPECT_EQ(vertexOf(mesh, 0)[5], 1.0f);
    EXPECT_EQ(vertexOf(mesh, 0)[7], 0.25f);
    EXPECT_EQ(vertexOf(mesh, 2)[3], 0.0f);
    EXPECT_EQ(vertexOf(mesh, 1)[5], 0.0f);
    // Two opposite windings cancel on vertices 0..2; vertex 3 is in no triangle.
    const float* n0 = vertexOf(mesh, 0) + 8;
    EXPECT_EQ(n0[0], 0.0f);
    EXPECT_EQ(n0[1], 0.0f);
    EXPECT_EQ(n0[2], 0.0f);
    const float* n3 = vertexOf(mesh, 3) + 8;
    EXPECT_EQ(n3[0], 0.0f);
    EXPECT_EQ(n3[1], 0.0f);
    EXPECT_EQ(n3[2], 1.0f);
    releaseMesh(&mesh);
}

TEST_F(JsonMesh, GivenNormalsAreCopiedAndExtraEntriesIgnored) {
    write("normals.json", R"({"model": {
        "vertices": [{"x": 0, "y": 0, "z": 0}, {"x": 1, "y": 0}, {"y": 1}],
        "uvs": [{}, {}, {}, {"u": 9, "v": 9}],
        "indices": [{"a": 0, "b": 1, "c": 2}],
        "normals": [{"x": 0, "y": -1, "z": 0}, {"x": 0.5}, {"z": 2}, {"x": 7, "y": 7, "z": 7}]
    }})");
    Mesh mesh = {};
    ASSERT_TRUE(loadJsonMesh(&mesh, "normals.json"));
    ASSERT_EQ(meshVertexCount(&mesh), 3u);
    EXPECT_EQ(vertexOf(mesh, 0)[9], -1.0f);
    EXPECT_EQ(vertexOf(mesh, 1)[8], 0.5f);
    EXPECT_EQ(vertexOf(mesh, 2)[10], 2.0f);
    EXPECT_EQ(vertexOf(mesh, 2)[1], 1.0f);
    releaseMesh(&mesh);
}

TEST_F(JsonMesh, WithoutModelNothingChanges) {
    write("empty.json", R"({"something": {"vertices": []}})");
    Mesh mesh = {};
    appendVertexPosition(&mesh, 1, 2, 3);
    ASSERT_TRUE(loadJsonMesh(&mesh, "empty.json"));
    EXPECT_EQ(meshVertexCount(&mesh), 1u);
    EXPECT_EQ(mesh.vertices[2], 3.0f);
    releaseMesh(&mesh);
}

TEST_F(JsonMesh, BadFilesAreRefusedAndTheMeshKept) {
    write("reach.json", R"({"model": {"vertices": [{"x": 0}, {"x": 1}, {"x": 2}],
        "indices": [{"a": 0, "b": 1, "c": 2}, {"a": 0, "b": 3, "c": 1}]}})");
    write("negative.json", R"({"model": {"vertices": [{"x": 0}, {"x": 1}, {"x": 2}],
        "indices": [{"a": 0, "b": -1, "c": 2}]}})");
    write("broken.json", R"({"model": {"vertices": [)");
    write("array.json", R"([1, 2, 3])");
    // Unclosed nesting deeper than a stack could recurse through.
    write("deep.json", (std::string(R"({"model": {"vertices": )") + std::string(200000, '[')).c_str());
    for (const char* name : {"reach.json", "negative.json", "broken.json", "array.json", "deep.json", "absent.json"}) {
        Mesh mesh = {};
        appendVertexPosition(&mesh, 1, 2, 3);
        EXPECT_FALSE(loadJsonMesh(&mesh, name)) << name;
        EXPECT_EQ(meshVertexCount(&mesh), 1u) << name;
        EXPECT_EQ(mesh.vertices[1], 2.0f) << name;
        EXPECT_NE(strstr(assetRefusal(), name), nullptr) << assetRefusal();
        releaseMesh(&mesh);
    }
    // A format without colour or normal cannot hold what the reader writes.
    write("ok.json", R"({"model": {"vertices": [{"x": 0}]}})");
    Mesh positions = {};
    positions.vertexFormat = 3;
    EXPECT_FALSE(loadJsonMesh(&positions, "ok.json"));
    EXPECT_EQ(positions.vertexSlotCount, 0u);
    Mesh full = {};
    full.vertexFormat = 4;
    EXPECT_TRUE(loadJsonMesh(&full, "ok.json"));
    EXPECT_EQ(meshVertexCount(&full), 1u);
    releaseMesh(&full);
}

TEST_F(JsonMesh, LoadMeshPicksTheReaderByTheFirstNameInItsList) {
    // A ".mesh" file of format 3 named as if it were a ".glb".
    ByteTable file;
    file.u16(3).u32(1).u32(0).f32(1).f32(2).f32(3);
    ASSERT_TRUE(writeTestFile(directory, "a.mesh.glb", file));
    Mesh mesh = {};
    ASSERT_TRUE(loadMesh(&mesh, "a.mesh.glb"));
    EXPECT_EQ(mesh.vertexFormat, 3);
    EXPECT_EQ(mesh.vertexSlotCount, 3u);
    releaseMesh(&mesh);

    write("b.json.mesh", R"({"model": {"vertices": [{"x": 4}, {"x": 5}]}})");
    mesh.vertexFormat = 0;
    ASSERT_TRUE(loadMesh(&mesh, "b.json.mesh")); // ".json" comes first
    EXPECT_EQ(meshVertexCount(&mesh), 2u);
    EXPECT_EQ(mesh.vertices[11], 5.0f);
    releaseMesh(&mesh);

    Mesh other = {};
    appendVertexPosition(&other, 1, 1, 1);
    EXPECT_FALSE(loadMesh(&other, "model.obj"));
    EXPECT_EQ(meshVertexCount(&other), 1u);
    EXPECT_NE(strstr(assetRefusal(), "no mesh reader"), nullptr);
    EXPECT_FALSE(loadMesh(&other, "missing.dmesh"));
    releaseMesh(&other);
}

} // namespace
