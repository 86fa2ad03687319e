// Files made to cost resources: each is refused before the work or the memory its
// numbers ask for, with the reader's usual failure value and the destination as it was.
// Memory is measured with an allocation counter (the peak of the live heap while the
// file is read); time is the fuzz runs' concern, not a timed assertion here.
#include "backend/vertex_formats.h"
#include "engine/assets/asset_refusal.h"
#include "engine/assets/binary_mesh.h"
#include "engine/assets/gltf_mesh.h"
#include "engine/assets/image_readers.h"
#include "engine/assets/reader_limits.h"
#include "engine/text/font_atlas.h"
#include "tests/engine/assets/allocation_counter.h"
#include "tests/engine/assets/image_file_tables.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <math.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>

#include <string>
#include <vector>

namespace {

const uint64_t kMemoryBound = 64ull << 20;

// A GLB container: 12-byte header, JSON chunk (padded with spaces), BIN chunk when
// there are bytes for it.
ByteTable glb(std::string json, ByteTable binary = ByteTable()) {
    while (json.size() % 4) json += ' ';
    while (binary.size() % 4) binary.u8(0);
    ByteTable t;
    size_t total = 12 + 8 + json.size() + (binary.size() ? 8 + binary.size() : 0);
    t.text("glTF").u32(2).u32(static_cast<uint32_t>(total));
    t.u32(static_cast<uint32_t>(json.size())).text("JSON").text(json.c_str());
    if (binary.size()) t.u32(static_cast<uint32_t>(binary.size())).text("BIN").u8(0).append(binary);
    return t;
}

ByteTable triangle() {
    ByteTable b;
    b.f32(0).f32(0).f32(0).f32(1).f32(0).f32(0).f32(0).f32(1).f32(0);
    return b;
}

// A mesh in format 0 that holds one triangle already: a refusal must leave it so.
Mesh preparedMesh(int32_t format = 0) {
    Mesh mesh = {};
    mesh.vertexFormat = format;
    appendVertexPosition(&mesh, 5, 6, 7);
    appendVertexPosition(&mesh, 8, 9, 10);
    appendVertexPosition(&mesh, 11, 12, 13);
    setMeshIndexCount(&mesh, 3);
    for (uint32_t i = 0; i < 3; ++i) mesh.indices[i] = i;
    return mesh;
}

void expectPrepared(const Mesh& mesh) {
    ASSERT_EQ(meshVertexCount(&mesh), 3u);
    ASSERT_EQ(mesh.indexCount, 3u);
    EXPECT_EQ(mesh.vertices[0], 5.0f);
    EXPECT_EQ(mesh.vertices[2 * vertexFormatSlots(mesh.vertexFormat) + 2], 13.0f);
    EXPECT_EQ(mesh.indices[2], 2u);
}

class ReaderLimits : public ::testing::Test {
protected:
    void SetUp() override {
        directory = enterTestDirectory("limits");
        ASSERT_FALSE(directory.empty());
    }
    void TearDown() override { leaveTestDirectory(directory); }
    void write(const char* name, const ByteTable& t) { ASSERT_TRUE(writeTestFile(directory, name, t)); }
    void write(const char* name, const std::string& text) { ASSERT_TRUE(writeTestFile(directory, name, text)); }

