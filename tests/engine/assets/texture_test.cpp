#include "engine/program/program_state.h"
#include "engine/assets/asset_refusal.h"
#include "engine/assets/image_readers.h"
#include "engine/assets/texture.h"
#include "tests/support/recording_renderer.h"
#include "tests/engine/assets/image_file_tables.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <string.h>

#include <vector>

namespace {

// A BC1 block whose colour endpoints are `tag` and whose index rows are 0x10 + r.
void bc1Block(ByteTable* t, uint8_t tag) { t->u8(tag).u8(tag).u8(tag).u8(tag).u8(0x10).u8(0x11).u8(0x12).u8(0x13); }

class Textures : public ::testing::Test {
protected:
    void SetUp() override {
        directory = enterTestDirectory("textures");
        ASSERT_FALSE(directory.empty());
        gRendererState = RendererState{};
        installRecordingRenderer(&recorder);
    }
    void TearDown() override {
        removeRecordingRenderer();
        leaveTestDirectory(directory);
    }
    void write(const char* name, const ByteTable& t) { ASSERT_TRUE(writeTestFile(directory, name, t)); }
    const RecordedCall* lastUpload() { return findCall(&recorder, "uploadTextureInRenderer", countCalls(&recorder, "uploadTextureInRenderer") - 1); }
    std::string directory;
    RecordingRenderer recorder;
};

TEST_F(Textures, RgbaPngIsPremultipliedAndBottomUp) {
    write("rgba.png", pngFile(2, 2, 8, 6, {{200, 100, 50, 128, 10, 20, 30, 255}, {1, 2, 3, 0, 255, 255, 255, 255}}));
    uint16_t width = 0, height = 0;
    uint32_t channels = 0;
    uint64_t size = 0;
    unsigned char* pixels = readPng("rgba.png", &width, &height, &channels, &size);
    ASSERT_NE(pixels, nullptr) << assetRefusal();
    EXPECT_EQ(width, 2);
    EXPECT_EQ(height, 2);
    EXPECT_EQ(channels, 4u);
    ASSERT_EQ(size, 16u);
    // The file's bottom row comes first.
    const unsigned char expected[16] = {0, 0, 0, 0, 255, 255, 255, 255, 100, 50, 25, 128, 10, 20, 30, 255};
    EXPECT_EQ(memcmp(pixels, expected, 16), 0);
    releaseImagePixels(pixels);

    Texture texture = emptyTexture();
    loadTexture(&texture, "rgba.png");
    EXPECT_EQ(texture.description.pixelFormat, PIXEL_FORMAT_RGBA8);
    EXPECT_EQ(texture.description.mipLevels, 2u);
    const RecordedCall* upload = lastUpload();
    ASSERT_NE(upload, nullptr);
    EXPECT_NE(upload->pointer, nullptr);
    EXPECT_EQ(upload->integers, (std::vector<uint64_t>{0, 1, RENDERER_INVALID_ID})); // byte size 0, one level, new
    EXPECT_EQ(texture.id, static_cast<int32_t>(upload->result));
    // Loaded again into the same record: the slot is handed back for reuse.
    loadTexture(&texture, "rgba.png");
    EXPECT_EQ(lastUpload()->integers[2], static_cast<uint64_t>(texture.id));
}

TEST_F(Textures, PngLayoutsAndMipCounts) {
    std::vector<std::vector<unsigned char>> rgbRows(64, std::vector<unsigned char>(256 * 3, 7));
    write("wide.png", pngFile(256, 64, 8, 2, rgbRows));
    write("grey.png", pngFile(3, 1, 8, 0, {{9, 8, 7}}));
    write("greyalpha.png", pngFile(1, 1, 8, 4, {{200, 51}}));
    write("palette.png", pngFile(2, 1, 8, 3, {{1, 0}}, {10, 20, 30, 40, 50, 60}));
    write("bits.png", pngFile(3, 1, 1, 0, {{0xA0}}));   // 1-bit grey: 1 0 1
    write("deep.png", pngFile(1, 1, 16, 2, {{0xFF, 0xFF, 0x80, 0x00, 0x00, 0x00}}));
    struct Case {
        const char* name;
        uint32_t format, mips;
        std::vector<unsigned char> first;
    } cases[] = {
        {"wide.png", PIXEL_FORMAT_RGB8, 9, {7, 7, 7}},
        {"grey.png", PIXEL_FORMAT_R8, 2, {9, 8, 7}},
        {"greyalpha.png", PIXEL_FORMAT_RGBA8, 1, {40, 40, 40, 51}}, // grey to RGB, premultiplied
        {"palette.png", PIXEL_FORMAT_RGB8, 2, {40, 50, 60, 10, 20, 30}},
        {"bits.png", PIXEL_FORMAT_R8, 2, {255, 0, 255}},
        {"deep.png", PIXEL_FORMAT_RGB8, 1, {255, 128, 0}},
    };
    for (const Case& c : cases) {
        Texture texture = emptyTexture();
        loadTexture(&texture, c.name);
        EXPECT_EQ(texture.description.pixelFormat, c.format) << c.name << ": " << assetRefusal();
        EXPECT_EQ(texture.description.mipLevels, c.mips) << c.name;
        TextureDescription d = {};
        uint16_t levels;
        uint64_t size;
        unsigned char* pixels = readTextureImage(c.name, &d, &levels, &size);
        ASSERT_NE(pixels, nullptr) << c.name;
        EXPECT_EQ(memcmp(pixels, c.first.data(), c.first.size()), 0) << c.name;
        releaseImagePixels(pixels);
    }
}

TEST_F(Textures, UnreadablePngsStillGetATextureWithoutPixels) {
    ByteTable notPng;
    notPng.text("GIF89a").zeros(40);
    write("fake.png", notPng);
    ByteTable cut = pngFile(4, 4, 8, 6, std::vector<std::vector<unsigned char>>(4, std::vector<unsigned char>(16, 1)));
    cut.bytes.resize(cut.size() - 30); // inside the image data
    write("cut.png", cut);
    ByteTable crc = pngFile(1, 1, 8, 0, {{5}});
    crc.bytes[20] ^= 1; // the header's CRC no longer matches
    write("crc.png", crc);
    for (const char* name : {"fake.png", "cut.png", "crc.png", "absent.png"}) {
        Texture texture = emptyTexture();
        texture.description.pixelFormat = 77;
        loadTexture(&texture, name);
        const RecordedCall* upload = lastUpload();
        ASSERT_NE(upload, nullptr) << name;
        EXPECT_EQ(upload->pointer, nullptr) << name;
        EXPECT_EQ(texture.description.pixelFormat, 77u) << name; // no channel count: left as it was
        EXPECT_EQ(texture.description.mipLevels, 0u) << name;   // no pixels: no mip chain
        EXPECT_EQ(texture.id, static_cast<int32_t>(upload->result)) << name;
        EXPECT_NE(strstr(assetRefusal(), name), nullptr) << assetRefusal();
    }
}

TEST_F(Textures, BmpAsStoredAndTheFallbackWidened) {
    write("one.bmp", bmpFile(1, 1, 24, {10, 20, 30, 0}, 0));
    // 3 x 2 with rows padded to 12 bytes; a V5 header (124 bytes) moves the data.
    std::vector<unsigned char> padded = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0, 11, 12, 13, 14, 15, 16, 17, 18, 19, 0, 0, 0};
    write("padded.bmp", bmpFile(3, 2, 24, padded, 24, 124));
    write("blackpixel", bmpFile(1, 1, 24, {1, 2, 3, 0}, 0));

