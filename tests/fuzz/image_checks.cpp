#include "tests/fuzz/image_checks.h"

#include "engine/assets/image_readers.h"
#include "engine/assets/reader_limits.h"
#include "tests/fuzz/fuzz_checks.h"

#include <string.h>

namespace {

// Bytes of one level of w x h texels in a pixel format.
uint64_t levelBytes(uint32_t format, uint32_t w, uint32_t h) {
    switch (format) {
    case PIXEL_FORMAT_RGBA8:
    case PIXEL_FORMAT_BGRA8: return 4ull * w * h;
    case PIXEL_FORMAT_RGB8:
    case PIXEL_FORMAT_BGR8: return 3ull * w * h;
    case PIXEL_FORMAT_R8: return 1ull * w * h;
    case PIXEL_FORMAT_BC1: return 8ull * ((w + 3) / 4) * ((h + 3) / 4);
    case PIXEL_FORMAT_BC2:
    case PIXEL_FORMAT_BC3: return 16ull * ((w + 3) / 4) * ((h + 3) / 4);
    default: return 0;
    }
}

} // namespace

void readAndCheckTexture(const char* path) {
    TextureDescription description = {};
    description.width = 7;
    description.height = 9;
    description.pixelFormat = 123;
    uint16_t levels = 0;
    uint64_t byteSize = 0;
    unsigned char* pixels = readTextureImage(path, &description, &levels, &byteSize);
    if (!pixels) {
        FUZZ_CHECK(byteSize == 0);
        FUZZ_CHECK(refusalNames(path));
        // Only a DDS describes a texture it gives no pixels for.
        size_t length = strlen(path);
        if (length < 4 || strcmp(path + length - 4, ".dds") != 0) FUZZ_CHECK(description.width == 7 && description.height == 9);
        return;
    }
    FUZZ_CHECK(description.width > 0 && description.width <= READER_MAX_TEXTURE_EDGE);
    FUZZ_CHECK(description.height > 0 && description.height <= READER_MAX_TEXTURE_EDGE);
    // The backend reads every level it is told of, from the top one down.
    uint64_t needed = 0;
    for (uint32_t i = 0; i < (levels ? levels : 1u); ++i) {
        uint32_t w = description.width >> i, h = description.height >> i;
        needed += levelBytes(description.pixelFormat, w ? w : 1, h ? h : 1);
    }
    FUZZ_CHECK(needed > 0);
    // BMP rows may carry their file's padding, so a block may be longer than needed.
    FUZZ_CHECK(byteSize >= needed);
    touchBytes(pixels, byteSize);
    releaseImagePixels(pixels);
}
