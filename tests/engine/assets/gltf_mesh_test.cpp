#include "backend/vertex_formats.h"
#include "engine/assets/asset_refusal.h"
#include "engine/assets/gltf_mesh.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>

namespace {

// A GLB container: 12-byte header, JSON chunk (padded with spaces), BIN chunk.
ByteTable glb(std::string json, ByteTable binary) {
    while (json.size() % 4) json += ' ';
    while (binary.size() % 4) binary.u8(0);
    ByteTable t;
    t.text("glTF").u32(2).u32(static_cast<uint32_t>(12 + 8 + json.size() + 8 + binary.size()));
    t.u32(static_cast<uint32_t>(json.size())).text("JSON").text(json.c_str());
    t.u32(static_cast<uint32_t>(binary.size())).text("BIN").u8(0).append(binary);
    return t;
}

// Buffer: a triangle (positions at 0, 36 bytes), u16 indices 0 1 2 at 36 (6 bytes, 2 of
// padding), texture coordinates at 44 (24 bytes), RGBA8 colours at 68 (12 bytes),
// weights at 80 (48 bytes), u8 joints at 128 (12 bytes), u16 indices 0 1 3 at 140 (one
// too large for the triangle). 148 bytes.
ByteTable triangleBuffer() {
    ByteTable b;
    b.f32(0).f32(0).f32(0).f32(1).f32(0).f32(0).f32(0).f32(1).f32(0);
    b.u16(0).u16(1).u16(2).u16(0);
    b.f32(0.25f).f32(0.25f).f32(1).f32(0).f32(0.5f).f32(1);
    b.u8(255).u8(0).u8(0).u8(255).u8(0).u8(255).u8(0).u8(255).u8(0).u8(0).u8(255).u8(255);
    b.f32(2).f32(1).f32(1).f32(0).f32(0).f32(0).f32(0).f32(0).f32(1).f32(1).f32(1).f32(1);
    b.u8(1).u8(2).u8(3).u8(200).u8(0).u8(0).u8(0).u8(0).u8(9).u8(9).u8(9).u8(9);
    b.u16(0).u16(1).u16(3).u16(0);
    return b;
}

// Accessors 0 to 5 read the triangle; 6 to 10 are faulty: indices naming vertex 3,
// too few texture coordinates, positions running past their view, a view running past
// the buffer, indices of a signed type.
const char* kTriangleViews = R"(
  "buffers": [{"byteLength": 148}],
  "bufferViews": [{"buffer": 0, "byteOffset": 0, "byteLength": 36}, {"buffer": 0, "byteOffset": 36, "byteLength": 6},
                  {"buffer": 0, "byteOffset": 44, "byteLength": 24}, {"buffer": 0, "byteOffset": 68, "byteLength": 12},
                  {"buffer": 0, "byteOffset": 80, "byteLength": 48}, {"buffer": 0, "byteOffset": 128, "byteLength": 12},
                  {"buffer": 0, "byteOffset": 140, "byteLength": 6}, {"buffer": 0, "byteOffset": 120, "byteLength": 36}],
  "accessors": [{"bufferView": 0, "componentType": 5126, "count": 3, "type": "VEC3"},
                {"bufferView": 1, "componentType": 5123, "count": 3, "type": "SCALAR"},
                {"bufferView": 2, "componentType": 5126, "count": 3, "type": "VEC2"},
                {"bufferView": 3, "componentType": 5121, "count": 3, "type": "VEC4", "normalized": true},
                {"bufferView": 4, "componentType": 5126, "count": 3, "type": "VEC4"},
                {"bufferView": 5, "componentType": 5121, "count": 3, "type": "VEC4"},
                {"bufferView": 6, "componentType": 5123, "count": 3, "type": "SCALAR"},
                {"bufferView": 2, "componentType": 5126, "count": 2, "type": "VEC2"},
                {"bufferView": 0, "byteOffset": 4, "componentType": 5126, "count": 3, "type": "VEC3"},
                {"bufferView": 7, "componentType": 5126, "count": 3, "type": "VEC3"},
                {"bufferView": 1, "componentType": 5122, "count": 3, "type": "SCALAR"}])";