    Texture one = emptyTexture();
    loadTexture(&one, "one.bmp");
    EXPECT_EQ(one.description.pixelFormat, PIXEL_FORMAT_BGR8);
    EXPECT_EQ(one.description.width, 1);
    EXPECT_EQ(one.description.mipLevels, 1u);

    uint16_t w = 0, h = 0;
    uint64_t size = 0;
    unsigned char* pixels = readBmp("padded.bmp", &w, &h, &size);
    ASSERT_NE(pixels, nullptr) << assetRefusal();
    EXPECT_EQ(w, 3);
    EXPECT_EQ(h, 2);
    ASSERT_EQ(size, 24u); // padding included
    EXPECT_EQ(memcmp(pixels, padded.data(), 24), 0);
    releaseImagePixels(pixels);

    Texture fallback = emptyTexture();
    loadTexture(&fallback, "blackpixel");
    EXPECT_EQ(fallback.description.pixelFormat, PIXEL_FORMAT_BGRA8);
    pixels = readFallbackImage("blackpixel", &w, &h, &size);
    ASSERT_NE(pixels, nullptr);
    ASSERT_EQ(size, 4u);
    const unsigned char bgrr[4] = {1, 2, 3, 3}; // alpha is the red byte
    EXPECT_EQ(memcmp(pixels, bgrr, 4), 0);
    releaseImagePixels(pixels);
    // An extension in another case is not "bmp": the fallback reads it.
    write("upper.BMP", bmpFile(1, 1, 24, {1, 2, 3, 0}, 0));
    Texture upper = emptyTexture();
    loadTexture(&upper, "upper.BMP");
    EXPECT_EQ(upper.description.pixelFormat, PIXEL_FORMAT_BGRA8);
}

