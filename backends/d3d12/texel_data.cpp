#include "backends/d3d12/texel_data.h"

#include "backend/pixel_formats.h"
#include "backend/renderer_types.h"

#include <string.h>

const TexelLayoutInfo kTexelLayouts[TEXEL_LAYOUT_COUNT] = {
    {4, 0, 4, 0},  // RGBA8
    {4, 0, 4, 0},  // BGRA8
    {1, 0, 1, 0},  // R8
    {4, 0, 2, 1},  // RG16F
    {8, 0, 4, 1},  // RGBA16F
    {0, 8, 0, 0},  // BC1
    {0, 16, 0, 0}, // BC2
    {0, 16, 0, 0}, // BC3
};

namespace {

bool blockAligned(uint32_t width, uint32_t height) { return width % 4 == 0 && height % 4 == 0; }

uint32_t readLittle16(const uint8_t* bytes) { return static_cast<uint32_t>(bytes[0]) | (bytes[1] << 8); }

uint32_t readLittle32(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
           (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

void expand565(uint32_t color, uint8_t rgb[3]) {
    const uint32_t r = (color >> 11) & 31, g = (color >> 5) & 63, b = color & 31;
    rgb[0] = static_cast<uint8_t>((r << 3) | (r >> 2));
    rgb[1] = static_cast<uint8_t>((g << 2) | (g >> 4));
    rgb[2] = static_cast<uint8_t>((b << 3) | (b >> 2));
}

uint8_t mix(uint32_t a, uint32_t b, uint32_t weightA, uint32_t weightB, uint32_t total) {
    return static_cast<uint8_t>((a * weightA + b * weightB + total / 2) / total);
}

// The colour part of every block format; BC1 with its punch-through mode, the others
// always with four colours.
void decodeColors(const uint8_t* block, bool allowTransparent, uint8_t rgba[64]) {
    const uint32_t c0 = readLittle16(block), c1 = readLittle16(block + 2);
    uint8_t palette[4][4];
    expand565(c0, palette[0]);
    expand565(c1, palette[1]);
    palette[0][3] = palette[1][3] = 255;
    const bool four = !allowTransparent || c0 > c1;
    for (int k = 0; k < 3; ++k) {
        if (four) {
            palette[2][k] = mix(palette[0][k], palette[1][k], 2, 1, 3);
            palette[3][k] = mix(palette[0][k], palette[1][k], 1, 2, 3);
        } else {
            palette[2][k] = mix(palette[0][k], palette[1][k], 1, 1, 2);
            palette[3][k] = 0;
        }
    }
    palette[2][3] = 255;
    palette[3][3] = four ? 255 : 0;
    const uint32_t indices = readLittle32(block + 4);
    for (uint32_t texel = 0; texel < 16; ++texel) memcpy(rgba + texel * 4, palette[(indices >> (2 * texel)) & 3], 4);
}

// Four-bit alpha values, two texels per byte (BC2).
void decodeExplicitAlpha(const uint8_t* block, uint8_t rgba[64]) {
    for (uint32_t texel = 0; texel < 16; ++texel) {
        const uint32_t nibble = (block[texel / 2] >> (4 * (texel % 2))) & 15;
        rgba[texel * 4 + 3] = static_cast<uint8_t>(nibble * 17);
    }
}

// Two end points and 3-bit indices (BC3).
void decodeInterpolatedAlpha(const uint8_t* block, uint8_t rgba[64]) {
    const uint32_t a0 = block[0], a1 = block[1];
    uint32_t palette[8] = {a0, a1};
    if (a0 > a1) {
        for (uint32_t k = 1; k < 7; ++k) palette[k + 1] = ((7 - k) * a0 + k * a1 + 3) / 7;
    } else {
        for (uint32_t k = 1; k < 5; ++k) palette[k + 1] = ((5 - k) * a0 + k * a1 + 2) / 5;
        palette[6] = 0;
        palette[7] = 255;
    }
    uint64_t bits = 0;
    for (int i = 0; i < 6; ++i) bits |= static_cast<uint64_t>(block[2 + i]) << (8 * i);
    for (uint32_t texel = 0; texel < 16; ++texel)
        rgba[texel * 4 + 3] = static_cast<uint8_t>(palette[(bits >> (3 * texel)) & 7]);
}

// Decodes a whole level of blocks into RGBA8 texels of its exact size.
void decodeBlocks(TexelLayout layout, const uint8_t* source, uint32_t width, uint32_t height, uint8_t* out) {
    const uint32_t blockBytes = kTexelLayouts[layout].blockBytes;
    const uint32_t blocksWide = (width + 3) / 4, blocksHigh = (height + 3) / 4;
    uint8_t texels[64];
    for (uint32_t by = 0; by < blocksHigh; ++by)
        for (uint32_t bx = 0; bx < blocksWide; ++bx) {
            decodeBlock(layout, source + (static_cast<size_t>(by) * blocksWide + bx) * blockBytes, texels);
            for (uint32_t y = 0; y < 4 && by * 4 + y < height; ++y)
                for (uint32_t x = 0; x < 4 && bx * 4 + x < width; ++x)
                    memcpy(out + (static_cast<size_t>(by * 4 + y) * width + bx * 4 + x) * 4, texels + (y * 4 + x) * 4,
                           4);
        }
}

float channelValue(TexelLayout layout, const uint8_t* texel, uint32_t channel) {
    if (kTexelLayouts[layout].halfFloat) {
        uint16_t half;
        memcpy(&half, texel + channel * 2, 2);
        return halfToFloat(half);
    }
    return static_cast<float>(texel[channel]);
}

} // namespace

uint16_t floatToHalf(float value) {
    uint32_t bits;
    memcpy(&bits, &value, 4);
    const uint32_t sign = (bits >> 16) & 0x8000u;
    const int32_t exponent = static_cast<int32_t>((bits >> 23) & 0xFF) - 127 + 15;
    uint32_t mantissa = bits & 0x7FFFFFu;
    if (((bits >> 23) & 0xFF) == 0xFF)
        return static_cast<uint16_t>(sign | 0x7C00u | (mantissa ? 0x200u : 0)); // inf, NaN
    if (exponent >= 31) return static_cast<uint16_t>(sign | 0x7C00u);           // too large: infinity
    if (exponent <= 0) {
        if (exponent < -10) return static_cast<uint16_t>(sign); // too small: zero
        mantissa |= 0x800000u;
        const uint32_t shift = static_cast<uint32_t>(14 - exponent);
        uint32_t half = mantissa >> shift;
        const uint32_t rest = mantissa & ((1u << shift) - 1);
        const uint32_t halfway = 1u << (shift - 1);
        if (rest > halfway || (rest == halfway && (half & 1))) ++half;
        return static_cast<uint16_t>(sign | half);
    }
    uint32_t half = (static_cast<uint32_t>(exponent) << 10) | (mantissa >> 13);
    const uint32_t rest = mantissa & 0x1FFFu;
    if (rest > 0x1000u || (rest == 0x1000u && (half & 1))) ++half; // may carry into the exponent, as it should
    return static_cast<uint16_t>(sign | half);
}

float halfToFloat(uint16_t half) {
    const uint32_t sign = (half & 0x8000u) << 16;
    const uint32_t exponent = (half >> 10) & 31;
    uint32_t mantissa = half & 0x3FFu;
    uint32_t bits;
    if (exponent == 0) {
        if (mantissa == 0) {
            bits = sign;
        } else {
            int32_t e = -1;
            do {
                ++e;
                mantissa <<= 1;
            } while (!(mantissa & 0x400u));
            bits = sign | (static_cast<uint32_t>(127 - 15 - e) << 23) | ((mantissa & 0x3FFu) << 13);
        }
    } else if (exponent == 31) {
        bits = sign | 0x7F800000u | (mantissa << 13);
    } else {
        bits = sign | ((exponent - 15 + 127) << 23) | (mantissa << 13);
    }
    float value;
    memcpy(&value, &bits, 4);
    return value;
}

void decodeBlock(TexelLayout layout, const uint8_t* block, uint8_t rgba[64]) {
    switch (layout) {
    case TEXEL_BC1:
        decodeColors(block, true, rgba);
        break;
    case TEXEL_BC2:
        decodeColors(block + 8, false, rgba);
        decodeExplicitAlpha(block, rgba);
        break;
    case TEXEL_BC3:
        decodeColors(block + 8, false, rgba);
        decodeInterpolatedAlpha(block, rgba);
        break;
    default:
        memset(rgba, 0, 64);
        break;
    }
}

TexelPlan planTexels(uint32_t pixelFormat, uint32_t width, uint32_t height) {
    switch (pixelFormat) {
    case PIXEL_FORMAT_RGBA8:
        return TexelPlan{TEXEL_RGBA8, pixelFormat, 0};
    case PIXEL_FORMAT_BGRA8:
        return TexelPlan{TEXEL_BGRA8, pixelFormat, 0};
    case PIXEL_FORMAT_RGB8:
    case PIXEL_FORMAT_BGR8:
        return TexelPlan{TEXEL_RGBA8, pixelFormat, 1};
    case PIXEL_FORMAT_RG16F:
        return TexelPlan{TEXEL_RG16F, pixelFormat, 1};
    case PIXEL_FORMAT_R8:
        return TexelPlan{TEXEL_R8, pixelFormat, 0};
    case PIXEL_FORMAT_RGBA16F:
        return TexelPlan{TEXEL_RGBA16F, pixelFormat, 1};
    case PIXEL_FORMAT_BC1:
    case PIXEL_FORMAT_BC2:
    case PIXEL_FORMAT_BC3: {
        const TexelLayout layout = static_cast<TexelLayout>(TEXEL_BC1 + (pixelFormat - PIXEL_FORMAT_BC1));
        if (blockAligned(width, height)) return TexelPlan{layout, pixelFormat, 0};
        return TexelPlan{TEXEL_RGBA8, pixelFormat, 1};
    }
    default:
        // No known layout: four bytes per texel, as RGBA8.
        return TexelPlan{TEXEL_RGBA8, PIXEL_FORMAT_RGBA8, 0};
    }
}

uint64_t texelRowBytes(TexelLayout layout, uint32_t width) {
    const TexelLayoutInfo& info = kTexelLayouts[layout];
    if (info.blockBytes) return ((static_cast<uint64_t>(width) + 3) / 4) * info.blockBytes;
    return static_cast<uint64_t>(width) * info.bytesPerTexel;
}

uint32_t texelRowCount(TexelLayout layout, uint32_t height) {
    return kTexelLayouts[layout].blockBytes ? (height + 3) / 4 : height;
}

uint64_t texelLevelBytes(TexelLayout layout, uint32_t width, uint32_t height) {
    return texelRowBytes(layout, width) * texelRowCount(layout, height);
}

void convertLevel(const TexelPlan& plan, const uint8_t* source, uint32_t width, uint32_t height, uint8_t* out) {
    const uint64_t texels = static_cast<uint64_t>(width) * height;
    if (!plan.convert) {
        memcpy(out, source, texelLevelBytes(plan.layout, width, height));
        return;
    }
    switch (plan.sourceFormat) {
    case PIXEL_FORMAT_RGB8:
    case PIXEL_FORMAT_BGR8: {
        const bool swap = plan.sourceFormat == PIXEL_FORMAT_BGR8;
        for (uint64_t i = 0; i < texels; ++i) {
            out[i * 4 + 0] = source[i * 3 + (swap ? 2 : 0)];
            out[i * 4 + 1] = source[i * 3 + 1];
            out[i * 4 + 2] = source[i * 3 + (swap ? 0 : 2)];
            out[i * 4 + 3] = 255;
        }
        break;
    }
    case PIXEL_FORMAT_RG16F:
        for (uint64_t i = 0; i < texels * 2; ++i) {
            const uint16_t half = floatToHalf(static_cast<float>(source[i]) / 255.0f);
            memcpy(out + i * 2, &half, 2);
        }
        break;
    case PIXEL_FORMAT_RGBA16F:
        for (uint64_t i = 0; i < texels * 4; ++i) {
            float value;
            memcpy(&value, source + i * 4, 4);
            const uint16_t half = floatToHalf(value);
            memcpy(out + i * 2, &half, 2);
        }
        break;
    case PIXEL_FORMAT_BC1:
    case PIXEL_FORMAT_BC2:
    case PIXEL_FORMAT_BC3:
        decodeBlocks(static_cast<TexelLayout>(TEXEL_BC1 + (plan.sourceFormat - PIXEL_FORMAT_BC1)), source, width,
                     height, out);
        break;
    default:
        memcpy(out, source, texelLevelBytes(plan.layout, width, height));
        break;
    }
}

void boxFilterLevel(TexelLayout layout, const uint8_t* above, uint32_t aboveWidth, uint32_t aboveHeight, uint8_t* out) {
    const TexelLayoutInfo& info = kTexelLayouts[layout];
    if (info.blockBytes) return;
    const uint32_t width = levelExtent(aboveWidth, 1), height = levelExtent(aboveHeight, 1);
    const uint32_t texelBytes = info.bytesPerTexel;
    for (uint32_t y = 0; y < height; ++y) {
        const uint32_t y0 = 2 * y < aboveHeight ? 2 * y : aboveHeight - 1;
        const uint32_t y1 = 2 * y + 1 < aboveHeight ? 2 * y + 1 : y0;
        for (uint32_t x = 0; x < width; ++x) {
            const uint32_t x0 = 2 * x < aboveWidth ? 2 * x : aboveWidth - 1;
            const uint32_t x1 = 2 * x + 1 < aboveWidth ? 2 * x + 1 : x0;
            const uint8_t* corners[4] = {
                above + (static_cast<size_t>(y0) * aboveWidth + x0) * texelBytes,
                above + (static_cast<size_t>(y0) * aboveWidth + x1) * texelBytes,
                above + (static_cast<size_t>(y1) * aboveWidth + x0) * texelBytes,
                above + (static_cast<size_t>(y1) * aboveWidth + x1) * texelBytes,
            };
            uint8_t* texel = out + (static_cast<size_t>(y) * width + x) * texelBytes;
            for (uint32_t c = 0; c < info.channels; ++c) {
                if (info.halfFloat) {
                    float sum = 0;
                    for (const uint8_t* corner : corners) sum += channelValue(layout, corner, c);
                    const uint16_t half = floatToHalf(sum * 0.25f);
                    memcpy(texel + c * 2, &half, 2);
                } else {
                    const uint32_t sum = corners[0][c] + corners[1][c] + corners[2][c] + corners[3][c];
                    texel[c] = static_cast<uint8_t>((sum + 2) / 4);
                }
            }
        }
    }
}
