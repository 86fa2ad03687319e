#include "engine/assets/asset_refusal.h"
#include "engine/assets/bytes.h"
#include "engine/assets/image_readers.h"
#include "engine/assets/reader_limits.h"
#include "engine/platform/files.h"

#include <stdlib.h>
#include <string.h>

namespace {

const uint32_t kHeadersSize = 54; // 14-byte file header and 40-byte information header

struct BmpData {
    uint16_t width;
    uint16_t height;
    const unsigned char* data;
    uint32_t dataSize;
};

// Checks the headers against the file and finds the pixel data.
bool findBmpData(const unsigned char* file, uint32_t size, const char* path, BmpData* out) {
    if (size < kHeadersSize) return refuseAsset("%s: %u bytes, shorter than the BMP headers", path, size);
    uint32_t infoSize = readU32(file + 14);
    int32_t width = readI32(file + 18);
    int32_t height = readI32(file + 22);
    uint16_t bits = readU16(file + 28);
    uint32_t compression = readU32(file + 30);
    uint32_t dataSize = readU32(file + 34);
    uint32_t dataOffset = readU32(file + 10);
    if (infoSize < 40) return refuseAsset("%s: BMP information header of %u bytes is not read", path, infoSize);
    if (bits != 24 || compression != 0)
        return refuseAsset("%s: %u bits per pixel, compression %u: only uncompressed 24-bit BMP is read", path, bits,
                           compression);
    if (height < 0 && height >= -static_cast<int32_t>(READER_MAX_TEXTURE_EDGE))
        return refuseAsset("%s: top-down BMP rows are not read", path);
    if (width <= 0 || width > static_cast<int32_t>(READER_MAX_TEXTURE_EDGE) || height <= 0 ||
        height > static_cast<int32_t>(READER_MAX_TEXTURE_EDGE))
        return refuseAsset("%s: %d x %d pixels is not a size a texture has (at most %u on a side)", path, width, height,
                           READER_MAX_TEXTURE_EDGE);
    uint64_t pictureSize = static_cast<uint64_t>(width) * static_cast<uint64_t>(height) * 3;
    if (dataSize == 0) {
        if (pictureSize > 0xFFFFFFFFu) return refuseAsset("%s: %d x %d pixels overflow", path, width, height);
        dataSize = static_cast<uint32_t>(pictureSize);
    }
    // Headers newer than the 40-byte one (V4, V5) put the pixels further on; the
    // header's data offset says where.
    if (dataOffset < kHeadersSize || dataOffset > size) dataOffset = kHeadersSize;
    if (pictureSize > dataSize)
        return refuseAsset("%s: %d x %d pixels need %llu bytes, the header gives %u", path, width, height,
                           static_cast<unsigned long long>(pictureSize), dataSize);
    if (!rangeInside(dataOffset, dataSize, size))
        return refuseAsset("%s: %u bytes of pixels at %u reach past the end of the file (%u bytes)", path, dataSize,
                           dataOffset, size);
    out->width = static_cast<uint16_t>(width);
    out->height = static_cast<uint16_t>(height);
    out->data = file + dataOffset;
    out->dataSize = dataSize;
    return true;
}

} // namespace

unsigned char* readBmp(const char* path, uint16_t* width, uint16_t* height, uint64_t* byteSize) {
    uint32_t size = 0;
    char* file = readFileSized(path, &size);
    if (!file) {
        refuseAsset("%s: cannot be opened", path);
        return nullptr;
    }
    BmpData bmp;
    unsigned char* pixels = nullptr;
    if (findBmpData(reinterpret_cast<const unsigned char*>(file), size, path, &bmp)) {
        pixels = static_cast<unsigned char*>(malloc(bmp.dataSize ? bmp.dataSize : 1));
        if (!pixels) {
            refuseAsset("%s: not enough memory for %u bytes of pixels", path, bmp.dataSize);
        } else {
            memcpy(pixels, bmp.data, bmp.dataSize);
            *width = bmp.width;
            *height = bmp.height;
            *byteSize = bmp.dataSize;
        }
    }
    delete[] file;
    return pixels;
}

unsigned char* readFallbackImage(const char* path, uint16_t* width, uint16_t* height, uint64_t* byteSize) {
    uint32_t size = 0;
    char* file = readFileSized(path, &size);
    if (!file) {
        refuseAsset("%s: cannot be opened", path);
        return nullptr;
    }
    BmpData bmp;
    unsigned char* pixels = nullptr;
    if (findBmpData(reinterpret_cast<const unsigned char*>(file), size, path, &bmp)) {
        uint64_t groups = bmp.dataSize / 3;
        uint64_t blockSize = static_cast<uint64_t>(bmp.dataSize) + bmp.dataSize / 3;
        pixels = static_cast<unsigned char*>(malloc(blockSize ? blockSize : 1));
        if (!pixels) {
            refuseAsset("%s: not enough memory for %llu bytes of pixels", path, static_cast<unsigned long long>(blockSize));
        } else {
            // Every three bytes become four, the fourth a copy of the third (B, G, R, R).
            for (uint64_t g = 0; g < groups; ++g) {
                const unsigned char* from = bmp.data + 3 * g;
                unsigned char* to = pixels + 4 * g;
                to[0] = from[0], to[1] = from[1], to[2] = from[2], to[3] = from[2];
            }
            *width = bmp.width;
            *height = bmp.height;
            *byteSize = groups * 4;
        }
    }
    delete[] file;
    return pixels;
}

void releaseImagePixels(void* pixels) { free(pixels); }
