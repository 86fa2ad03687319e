// The content builder's writers and geometry: block compression, the image and GLB
// files read back (the GLB through the engine's reader, with its node-name filter),
// and faces wound the way their normals point.
#include "engine/assets/gltf_mesh.h"
#include "engine/assets/mesh.h"
#include "engine/platform/module_directory.h"
#include "tools/content/bc_encoder.h"
#include "tools/content/byte_writer.h"
#include "tools/content/geometry.h"
#include "tools/content/glb_writer.h"
#include "tools/content/image.h"

#include <gtest/gtest.h>
#include <png.h>

#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <vector>

namespace {

std::vector<uint8_t> readBytes(const char* path) {
    std::vector<uint8_t> bytes;
    FILE* f = fopen(path, "rb");
    if (!f) return bytes;
    uint8_t chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof(chunk), f)) > 0) bytes.insert(bytes.end(), chunk, chunk + n);
    fclose(f);
    return bytes;
}

uint32_t u32At(const std::vector<uint8_t>& b, size_t at) {
    return (uint32_t)b[at] | ((uint32_t)b[at + 1] << 8) | ((uint32_t)b[at + 2] << 16) | ((uint32_t)b[at + 3] << 24);
}

struct TempDir {
    char path[256];
    TempDir() {
        snprintf(path, sizeof(path), "/tmp/quarlo_content_test_XXXXXX");
        if (!mkdtemp(path)) path[0] = 0;
    }
    ~TempDir() {
        char command[300];
        snprintf(command, sizeof(command), "rm -rf '%s'", path);
        if (path[0] && system(command) != 0) fprintf(stderr, "could not remove %s\n", path);
    }
    void file(char* out, size_t size, const char* name) const { snprintf(out, size, "%s/%s", path, name); }
};

void fillBlock(uint8_t* pixels, const uint8_t (*colours)[4], int count) {
    for (int i = 0; i < 16; ++i) memcpy(pixels + 4 * i, colours[i % count], 4);
}

// Every triangle's winding (counter-clockwise seen from the front) must agree with the
// normals stored at its corners, or back-face culling hides the wrong side.
int countWindingDisagreements(const MeshBuilder* b) {
    int bad = 0;
    for (size_t t = 0; t + 2 < b->indices.size(); t += 3) {
        const float* v[3];
        for (int k = 0; k < 3; ++k) v[k] = &b->vertices[(size_t)b->indices[t + k] * GEOMETRY_FLOATS_PER_VERTEX];
        Vec3 a = vec3(v[0][0], v[0][1], v[0][2]), p = vec3(v[1][0], v[1][1], v[1][2]), q = vec3(v[2][0], v[2][1], v[2][2]);
        Vec3 face = cross3(sub3(p, a), sub3(q, a));
        if (length3(face) < 1e-9f) continue;
        Vec3 normal = vec3(v[0][8] + v[1][8] + v[2][8], v[0][9] + v[1][9] + v[2][9], v[0][10] + v[1][10] + v[2][10]);
        if (dot3(face, normal) <= 0) ++bad;
    }
    return bad;
}

TEST(BlockCompression, SolidAndTwoColourBlocksSurviveWithin565Steps) {
    const uint8_t solid[1][4] = {{200, 100, 50, 255}};
    uint8_t pixels[64], decoded[64], block[16];
    fillBlock(pixels, solid, 1);
    encodeBc1Block(pixels, block);
    decodeBc1Block(block, decoded);
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(decoded[4 * i], 200, 4);
        EXPECT_NEAR(decoded[4 * i + 1], 100, 2);
        EXPECT_NEAR(decoded[4 * i + 2], 50, 4);
        EXPECT_EQ(decoded[4 * i + 3], 255);
    }
    // Black and white checker: both endpoints exact, every texel on the right one.
    const uint8_t two[2][4] = {{0, 0, 0, 255}, {255, 255, 255, 255}};
    fillBlock(pixels, two, 2);
    encodeBc1Block(pixels, block);
    decodeBc1Block(block, decoded);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(decoded[4 * i], i % 2 ? 255 : 0) << "texel " << i;
    // A four-colour block decodes in four-colour mode (first endpoint above the second).
    EXPECT_GT(block[0] | (block[1] << 8), block[2] | (block[3] << 8));
}

TEST(BlockCompression, GradientErrorStaysSmallAndBc3KeepsAlpha) {
    uint8_t pixels[64], decoded[64], block[16];
    for (int i = 0; i < 16; ++i) {
        pixels[4 * i] = (uint8_t)(i * 16);
        pixels[4 * i + 1] = (uint8_t)(255 - i * 16);
        pixels[4 * i + 2] = 128;
        pixels[4 * i + 3] = (uint8_t)(i < 8 ? 0 : 255);
    }
    encodeBc3Block(pixels, block);
    decodeBc3Block(block, decoded);
    int worst = 0;
    for (int i = 0; i < 16; ++i) {
        for (int k = 0; k < 3; ++k) worst = abs(decoded[4 * i + k] - pixels[4 * i + k]) > worst ? abs(decoded[4 * i + k] - pixels[4 * i + k]) : worst;
        EXPECT_EQ(decoded[4 * i + 3], pixels[4 * i + 3]) << "alpha of texel " << i;
    }
    // Sixteen steps over four palette entries: at most half a step apart, plus rounding.
    EXPECT_LE(worst, 48);
}

