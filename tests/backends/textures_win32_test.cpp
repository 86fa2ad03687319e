// Textures: every pixel format, block-compressed sizes, mip levels given and
// generated, filtering, wrap modes, texture units and the bind cache.
#include "tests/backends/backend_harness.h"

#include <stdlib.h>
#include <string.h>
#include <vector>

namespace {

const float kWhite[4] = {1, 1, 1, 1};

uint16_t rgb565(uint32_t r5, uint32_t g6, uint32_t b5) { return static_cast<uint16_t>((r5 << 11) | (g6 << 5) | b5); }
Rgba expand565(uint32_t r5, uint32_t g6, uint32_t b5, uint8_t alpha) {
    return Rgba{static_cast<uint8_t>((r5 << 3) | (r5 >> 2)), static_cast<uint8_t>((g6 << 2) | (g6 >> 4)),
                static_cast<uint8_t>((b5 << 3) | (b5 >> 2)), alpha};
}

// One 4 x 4 block of one colour: both end points equal, every index 0.
void colorBlock(uint8_t* block, uint16_t color) {
    block[0] = static_cast<uint8_t>(color & 0xFF);
    block[1] = static_cast<uint8_t>(color >> 8);
    block[2] = block[0];
    block[3] = block[1];
    memset(block + 4, 0, 4);
}

class Textures : public BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (HasFatalFailure() || !testShaderSource(TEST_SHADER_PLACED)) return;
        placed = newShader();
        ASSERT_TRUE(buildShader(placed, testShaderSource(TEST_SHADER_PLACED), 0, kPlacedUniforms, 4));
    }

    // Draws the texture over the clip-space area of a target of that size and leaves
    // the target bound.
    void drawTexture(FrameBufferRecord* target, uint32_t texture, float x0, float y0, float x1, float y1,
                     float uvScale = 1.0f) {
        api().bindFrameBufferInRenderer(state(), target);
        api().clearCurrentFrameBuffer(state());
        api().enableDepthTestOnRenderer(state(), false);
        api().bindShaderInRenderer(state(), placed);
        api().bindTextureInRenderer(state(), texture, 0);
        drawPlaced(placed, x0, y0, x1, y1, 0, kWhite, uvScale);
    }

    uint32_t upload(const void* pixels, uint64_t size, uint16_t width, uint16_t height, uint32_t format,
                    uint32_t mipLevels = 1, uint16_t levelsInData = 1, bool smooth = false, bool noMipFilter = false,
                    uint32_t wrap = WRAP_CLAMP_TO_EDGE) {
        TextureDescription description = colorDescription(width, height, format);
        description.mipLevels = mipLevels;
        description.smooth = smooth ? 1 : 0;
        description.renderTarget = noMipFilter ? 1 : 0;
        description.wrapMode = wrap;
        uint32_t texture = api().uploadTextureInRenderer(state(), const_cast<void*>(pixels), size, &description,
                                                         levelsInData, RENDERER_INVALID_ID);
        // Point filtering is set again explicitly: only OpenGL reads it at the upload
        // (DIFFERENCE_SMOOTH_READ_AT_UPLOAD, tested on its own below).
        if (texture != RENDERER_INVALID_ID && !smooth) api().setTextureSmoothInRenderer(state(), &texture, false);
        return texture;
    }

    ShaderRecord* placed = nullptr;
};

#define REQUIRE_PLACED() REQUIRE_TEST_SHADER(TEST_SHADER_PLACED)