    // Reads the file into a prepared mesh and expects a refusal naming `reason`, the mesh
    // as it was and less than 64 MB allocated on the way.
    void expectMeshRefused(const char* path, const char* reason) {
        SCOPED_TRACE(path);
        Mesh mesh = preparedMesh();
        startAllocationCount();
        EXPECT_FALSE(loadMesh(&mesh, path));
        EXPECT_LT(allocationPeakSinceStart(), kMemoryBound);
        EXPECT_NE(strstr(assetRefusal(), reason), nullptr) << assetRefusal();
        EXPECT_NE(strstr(assetRefusal(), path), nullptr) << assetRefusal();
        expectPrepared(mesh);
        releaseMesh(&mesh);
    }
    std::string directory;
};

// An accessor without a buffer view is all zeros, so nothing in the file bounds its
// count: 100 million positions and 4·10⁹ indices once took over a minute and 9 to 22 GB.
TEST_F(ReaderLimits, AccessorsWithoutBytesAreBoundedBeforeAnythingIsBuilt) {
    const char* unbackedPositions = R"({"asset": {"version": "2.0"},
      "accessors": [{"componentType": 5126, "count": 100000000, "type": "VEC3"}],
      "meshes": [{"primitives": [{"attributes": {"POSITION": 0}}]}], "nodes": [{"mesh": 0}]})";
    write("positions.glb", glb(unbackedPositions));
    expectMeshRefused("positions.glb", "more than a model may build");

    const char* unbackedIndices = R"({"asset": {"version": "2.0"}, "buffers": [{"uri": "tri.bin", "byteLength": 36}],
      "bufferViews": [{"buffer": 0, "byteLength": 36}],
      "accessors": [{"bufferView": 0, "componentType": 5126, "count": 3, "type": "VEC3"},
                    {"componentType": 5125, "count": 4000000000, "type": "SCALAR"}],
      "meshes": [{"primitives": [{"attributes": {"POSITION": 0}, "indices": 1}]}], "nodes": [{"mesh": 0}]})";
    write("indices.glb", glb(unbackedIndices, triangle()));
    expectMeshRefused("indices.glb", "more than a model may build");
    // The same documents as .gltf files with their buffer beside them.
    write("tri.bin", triangle());
    write("indices.gltf", std::string(unbackedIndices));
    expectMeshRefused("indices.gltf", "more than a model may build");

    // At the limit, zeros are still zeros: a model of that many vertices at the origin builds.
    char atLimit[400];
    snprintf(atLimit, sizeof(atLimit), R"({"asset": {"version": "2.0"},
      "accessors": [{"componentType": 5126, "count": %u, "type": "VEC3"}],
      "meshes": [{"primitives": [{"attributes": {"POSITION": 0}}]}], "nodes": [{"mesh": 0}]})",
             READER_MAX_MODEL_VERTICES - 3);
    write("limit.glb", glb(atLimit));
    Mesh mesh = preparedMesh();
    ASSERT_TRUE(loadMesh(&mesh, "limit.glb")) << assetRefusal();
    EXPECT_EQ(meshVertexCount(&mesh), READER_MAX_MODEL_VERTICES);
    EXPECT_EQ(mesh.vertices[static_cast<size_t>(READER_MAX_MODEL_VERTICES - 1) * 11], 0.0f);
    releaseMesh(&mesh);
}

// Nodes placing one mesh many times multiply its bytes: the total is counted first.
TEST_F(ReaderLimits, AMeshPlacedManyTimesIsCountedBeforeItIsBuilt) {
    const uint32_t vertices = 1024, placements = READER_MAX_MODEL_VERTICES / vertices + 1;
    ByteTable positions;
    for (uint32_t v = 0; v < vertices; ++v) positions.f32(static_cast<float>(v)).f32(0).f32(0);
    std::string nodes;
    for (uint32_t n = 0; n < placements; ++n) nodes += std::string(n ? "," : "") + R"({"mesh": 0})";
    char head[300];
    snprintf(head, sizeof(head), R"({"asset": {"version": "2.0"}, "buffers": [{"byteLength": %u}],
      "bufferViews": [{"buffer": 0, "byteLength": %u}],
      "accessors": [{"bufferView": 0, "componentType": 5126, "count": %u, "type": "VEC3"}],
      "meshes": [{"primitives": [{"attributes": {"POSITION": 0}}]}], "nodes": [)",
             vertices * 12, vertices * 12, vertices);
    write("placed.glb", glb(std::string(head) + nodes + "]}", positions));
    expectMeshRefused("placed.glb", "place more than 1048576 vertices");

    // Primitives without any geometry still cost a part each.
    std::string primitives;
    for (uint32_t k = 0; k < 300; ++k) primitives += std::string(k ? "," : "") + "{}";
    nodes.clear();
    for (uint32_t n = 0; n < READER_MAX_MODEL_PARTS / 300 + 1; ++n) nodes += std::string(n ? "," : "") + R"({"mesh": 0})";
    write("parts.glb", glb(R"({"asset": {"version": "2.0"}, "meshes": [{"primitives": [)" + primitives +
                           R"(]}], "nodes": [)" + nodes + "]}"));
    expectMeshRefused("parts.glb", "place more than 65536 primitives");
}

