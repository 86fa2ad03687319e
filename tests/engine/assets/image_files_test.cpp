// Images nobody here wrote: libpng's own PNG suite, and BMP and DDS files that
// ImageMagick writes at test time. Each decodes to the size and layout expected and to
// the pixels ImageMagick itself reads from the same file (rows turned bottom-up).
#include "engine/assets/asset_refusal.h"
#include "engine/assets/image_readers.h"
#include "engine/platform/files.h"
#include "engine/platform/module_directory.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const char* kConvert = QUARLO_CONVERT;

bool haveConvert() { return access(kConvert, X_OK) == 0; }

bool run(const std::string& command) { return system((command + " 2>/dev/null").c_str()) == 0; }

// ImageMagick's own reading of the first picture of a file, 8-bit RGBA, top row first.
std::vector<unsigned char> magickRgba(const std::string& path, const std::string& scratch) {
    std::string raw = scratch + "/magick.rgba";
    // Pixels as stored: a PNG's gAMA chunk must not make ImageMagick convert them.
    if (!run(std::string(kConvert) + " '" + path + "[0]' -set colorspace sRGB -depth 8 rgba:'" + raw + "'")) return {};
    uint32_t size = 0;
    char* bytes = readFileSized(raw.c_str(), &size);
    if (!bytes) return {};
    std::vector<unsigned char> out(bytes, bytes + size);
    delete[] bytes;
    return out;
}