TEST_F(Textures, EveryPixelFormatSamplesItsColour) {
    REQUIRE_PLACED();
    struct Case {
        uint32_t format;
        std::vector<uint8_t> texel; // one texel, or one 4 x 4 block for the compressed formats
        Rgba expected;
    };
    const float floats[4] = {0.8f, 0.4f, 0.2f, 1.0f};
    std::vector<uint8_t> floatTexel(reinterpret_cast<const uint8_t*>(floats),
                                    reinterpret_cast<const uint8_t*>(floats) + sizeof(floats));
    uint8_t dxt1[8], dxt3[16], dxt5[16];
    colorBlock(dxt1, rgb565(25, 50, 6));
    memset(dxt3, 0xFF, 8); // explicit alpha 15 everywhere
    colorBlock(dxt3 + 8, rgb565(25, 50, 6));
    dxt5[0] = 200; // both alpha end points 200, every alpha index 0
    dxt5[1] = 200;
    memset(dxt5 + 2, 0, 6);
    colorBlock(dxt5 + 8, rgb565(25, 50, 6));
    const Case cases[] = {
        {PIXEL_FORMAT_RGBA8, {200, 100, 50, 255}, {200, 100, 50, 255}},
        {PIXEL_FORMAT_BGRA8, {50, 100, 200, 255}, {200, 100, 50, 255}},
        {PIXEL_FORMAT_RGB8, {200, 100, 50}, {200, 100, 50, 255}},
        {PIXEL_FORMAT_BGR8, {50, 100, 200}, {200, 100, 50, 255}},
        {PIXEL_FORMAT_R8, {200}, {200, 0, 0, 255}},
        {PIXEL_FORMAT_RGBA16F, floatTexel, {204, 102, 51, 255}},
        {PIXEL_FORMAT_BC1, std::vector<uint8_t>(dxt1, dxt1 + 8), expand565(25, 50, 6, 255)},
        {PIXEL_FORMAT_BC2, std::vector<uint8_t>(dxt3, dxt3 + 16), expand565(25, 50, 6, 255)},
        {PIXEL_FORMAT_BC3, std::vector<uint8_t>(dxt5, dxt5 + 16), expand565(25, 50, 6, 200)},
    };
    FrameBufferRecord* target = newTarget(8, 8);
    for (const Case& c : cases) {
        // 4 x 4 texels: sixteen copies of the texel, or the one block.
        std::vector<uint8_t> pixels;
        const bool compressed = c.format >= PIXEL_FORMAT_BC1;
        for (int i = 0; i < (compressed ? 1 : 16); ++i) pixels.insert(pixels.end(), c.texel.begin(), c.texel.end());
        uint32_t texture = upload(pixels.data(), pixels.size(), 4, 4, c.format);
        ASSERT_NE(texture, RENDERER_INVALID_ID);
        drawTexture(target, texture, -1, -1, 1, 1);
        EXPECT_TRUE(colorNear(readPixel(1, 6), c.expected, 2, true)) << "pixel format " << c.format;
        EXPECT_TRUE(colorNear(readPixel(6, 1), c.expected, 2, true)) << "pixel format " << c.format;
        api().unbindFrameBufferInRenderer(state(), target);
        api().pushFreeTextureDescriptorInRenderer(state(), texture);
    }
}

TEST_F(Textures, Dxt1TenBySixReadsThreeByTwoBlocks) {
    REQUIRE_PLACED();
    // 10 x 6 texels round up to 3 x 2 blocks of 8 bytes: 48 bytes for level 0.
    uint8_t blocks[48];
    Rgba expected[2][3];
    for (uint32_t by = 0; by < 2; ++by)
        for (uint32_t bx = 0; bx < 3; ++bx) {
            const uint32_t r = 5 + bx * 10, g = 10 + by * 40, b = 8 + bx * 4 + by * 8;
            colorBlock(blocks + (by * 3 + bx) * 8, rgb565(r, g, b));
            expected[by][bx] = expand565(r, g, b, 255);
        }
    uint32_t texture = upload(blocks, sizeof(blocks), 10, 6, PIXEL_FORMAT_BC1);
    FrameBufferRecord* target = newTarget(40, 24); // four pixels per texel
    drawTexture(target, texture, -1, -1, 1, 1);
    for (uint32_t by = 0; by < 2; ++by)
        for (uint32_t bx = 0; bx < 3; ++bx) {
            // Texel (4 bx + 1, 4 by + 1): the last column of blocks holds two texels.
            const int32_t x = static_cast<int32_t>((bx * 4 + 1) * 4 + 2);
            const int32_t y = static_cast<int32_t>((by * 4 + 1) * 4 + 2);
            EXPECT_TRUE(colorNear(readPixel(x, y), expected[by][bx])) << "block " << bx << ", " << by;
        }
    api().unbindFrameBufferInRenderer(state(), target);

    // A buffer shorter than its level gives a texture without contents, not a read
    // past its end.
    uint8_t* shortBuffer = static_cast<uint8_t*>(malloc(40));
    memcpy(shortBuffer, blocks, 40);
    EXPECT_NE(upload(shortBuffer, 40, 10, 6, PIXEL_FORMAT_BC1), RENDERER_INVALID_ID);
    free(shortBuffer);
}