std::string document(const std::string& rest) {
    return std::string("{\"asset\": {\"version\": \"2.0\"},") + kTriangleViews + "," + rest + "}";
}

class GltfMeshes : public ::testing::Test {
protected:
    void SetUp() override { directory = enterTestDirectory("gltf"); ASSERT_FALSE(directory.empty()); }
    void TearDown() override { leaveTestDirectory(directory); }
    void writeGlb(const char* name, const std::string& rest) {
        ASSERT_TRUE(writeTestFile(directory, name, glb(document(rest), triangleBuffer())));
    }
    std::string directory;
};

const float* vertexOf(const Mesh& mesh, uint32_t v) {
    return mesh.vertices + v * vertexFormatSlots(mesh.vertexFormat);
}

void expectPosition(const Mesh& mesh, uint32_t v, float x, float y, float z) {
    const float* p = vertexOf(mesh, v);
    EXPECT_NEAR(p[0], x, 1e-5f) << "vertex " << v;
    EXPECT_NEAR(p[1], y, 1e-5f) << "vertex " << v;
    EXPECT_NEAR(p[2], z, 1e-5f) << "vertex " << v;
}

TEST_F(GltfMeshes, ChildOfAMovedAndTurnedNodeIsPlacedInTheWorld) {
    // The parent comes after its child in the node array: the parent is still found.
    writeGlb("child.glb", R"("nodes": [{"mesh": 0}, {"translation": [0, 0, 5], "rotation": [0, 0.70710678, 0, 0.70710678],
                                         "children": [0]}],
                            "meshes": [{"primitives": [{"attributes": {"POSITION": 0}, "indices": 1}]}])");
    Mesh mesh = {};
    ASSERT_TRUE(loadGlb(&mesh, "child.glb", nullptr)) << assetRefusal();
    ASSERT_EQ(meshVertexCount(&mesh), 3u);
    // 90 degrees about y takes +x to -z; then up by 5 along z.
    expectPosition(mesh, 0, 0, 0, 5);
    expectPosition(mesh, 1, 0, 0, 4);
    expectPosition(mesh, 2, 0, 1, 5);
    ASSERT_EQ(mesh.indexCount, 3u);
    EXPECT_EQ(mesh.indices[2], 2u);
    // No NORMAL: smooth normals of the placed triangle (facing +x after the turn);
    // no COLOR_0: white; no TEXCOORD_0: zero.
    const float* v = vertexOf(mesh, 1);
    EXPECT_NEAR(v[8], 1.0f, 1e-5f);
    EXPECT_NEAR(v[10], 0.0f, 1e-5f);
    EXPECT_EQ(v[5], 1.0f);
    EXPECT_EQ(v[7], 1.0f);
    EXPECT_EQ(v[3], 0.0f);

    Transform world;
    const GltfNode* node = nullptr;
    GltfDocument d = {};
    std::string text = document(R"("nodes": [{"mesh": 0, "scale": [2, 2, 2]},
        {"translation": [1, 0, 0], "scale": [3, 3, 3], "children": [0]}, {"children": [1]}, {"mesh": 0}],
        "meshes": [{"primitives": []}])");
    uint32_t length;
    ASSERT_EQ(parseGltfDocument(text.c_str(), nullptr, &length, &d), 1) << assetRefusal();
    ASSERT_NE(meshNodeWorld(&d, 0, &world, &node), nullptr);
    EXPECT_EQ(node, &d.nodes.elements[0]);
    EXPECT_FLOAT_EQ(world.scale.x, 6.0f);
    EXPECT_FLOAT_EQ(world.translation.x, 1.0f);
    EXPECT_FLOAT_EQ(world.rotation.w, 1.0f);
    ASSERT_EQ(firstMeshNodeWorld(&d, &world, &node), &d.meshes.elements[0]);
    ASSERT_NE(meshNodeWorld(&d, 1, &world, &node), nullptr);
    EXPECT_EQ(node, &d.nodes.elements[3]);
    EXPECT_EQ(world.scale.x, 1.0f);
    EXPECT_EQ(meshNodeWorld(&d, 2, &world, &node), nullptr);
    releaseGltfDocument(&d);
    releaseMesh(&mesh);
}

