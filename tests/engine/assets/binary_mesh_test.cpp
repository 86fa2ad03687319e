#include "engine/assets/asset_refusal.h"
#include "engine/assets/binary_mesh.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <string.h>

namespace {

class BinaryMesh : public ::testing::Test {
protected:
    void SetUp() override { directory = enterTestDirectory("binary-mesh"); ASSERT_FALSE(directory.empty()); }
    void TearDown() override { leaveTestDirectory(directory); }
    void write(const char* name, const ByteTable& table) { ASSERT_TRUE(writeTestFile(directory, name, table)); }
    std::string directory;
};

// Format 3 (three position slots): a triangle.
ByteTable triangleSlots() {
    ByteTable t;
    t.f32(0).f32(0).f32(0).f32(1).f32(0).f32(0).f32(0).f32(1).f32(0);
    return t;
}

// A mesh already holding something, to see that a refused file leaves it alone.
Mesh filledMesh(int32_t format) {
    Mesh mesh = {};
    mesh.vertexFormat = format;
    setMeshVertexSlotCount(&mesh, 6);
    for (uint32_t i = 0; i < 6; ++i) mesh.vertices[i] = 40.0f + i;
    setMeshIndexCount(&mesh, 3);
    for (uint32_t i = 0; i < 3; ++i) mesh.indices[i] = 2 - i;
    return mesh;
}

void expectUntouched(const Mesh& mesh, int32_t format) {
    EXPECT_EQ(mesh.vertexFormat, format);
    ASSERT_EQ(mesh.vertexSlotCount, 6u);
    for (uint32_t i = 0; i < 6; ++i) EXPECT_EQ(mesh.vertices[i], 40.0f + i);
    ASSERT_EQ(mesh.indexCount, 3u);
    EXPECT_EQ(mesh.indices[0], 2u);
}

TEST_F(BinaryMesh, StreamLayoutOfFiftyEightBytes) {
    ByteTable file;
    file.u16(3).u32(3).u32(3).append(triangleSlots()).u32(0).u32(1).u32(2);
    ASSERT_EQ(file.size(), 58u);
    write("tri.mesh", file);
    Mesh mesh = filledMesh(0); // the stored format replaces the mesh's own
    ASSERT_TRUE(readStreamMesh(&mesh, "tri.mesh"));
    EXPECT_EQ(mesh.vertexFormat, 3);
    ASSERT_EQ(mesh.vertexSlotCount, 9u);
    EXPECT_EQ(mesh.vertices[3], 1.0f);
    EXPECT_EQ(mesh.vertices[7], 1.0f);
    ASSERT_EQ(mesh.indexCount, 3u);
    EXPECT_EQ(mesh.indices[2], 2u);
    releaseMesh(&mesh);
}

TEST_F(BinaryMesh, StreamLayoutCountsBeyondTheFileAreRefused) {
    ByteTable whole;
    whole.u16(3).u32(3).u32(3).append(triangleSlots()).u32(0).u32(1).u32(2);
    ByteTable cut = whole;
    cut.bytes.pop_back(); // 57 bytes: the last index is short
    write("cut.mesh", cut);
    ByteTable header = whole;
    header.bytes.resize(9);
    write("header.mesh", header);
    ByteTable huge; // 0xFFFFFFFF vertices of 19 slots: the byte count does not fit 32 bits
    huge.u16(4).u32(0xFFFFFFFFu).u32(0).append(triangleSlots());
    write("huge.mesh", huge);
    ByteTable manyIndices;
    manyIndices.u16(3).u32(0).u32(0x40000000u).u32(1);
    write("indices.mesh", manyIndices);
    ByteTable format;
    format.u16(15).u32(1).u32(0).zeros(64);
    write("format.mesh", format);

    for (const char* name : {"cut.mesh", "header.mesh", "huge.mesh", "indices.mesh", "format.mesh", "absent.mesh"}) {
        Mesh mesh = filledMesh(1);
        EXPECT_FALSE(readStreamMesh(&mesh, name)) << name;
        expectUntouched(mesh, 1);
        EXPECT_NE(strstr(assetRefusal(), name), nullptr) << assetRefusal();
        releaseMesh(&mesh);
    }
}

TEST_F(BinaryMesh, ImageLayoutEmptyAndInEitherOrder) {
    ByteTable empty;
    empty.u32(0).u32(0).u32(0).i32(0).i32(0);
    write("empty.dmesh", empty);
    Mesh mesh = filledMesh(0);
    ASSERT_TRUE(readImageMesh(&mesh, "empty.dmesh"));
    EXPECT_EQ(mesh.vertexSlotCount, 0u);
    EXPECT_EQ(mesh.indexCount, 0u);

    // Vertices first: header, 9 slots at 20, indices at 56.
    ByteTable after;
    after.u32(3).u32(3).u32(3).i32(20 - 12).i32(56 - 16).append(triangleSlots()).u32(2).u32(1).u32(0);
    write("after.dmesh", after);
    // Indices first: indices at 20, slots at 32.
    ByteTable before;
    before.u32(3).u32(3).u32(3).i32(32 - 12).i32(20 - 16).u32(2).u32(1).u32(0).append(triangleSlots());
    write("before.dmesh", before);
    Mesh a = {}, b = {};
    a.vertexFormat = b.vertexFormat = 3;
    ASSERT_TRUE(readImageMesh(&a, "after.dmesh"));
    ASSERT_TRUE(readImageMesh(&b, "before.dmesh"));
    ASSERT_EQ(a.vertexSlotCount, 9u);
    ASSERT_EQ(b.vertexSlotCount, 9u);
    EXPECT_EQ(memcmp(a.vertices, b.vertices, 9 * sizeof(float)), 0);
    ASSERT_EQ(a.indexCount, 3u);
    ASSERT_EQ(b.indexCount, 3u);
    EXPECT_EQ(memcmp(a.indices, b.indices, 3 * sizeof(uint32_t)), 0);
    EXPECT_EQ(a.indices[0], 2u);
    EXPECT_EQ(a.vertexFormat, 3);
    releaseMesh(&mesh);
    releaseMesh(&a);
    releaseMesh(&b);
}

TEST_F(BinaryMesh, ImageLayoutFormatZeroGivesElevenSlotsPerVertex) {
    ByteTable file;
    file.u32(0).u32(2).u32(0).i32(8).i32(0);
    for (int i = 0; i < 22; ++i) file.f32(static_cast<float>(i));
    write("level.dmesh", file);
    Mesh mesh = {};
    ASSERT_TRUE(readImageMesh(&mesh, "level.dmesh"));
    EXPECT_EQ(meshVertexCount(&mesh), 2u);
    EXPECT_EQ(mesh.vertexSlotCount, 22u);
    EXPECT_EQ(mesh.vertices[21], 21.0f);
    releaseMesh(&mesh);
}

TEST_F(BinaryMesh, ImageLayoutOffsetsOutsideTheFileAreRefused) {
    struct Case {
        const char* name;
        ByteTable table;
    };
    std::vector<Case> cases;
    auto add = [&](const char* name, ByteTable t) { cases.push_back(Case{name, t}); };
    {
        ByteTable t; // vertex block runs one slot past the end
        t.u32(3).u32(3).u32(0).i32(8).i32(0).append(triangleSlots());
        t.bytes.resize(t.size() - 4);
        add("short.dmesh", t);
    }
    {
        ByteTable t; // negative offset reaching in front of the file
        t.u32(3).u32(1).u32(0).i32(-16).i32(0).append(triangleSlots());
        add("front.dmesh", t);
    }
    {
        ByteTable t; // index block far past the end
        t.u32(3).u32(0).u32(3).i32(0).i32(0x7FFFFFF0).u32(0).u32(1).u32(2);
        add("far.dmesh", t);
    }
    {
        ByteTable t; // an index count whose byte size wraps 32 bits
        t.u32(3).u32(0).u32(0x40000001u).i32(0).i32(4).u32(0).u32(1).u32(2);
        add("wrap.dmesh", t);
    }
    {
        ByteTable t; // vertices announced without a vertex offset
        t.u32(3).u32(3).u32(0).i32(0).i32(0).append(triangleSlots());
        add("nooffset.dmesh", t);
    }
    {
        ByteTable t;
        t.u32(3).u32(3).u32(0).i32(8);
        add("header.dmesh", t);
    }
    add("zero.dmesh", ByteTable());
    {
        ByteTable t;
        t.u32(99).u32(1).u32(0).i32(8).i32(0).zeros(400);
        add("format.dmesh", t);
    }
    for (Case& c : cases) write(c.name, c.table);

    for (const Case& c : cases) {
        Mesh mesh = filledMesh(3);
        EXPECT_FALSE(readImageMesh(&mesh, c.name)) << c.name;
        expectUntouched(mesh, 3);
        EXPECT_NE(strstr(assetRefusal(), c.name), nullptr) << assetRefusal();
        releaseMesh(&mesh);
    }
    Mesh mesh = filledMesh(3);
    EXPECT_FALSE(readImageMesh(&mesh, "absent.dmesh"));
    expectUntouched(mesh, 3);
    releaseMesh(&mesh);
}

TEST_F(BinaryMesh, ImageLayoutOfAnotherFormatThanTheMeshIsRefused) {
    ByteTable file;
    file.u32(3).u32(3).u32(0).i32(8).i32(0).append(triangleSlots());
    write("three.dmesh", file);
    Mesh mesh = filledMesh(0);
    EXPECT_FALSE(readImageMesh(&mesh, "three.dmesh"));
    expectUntouched(mesh, 0);
    EXPECT_NE(strstr(assetRefusal(), "format 3"), nullptr) << assetRefusal();
    releaseMesh(&mesh);
}

// An index at or past the vertex count would send a ray test or a draw past the
// vertices: both layouts refuse it and leave the mesh as it was. The last valid index
// still loads.
TEST_F(BinaryMesh, IndicesPastTheVerticesAreRefused) {
    ByteTable stream;
    stream.u16(3).u32(3).u32(3).append(triangleSlots()).u32(0).u32(1).u32(3);
    write("past.mesh", stream);
    ByteTable image;
    image.u32(3).u32(3).u32(3).i32(20 - 12).i32(56 - 16).append(triangleSlots()).u32(5).u32(0x40000000u).u32(2);
    write("past.dmesh", image);
    ByteTable orphan; // indices without a vertex
    orphan.u32(3).u32(0).u32(1).i32(0).i32(20 - 16).u32(0);
    write("orphan.dmesh", orphan);

    Mesh mesh = filledMesh(3);
    EXPECT_FALSE(readStreamMesh(&mesh, "past.mesh"));
    EXPECT_NE(strstr(assetRefusal(), "index"), nullptr) << assetRefusal();
    expectUntouched(mesh, 3);
    EXPECT_FALSE(readImageMesh(&mesh, "past.dmesh"));
    expectUntouched(mesh, 3);
    // The first index past the vertices is named, not the largest.
    EXPECT_NE(strstr(assetRefusal(), "index 0 is 5,"), nullptr) << assetRefusal();
    EXPECT_FALSE(readImageMesh(&mesh, "orphan.dmesh"));
    expectUntouched(mesh, 3);
    releaseMesh(&mesh);

    ByteTable last;
    last.u16(3).u32(3).u32(3).append(triangleSlots()).u32(2).u32(2).u32(2);
    write("last.mesh", last);
    Mesh ok = {};
    EXPECT_TRUE(readStreamMesh(&ok, "last.mesh")) << assetRefusal();
    releaseMesh(&ok);
}

TEST_F(BinaryMesh, WritersRoundTrip) {
    Mesh mesh = {};
    mesh.vertexFormat = 2;
    setMeshVertexSlotCount(&mesh, 15);
    for (uint32_t i = 0; i < 15; ++i) mesh.vertices[i] = 0.5f * i;
    setMeshIndexCount(&mesh, 6);
    for (uint32_t i = 0; i < 6; ++i) mesh.indices[i] = (i * 2) % 3;
    ASSERT_TRUE(writeStreamMesh("out.mesh", &mesh));
    ASSERT_TRUE(writeImageMesh("out.dmesh", &mesh));

    Mesh streamed = {}, imaged = {};
    imaged.vertexFormat = 2;
    ASSERT_TRUE(readStreamMesh(&streamed, "out.mesh"));
    ASSERT_TRUE(readImageMesh(&imaged, "out.dmesh"));
    for (const Mesh* m : {&streamed, &imaged}) {
        EXPECT_EQ(m->vertexFormat, 2);
        ASSERT_EQ(m->vertexSlotCount, 15u);
        ASSERT_EQ(m->indexCount, 6u);
        EXPECT_EQ(memcmp(m->vertices, mesh.vertices, 15 * sizeof(float)), 0);
        EXPECT_EQ(memcmp(m->indices, mesh.indices, 6 * sizeof(uint32_t)), 0);
    }
    // An empty mesh writes a header only, which reads back empty.
    Mesh empty = {};
    ASSERT_TRUE(writeImageMesh("empty.dmesh", &empty));
    ASSERT_TRUE(writeStreamMesh("empty.mesh", &empty));
    Mesh back = filledMesh(0);
    EXPECT_TRUE(readImageMesh(&back, "empty.dmesh"));
    EXPECT_EQ(back.vertexSlotCount, 0u);
    EXPECT_TRUE(readStreamMesh(&back, "empty.mesh"));
    EXPECT_EQ(back.indexCount, 0u);
    releaseMesh(&mesh);
    releaseMesh(&streamed);
    releaseMesh(&imaged);
    releaseMesh(&back);
}

} // namespace