TEST_F(Textures, BmpsThatDoNotFitTheirFileAreRefused) {
    write("huge.bmp", bmpFile(65535, 65535, 24, {1, 2, 3, 0}, 0));       // far more pixels than bytes
    write("field.bmp", bmpFile(2, 2, 24, {1, 2, 3, 4, 5, 6}, 0x7FFFFFFF)); // a data size beyond the file
    write("small.bmp", bmpFile(4, 4, 24, std::vector<unsigned char>(48, 1), 12)); // a data size short of the picture
    write("wide.bmp", bmpFile(70000, 1, 24, std::vector<unsigned char>(16, 1), 0));
    write("deep.bmp", bmpFile(1, 1, 32, {1, 2, 3, 4}, 0));
    write("flipped.bmp", bmpFile(1, -1, 24, {1, 2, 3, 0}, 0));
    ByteTable header = bmpFile(1, 1, 24, {1, 2, 3, 0}, 0);
    header.bytes.resize(50);
    write("header.bmp", header);
    for (const char* name : {"huge.bmp", "field.bmp", "small.bmp", "wide.bmp", "deep.bmp", "flipped.bmp", "header.bmp",
                             "absent.bmp"}) {
        uint16_t w = 7, h = 7;
        uint64_t size = 0;
        EXPECT_EQ(readBmp(name, &w, &h, &size), nullptr) << name;
        EXPECT_EQ(w, 7) << name;
        EXPECT_NE(strstr(assetRefusal(), name), nullptr) << assetRefusal();
        Texture texture = emptyTexture();
        loadTexture(&texture, name);
        EXPECT_EQ(lastUpload()->pointer, nullptr) << name;
    }
}

TEST_F(Textures, Bc1WithThreeLevelsReadsEightBytesEach) {
    DdsHeader h;
    h.linearSize = 8;
    h.mipCount = 3;
    ByteTable file = ddsFile(h);
    bc1Block(&file, 0xA0);
    bc1Block(&file, 0xB0);
    bc1Block(&file, 0xC0);
    file.zeros(8); // more than the levels: not read
    write("bc1.dds", file);
    uint16_t w = 0, ht = 0, levels = 0;
    uint32_t format = 0;
    uint64_t size = 0;
    unsigned char* pixels = readDds("bc1.dds", &w, &ht, &format, &levels, &size);
    ASSERT_NE(pixels, nullptr) << assetRefusal();
    EXPECT_EQ(format, PIXEL_FORMAT_BC1);
    EXPECT_EQ(levels, 3);
    ASSERT_EQ(size, 24u);
    // 4 x 4: all four index rows reversed. 2 x 2: its two rows swapped. 1 x 1: as it was.
    const unsigned char expected[24] = {0xA0, 0xA0, 0xA0, 0xA0, 0x13, 0x12, 0x11, 0x10, 0xB0, 0xB0, 0xB0, 0xB0,
                                        0x11, 0x10, 0x12, 0x13, 0xC0, 0xC0, 0xC0, 0xC0, 0x10, 0x11, 0x12, 0x13};
    EXPECT_EQ(memcmp(pixels, expected, 24), 0);
    releaseImagePixels(pixels);

    Texture texture = emptyTexture();
    loadTexture(&texture, "bc1.dds");
    EXPECT_EQ(texture.description.pixelFormat, PIXEL_FORMAT_BC1);
    EXPECT_EQ(lastUpload()->integers[1], 3u);

    // A mip-map count of 0: one level, not flipped, 0 levels in data.
    h.mipCount = 0;
    ByteTable single = ddsFile(h);
    bc1Block(&single, 0xA0);
    write("single.dds", single);
    pixels = readDds("single.dds", &w, &ht, &format, &levels, &size);
    ASSERT_NE(pixels, nullptr) << assetRefusal();
    EXPECT_EQ(levels, 0);
    ASSERT_EQ(size, 8u);
    EXPECT_EQ(pixels[4], 0x10);
    releaseImagePixels(pixels);
    Texture zero = emptyTexture();
    loadTexture(&zero, "single.dds");
    EXPECT_EQ(lastUpload()->integers[1], 0u);
    EXPECT_EQ(zero.description.mipLevels, 3u);
}

