#include "backend/pixel_formats.h"

const PixelFormatLayout kPixelFormatLayouts[10] = {
    {4, 0},  // RGBA8
    {4, 0},  // BGRA8
    {3, 0},  // RGB8
    {3, 0},  // BGR8
    {2, 0},  // two channels of one byte
    {1, 0},  // one channel
    {16, 0}, // four 32-bit floats
    {0, 8},  // BC1
    {0, 16}, // BC2
    {0, 16}, // BC3
};

const PixelFormatLayout* pixelFormatLayout(uint32_t pixelFormat) {
    return pixelFormat < sizeof(kPixelFormatLayouts) / sizeof(kPixelFormatLayouts[0])
               ? &kPixelFormatLayouts[pixelFormat]
               : nullptr;
}

bool isBlockCompressedFormat(uint32_t pixelFormat) {
    const PixelFormatLayout* layout = pixelFormatLayout(pixelFormat);
    return layout && layout->blockBytes != 0;
}

uint64_t levelRowBytes(uint32_t pixelFormat, uint32_t width) {
    const PixelFormatLayout* layout = pixelFormatLayout(pixelFormat);
    if (!layout) return 0;
    if (layout->blockBytes) return ((static_cast<uint64_t>(width) + 3) / 4) * layout->blockBytes;
    return static_cast<uint64_t>(width) * layout->bytesPerTexel;
}

uint32_t levelRowCount(uint32_t pixelFormat, uint32_t height) {
    const PixelFormatLayout* layout = pixelFormatLayout(pixelFormat);
    if (!layout) return 0;
    return layout->blockBytes ? static_cast<uint32_t>((static_cast<uint64_t>(height) + 3) / 4) : height;
}

uint64_t levelBytes(uint32_t pixelFormat, uint32_t width, uint32_t height) {
    return levelRowBytes(pixelFormat, width) * levelRowCount(pixelFormat, height);
}

uint32_t fullMipChainLength(uint32_t width, uint32_t height) {
    uint32_t largest = width > height ? width : height;
    uint32_t levels = 0;
    while (largest) {
        ++levels;
        largest >>= 1;
    }
    return levels;
}
