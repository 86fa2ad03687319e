// Pixel data as callers hand it to uploadTextureInRenderer: bytes per texel of the
// uncompressed formats and bytes per 4 x 4 block of the compressed ones, by
// PixelFormat. Both backend libraries size and step through pixel data with these.
#pragma once

#include <stdint.h>

struct PixelFormatLayout {
    uint32_t bytesPerTexel; // uncompressed formats; 0 for the block formats
    uint32_t blockBytes;    // block-compressed formats: bytes per 4 x 4 block; 0 otherwise
};

// By PixelFormat 0 to 9. Format 6 arrives as four 32-bit floats per texel, format 4
// as two bytes.
extern const PixelFormatLayout kPixelFormatLayouts[10];

// The layout of a format, or null for a value outside the table.
const PixelFormatLayout* pixelFormatLayout(uint32_t pixelFormat);

bool isBlockCompressedFormat(uint32_t pixelFormat);

// Bytes of one row of texels (uncompressed) or of 4 x 4 blocks (compressed) of a level
// that is width texels wide, and the number of such rows for height texels; 0 for a
// format outside the table.
uint64_t levelRowBytes(uint32_t pixelFormat, uint32_t width);
uint32_t levelRowCount(uint32_t pixelFormat, uint32_t height);

// Bytes of a whole level: rows times row bytes (blocks rounded up at the edges).
uint64_t levelBytes(uint32_t pixelFormat, uint32_t width, uint32_t height);

// The size of level `level` of a texture: halved per level, at least 1.
inline uint32_t levelExtent(uint32_t extent, uint32_t level) {
    const uint32_t halved = level < 32 ? extent >> level : 0;
    return halved ? halved : 1;
}

// Levels of a full chain down to one texel (1 for a 1 x 1 texture, 0 for an empty one).
uint32_t fullMipChainLength(uint32_t width, uint32_t height);
