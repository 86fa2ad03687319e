#include "engine/assets/asset_refusal.h"
#include "engine/assets/bytes.h"
#include "engine/assets/image_readers.h"
#include "engine/assets/reader_limits.h"
#include "engine/platform/files.h"

#include <stdlib.h>
#include <string.h>

namespace {

const uint32_t kHeaderSize = 128; // magic and the 124-byte header
const uint32_t kDx10HeaderSize = 20;
const uint32_t kFlagAlphaPixels = 0x1, kFlagAlpha = 0x2, kFlagFourCC = 0x4, kFlagRgb = 0x40;

bool fourCCIs(const unsigned char* p, const char* code) {
    return p[0] == code[0] && p[1] == code[1] && p[2] == code[2] && p[3] == code[3];
}

// An uncompressed layout: the pixel format, bytes per pixel in the file and as handed on.
struct Layout {
    uint32_t flags;       // all of these must be set
    uint32_t bits;
    uint32_t red, green, blue, alpha;
    uint32_t format;
    uint32_t fileBytes;
    uint32_t pixelBytes;
};

// In order; the first that matches decides. The 32-bit layouts without alpha are handed
// on as 3 bytes per pixel, the unused fourth byte dropped. The 24-bit layouts are the
// same formats as stored.
const Layout kLayouts[] = {
    {kFlagRgb | kFlagAlphaPixels, 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000u, PIXEL_FORMAT_RGBA8, 4, 4},
    {kFlagRgb | kFlagAlphaPixels, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000u, PIXEL_FORMAT_BGRA8, 4, 4},
    {kFlagRgb, 32, 0xFF, 0xFF00, 0xFF0000, 0, PIXEL_FORMAT_RGB8, 4, 3},
    {kFlagRgb, 32, 0xFF0000, 0xFF00, 0xFF, 0, PIXEL_FORMAT_BGR8, 4, 3},
    {kFlagRgb, 24, 0xFF, 0xFF00, 0xFF0000, 0, PIXEL_FORMAT_RGB8, 3, 3},
    {kFlagRgb, 24, 0xFF0000, 0xFF00, 0xFF, 0, PIXEL_FORMAT_BGR8, 3, 3},
};

uint32_t blockSizeOf(uint32_t format) { return format == PIXEL_FORMAT_BC1 ? 8 : 16; }

uint32_t levelEdge(uint32_t edge, uint32_t level) {
    uint32_t e = level < 32 ? edge >> level : 0;
    return e ? e : 1;
}

uint64_t blockLevelSize(uint32_t width, uint32_t height, uint32_t level, uint32_t format) {
    return static_cast<uint64_t>((levelEdge(width, level) + 3) / 4) * ((levelEdge(height, level) + 3) / 4) *
           blockSizeOf(format);
}

void reverseBytes(unsigned char* p, uint32_t n) {
    for (uint32_t i = 0; i < n / 2; ++i) {
        unsigned char t = p[i];
        p[i] = p[n - 1 - i];
        p[n - 1 - i] = t;
    }
}

// Turns the first `rows` texel rows of one block upside down (all four for a full block;
// fewer in the levels less than four texels high, whose other rows hold nothing).
void flipBlock(unsigned char* block, uint32_t format, uint32_t rows) {
    // The colour indices: one byte per row.
    reverseBytes(block + (format == PIXEL_FORMAT_BC1 ? 4 : 12), rows);
    if (format == PIXEL_FORMAT_BC2) {
        // Explicit alpha: 16 bits per row.
        for (uint32_t r = 0; r < rows / 2; ++r)
            for (int b = 0; b < 2; ++b) {
                unsigned char t = block[2 * r + b];
                block[2 * r + b] = block[2 * (rows - 1 - r) + b];
                block[2 * (rows - 1 - r) + b] = t;
            }
    } else if (format == PIXEL_FORMAT_BC3) {
        // Interpolated alpha: 12 bits of indices per row in the 48 bits after the two endpoints.
        uint64_t bits = 0;
        for (int b = 0; b < 6; ++b) bits |= static_cast<uint64_t>(block[2 + b]) << (8 * b);
        uint64_t row[4];
        for (int r = 0; r < 4; ++r) row[r] = (bits >> (12 * r)) & 0xFFF;
        for (uint32_t r = 0; r < rows / 2; ++r) {
            uint64_t t = row[r];
            row[r] = row[rows - 1 - r];
            row[rows - 1 - r] = t;
        }
        bits = row[0] | (row[1] << 12) | (row[2] << 24) | (row[3] << 36);
        for (int b = 0; b < 6; ++b) block[2 + b] = static_cast<unsigned char>(bits >> (8 * b));
    }
}

void swapRows(unsigned char* level, uint64_t rowBytes, uint32_t rows) {
    for (uint32_t j = 0; j < rows / 2; ++j) {
        unsigned char* a = level + rowBytes * j;
        unsigned char* b = level + rowBytes * (rows - 1 - j);
        for (uint64_t k = 0; k < rowBytes; ++k) {
            unsigned char t = a[k];
            a[k] = b[k];
            b[k] = t;
        }
    }
}

} // namespace