// A deep hierarchy: every node moves one along x and holds the triangle, each the child
// of the next. The deepest sits at the sum of all the moves; every node is placed once.
TEST_F(GltfMeshes, DeepChainOfNodesIsPlacedThroughEveryParent) {
    const uint32_t depth = 1500;
    std::string nodes = "\"nodes\": [";
    for (uint32_t i = 0; i < depth; ++i) {
        if (i) nodes += ", ";
        nodes += "{\"mesh\": 0, \"translation\": [1, 0, 0]";
        if (i + 1 < depth) nodes += ", \"children\": [" + std::to_string(i + 1) + "]";
        nodes += "}";
    }
    nodes += "], \"meshes\": [{\"primitives\": [{\"attributes\": {\"POSITION\": 0}, \"indices\": 1}]}]";
    writeGlb("chain.glb", nodes);
    Mesh mesh = {};
    ASSERT_TRUE(loadGlb(&mesh, "chain.glb", nullptr)) << assetRefusal();
    ASSERT_EQ(meshVertexCount(&mesh), 3 * depth);
    expectPosition(mesh, 0, 1, 0, 0);                     // the root: its own move
    expectPosition(mesh, 3 * (depth - 1), depth, 0, 0);   // the deepest: all of them
    expectPosition(mesh, 3 * (depth - 1) + 2, depth, 1, 0);
    releaseMesh(&mesh);
}

TEST_F(GltfMeshes, AttributesTheirTypesFlipsAndNormalisation) {
    writeGlb("attributes.glb", R"("nodes": [{"mesh": 0}],
        "meshes": [{"primitives": [{"attributes": {"POSITION": 0, "TEXCOORD_0": 2, "COLOR_0": 3, "WEIGHTS_0": 4,
                                                   "JOINTS_0": 5, "NORMAL": 0}, "indices": 1}]}])");
    Mesh mesh = {};
    mesh.vertexFormat = 4; // position, texcoord, colour, normal, joints, weights
    ASSERT_TRUE(loadGlb(&mesh, "attributes.glb", nullptr)) << assetRefusal();
    ASSERT_EQ(meshVertexCount(&mesh), 3u);
    const float* v0 = vertexOf(mesh, 0);
    const float* v1 = vertexOf(mesh, 1);
    EXPECT_EQ(v0[3], 0.25f); // (u, 1 - v)
    EXPECT_EQ(v0[4], 0.75f);
    EXPECT_EQ(v1[4], 1.0f);
    EXPECT_EQ(v0[5], 1.0f); // RGBA8 colours divided by 255, alpha not written
    EXPECT_EQ(v0[6], 0.0f);
    EXPECT_EQ(v1[6], 1.0f);
    EXPECT_EQ(v1[8], 1.0f); // the NORMAL accessor (the positions here) copied as stored
    int32_t joints[4];
    memcpy(joints, v0 + 11, sizeof(joints));
    EXPECT_EQ(joints[0], 1);
    EXPECT_EQ(joints[3], 200); // zero-extended, not sign-extended
    EXPECT_FLOAT_EQ(v0[15], 0.5f); // (2, 1, 1, 0) / 4
    EXPECT_FLOAT_EQ(v0[16], 0.25f);
    EXPECT_FLOAT_EQ(v0[17], 0.25f);
    EXPECT_FLOAT_EQ(v0[18], 0.0f);
    const float* v1w = v1 + 15;
    EXPECT_EQ(v1w[0], 0.0f); // weights summing to 0 stay 0
    EXPECT_EQ(v1w[3], 0.0f);
    EXPECT_FLOAT_EQ(vertexOf(mesh, 2)[15], 0.25f);
    releaseMesh(&mesh);

    // Without joints the slots hold -1.
    writeGlb("plain.glb", R"("nodes": [{"mesh": 0}],
        "meshes": [{"primitives": [{"attributes": {"POSITION": 0}, "indices": 1}]}])");
    Mesh plain = {};
    plain.vertexFormat = 4;
    ASSERT_TRUE(loadGlb(&plain, "plain.glb", nullptr)) << assetRefusal();
    memcpy(joints, vertexOf(plain, 2) + 11, sizeof(joints));
    EXPECT_EQ(joints[0], -1);
    EXPECT_EQ(joints[3], -1);
    EXPECT_EQ(vertexOf(plain, 2)[18], 0.0f);
    releaseMesh(&plain);
}