uint32_t bigEndian32(const unsigned char* p) { return (uint32_t(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3]; }

struct PngHeader {
    uint32_t width, height;
    int bitDepth, colorType;
    bool transparency;
};

// Reads IHDR and looks for tRNS by walking the chunks, independently of libpng.
bool pngHeader(const std::string& path, PngHeader* h) {
    uint32_t size = 0;
    char* file = readFileSized(path.c_str(), &size);
    if (!file) return false;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(file);
    bool ok = size >= 33;
    if (ok) {
        h->width = bigEndian32(p + 16);
        h->height = bigEndian32(p + 20);
        h->bitDepth = p[24];
        h->colorType = p[25];
        h->transparency = false;
        for (uint64_t at = 8; at + 8 <= size;) {
            uint32_t length = bigEndian32(p + at);
            if (memcmp(p + at + 4, "tRNS", 4) == 0) h->transparency = true;
            if (memcmp(p + at + 4, "IDAT", 4) == 0) break;
            at += 12 + static_cast<uint64_t>(length);
        }
    }
    delete[] file;
    return ok;
}

int worstDifference(int a, int b) { return a > b ? a - b : b - a; }

TEST(ImageFiles, PngSuiteDecodesToItsSizeAndChannels) {
    ASSERT_TRUE(haveConvert()) << "missing fixture: " << kConvert << " (imagemagick)";
    std::vector<std::string> files;
    for (const char* folder : {QUARLO_PNGSUITE_DIR, QUARLO_PNGSUITE_DIR "/interlaced"}) {
        DIR* dir = opendir(folder);
        if (!dir) continue;
        while (dirent* entry = readdir(dir)) {
            size_t n = strlen(entry->d_name);
            if (n > 4 && strcmp(entry->d_name + n - 4, ".png") == 0) files.push_back(std::string(folder) + "/" + entry->d_name);
        }
        closedir(dir);
    }
    ASSERT_FALSE(files.empty()) << "missing fixture: no PNG suite at " << QUARLO_PNGSUITE_DIR;
    std::sort(files.begin(), files.end());
    std::string scratch = enterTestDirectory("pngsuite");
    gModuleDirectory = ModuleDirectory{}; // the suite's paths are absolute

    for (const std::string& path : files) {
        SCOPED_TRACE(path);
        PngHeader header;
        ASSERT_TRUE(pngHeader(path, &header));
        // Grey, RGB and RGBA as stored; a palette becomes RGB, or RGBA when it has
        // transparency; grey with alpha becomes RGBA.
        uint32_t expected = header.colorType == 0   ? 1
                            : header.colorType == 2 ? 3
                            : header.colorType == 3 ? (header.transparency ? 4 : 3)
                                                    : 4;
        uint16_t width = 0, height = 0;
        uint32_t channels = 0;
        uint64_t size = 0;
        unsigned char* pixels = readPng(path.c_str(), &width, &height, &channels, &size);
        ASSERT_NE(pixels, nullptr) << assetRefusal();
        EXPECT_EQ(width, header.width);
        EXPECT_EQ(height, header.height);
        EXPECT_EQ(channels, expected);
        ASSERT_EQ(size, static_cast<uint64_t>(width) * height * channels);

        std::vector<unsigned char> magick = magickRgba(path, scratch);
        ASSERT_EQ(magick.size(), static_cast<size_t>(width) * height * 4);
        int worst = 0;
        for (uint32_t y = 0; y < height; ++y)
            for (uint32_t x = 0; x < width; ++x) {
                const unsigned char* ours = pixels + (static_cast<size_t>(y) * width + x) * channels;
                const unsigned char* theirs = magick.data() + (static_cast<size_t>(height - 1 - y) * width + x) * 4;
                float alpha = theirs[3];
                for (uint32_t c = 0; c < channels; ++c) {
                    int want = theirs[c];
                    if (channels == 4 && c < 3) want = static_cast<int>((theirs[c] * alpha) / 255.0f);
                    worst = std::max(worst, worstDifference(ours[c], want));
                }
            }
        // 16-bit samples may round differently on the way to 8 bits.
        EXPECT_LE(worst, header.bitDepth == 16 ? 1 : 0);
        releaseImagePixels(pixels);
    }
    leaveTestDirectory(scratch);
}

// ---- ImageMagick's BMP and DDS files

struct Decoded {
    uint32_t width = 0, height = 0;
    std::vector<unsigned char> rgba; // bottom row first
};

void color565(uint16_t c, unsigned char* out) {
    uint32_t r = c >> 11, g = (c >> 5) & 63, b = c & 31;
    out[0] = static_cast<unsigned char>((r << 3) | (r >> 2));
    out[1] = static_cast<unsigned char>((g << 2) | (g >> 4));
    out[2] = static_cast<unsigned char>((b << 3) | (b >> 2));
    out[3] = 255;
}

// One block of BC1 colour (or the colour half of BC3, always four colours) into 4 x 4 RGBA.
void decodeColorBlock(const unsigned char* b, bool fourColors, unsigned char out[16][4]) {
    uint16_t c0 = static_cast<uint16_t>(b[0] | (b[1] << 8)), c1 = static_cast<uint16_t>(b[2] | (b[3] << 8));
    unsigned char palette[4][4];
    color565(c0, palette[0]);
    color565(c1, palette[1]);
    for (int k = 0; k < 3; ++k) {
        if (fourColors || c0 > c1) {
            palette[2][k] = static_cast<unsigned char>((2 * palette[0][k] + palette[1][k]) / 3);
            palette[3][k] = static_cast<unsigned char>((palette[0][k] + 2 * palette[1][k]) / 3);
        } else {
            palette[2][k] = static_cast<unsigned char>((palette[0][k] + palette[1][k]) / 2);
            palette[3][k] = 0;
        }
    }
    palette[2][3] = 255;
    palette[3][3] = fourColors || c0 > c1 ? 255 : 0;
    for (int row = 0; row < 4; ++row)
        for (int x = 0; x < 4; ++x) memcpy(out[4 * row + x], palette[(b[4 + row] >> (2 * x)) & 3], 4);
}

void decodeAlphaBlock(const unsigned char* b, unsigned char out[16][4]) {
    int a0 = b[0], a1 = b[1];
    int values[8] = {a0, a1};
    for (int k = 1; k <= 6; ++k) values[k + 1] = a0 > a1 ? ((7 - k) * a0 + k * a1) / 7 : k <= 4 ? ((5 - k) * a0 + k * a1) / 5 : 0;
    if (a0 <= a1) values[6] = 0, values[7] = 255;
    uint64_t bits = 0;
    for (int k = 0; k < 6; ++k) bits |= static_cast<uint64_t>(b[2 + k]) << (8 * k);
    for (int t = 0; t < 16; ++t) out[t][3] = static_cast<unsigned char>(values[(bits >> (3 * t)) & 7]);
}

// Our top level, bottom-up, as RGBA: the blocks' row 0 is the lowest row of its four.
Decoded decodeTopLevel(const unsigned char* pixels, uint32_t format, uint16_t width, uint16_t height) {
    Decoded d;
    d.width = width, d.height = height;
    d.rgba.assign(static_cast<size_t>(width) * height * 4, 0);
    uint32_t across = (width + 3) / 4, down = (height + 3) / 4;
    uint32_t blockSize = format == PIXEL_FORMAT_BC1 ? 8 : 16;
    for (uint32_t by = 0; by < down; ++by)
        for (uint32_t bx = 0; bx < across; ++bx) {
            const unsigned char* block = pixels + (static_cast<size_t>(by) * across + bx) * blockSize;
            unsigned char texels[16][4];
            if (format == PIXEL_FORMAT_BC1) {
                decodeColorBlock(block, false, texels);
            } else {
                decodeColorBlock(block + 8, true, texels);
                decodeAlphaBlock(block, texels);
            }
            for (int t = 0; t < 16; ++t) {
                uint32_t x = bx * 4 + t % 4, y = by * 4 + t / 4;
                if (x < width && y < height) memcpy(&d.rgba[(static_cast<size_t>(y) * width + x) * 4], texels[t], 4);
            }
        }
    return d;
}

// Our uncompressed pixels (BGR, BGRA, with a row stride) as RGBA.
Decoded fromBgr(const unsigned char* pixels, uint16_t width, uint16_t height, uint32_t bytes, uint64_t stride) {
    Decoded d;
    d.width = width, d.height = height;
    d.rgba.assign(static_cast<size_t>(width) * height * 4, 255);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            const unsigned char* p = pixels + y * stride + x * bytes;
            unsigned char* q = &d.rgba[(static_cast<size_t>(y) * width + x) * 4];
            q[0] = p[2], q[1] = p[1], q[2] = p[0];
            if (bytes == 4) q[3] = p[3];
        }
    return d;
}

