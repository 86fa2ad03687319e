// Pixel data as the Direct3D 12 textures hold it, made from the data callers hand
// to uploadTextureInRenderer: RGB and BGR widened to RGBA, two channels of bytes and
// 32-bit floats turned into half floats, block-compressed data whose size is not a
// multiple of four decoded (Direct3D 12 refuses such textures), and the missing mip
// levels made on the CPU with a box filter where no compute shader can make them.
// Nothing here calls Direct3D: it is tested natively.
#pragma once

#include <stddef.h>
#include <stdint.h>

enum TexelLayout : uint32_t {
    TEXEL_RGBA8 = 0, // R8G8B8A8_UNORM
    TEXEL_BGRA8,     // B8G8R8A8_UNORM
    TEXEL_R8,        // R8_UNORM
    TEXEL_RG16F,     // R16G16_FLOAT
    TEXEL_RGBA16F,   // R16G16B16A16_FLOAT
    TEXEL_BC1,
    TEXEL_BC2,
    TEXEL_BC3,
    TEXEL_LAYOUT_COUNT
};

struct TexelLayoutInfo {
    uint32_t bytesPerTexel; // 0 for the block formats
    uint32_t blockBytes;    // bytes per 4 x 4 block; 0 for the others
    uint32_t channels;      // of the uncompressed layouts
    uint8_t halfFloat;      // channels are 16-bit floats
};

extern const TexelLayoutInfo kTexelLayouts[TEXEL_LAYOUT_COUNT];

// How a pixel format's data is held: the layout, and whether its data must be
// converted on the way (any RGB, two-byte and float data; block data of a size that is
// not a multiple of four, which becomes RGBA8).
struct TexelPlan {
    TexelLayout layout;
    uint32_t sourceFormat; // PixelFormat of the data
    uint8_t convert;       // the data is not copied as it is
};
TexelPlan planTexels(uint32_t pixelFormat, uint32_t width, uint32_t height);

// Bytes of one row and of a whole level in a layout.
uint64_t texelRowBytes(TexelLayout layout, uint32_t width);
uint32_t texelRowCount(TexelLayout layout, uint32_t height);
uint64_t texelLevelBytes(TexelLayout layout, uint32_t width, uint32_t height);

// Converts one level of source data (in the plan's source format, rows tightly
// packed) into the plan's layout, rows tightly packed. The caller checked the
// source's size against levelBytes of the source format.
void convertLevel(const TexelPlan& plan, const uint8_t* source, uint32_t width, uint32_t height, uint8_t* out);

// One level from the one above it: each texel the average of the 2 x 2 texels it
// covers (the edge texel repeats where the level above has an odd or unit size), each
// byte channel rounded to nearest. Uncompressed layouts only.
void boxFilterLevel(TexelLayout layout, const uint8_t* above, uint32_t aboveWidth, uint32_t aboveHeight, uint8_t* out);

// 16-bit floats.
uint16_t floatToHalf(float value);
float halfToFloat(uint16_t half);

// Decodes one 4 x 4 block into 16 RGBA8 texels (row-major from the block's first row).
void decodeBlock(TexelLayout layout, const uint8_t* block, uint8_t rgba[64]);