TEST_F(GltfMeshes, MaterialColourReplacesVertexColoursInGlbs) {
    writeGlb("red.glb", R"("nodes": [{"mesh": 0}],
        "materials": [{"pbrMetallicRoughness": {"baseColorFactor": [1, 0, 0, 1]}}],
        "meshes": [{"primitives": [{"attributes": {"POSITION": 0, "COLOR_0": 3}, "indices": 1, "material": 0}]}])");
    Mesh mesh = {};
    ASSERT_TRUE(loadGlb(&mesh, "red.glb", nullptr)) << assetRefusal();
    for (uint32_t v = 0; v < 3; ++v) {
        const float* c = vertexOf(mesh, v) + 5;
        EXPECT_EQ(c[0], 1.0f) << v;
        EXPECT_EQ(c[1], 0.0f) << v;
        EXPECT_EQ(c[2], 0.0f) << v;
    }
    releaseMesh(&mesh);
}

TEST_F(GltfMeshes, NodeNameFilterAndMergingBehindExistingContents) {
    writeGlb("doors.glb", R"("nodes": [{"mesh": 0, "name": "doorA"}, {"mesh": 1, "name": "doorB", "translation": [10, 0, 0]},
                                        {"mesh": 1}],
        "meshes": [{"primitives": [{"attributes": {"POSITION": 0}, "indices": 1}]},
                   {"primitives": [{"attributes": {"POSITION": 0}, "indices": 1}, {"attributes": {"POSITION": 0}}]}])");
    Mesh b = {};
    ASSERT_TRUE(loadGlb(&b, "doors.glb", "doorB")) << assetRefusal();
    ASSERT_EQ(meshVertexCount(&b), 6u); // both primitives of doorB's mesh
    expectPosition(b, 0, 10, 0, 0);
    expectPosition(b, 4, 11, 0, 0);
    ASSERT_EQ(b.indexCount, 6u);
    // The second primitive has no index list: its vertices in threes, offset by appendMesh.
    EXPECT_EQ(b.indices[3], 3u);
    EXPECT_EQ(b.indices[5], 5u);

    Mesh none = {};
    ASSERT_TRUE(loadGlb(&none, "doors.glb", "doorC"));
    EXPECT_EQ(none.vertexSlotCount, 0u);

    // Every mesh node, also the third one that shares doorB's mesh, behind what was there.
    Mesh all = {};
    appendVertexPosition(&all, 7, 7, 7);
    setMeshIndexCount(&all, 3);
    all.indices[0] = all.indices[1] = all.indices[2] = 0;
    ASSERT_TRUE(loadGlb(&all, "doors.glb", nullptr)) << assetRefusal();
    EXPECT_EQ(meshVertexCount(&all), 1u + 3 + 6 + 6);
    expectPosition(all, 0, 7, 7, 7);
    expectPosition(all, 1, 0, 0, 0);
    expectPosition(all, 4, 10, 0, 0);
    expectPosition(all, 11, 1, 0, 0);
    ASSERT_EQ(all.indexCount, 3u + 3 + 6 + 6);
    EXPECT_EQ(all.indices[3], 1u);
    EXPECT_EQ(all.indices[6], 4u);
    EXPECT_EQ(all.indices[17], 15u);

    // An emptied mesh that still holds blocks, loading one part: the part's blocks take
    // the place of the mesh's (the old ones released), and loading again appends behind.
    Mesh reused = {};
    for (int i = 0; i < 40; ++i) appendVertexPosition(&reused, 5, 5, 5);
    ASSERT_TRUE(setMeshVertexSlotCount(&reused, 0));
    ASSERT_TRUE(loadGlb(&reused, "doors.glb", "doorA")) << assetRefusal();
    ASSERT_EQ(meshVertexCount(&reused), 3u);
    expectPosition(reused, 0, 0, 0, 0);
    expectPosition(reused, 2, 0, 1, 0);
    ASSERT_EQ(reused.indexCount, 3u);
    EXPECT_EQ(reused.indices[2], 2u);
    ASSERT_TRUE(loadGlb(&reused, "doors.glb", "doorA")) << assetRefusal();
    ASSERT_EQ(meshVertexCount(&reused), 6u);
    expectPosition(reused, 4, 1, 0, 0);
    ASSERT_EQ(reused.indexCount, 6u);
    EXPECT_EQ(reused.indices[5], 5u);
    releaseMesh(&b);
    releaseMesh(&none);
    releaseMesh(&all);
    releaseMesh(&reused);
}