// The largest channel difference against ImageMagick's reading (top row first).
int worstAgainst(const Decoded& ours, const std::vector<unsigned char>& magick, bool alpha) {
    if (magick.size() != ours.rgba.size()) return 1000;
    int worst = 0;
    for (uint32_t y = 0; y < ours.height; ++y)
        for (uint32_t x = 0; x < ours.width; ++x)
            for (int c = 0; c < (alpha ? 4 : 3); ++c)
                worst = std::max(worst, worstDifference(ours.rgba[(static_cast<size_t>(y) * ours.width + x) * 4 + c],
                                                        magick[(static_cast<size_t>(ours.height - 1 - y) * ours.width + x) * 4 + c]));
    return worst;
}

class MagickFiles : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(haveConvert()) << "missing fixture: " << kConvert << " (imagemagick)";
        directory = enterTestDirectory("magick");
        ASSERT_FALSE(directory.empty());
        // A picture with colour changing along both axes, and one with a falling alpha.
        ASSERT_TRUE(convert("-size 20x12 -seed 3 plasma:fractal -depth 8 src.png"));
        ASSERT_TRUE(convert("src.png \\( -size 20x12 gradient:white-black \\) -alpha off -compose copy_opacity -composite srca.png"));
        ASSERT_TRUE(convert("-size 5x3 -seed 4 plasma:fractal -depth 8 odd.png"));
        // ImageMagick writes DDS mip chains only for power-of-two sizes.
        ASSERT_TRUE(convert("-size 32x16 -seed 5 plasma:fractal -depth 8 chain.png"));
        ASSERT_TRUE(convert("chain.png \\( -size 32x16 gradient:white-black \\) -alpha off -compose copy_opacity -composite chaina.png"));
    }
    void TearDown() override {
        if (!directory.empty()) leaveTestDirectory(directory);
    }
    bool convert(const std::string& arguments) {
        return run("cd '" + directory + "' && " + kConvert + " " + arguments);
    }
    std::string directory;
};