// A linear size above the top level's real size: the extra bytes are skipped, so the
// lower levels are handed on where their real sizes put them.
TEST_F(Textures, OversizedLinearSizeKeepsTheLowerLevelsInPlace) {
    DdsHeader h;
    h.linearSize = 16; // the 4 x 4 level is one 8-byte block
    h.mipCount = 3;
    ByteTable file = ddsFile(h);
    bc1Block(&file, 0xA0);
    file.zeros(8);
    bc1Block(&file, 0xB0);
    bc1Block(&file, 0xC0);
    write("long-top.dds", file);
    uint16_t w = 0, ht = 0, levels = 0;
    uint32_t format = 0;
    uint64_t size = 0;
    unsigned char* pixels = readDds("long-top.dds", &w, &ht, &format, &levels, &size);
    ASSERT_NE(pixels, nullptr) << assetRefusal();
    ASSERT_EQ(size, 24u);
    EXPECT_EQ(pixels[0], 0xA0);
    EXPECT_EQ(pixels[8], 0xB0);
    EXPECT_EQ(pixels[16], 0xC0);
    releaseImagePixels(pixels);
    // The linear size still has to fit the file.
    ByteTable cut = ddsFile(h);
    bc1Block(&cut, 0xA0);
    bc1Block(&cut, 0xB0);
    bc1Block(&cut, 0xC0);
    write("cut-top.dds", cut);
    EXPECT_EQ(readDds("cut-top.dds", &w, &ht, &format, &levels, &size), nullptr);
}

TEST_F(Textures, BlockRowsAndAlphaRowsAreFlipped) {
    // 4 x 8 BC1 (two block rows): the rows trade places and each is reversed inside.
    DdsHeader h;
    h.height = 8;
    h.linearSize = 16;
    ByteTable tall = ddsFile(h);
    bc1Block(&tall, 0xA0);
    bc1Block(&tall, 0xB0);
    write("tall.dds", tall);
    uint16_t w, ht, levels;
    uint32_t format;
    uint64_t size;
    unsigned char* pixels = readDds("tall.dds", &w, &ht, &format, &levels, &size);
    ASSERT_NE(pixels, nullptr) << assetRefusal();
    EXPECT_EQ(pixels[0], 0xB0);
    EXPECT_EQ(pixels[4], 0x13);
    EXPECT_EQ(pixels[8], 0xA0);
    releaseImagePixels(pixels);

    // BC3 through a DX10 header: alpha endpoints, 48 bits of 12-bit alpha index rows.
    DdsHeader d;
    d.fourCC = "DX10";
    ByteTable bc3 = ddsFile(d);
    bc3.u32(77).u32(3).u32(0).u32(1).u32(0);
    bc3.u8(0xF0).u8(0x0F);
    uint64_t rows = 0x111 | (0x222ull << 12) | (0x333ull << 24) | (0x444ull << 36);
    for (int b = 0; b < 6; ++b) bc3.u8(static_cast<uint32_t>(rows >> (8 * b)));
    bc3.u8(1).u8(2).u8(3).u8(4).u8(0x10).u8(0x11).u8(0x12).u8(0x13);
    write("bc3.dds", bc3);
    pixels = readDds("bc3.dds", &w, &ht, &format, &levels, &size);
    ASSERT_NE(pixels, nullptr) << assetRefusal();
    EXPECT_EQ(format, PIXEL_FORMAT_BC3);
    ASSERT_EQ(size, 16u);
    uint64_t flipped = 0;
    for (int b = 0; b < 6; ++b) flipped |= static_cast<uint64_t>(pixels[2 + b]) << (8 * b);
    EXPECT_EQ(flipped, 0x444 | (0x333ull << 12) | (0x222ull << 24) | (0x111ull << 36));
    EXPECT_EQ(pixels[0], 0xF0);
    EXPECT_EQ(pixels[12], 0x13);
    EXPECT_EQ(pixels[8], 1);
    releaseImagePixels(pixels);

    // BC2: four 16-bit alpha rows, row 0 with 3 and 1 with 2.
    d.fourCC = "DXT3";
    ByteTable bc2 = ddsFile(d);
    bc2.u16(0x1111).u16(0x2222).u16(0x3333).u16(0x4444).u32(0).u8(0x10).u8(0x11).u8(0x12).u8(0x13);
    write("bc2.dds", bc2);
    pixels = readDds("bc2.dds", &w, &ht, &format, &levels, &size);
    ASSERT_NE(pixels, nullptr) << assetRefusal();
    EXPECT_EQ(format, PIXEL_FORMAT_BC2);
    const unsigned char alpha[8] = {0x44, 0x44, 0x33, 0x33, 0x22, 0x22, 0x11, 0x11};
    EXPECT_EQ(memcmp(pixels, alpha, 8), 0);
    EXPECT_EQ(pixels[15], 0x10);
    releaseImagePixels(pixels);
}