// Four levels of 16 x 16: red, green, blue, yellow.
std::vector<uint8_t> fourLevels() {
    const uint8_t colors[4][4] = {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 0, 255}};
    std::vector<uint8_t> data;
    for (uint32_t level = 0, size = 16; level < 4; ++level, size /= 2)
        for (uint32_t i = 0; i < size * size; ++i) data.insert(data.end(), colors[level], colors[level] + 4);
    return data;
}

TEST_F(Textures, MipLevelsFromDataOrGenerated) {
    REQUIRE_PLACED();
    const std::vector<uint8_t> levels = fourLevels();
    FrameBufferRecord* target = newTarget(16, 16);
    const float tiny = -1.0f + 2.0f * 2.0f / 16.0f; // a 2 x 2 pixel area: 8 texels per pixel

    struct Case {
        const char* what;
        uint16_t levelsInData;
        bool smooth, noMipFilter;
        uint32_t mipLevels;
        Rgba minified;
    };
    const Rgba red = {255, 0, 0, 255}, yellow = {255, 255, 0, 255};
    const Case cases[] = {
        {"four levels in the data", 4, true, false, 4, yellow},
        {"one level and generation", 1, true, false, 4, red},
        {"render-target byte set", 4, true, true, 4,
         difference(DIFFERENCE_RENDER_TARGET_MEANS_NO_MIP_FILTER) ? red : yellow},
        {"one level wanted", 1, true, false, 1, red},
        {"point filtering", 4, false, false, 4, difference(DIFFERENCE_POINT_FILTER_USES_MIPS) ? yellow : red},
    };
    for (const Case& c : cases) {
        uint32_t texture =
            upload(levels.data(), levels.size(), 16, 16, PIXEL_FORMAT_RGBA8, c.mipLevels, c.levelsInData, c.smooth,
                   c.noMipFilter);
        drawTexture(target, texture, -1, -1, tiny, tiny);
        EXPECT_TRUE(colorNear(readPixel(0, 0), c.minified)) << c.what;
        EXPECT_TRUE(colorNear(readPixel(1, 1), c.minified)) << c.what;
        drawTexture(target, texture, -1, -1, 1, 1);
        EXPECT_RGB(readPixel(8, 8), 255, 0, 0) << c.what;
        api().unbindFrameBufferInRenderer(state(), target);
    }
}