TEST_F(MagickFiles, BmpsDecodeToThePixelsImageMagickWrote) {
    ASSERT_TRUE(convert("src.png -type TrueColor BMP3:plain.bmp"));
    ASSERT_TRUE(convert("src.png -type TrueColor modern.bmp")); // a V5 header: pixels after 138 bytes
    ASSERT_TRUE(convert("odd.png -type TrueColor BMP3:odd.bmp")); // rows padded from 15 to 16 bytes
    struct Case {
        const char* name;
        uint16_t width, height;
        uint64_t stride;
    } cases[] = {{"plain.bmp", 20, 12, 60}, {"modern.bmp", 20, 12, 60}, {"odd.bmp", 5, 3, 16}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        uint16_t w = 0, h = 0;
        uint64_t size = 0;
        unsigned char* pixels = readBmp(c.name, &w, &h, &size);
        ASSERT_NE(pixels, nullptr) << assetRefusal();
        EXPECT_EQ(w, c.width);
        EXPECT_EQ(h, c.height);
        EXPECT_EQ(size, c.stride * c.height);
        Decoded ours = fromBgr(pixels, w, h, 3, c.stride);
        EXPECT_EQ(worstAgainst(ours, magickRgba(directory + "/" + c.name, directory), false), 0);
        // Lossless: the same as the picture it was written from.
        std::string source = std::string(c.name) == "odd.bmp" ? "odd.png" : "src.png";
        EXPECT_EQ(worstAgainst(ours, magickRgba(directory + "/" + source, directory), false), 0);
        releaseImagePixels(pixels);
    }
}

TEST_F(MagickFiles, DdsFilesDecodeToThePixelsImageMagickWrote) {
    ASSERT_TRUE(convert("chain.png -define dds:compression=none bgr.dds"));
    ASSERT_TRUE(convert("chaina.png -define dds:compression=none bgra.dds"));
    ASSERT_TRUE(convert("chain.png -define dds:compression=dxt1 dxt1.dds"));
    ASSERT_TRUE(convert("chaina.png -define dds:compression=dxt5 dxt5.dds"));
    ASSERT_TRUE(convert("src.png -define dds:compression=dxt1 flat.dds"));
    ASSERT_TRUE(convert("src.png -define dds:compression=none flatbgr.dds"));
    struct Case {
        const char* name;
        uint32_t format;
        uint16_t width, height, levels;
        int tolerance; // block decoders may round interpolated colours differently
    } cases[] = {{"bgr.dds", PIXEL_FORMAT_BGR8, 32, 16, 6, 0},  {"bgra.dds", PIXEL_FORMAT_BGRA8, 32, 16, 6, 0},
                 {"dxt1.dds", PIXEL_FORMAT_BC1, 32, 16, 6, 2},  {"dxt5.dds", PIXEL_FORMAT_BC3, 32, 16, 6, 2},
                 {"flat.dds", PIXEL_FORMAT_BC1, 20, 12, 1, 2},  {"flatbgr.dds", PIXEL_FORMAT_BGR8, 20, 12, 1, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        uint16_t w = 0, h = 0, levels = 0;
        uint32_t format = 0;
        uint64_t size = 0;
        unsigned char* pixels = readDds(c.name, &w, &h, &format, &levels, &size);
        ASSERT_NE(pixels, nullptr) << assetRefusal();
        EXPECT_EQ(format, c.format);
        EXPECT_EQ(w, c.width);
        EXPECT_EQ(h, c.height);
        EXPECT_EQ(levels, c.levels);
        // Every level of the chain is there: 32 x 16, 16 x 8, ... 1 x 1.
        uint64_t expectedSize = 0;
        for (uint32_t i = 0; i < std::max<uint32_t>(levels, 1); ++i) {
            uint32_t lw = std::max(1, c.width >> i), lh = std::max(1, c.height >> i);
            expectedSize += format == PIXEL_FORMAT_BC1   ? ((lw + 3) / 4) * ((lh + 3) / 4) * 8
                            : format == PIXEL_FORMAT_BC3 ? ((lw + 3) / 4) * ((lh + 3) / 4) * 16
                                                         : uint64_t(lw) * lh * (format == PIXEL_FORMAT_BGRA8 ? 4 : 3);
        }
        EXPECT_EQ(size, expectedSize);
        bool compressed = format == PIXEL_FORMAT_BC1 || format == PIXEL_FORMAT_BC3;
        Decoded ours = compressed ? decodeTopLevel(pixels, format, w, h)
                                  : fromBgr(pixels, w, h, format == PIXEL_FORMAT_BGRA8 ? 4 : 3,
                                            uint64_t(w) * (format == PIXEL_FORMAT_BGRA8 ? 4 : 3));
        std::vector<unsigned char> magick = magickRgba(directory + "/" + c.name, directory);
        EXPECT_LE(worstAgainst(ours, magick, format != PIXEL_FORMAT_BGR8 && format != PIXEL_FORMAT_BC1), c.tolerance);
        releaseImagePixels(pixels);
    }
}

} // namespace