TEST(ImageFiles, BmpIsBottomUpBgrWithPaddedRowsAndTheDataSizeSet) {
    TempDir dir;
    char path[300];
    dir.file(path, sizeof(path), "a.bmp");
    Image image = makeImage(1, 2);
    setPixel(&image, 0, 0, 1, 0, 0); // top: red
    setPixel(&image, 0, 1, 0, 0, 1); // bottom: blue
    ASSERT_TRUE(writeBmp(path, &image));
    std::vector<uint8_t> b = readBytes(path);
    ASSERT_EQ(b.size(), 54u + 8u); // two rows of 3 bytes padded to 4
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(u32At(b, 18), 1u);
    EXPECT_EQ(u32At(b, 22), 2u);
    EXPECT_EQ(u32At(b, 28) & 0xFFFF, 24u);
    EXPECT_EQ(u32At(b, 34), 8u);
    // First stored row is the bottom one (blue), in B, G, R order.
    EXPECT_EQ(b[54], 255);
    EXPECT_EQ(b[56], 0);
    EXPECT_EQ(b[58], 0);
    EXPECT_EQ(b[60], 255);
}

TEST(ImageFiles, DdsHeaderDescribesTheWholeMipChain) {
    TempDir dir;
    char path[300];
    dir.file(path, sizeof(path), "a.dds");
    Image image = makeImage(8, 8);
    for (uint32_t y = 0; y < 8; ++y)
        for (uint32_t x = 0; x < 8; ++x) setPixel(&image, x, y, x / 8.0f, y / 8.0f, 0.5f);
    ASSERT_TRUE(writeDds(path, &image, DDS_BC1));
    std::vector<uint8_t> b = readBytes(path);
    // 8x8 (4 blocks), 4x4, 2x2 and 1x1 (one block each), 8 bytes a block.
    ASSERT_EQ(b.size(), 128u + 8u * (4 + 1 + 1 + 1));
    EXPECT_EQ(memcmp(b.data(), "DDS ", 4), 0);
    EXPECT_EQ(u32At(b, 4), 124u);
    EXPECT_EQ(u32At(b, 12), 8u);
    EXPECT_EQ(u32At(b, 16), 8u);
    EXPECT_EQ(u32At(b, 20), 32u); // linear size of the top level
    EXPECT_EQ(u32At(b, 28), 4u);  // mip levels
    EXPECT_EQ(u32At(b, 80) & 4u, 4u);
    EXPECT_EQ(memcmp(&b[84], "DXT1", 4), 0);
    ASSERT_TRUE(writeDds(path, &image, DDS_BC3));
    b = readBytes(path);
    EXPECT_EQ(b.size(), 128u + 16u * (4 + 1 + 1 + 1));
    EXPECT_EQ(memcmp(&b[84], "DXT5", 4), 0);
    Image odd = makeImage(6, 8);
    EXPECT_FALSE(writeDds(path, &odd, DDS_BC1)) << "sizes must be powers of two";
}

TEST(ImageFiles, PngReadsBackTheSamePixels) {
    TempDir dir;
    char path[300];
    dir.file(path, sizeof(path), "a.png");
    Image image = makeImage(4, 3);
    for (uint32_t y = 0; y < 3; ++y)
        for (uint32_t x = 0; x < 4; ++x) setPixel(&image, x, y, x / 3.0f, y / 2.0f, 0.25f, 0.5f);
    ASSERT_TRUE(writePng(path, &image, true));
    png_image read;
    memset(&read, 0, sizeof(read));
    read.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&read, path));
    read.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(read));
    ASSERT_TRUE(png_image_finish_read(&read, nullptr, pixels.data(), 0, nullptr));
    EXPECT_EQ(read.width, 4u);
    EXPECT_EQ(read.height, 3u);
    EXPECT_EQ(pixels, image.rgba);
}