TEST_F(Textures, SmoothingSwitchesTheFilter) {
    REQUIRE_PLACED();
    // Black and white checker of 2 x 2 texels, eight pixels per texel, uploaded with
    // the smooth byte off and no filter set since.
    const uint8_t checker[16] = {0, 0, 0, 255, 255, 255, 255, 255, 255, 255, 255, 255, 0, 0, 0, 255};
    TextureDescription description = colorDescription(2, 2);
    description.renderTarget = 0;
    description.smooth = 0;
    uint32_t texture = api().uploadTextureInRenderer(state(), const_cast<uint8_t*>(checker), sizeof(checker),
                                                     &description, 1, RENDERER_INVALID_ID);
    FrameBufferRecord* target = newTarget(16, 16);
    drawTexture(target, texture, -1, -1, 1, 1);
    const Rgba uploaded = readPixel(7, 4);
    if (difference(DIFFERENCE_SMOOTH_READ_AT_UPLOAD)) {
        EXPECT_RGB(uploaded, 0, 0, 0);
    } else {
        EXPECT_GT(uploaded.r, 40) << "filtered smoothly until told otherwise";
        EXPECT_LT(uploaded.r, 215) << "filtered smoothly until told otherwise";
    }
    api().setTextureSmoothInRenderer(state(), &texture, false);
    drawTexture(target, texture, -1, -1, 1, 1);
    EXPECT_RGB(readPixel(7, 4), 0, 0, 0);
    EXPECT_RGB(readPixel(8, 4), 255, 255, 255);

    api().setTextureSmoothInRenderer(state(), &texture, true);
    drawTexture(target, texture, -1, -1, 1, 1);
    const Rgba blended = readPixel(7, 4);
    EXPECT_GT(blended.r, 40);
    EXPECT_LT(blended.r, 215);

    api().setTextureSmoothInRenderer(state(), &texture, false);
    drawTexture(target, texture, -1, -1, 1, 1);
    EXPECT_RGB(readPixel(7, 4), 0, 0, 0);

    // Smoothing a one-level texture keeps it sampling its colour when minified.
    uint32_t single = solidTexture(20, 200, 60, 255, 8);
    api().setTextureSmoothInRenderer(state(), &single, true);
    drawTexture(target, single, -1, -1, -1.0f + 2.0f / 16.0f, -1.0f + 2.0f / 16.0f);
    EXPECT_RGB(readPixel(0, 0), 20, 200, 60);

    // A handle that names nothing yet gets a texture.
    uint32_t reserved = RENDERER_INVALID_ID;
    api().setTextureSmoothInRenderer(state(), &reserved, true);
    EXPECT_NE(reserved, RENDERER_INVALID_ID);
    uint32_t wrapped = RENDERER_INVALID_ID;
    api().setTextureWrapModeInRenderer(state(), &wrapped, WRAP_REPEAT);
    EXPECT_NE(wrapped, RENDERER_INVALID_ID);
    EXPECT_NE(wrapped, reserved);
    EXPECT_NE(api().getTextureIDInRenderer(state()), RENDERER_INVALID_ID);
    api().unbindFrameBufferInRenderer(state(), target);
}

TEST_F(Textures, WrapModes) {
    REQUIRE_PLACED();
    const uint8_t twoTexels[8] = {255, 0, 0, 255, 0, 255, 0, 255}; // red, green
    uint32_t texture = upload(twoTexels, sizeof(twoTexels), 2, 1, PIXEL_FORMAT_RGBA8, 1, 1, false, false, WRAP_REPEAT);
    FrameBufferRecord* target = newTarget(16, 4);
    const Rgba red = {255, 0, 0, 255}, green = {0, 255, 0, 255};
    struct Case {
        uint32_t mode;
        Rgba at10, at14; // u = 1.3125 and 1.8125
    };
    // The texture coordinates run from 0 to 2 over the target.
    const Case cases[] = {
        {WRAP_REPEAT, red, green}, {WRAP_MIRRORED_REPEAT, green, red}, {WRAP_CLAMP_TO_EDGE, green, green},
        {17, green, green}, // not a wrap mode: unchanged
        {WRAP_REPEAT, red, green},
    };
    for (const Case& c : cases) {
        api().setTextureWrapModeInRenderer(state(), &texture, c.mode);
        drawTexture(target, texture, -1, -1, 1, 1, 2.0f);
        EXPECT_RGB(readPixel(2, 2), 255, 0, 0) << "wrap mode " << c.mode;
        EXPECT_TRUE(colorNear(readPixel(10, 2), c.at10)) << "wrap mode " << c.mode;
        EXPECT_TRUE(colorNear(readPixel(14, 2), c.at14)) << "wrap mode " << c.mode;
        api().unbindFrameBufferInRenderer(state(), target);
    }
    // The border is transparent black on both.
    api().setTextureWrapModeInRenderer(state(), &texture, WRAP_CLAMP_TO_BORDER);
    drawTexture(target, texture, -1, -1, 1, 1, 2.0f);
    EXPECT_RGBA(readPixel(14, 2), 0, 0, 0, 0);
    api().unbindFrameBufferInRenderer(state(), target);
}