TEST_F(GltfMeshes, GltfBuildsOnlyTheFirstPrimitiveOfTheFirstMeshNode) {
    std::string json = std::string("{\"asset\": {\"version\": \"2.0\"},") + kTriangleViews + "," +
                       R"("nodes": [{"children": [1]}, {"mesh": 0, "translation": [0, 2, 0]}, {"mesh": 0}],
                          "meshes": [{"primitives": [{"attributes": {"POSITION": 0, "TEXCOORD_0": 2}, "indices": 1},
                                                     {"attributes": {"POSITION": 0}}, {"attributes": {"POSITION": 0}}]}]})";
    size_t at = json.find("\"byteLength\": 148}");
    json.insert(at, "\"uri\": \"tri.bin\", ");
    ASSERT_TRUE(writeTestFile(directory, "tri.gltf", json));
    ByteTable buffer = triangleBuffer();
    ASSERT_TRUE(writeTestFile(directory, "tri.bin", buffer));
    Mesh mesh = {};
    ASSERT_TRUE(loadGltf(&mesh, "tri.gltf")) << assetRefusal();
    ASSERT_EQ(meshVertexCount(&mesh), 3u);
    EXPECT_EQ(mesh.indexCount, 3u);
    expectPosition(mesh, 2, 0, 3, 0);
    EXPECT_EQ(vertexOf(mesh, 0)[4], 0.75f);
    releaseMesh(&mesh);

    // The buffer is looked for beside the .gltf file; loadMesh dispatches by name.
    ASSERT_TRUE(writeTestFile(directory, "sub", std::string())); // a file, not a folder: the path below fails
    Mesh missing = {};
    EXPECT_FALSE(loadMesh(&missing, "sub/tri.gltf"));
    EXPECT_EQ(missing.vertexSlotCount, 0u);
    ASSERT_TRUE(loadMesh(&missing, "tri.gltf"));
    EXPECT_EQ(meshVertexCount(&missing), 3u);
    releaseMesh(&missing);

    std::string noBuffer = json;
    noBuffer.replace(noBuffer.find("tri.bin"), 7, "nothing.bin");
    ASSERT_TRUE(writeTestFile(directory, "nobuffer.gltf", noBuffer));
    std::string embedded = json;
    embedded.replace(embedded.find("tri.bin"), 7, "data:application/octet-stream;base64,AAAA");
    ASSERT_TRUE(writeTestFile(directory, "embedded.gltf", embedded));
    for (const char* name : {"nobuffer.gltf", "embedded.gltf", "absent.gltf"}) {
        Mesh m = {};
        EXPECT_FALSE(loadGltf(&m, name)) << name;
        EXPECT_EQ(m.vertexSlotCount, 0u);
        EXPECT_NE(strstr(assetRefusal(), name), nullptr) << assetRefusal();
    }
}