TEST_F(Textures, UncompressedDdsLayouts) {
    struct Case {
        const char* name;
        uint32_t flags, bits, r, g, b, a;
        uint32_t format, bytes;
    } cases[] = {
        {"rgba.dds", 0x41, 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000u, PIXEL_FORMAT_RGBA8, 4},
        {"bgra.dds", 0x41, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000u, PIXEL_FORMAT_BGRA8, 4},
        {"rgbx.dds", 0x40, 32, 0xFF, 0xFF00, 0xFF0000, 0, PIXEL_FORMAT_RGB8, 3},
        {"bgrx.dds", 0x40, 32, 0xFF0000, 0xFF00, 0xFF, 0, PIXEL_FORMAT_BGR8, 3},
        {"bgr.dds", 0x40, 24, 0xFF0000, 0xFF00, 0xFF, 0, PIXEL_FORMAT_BGR8, 3},
        {"alpha.dds", 0x2, 8, 0, 0, 0, 0xFF, PIXEL_FORMAT_R8, 1},
    };
    for (const Case& c : cases) {
        // 2 x 2 plus a 1 x 1 level; pixel k of the file holds the bytes 10k, 10k + 1, ...
        DdsHeader h;
        h.width = h.height = 2;
        h.mipCount = 2;
        h.flags = c.flags;
        h.fourCC = nullptr;
        h.bits = c.bits;
        h.masks[0] = c.r, h.masks[1] = c.g, h.masks[2] = c.b, h.masks[3] = c.a;
        ByteTable file = ddsFile(h);
        uint32_t fileBytes = c.bits / 8;
        for (uint32_t k = 0; k < 5; ++k)
            for (uint32_t i = 0; i < fileBytes; ++i) file.u8(10 * k + i);
        write(c.name, file);
        uint16_t w, ht, levels;
        uint32_t format;
        uint64_t size;
        unsigned char* pixels = readDds(c.name, &w, &ht, &format, &levels, &size);
        ASSERT_NE(pixels, nullptr) << c.name << ": " << assetRefusal();
        EXPECT_EQ(format, c.format) << c.name;
        ASSERT_EQ(size, 5u * c.bytes) << c.name;
        // Rows swapped: file pixels 2, 3 come first, then 0, 1; then the 1 x 1 level.
        const uint32_t order[5] = {2, 3, 0, 1, 4};
        for (uint32_t p = 0; p < 5; ++p)
            for (uint32_t i = 0; i < c.bytes; ++i)
                EXPECT_EQ(pixels[p * c.bytes + i], 10 * order[p] + i) << c.name << " pixel " << p;
        releaseImagePixels(pixels);
    }
}