TEST(GlbFiles, NodeFilterTakesOnlyThatPartAndTextureCoordinatesRoundTrip) {
    TempDir dir;
    MeshBuilder a, b;
    addFittedPanel(&a, vec3(0, 0, 0), vec3(1, 0, 0), vec3(0, 0, 1), vec3(1, 0, 0));
    addBox(&b, vec3(2, 2, 2), vec3(3, 3, 3), vec3(0, 1, 0), 1.0f);
    GlbNode nodes[2] = {{"Panel", &a, false, {1, 1, 1, 1}}, {"Box", &b, false, {1, 1, 1, 1}}};
    char path[300];
    dir.file(path, sizeof(path), "model.glb");
    ASSERT_TRUE(writeGlb(path, nodes, 2));
    std::vector<uint8_t> bytes = readBytes(path);
    ASSERT_GE(bytes.size(), 28u);
    EXPECT_EQ(memcmp(bytes.data(), "glTF", 4), 0);
    EXPECT_EQ(u32At(bytes, 8), bytes.size());
    EXPECT_EQ(u32At(bytes, 12) % 4, 0u);

    setModuleDirectory(dir.path);
    Mesh box = {}, panel = {}, both = {};
    ASSERT_TRUE(loadGlb(&box, "model.glb", "Box"));
    ASSERT_TRUE(loadGlb(&panel, "model.glb", "Panel"));
    ASSERT_TRUE(loadGlb(&both, "model.glb", nullptr));
    EXPECT_EQ(meshVertexCount(&box), builderVertexCount(&b));
    EXPECT_EQ(box.indexCount, b.indices.size());
    EXPECT_EQ(meshVertexCount(&both), builderVertexCount(&a) + builderVertexCount(&b));
    ASSERT_EQ(meshVertexCount(&panel), 4u);
    for (uint32_t v = 0; v < 4; ++v)
        for (int k = 0; k < 11; ++k) EXPECT_NEAR(panel.vertices[v * 11 + k], a.vertices[v * 11 + k], 1e-6f) << v << "/" << k;
    Mesh none = {};
    EXPECT_TRUE(loadGlb(&none, "model.glb", "Missing"));
    EXPECT_EQ(none.indexCount, 0u);
    releaseMesh(&box);
    releaseMesh(&panel);
    releaseMesh(&both);
}

TEST(Geometry, FacesAreWoundTheWayTheirNormalsPoint) {
    MeshBuilder b;
    addBox(&b, vec3(-1, -2, -3), vec3(1, 2, 3), vec3(1, 1, 1), 1.0f);
    addFittedBox(&b, vec3(4, 4, 4), vec3(5, 6, 7), vec3(1, 1, 1));
    addCylinder(&b, vec3(0, 0, 0), 0.5f, 2.0f, 12, vec3(1, 1, 1));
    addCylinderAlong(&b, vec3(1, 1, 1), vec3(1, 1, 0), 0.2f, 1.0f, 9, vec3(1, 1, 1));
    addDome(&b, vec3(0, 0, 5), 0.4f, 16, 6, vec3(1, 1, 1));
    Quat q = quaternionFromAxisAngle(normalised3(vec3(1, 2, 3)), 40.0f);
    addOrientedBox(&b, vec3(3, 0, 0), &q, vec3(0.5f, 0.2f, 0.1f), vec3(1, 1, 1));
    EXPECT_EQ(countWindingDisagreements(&b), 0);
    // Outward: the box's normals point away from its centre.
    MeshBuilder box;
    addBox(&box, vec3(-1, -1, -1), vec3(1, 1, 1), vec3(1, 1, 1), 1.0f);
    for (size_t v = 0; v < box.vertices.size(); v += GEOMETRY_FLOATS_PER_VERTEX) {
        Vec3 p = vec3(box.vertices[v], box.vertices[v + 1], box.vertices[v + 2]);
        Vec3 n = vec3(box.vertices[v + 8], box.vertices[v + 9], box.vertices[v + 10]);
        EXPECT_GT(dot3(p, n), 0.0f);
    }
    EXPECT_EQ(box.indices.size(), 36u);
}

TEST(Geometry, WorldAlignedTexturesContinueAcrossNeighbouringBoxes) {
    MeshBuilder left, right;
    addBox(&left, vec3(0, 0, 0), vec3(1, 1, 1), vec3(1, 1, 1), 0.5f, FACE_NEG_Y);
    addBox(&right, vec3(1, 0, 0), vec3(2, 1, 1), vec3(1, 1, 1), 0.5f, FACE_NEG_Y);
    // The -y faces run along +x: u at x = 1 is 2 on both.
    float leftMaxU = 0, rightMinU = 1e9f;
    for (size_t v = 0; v < left.vertices.size(); v += GEOMETRY_FLOATS_PER_VERTEX) leftMaxU = fmaxf(leftMaxU, left.vertices[v + 3]);
    for (size_t v = 0; v < right.vertices.size(); v += GEOMETRY_FLOATS_PER_VERTEX) rightMinU = fminf(rightMinU, right.vertices[v + 3]);
    EXPECT_FLOAT_EQ(leftMaxU, 2.0f);
    EXPECT_FLOAT_EQ(rightMinU, 2.0f);
}

TEST(ByteWriter, StringsAreALengthThenTheBytes) {
    ByteBuffer b;
    putString(&b, "redKey");
    putF32(&b, 1.0f);
    ASSERT_EQ(b.bytes.size(), 8u + 6u + 4u);
    EXPECT_EQ(b.bytes[0], 6);
    for (int i = 1; i < 8; ++i) EXPECT_EQ(b.bytes[i], 0);
    EXPECT_EQ(memcmp(&b.bytes[8], "redKey", 6), 0);
    EXPECT_EQ(u32At(b.bytes, 14), 0x3F800000u);
}

} // namespace
