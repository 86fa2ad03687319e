#include "backends/d3d12/texel_data.h"

#include "backend/renderer_types.h"

#include <gtest/gtest.h>

#include <string.h>
#include <vector>

namespace {

uint16_t half(float value) { return floatToHalf(value); }

TEST(TexelData, HalfFloatsRoundToNearestAndKeepTheirRange) {
    EXPECT_EQ(half(0.0f), 0x0000);
    EXPECT_EQ(half(-0.0f), 0x8000);
    EXPECT_EQ(half(1.0f), 0x3C00);
    EXPECT_EQ(half(0.25f), 0x3400);
    EXPECT_EQ(half(-2.5f), 0xC100);
    EXPECT_EQ(half(65504.0f), 0x7BFF);
    EXPECT_EQ(half(1e6f), 0x7C00);          // past the largest half: infinity
    EXPECT_EQ(half(5.9604645e-8f), 0x0001); // the smallest denormal
    EXPECT_EQ(half(1e-9f), 0x0000);
    // 1 + 2^-11 lies halfway between two halves: to the even one.
    EXPECT_EQ(half(1.0f + 1.0f / 2048.0f), 0x3C00);
    EXPECT_EQ(half(1.0f + 3.0f / 2048.0f), 0x3C02);
    for (float value : {0.2f, 0.5f, 0.75f, 3.1415f, 1000.0f, 6.1e-5f, 3.0e-6f})
        // Relative precision 2^-11 for normal halves, steps of 2^-24 below 2^-14.
        EXPECT_NEAR(halfToFloat(half(value)), value, value * 1e-3f + 6e-8f) << value;
}

// BC1 with colour 0 (pure red) above colour 1 (pure blue): four colours; below it,
// three and transparent black.
TEST(TexelData, BlockColoursAndAlphas) {
    const uint8_t fourColours[8] = {0x00, 0xF8, 0x1F, 0x00, 0b11100100, 0, 0, 0}; // indices 0,1,2,3 in row 0
    uint8_t texels[64];
    decodeBlock(TEXEL_BC1, fourColours, texels);
    const uint8_t row0[16] = {255, 0, 0, 255, 0, 0, 255, 255, 170, 0, 85, 255, 85, 0, 170, 255};
    EXPECT_EQ(memcmp(texels, row0, 16), 0);
    const uint8_t threeColours[8] = {0x1F, 0x00, 0x00, 0xF8, 0b11100100, 0, 0, 0};
    decodeBlock(TEXEL_BC1, threeColours, texels);
    const uint8_t row0Punch[16] = {0, 0, 255, 255, 255, 0, 0, 255, 128, 0, 128, 255, 0, 0, 0, 0};
    EXPECT_EQ(memcmp(texels, row0Punch, 16), 0);

    // BC2: four-bit alpha per texel; its colour block always has four colours.
    uint8_t bc2[16] = {0x10, 0xF5};
    memcpy(bc2 + 8, threeColours, 8);
    decodeBlock(TEXEL_BC2, bc2, texels);
    EXPECT_EQ(texels[3], 0);    // nibble 0
    EXPECT_EQ(texels[7], 17);   // nibble 1
    EXPECT_EQ(texels[11], 85);  // nibble 5
    EXPECT_EQ(texels[15], 255); // nibble 15
    EXPECT_EQ(texels[12], 170); // index 3 of four colours, not transparent black

    // BC3: eight alpha values between 200 and 100, or six with 0 and 255 added.
    uint8_t bc3[16] = {200, 100, 0b10001000, 0b11000110, 0b11111010, 0, 0, 0};
    memcpy(bc3 + 8, fourColours, 8);
    decodeBlock(TEXEL_BC3, bc3, texels);
    const uint8_t alphas[8] = {200, 100, 186, 171, 157, 143, 129, 114};
    for (uint32_t texel = 0; texel < 8; ++texel) EXPECT_EQ(texels[texel * 4 + 3], alphas[texel]) << texel;
    bc3[0] = 100;
    bc3[1] = 200;
    decodeBlock(TEXEL_BC3, bc3, texels);
    const uint8_t sixAlphas[8] = {100, 200, 120, 140, 160, 180, 0, 255};
    for (uint32_t texel = 0; texel < 8; ++texel) EXPECT_EQ(texels[texel * 4 + 3], sixAlphas[texel]) << texel;
}

TEST(TexelData, PlansConvertWhatTheTexturesCannotHoldAsGiven) {
    EXPECT_FALSE(planTexels(PIXEL_FORMAT_RGBA8, 3, 3).convert);
    EXPECT_EQ(planTexels(PIXEL_FORMAT_BGRA8, 3, 3).layout, TEXEL_BGRA8);
    EXPECT_TRUE(planTexels(PIXEL_FORMAT_RGB8, 4, 4).convert);
    EXPECT_EQ(planTexels(PIXEL_FORMAT_RGB8, 4, 4).layout, TEXEL_RGBA8);
    EXPECT_EQ(planTexels(PIXEL_FORMAT_BC3, 8, 4).layout, TEXEL_BC3);
    EXPECT_FALSE(planTexels(PIXEL_FORMAT_BC3, 8, 4).convert);
    // Block data of a size that is not a multiple of four is decoded.
    const TexelPlan decoded = planTexels(PIXEL_FORMAT_BC1, 10, 6);
    EXPECT_EQ(decoded.layout, TEXEL_RGBA8);
    EXPECT_TRUE(decoded.convert);
    EXPECT_EQ(planTexels(99, 4, 4).layout, TEXEL_RGBA8);
}

TEST(TexelData, LevelsConvertTexelByTexel) {
    const uint8_t bgr[6] = {10, 20, 30, 40, 50, 60};
    uint8_t rgba[8];
    convertLevel(planTexels(PIXEL_FORMAT_BGR8, 2, 1), bgr, 2, 1, rgba);
    const uint8_t expected[8] = {30, 20, 10, 255, 60, 50, 40, 255};
    EXPECT_EQ(memcmp(rgba, expected, 8), 0);

    const float floats[4] = {0.5f, 1.0f, -2.0f, 0.0f};
    uint16_t halves[4];
    convertLevel(planTexels(PIXEL_FORMAT_RGBA16F, 1, 1), reinterpret_cast<const uint8_t*>(floats), 1, 1,
                 reinterpret_cast<uint8_t*>(halves));
    EXPECT_EQ(halves[0], 0x3800);
    EXPECT_EQ(halves[1], 0x3C00);
    EXPECT_EQ(halves[2], 0xC000);
    EXPECT_EQ(halves[3], 0x0000);

    // 10 x 6 texels of one BC1 colour in 3 x 2 blocks, decoded to exactly 10 x 6.
    std::vector<uint8_t> blocks(6 * 8, 0);
    for (size_t b = 0; b < 6; ++b) {
        blocks[b * 8 + 1] = 0xF8; // colour 0 red, all indices 0
        blocks[b * 8 + 3] = 0xF8;
    }
    std::vector<uint8_t> texels(10 * 6 * 4 + 4, 0xEE);
    convertLevel(planTexels(PIXEL_FORMAT_BC1, 10, 6), blocks.data(), 10, 6, texels.data());
    for (size_t t = 0; t < 60; ++t) EXPECT_EQ(texels[t * 4], 255) << t;
    EXPECT_EQ(texels[240], 0xEE) << "written past the level";
}

TEST(TexelData, TheBoxFilterAveragesTheTexelsEachCovers) {
    // 4 x 2 RGBA8 to 2 x 1: each the rounded mean of a 2 x 2 square.
    const uint8_t above[32] = {0, 0, 0, 0, 10, 20, 30, 40, 100, 100, 100, 100, 200, 200, 200, 200,
                               1, 1, 1, 1, 10, 20, 30, 41, 100, 101, 100, 100, 255, 255, 255, 255};
    uint8_t level[8];
    boxFilterLevel(TEXEL_RGBA8, above, 4, 2, level);
    const uint8_t expected[8] = {5, 10, 15, 21, 164, 164, 164, 164};
    EXPECT_EQ(memcmp(level, expected, 8), 0);

    // Odd and unit sizes: 3 x 1 halves to 1 x 1 from the first two texels (a row
    // of one repeats).
    const uint8_t row[3] = {10, 20, 255};
    uint8_t one = 0;
    boxFilterLevel(TEXEL_R8, row, 3, 1, &one);
    EXPECT_EQ(one, 15);

    // Half floats average as numbers.
    uint16_t pair[4] = {half(0.25f), half(1.0f), half(0.75f), half(3.0f)};
    uint16_t averaged[2];
    boxFilterLevel(TEXEL_RG16F, reinterpret_cast<const uint8_t*>(pair), 2, 1, reinterpret_cast<uint8_t*>(averaged));
    EXPECT_EQ(averaged[0], half(0.5f));
    EXPECT_EQ(averaged[1], half(2.0f));
}

} // namespace