// Elements closer together than their size overlap; a stride of 0 (an accessor of an
// unknown type has elements of 0 bytes) would read one element a billion times.
TEST_F(ReaderLimits, ElementsMustNotOverlap) {
    const char* overlapping = R"({"asset": {"version": "2.0"}, "buffers": [{"byteLength": 40}],
      "bufferViews": [{"buffer": 0, "byteLength": 36}, {"buffer": 0, "byteOffset": 36, "byteLength": 4}],
      "accessors": [{"bufferView": 0, "componentType": 5126, "count": 3, "type": "VEC3"},
                    {"bufferView": 1, "componentType": 5125, "count": 3000000, "type": "VEC5"}],
      "meshes": [{"primitives": [{"attributes": {"POSITION": 0}, "indices": 1}]}], "nodes": [{"mesh": 0}]})";
    write("overlap.glb", glb(overlapping, ByteTable(triangle()).u32(0)));
    expectMeshRefused("overlap.glb", "a stride of 0 bytes is shorter than its 4-byte elements");

    const char* strided = R"({"asset": {"version": "2.0"}, "buffers": [{"byteLength": 36}],
      "bufferViews": [{"buffer": 0, "byteLength": 36, "byteStride": 4}],
      "accessors": [{"bufferView": 0, "componentType": 5126, "count": 3, "type": "VEC3"}],
      "meshes": [{"primitives": [{"attributes": {"POSITION": 0}}]}], "nodes": [{"mesh": 0}]})";
    write("strided.glb", glb(strided, triangle()));
    expectMeshRefused("strided.glb", "shorter than its 12-byte elements");
}

// A buffer URI naming a directory: POSIX opens it and reports a size near 2^63, and the
// whole-file read asked for 4 GB. Only regular files are read.
TEST_F(ReaderLimits, ABufferThatIsADirectoryCannotBeOpened) {
    ASSERT_EQ(mkdir((directory + "/folder").c_str(), 0700), 0);
    for (const char* uri : {".", "folder", "/"}) {
        SCOPED_TRACE(uri);
        write("model.gltf", std::string(R"({"asset": {"version": "2.0"}, "buffers": [{"uri": ")") + uri +
                                R"(", "byteLength": 36}], "bufferViews": [{"buffer": 0, "byteLength": 36}],
          "accessors": [{"bufferView": 0, "componentType": 5126, "count": 3, "type": "VEC3"}],
          "meshes": [{"primitives": [{"attributes": {"POSITION": 0}}]}], "nodes": [{"mesh": 0}]})");
        expectMeshRefused("model.gltf", "cannot be opened");
    }
    Mesh mesh = preparedMesh();
    EXPECT_FALSE(readImageMesh(&mesh, "folder"));
    expectPrepared(mesh);
    releaseMesh(&mesh);
}

// The one-slot colour of format 6 packs bytes; a float COLOR_0 of NaN was converted to
// an integer as it came (undefined behaviour). Out-of-range values clamp, NaN is 0.
TEST_F(ReaderLimits, FloatColoursPackClampedIntoBytes) {
    EXPECT_EQ(unitFloatToByte(NAN), 0u);
    EXPECT_EQ(unitFloatToByte(-NAN), 0u);
    EXPECT_EQ(unitFloatToByte(-INFINITY), 0u);
    EXPECT_EQ(unitFloatToByte(-0.5f), 0u);
    EXPECT_EQ(unitFloatToByte(0.5f), 128u);
    EXPECT_EQ(unitFloatToByte(1.0f), 255u);
    EXPECT_EQ(unitFloatToByte(1e30f), 255u);
    EXPECT_EQ(unitFloatToByte(INFINITY), 255u);

    ByteTable buffer = triangle();
    buffer.f32(NAN).f32(INFINITY).f32(-INFINITY).f32(0.5f).f32(2.0f).f32(-1.0f).f32(1.0f).f32(0.0f).f32(-NAN);
    write("colours.glb", glb(R"({"asset": {"version": "2.0"}, "buffers": [{"byteLength": 72}],
      "bufferViews": [{"buffer": 0, "byteLength": 36}, {"buffer": 0, "byteOffset": 36, "byteLength": 36}],
      "accessors": [{"bufferView": 0, "componentType": 5126, "count": 3, "type": "VEC3"},
                    {"bufferView": 1, "componentType": 5126, "count": 3, "type": "VEC3"}],
      "meshes": [{"primitives": [{"attributes": {"POSITION": 0, "COLOR_0": 1}}]}], "nodes": [{"mesh": 0}]})",
                             buffer));
    Mesh mesh = {};
    mesh.vertexFormat = 6;
    ASSERT_TRUE(loadGlb(&mesh, "colours.glb", nullptr)) << assetRefusal();
    ASSERT_EQ(meshVertexCount(&mesh), 3u);
    // (NaN, inf, -inf), (0.5, 2, -1), (1, 0, -NaN); alpha is always 255.
    const uint32_t expected[3] = {0xFF00FF00u, 0xFF00FF80u, 0xFF0000FFu};
    for (uint32_t v = 0; v < 3; ++v) {
        uint32_t packed;
        memcpy(&packed, mesh.vertices + 5 * v + 4, sizeof(packed));
        EXPECT_EQ(packed, expected[v]) << "vertex " << v;
    }
    releaseMesh(&mesh);
}