TEST_F(Textures, UnitsAndTheBindCache) {
    REQUIRE_PLACED();
    REQUIRE_TEST_SHADER(TEST_SHADER_SECOND_UNIT);
    const uint32_t red = solidTexture(255, 0, 0, 255);
    const uint32_t green = solidTexture(0, 255, 0, 255);
    const uint32_t blue = solidTexture(0, 0, 255, 255);
    FrameBufferRecord* target = newTarget(8, 8);

    // Unit 3 is read through the sampler "texture3".
    ShaderRecord* second = newShader();
    const UniformDeclaration areaOnly[] = {{"area", 0, 4}};
    ASSERT_TRUE(buildShader(second, testShaderSource(TEST_SHADER_SECOND_UNIT), 0, areaOnly, 1));
    api().bindFrameBufferInRenderer(state(), target);
    api().bindShaderInRenderer(state(), second);
    const float area[4] = {-1, -1, 1, 1};
    api().sendVector4DToShaderInRenderer(state(), second, "area", area);
    api().bindTextureInRenderer(state(), red, 0);
    api().bindTextureInRenderer(state(), green, 3);
    api().drawIndexedInRenderer(state(), second, state()->quadIndexBuffer, state()->quadVertexInput);
    EXPECT_RGB(readPixel(4, 4), 0, 255, 0);
    // Unit 0 is still the one later binds and uploads use.
    api().bindTextureInRenderer(state(), blue, 3);
    api().drawIndexedInRenderer(state(), second, state()->quadIndexBuffer, state()->quadVertexInput);
    EXPECT_RGB(readPixel(4, 4), 0, 0, 255);
    api().unbindFrameBufferInRenderer(state(), target);

    // An upload binds its texture on unit 0; binding the earlier one again must
    // bind it for real.
    drawTexture(target, red, -1, -1, 1, 1);
    EXPECT_RGB(readPixel(4, 4), 255, 0, 0);
    const uint32_t yellow = solidTexture(255, 255, 0, 255);
    api().bindTextureInRenderer(state(), red, 0);
    drawPlaced(placed, -1, -1, 1, 1, 0, kWhite);
    EXPECT_RGB(readPixel(4, 4), 255, 0, 0);
    api().bindTextureInRenderer(state(), yellow, 0);
    drawPlaced(placed, -1, -1, 1, 1, 0, kWhite);
    EXPECT_RGB(readPixel(4, 4), 255, 255, 0);
    api().unbindFrameBufferInRenderer(state(), target);
}

TEST_F(Textures, FloatingPointRenderTargets) {
    // The program draws into RG16F and RGBA16F targets without data.
    FrameBufferRecord* targetsByFormat[2];
    const uint32_t formats[2] = {PIXEL_FORMAT_RGBA16F, PIXEL_FORMAT_RG16F};
    for (int i = 0; i < 2; ++i) {
        targetsByFormat[i] = &targets[targetCount++];
        TextureDescription color = colorDescription(8, 8, formats[i]);
        TextureDescription* attachments[1] = {&color};
        api().createFrameBufferInRenderer(state(), targetsByFormat[i], 8, 8, attachments, 1);
    }
    const float color[4] = {0.25f, 0.5f, 0.75f, 1.0f};
    api().bindFrameBufferInRenderer(state(), targetsByFormat[0]);
    api().clearColorBufferOnRenderer(state(), color);
    EXPECT_RGB(readPixel(3, 3), 64, 128, 191);
    api().unbindFrameBufferInRenderer(state(), targetsByFormat[0]);
    api().bindFrameBufferInRenderer(state(), targetsByFormat[1]);
    api().clearColorBufferOnRenderer(state(), color);
    EXPECT_RGB(readPixel(3, 3), 64, 128, 0);
    api().unbindFrameBufferInRenderer(state(), targetsByFormat[1]);
}

} // namespace