TEST_F(GltfMeshes, HostileFilesAreRefusedAndTheMeshKept) {
    const char* primitive = R"("nodes": [{"mesh": 0}], "meshes": [{"primitives": [{"attributes": {"POSITION": %d%s}, "indices": %d}]}])";
    struct Case {
        const char* name;
        int position;
        const char* more;
        int indices;
    } cases[] = {
        {"index.glb", 0, "", 6},                      // an index at the vertex count
        {"kind.glb", 2, "", 1},                       // POSITION of two components
        {"short.glb", 0, ", \"TEXCOORD_0\": 7", 1}, // fewer texture coordinates than vertices
        {"accessor.glb", 8, "", 1},                   // positions running past their buffer view
        {"view.glb", 9, "", 1},                       // a buffer view running past the buffer
        {"signed.glb", 0, "", 10},                    // signed indices
    };
    for (const Case& c : cases) {
        char rest[512];
        snprintf(rest, sizeof(rest), primitive, c.position, c.more, c.indices);
        writeGlb(c.name, rest);
    }
    writeGlb("cycle.glb", R"("nodes": [{"mesh": 0, "children": [1]}, {"children": [0]}],
                             "meshes": [{"primitives": [{"attributes": {"POSITION": 0}, "indices": 1}]}])");
    std::string twoBuffers = document(R"("nodes": [{"mesh": 0}],
        "meshes": [{"primitives": [{"attributes": {"POSITION": 0}, "indices": 1}]}])");
    twoBuffers.replace(twoBuffers.find("[{\"byteLength\": 148}]"), 22, "[{\"byteLength\": 148}, {\"byteLength\": 4}]");
    ASSERT_TRUE(writeTestFile(directory, "buffers.glb", glb(twoBuffers, triangleBuffer())));
    // The container itself: shorter than its header, a JSON chunk longer than the file,
    // and a binary chunk cut short so that the triangle's views reach past it.
    ByteTable whole = glb(document(R"("nodes": [{"mesh": 0}],
        "meshes": [{"primitives": [{"attributes": {"POSITION": 0}, "indices": 1}]}])"), triangleBuffer());
    ByteTable header = whole;
    header.bytes.resize(19);
    ASSERT_TRUE(writeTestFile(directory, "header.glb", header));
    ByteTable json = whole;
    json.bytes.resize(200);
    ASSERT_TRUE(writeTestFile(directory, "json.glb", json));
    ByteTable binary = whole;
    binary.bytes.resize(whole.size() - 120);
    ASSERT_TRUE(writeTestFile(directory, "binary.glb", binary));

    ByteTable infinite = triangleBuffer();
    const unsigned char infinity[4] = {0x00, 0x00, 0x80, 0x7F};
    memcpy(&infinite.bytes[16], infinity, 4); // vertex 1, y
    ASSERT_TRUE(writeTestFile(directory, "infinite.glb", glb(document(R"("nodes": [{"mesh": 0}],
        "meshes": [{"primitives": [{"attributes": {"POSITION": 0}, "indices": 1}]}])"), infinite)));

    for (const char* name : {"index.glb", "kind.glb", "short.glb", "accessor.glb", "view.glb", "signed.glb", "cycle.glb",
                             "buffers.glb", "header.glb", "json.glb", "binary.glb", "infinite.glb", "absent.glb"}) {
        Mesh mesh = {};
        appendVertexPosition(&mesh, 1, 2, 3);
        EXPECT_FALSE(loadGlb(&mesh, name, nullptr)) << name;
        EXPECT_EQ(mesh.vertexSlotCount, 11u) << name;
        EXPECT_EQ(mesh.vertices[2], 3.0f) << name;
        EXPECT_EQ(mesh.indexCount, 0u) << name;
        EXPECT_NE(strstr(assetRefusal(), name), nullptr) << assetRefusal();
        releaseMesh(&mesh);
    }
    // A well-formed container without a binary chunk and without geometry loads empty.
    std::string empty = R"({"asset": {"version": "2.0"}, "nodes": [{}]})";
    ByteTable bare;
    bare.text("glTF").u32(2).u32(static_cast<uint32_t>(20 + empty.size())).u32(static_cast<uint32_t>(empty.size()));
    bare.text("JSON").text(empty.c_str());
    ASSERT_TRUE(writeTestFile(directory, "bare.glb", bare));
    Mesh mesh = {};
    EXPECT_TRUE(loadGlb(&mesh, "bare.glb", nullptr)) << assetRefusal();
    EXPECT_EQ(mesh.vertexSlotCount, 0u);
}

} // namespace