// A deep chain of mesh nodes: every node is placed through all its ancestors, and each
// world matrix is worked out once (walking up from every node was quadratic in depth).
TEST_F(ReaderLimits, ALongChainOfMeshNodesIsPlacedThroughEveryAncestor) {
    const uint32_t depth = 3000;
    std::string nodes;
    for (uint32_t n = 0; n < depth; ++n) {
        char node[96];
        if (n + 1 < depth)
            snprintf(node, sizeof(node), R"(%s{"mesh": 0, "translation": [0, 0, 1], "children": [%u]})", n ? "," : "", n + 1);
        else
            snprintf(node, sizeof(node), R"(,{"mesh": 0, "translation": [0, 0, 1]})");
        nodes += node;
    }
    write("chain.glb", glb(R"({"asset": {"version": "2.0"}, "buffers": [{"byteLength": 36}],
      "bufferViews": [{"buffer": 0, "byteLength": 36}],
      "accessors": [{"bufferView": 0, "componentType": 5126, "count": 3, "type": "VEC3"}],
      "meshes": [{"primitives": [{"attributes": {"POSITION": 0}}]}], "nodes": [)" + nodes + "]}",
                           triangle()));
    Mesh mesh = {};
    ASSERT_TRUE(loadMesh(&mesh, "chain.glb")) << assetRefusal();
    ASSERT_EQ(meshVertexCount(&mesh), 3 * depth);
    for (uint32_t n : {0u, 1u, 1234u, depth - 1}) {
        const float* v = mesh.vertices + static_cast<size_t>(3 * n + 1) * 11;
        EXPECT_FLOAT_EQ(v[0], 1.0f) << "node " << n;
        EXPECT_FLOAT_EQ(v[2], static_cast<float>(n + 1)) << "node " << n;
    }
    releaseMesh(&mesh);
}