uint32_t fullMipCount(uint32_t width, uint32_t height) {
    uint32_t edge = width > height ? width : height;
    uint32_t count = 1;
    while (edge > 1) edge >>= 1, ++count;
    return count;
}

unsigned char* readDds(const char* path, uint16_t* widthOut, uint16_t* heightOut, uint32_t* formatOut,
                       uint16_t* levelsOut, uint64_t* byteSize) {
    *formatOut = PIXEL_FORMAT_UNSUPPORTED;
    *levelsOut = 0;
    uint32_t size = 0;
    char* fileText = readFileSized(path, &size);
    if (!fileText) {
        refuseAsset("%s: cannot be opened", path);
        return nullptr;
    }
    const unsigned char* file = reinterpret_cast<const unsigned char*>(fileText);
    unsigned char* pixels = nullptr;
    do {
        if (size < kHeaderSize) {
            refuseAsset("%s: %u bytes, shorter than the 128-byte DDS header", path, size);
            break;
        }
        uint32_t height = readU32(file + 12);
        uint32_t width = readU32(file + 16);
        uint32_t linearSize = readU32(file + 20);
        uint32_t mipCount = readU32(file + 28);
        uint32_t flags = readU32(file + 80);
        const unsigned char* fourCC = file + 84;
        uint32_t bits = readU32(file + 88);
        uint32_t masks[4] = {readU32(file + 92), readU32(file + 96), readU32(file + 100), readU32(file + 104)};
        uint64_t dataStart = kHeaderSize;

        uint32_t format = PIXEL_FORMAT_UNSUPPORTED;
        const Layout* layout = nullptr;
        if (flags & kFlagFourCC) {
            if (fourCCIs(fourCC, "DX10")) {
                if (size < kHeaderSize + kDx10HeaderSize) {
                    refuseAsset("%s: the DX10 header reaches past the end of the file", path);
                    break;
                }
                dataStart += kDx10HeaderSize;
                uint32_t dxgi = readU32(file + 128), dimension = readU32(file + 132);
                if (dimension == 3 && dxgi == 71) format = PIXEL_FORMAT_BC1;
                if (dimension == 3 && dxgi == 74) format = PIXEL_FORMAT_BC2;
                if (dimension == 3 && dxgi == 77) format = PIXEL_FORMAT_BC3;
            } else if (fourCCIs(fourCC, "DXT1")) {
                format = PIXEL_FORMAT_BC1;
            } else if (fourCCIs(fourCC, "DXT3")) {
                format = PIXEL_FORMAT_BC2;
            } else if (fourCCIs(fourCC, "DXT5")) {
                format = PIXEL_FORMAT_BC3;
            }
        }
        if (format == PIXEL_FORMAT_UNSUPPORTED) {
            for (const Layout& l : kLayouts)
                if ((flags & l.flags) == l.flags && bits == l.bits && masks[0] == l.red && masks[1] == l.green &&
                    masks[2] == l.blue && masks[3] == l.alpha) {
                    layout = &l;
                    format = l.format;
                    break;
                }
        }
        static const Layout kAlphaOnly = {kFlagAlpha, 8, 0, 0, 0, 0xFF, PIXEL_FORMAT_R8, 1, 1};
        if (format == PIXEL_FORMAT_UNSUPPORTED && (flags & kFlagAlpha) && bits == 8 && masks[3] == 0xFF) {
            layout = &kAlphaOnly;
            format = PIXEL_FORMAT_R8;
        }
        if (width == 0 || height == 0 || width > READER_MAX_TEXTURE_EDGE || height > READER_MAX_TEXTURE_EDGE) {
            refuseAsset("%s: %u x %u pixels is not a size a texture has (at most %u on a side)", path, width, height,
                        READER_MAX_TEXTURE_EDGE);
            break;
        }
        if (format == PIXEL_FORMAT_UNSUPPORTED) {
            // A layout without a pixel format: the texture is described but gets no pixels.
            *widthOut = static_cast<uint16_t>(width);
            *heightOut = static_cast<uint16_t>(height);
            *levelsOut = static_cast<uint16_t>(mipCount > 0xFFFF ? 0xFFFF : mipCount);
            refuseAsset("%s: a pixel layout that is not read (flags 0x%X, %u bits)", path, flags, bits);
            break;
        }
        if (mipCount > fullMipCount(width, height)) {
            refuseAsset("%s: %u mip levels, more than a %u x %u picture has", path, mipCount, width, height);
            break;
        }
        uint32_t levels = mipCount ? mipCount : 1; // a count of 0 is one level

        // The extent of every level in the file and in the block handed on.
        uint64_t fileBytes = 0, blockBytes = 0, topBytes = 0, topInFile = 0;
        bool compressed = layout == nullptr;
        if (compressed) {
            // The top level takes the header's linear size in the file; one too small for
            // the level (0 when the writer left it out) is replaced by the level's real
            // size. Bytes beyond the real size are skipped, so that every level lies where
            // the backend looks for it.
            topBytes = blockLevelSize(width, height, 0, format);
            topInFile = linearSize > topBytes ? linearSize : topBytes;
            fileBytes = topInFile;
            for (uint32_t i = 1; i < levels; ++i) fileBytes += blockLevelSize(width, height, i, format);
            blockBytes = fileBytes - (topInFile - topBytes);
        } else {
            for (uint32_t i = 0; i < levels; ++i) {
                uint64_t texels = static_cast<uint64_t>(levelEdge(width, i)) * levelEdge(height, i);
                fileBytes += texels * layout->fileBytes;
                blockBytes += texels * layout->pixelBytes;
            }
        }
        if (!rangeInside(dataStart, fileBytes, size)) {
            refuseAsset("%s: %u mip level(s) of %llu bytes at %llu reach past the end of the file (%u bytes)", path,
                        levels, static_cast<unsigned long long>(fileBytes), static_cast<unsigned long long>(dataStart),
                        size);
            break;
        }
        pixels = static_cast<unsigned char*>(malloc(blockBytes ? blockBytes : 1));
        if (!pixels) {
            refuseAsset("%s: not enough memory for %llu bytes of pixels", path, static_cast<unsigned long long>(blockBytes));
            break;
        }
        const unsigned char* data = file + dataStart;
        if (compressed) {
            memcpy(pixels, data, topBytes);
            memcpy(pixels + topBytes, data + topInFile, blockBytes - topBytes);
        } else if (layout->fileBytes == layout->pixelBytes) {
            memcpy(pixels, data, blockBytes);
        } else {
            for (uint64_t p = 0; p < blockBytes / 3; ++p) memcpy(pixels + 3 * p, data + 4 * p, 3);
        }

        // Rows bottom-up, level by level; with a mip-map count of 0 nothing is flipped.
        uint64_t offset = 0;
        for (uint32_t i = 0; i < mipCount; ++i) {
            uint32_t w = levelEdge(width, i), h = levelEdge(height, i);
            if (compressed) {
                uint32_t blockSize = blockSizeOf(format);
                uint64_t levelSize = i == 0 ? topBytes : blockLevelSize(width, height, i, format);
                uint32_t rows = h < 4 ? h : 4;
                for (uint64_t b = 0; b + blockSize <= levelSize; b += blockSize) flipBlock(pixels + offset + b, format, rows);
                if (h > 4) swapRows(pixels + offset, static_cast<uint64_t>((w + 3) / 4) * blockSize, (h + 3) / 4);
                offset += levelSize;
            } else {
                uint64_t rowBytes = static_cast<uint64_t>(w) * layout->pixelBytes;
                swapRows(pixels + offset, rowBytes, h); // one row high: nothing to do
                offset += rowBytes * h;
            }
        }
        *widthOut = static_cast<uint16_t>(width);
        *heightOut = static_cast<uint16_t>(height);
        *formatOut = format;
        *levelsOut = static_cast<uint16_t>(mipCount);
        *byteSize = blockBytes;
    } while (false);
    delete[] fileText;
    return pixels;
}