TEST_F(Textures, DdsFilesThatDoNotFitAreRefused) {
    DdsHeader h;
    h.linearSize = 8;
    h.mipCount = 3;
    ByteTable levels = ddsFile(h);
    bc1Block(&levels, 1);
    bc1Block(&levels, 2); // the third level is missing
    write("levels.dds", levels);
    h.mipCount = 4; // a 4 x 4 picture has three levels
    ByteTable chain = ddsFile(h);
    for (int i = 0; i < 4; ++i) bc1Block(&chain, 1);
    write("chain.dds", chain);
    h.mipCount = 1;
    h.width = 4096;
    h.height = 4096;
    ByteTable top = ddsFile(h); // a linear size far short of 4096 x 4096 and no data
    bc1Block(&top, 1);
    write("top.dds", top);
    h.width = 0;
    write("zero.dds", ddsFile(h));
    DdsHeader x;
    x.fourCC = "DX10";
    ByteTable dx10 = ddsFile(x);
    dx10.u32(71);
    write("dx10.dds", dx10);
    ByteTable header = ddsFile(x);
    header.bytes.resize(100);
    write("header.dds", header);
    DdsHeader big;
    big.flags = 0x41;
    big.fourCC = nullptr;
    big.bits = 32;
    big.masks[0] = 0xFF0000, big.masks[1] = 0xFF00, big.masks[2] = 0xFF, big.masks[3] = 0xFF000000u;
    big.width = big.height = 65535;
    ByteTable overflow = ddsFile(big);
    overflow.zeros(64);
    write("overflow.dds", overflow);
    for (const char* name :
         {"levels.dds", "chain.dds", "top.dds", "zero.dds", "dx10.dds", "header.dds", "overflow.dds", "absent.dds"}) {
        uint16_t w = 7, ht = 7, count = 9;
        uint32_t format = 0;
        uint64_t size = 0;
        EXPECT_EQ(readDds(name, &w, &ht, &format, &count, &size), nullptr) << name;
        EXPECT_EQ(format, PIXEL_FORMAT_UNSUPPORTED) << name;
        EXPECT_EQ(count, 0) << name;
        EXPECT_NE(strstr(assetRefusal(), name), nullptr) << assetRefusal();
    }

    // A layout that is not read (16-bit 565) is described and passed on without pixels.
    DdsHeader rgb565;
    rgb565.flags = 0x40;
    rgb565.fourCC = nullptr;
    rgb565.bits = 16;
    rgb565.masks[0] = 0xF800, rgb565.masks[1] = 0x7E0, rgb565.masks[2] = 0x1F;
    rgb565.mipCount = 1;
    ByteTable unsupported = ddsFile(rgb565);
    unsupported.zeros(32);
    write("565.dds", unsupported);
    Texture texture = emptyTexture();
    loadTexture(&texture, "565.dds");
    EXPECT_EQ(texture.description.pixelFormat, PIXEL_FORMAT_UNSUPPORTED);
    EXPECT_EQ(texture.description.width, 4);
    EXPECT_EQ(texture.description.mipLevels, 0u);
    EXPECT_EQ(lastUpload()->pointer, nullptr);
    EXPECT_EQ(lastUpload()->integers[1], 1u);
}

TEST_F(Textures, MipCountOnlyWhenUnsetAndForColour) {
    EXPECT_EQ(fullMipCount(1, 1), 1u);
    EXPECT_EQ(fullMipCount(2, 2), 2u);
    EXPECT_EQ(fullMipCount(3, 3), 2u);
    EXPECT_EQ(fullMipCount(4, 4), 3u);
    EXPECT_EQ(fullMipCount(256, 64), 9u);
    write("one.bmp", bmpFile(4, 4, 24, std::vector<unsigned char>(48, 1), 0));
    Texture set = emptyTexture();
    set.description.mipLevels = 1;
    loadTexture(&set, "one.bmp");
    EXPECT_EQ(set.description.mipLevels, 1u);
    Texture depth = emptyTexture();
    depth.description.attachmentKind = ATTACHMENT_DEPTH;
    loadTexture(&depth, "one.bmp");
    EXPECT_EQ(depth.description.mipLevels, 0u);
}

} // namespace