// A PNG whose header says 65535 x 65535: a 16 GB block was asked for before a single
// pixel was read. The edge is bounded by the largest texture, and the rows by what
// the file's deflate data can expand to.
TEST_F(ReaderLimits, PngHeadersAreCheckedBeforeThePixelBlock) {
    struct Case {
        const char* name;
        uint32_t width, height;
        int colorType;
        const char* reason;
    };
    const Case cases[] = {{"huge.png", 65535, 65535, 6, "more than the largest texture"},
                          {"wide.png", READER_MAX_TEXTURE_EDGE + 1, 1, 0, "more than the largest texture"},
                          {"empty.png", READER_MAX_TEXTURE_EDGE, READER_MAX_TEXTURE_EDGE, 6, "bytes of PNG can hold"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // One row of data at most: the header alone must refuse the file.
        write(c.name, pngFile(c.width, c.height, 8, c.colorType, {std::vector<unsigned char>(4, 7)}));
        uint16_t width = 3, height = 4;
        uint32_t channels = 5;
        uint64_t size = 6;
        startAllocationCount();
        EXPECT_EQ(readPng(c.name, &width, &height, &channels, &size), nullptr);
        EXPECT_LT(allocationPeakSinceStart(), kMemoryBound);
        EXPECT_NE(strstr(assetRefusal(), c.reason), nullptr) << assetRefusal();
        EXPECT_EQ(width, 3);
        EXPECT_EQ(height, 4);
        EXPECT_EQ(channels, 5u);
        EXPECT_EQ(size, 6u);
    }
    // The largest edge itself is read.
    write("edge.png", pngFile(READER_MAX_TEXTURE_EDGE, 1, 8, 0, {std::vector<unsigned char>(READER_MAX_TEXTURE_EDGE, 9)}));
    uint16_t width = 0, height = 0;
    uint32_t channels = 0;
    uint64_t size = 0;
    unsigned char* pixels = readPng("edge.png", &width, &height, &channels, &size);
    ASSERT_NE(pixels, nullptr) << assetRefusal();
    EXPECT_EQ(width, READER_MAX_TEXTURE_EDGE);
    EXPECT_EQ(pixels[READER_MAX_TEXTURE_EDGE - 1], 9);
    releaseImagePixels(pixels);
}

// libpng sizes a chunk's buffer from its length field before reading it, and reading a
// length beyond its own limit is only a warning: a 60-byte file asked for 1.4 GB.
TEST_F(ReaderLimits, PngChunkLengthsAreBoundedByTheFile) {
    ByteTable png = pngFile(1, 1, 8, 0, {{42}});
    ByteTable huge;
    bigEndian(&huge, 0x5247'4C3Cu);
    huge.text("zTXt").text("key").u8(0).u8(0).text("text");
    // In front of the image data: after IHDR (8 + 25 bytes).
    png.bytes.insert(png.bytes.begin() + 33, huge.bytes.begin(), huge.bytes.end());
    write("chunk.png", png);
    uint16_t width = 3, height = 4;
    uint32_t channels = 5;
    uint64_t size = 6;
    startAllocationCount();
    EXPECT_EQ(readPng("chunk.png", &width, &height, &channels, &size), nullptr);
    EXPECT_LT(allocationPeakSinceStart(), kMemoryBound);
    EXPECT_NE(strstr(assetRefusal(), "chunk.png"), nullptr) << assetRefusal();
    EXPECT_EQ(width, 3);
}

TEST_F(ReaderLimits, BmpAndDdsPicturesLargerThanTheLargestTextureAreRefused) {
    const uint32_t over = READER_MAX_TEXTURE_EDGE + 1;
    write("wide.bmp", bmpFile(static_cast<int32_t>(over), 1, 24, std::vector<unsigned char>(3 * over + 1, 1), 0));
    uint16_t width = 3, height = 4;
    uint64_t size = 6;
    EXPECT_EQ(readBmp("wide.bmp", &width, &height, &size), nullptr);
    EXPECT_NE(strstr(assetRefusal(), "at most 16384"), nullptr) << assetRefusal();
    EXPECT_EQ(width, 3);

    DdsHeader header;
    header.width = 4;
    header.height = over;
    header.mipCount = 0;
    ByteTable dds = ddsFile(header);
    dds.zeros(8 * ((over + 3) / 4));
    write("tall.dds", dds);
    uint32_t format = 0;
    uint16_t levels = 9;
    EXPECT_EQ(readDds("tall.dds", &width, &height, &format, &levels, &size), nullptr);
    EXPECT_NE(strstr(assetRefusal(), "at most 16384"), nullptr) << assetRefusal();
    EXPECT_EQ(format, static_cast<uint32_t>(PIXEL_FORMAT_UNSUPPORTED));
    EXPECT_EQ(height, 4);
}

#if defined(QUARLO_TEST_FONT)
// A glyph larger than the largest atlas page could only be clipped: it keeps an empty
// box and is never rendered (FreeType would allocate its whole bitmap first), while its
// advance still moves the pen.
TEST_F(ReaderLimits, GlyphsLargerThanAPageAreNotRendered) {
    FILE* file = fopen(QUARLO_TEST_FONT, "rb");
    ASSERT_NE(file, nullptr) << "the test font " << QUARLO_TEST_FONT << " is missing";
    std::vector<uint8_t> bytes;
    uint8_t chunkBytes[65536];
    for (size_t n; (n = fread(chunkBytes, 1, sizeof(chunkBytes), file)) > 0;) bytes.insert(bytes.end(), chunkBytes, chunkBytes + n);
    fclose(file);

    for (uint32_t pixelSize : {12000u, 600u}) {
        SCOPED_TRACE(pixelSize);
        uint8_t* data = new uint8_t[bytes.size()];
        memcpy(data, bytes.data(), bytes.size());
        FontAtlas atlas = emptyFontAtlas();
        ASSERT_EQ(loadFontFromMemory(&atlas, data, static_cast<uint32_t>(bytes.size())), 0);
        atlas.pixelSize = pixelSize;
        queuePendingGlyph(&atlas, 'W');
        startAllocationCount();
        addPendingGlyphs(&atlas);
        uint64_t peak = allocationPeakSinceStart();
        GlyphInfo info;
        ASSERT_TRUE(lookUpGlyph(&atlas, 'W', &info));
        EXPECT_GT(info.advance.x, 0);
        if (pixelSize > READER_MAX_GLYPH_EDGE) {
            EXPECT_EQ(info.size.x, 0);
            EXPECT_EQ(info.size.y, 0);
            EXPECT_EQ(atlas.pages[0].description.width, ATLAS_FIRST_PAGE_SIZE);
            EXPECT_LT(peak, kMemoryBound);
        } else {
            EXPECT_GT(info.size.x, 300);
            EXPECT_GT(info.size.y, 300);
        }
        releaseFontAtlas(&atlas);
    }
}
#endif

} // namespace
