// Pixels rendered through the interface and read back: clears, the unit quad with a
// texture, the built-in GUI shaders, depth, scissor, blending and culling.
#include "tests/backends/backend_harness.h"

#include <string.h>
#include <vector>

namespace {

const float kRed[4] = {1, 0, 0, 1};
const float kGreen[4] = {0, 1, 0, 1};
const float kBlue[4] = {0, 0, 1, 1};
const float kYellow[4] = {1, 1, 0, 1};
const float kBlack[4] = {0, 0, 0, 1};
const float kWhite[4] = {1, 1, 1, 1};
const float kFullArea[4] = {-1, -1, 1, 1};

using Pixels = BackendTest;

TEST_F(Pixels, ClearsFrameBufferAndBackBuffer) {
    FrameBufferRecord* target = newTarget(64, 32);
    ASSERT_EQ(target->attachmentCount, 1u);
    ASSERT_NE(target->textures, nullptr);
    EXPECT_NE(target->textures[0], RENDERER_INVALID_ID);
    EXPECT_EQ(target->width, 64u);
    EXPECT_EQ(target->height, 32u);
    EXPECT_EQ(target->bound, 0);

    api().bindFrameBufferInRenderer(state(), target);
    EXPECT_EQ(target->bound, 1);
    const float color[4] = {0.2f, 0.4f, 0.6f, 1.0f};
    api().clearColorBufferOnRenderer(state(), color);
    EXPECT_RGBA(readPixel(0, 0), 51, 102, 153, 255);
    EXPECT_RGBA(readPixel(63, 31), 51, 102, 153, 255);
    // The clear colour goes back to (1, 1, 1, 0) after a coloured clear.
    api().clearCurrentFrameBuffer(state());
    EXPECT_RGBA(readPixel(10, 10), 255, 255, 255, 0);
    api().clearColorBufferOnRenderer(state(), color);
    api().unbindFrameBufferInRenderer(state(), target);
    EXPECT_EQ(target->bound, 0);

    // A clear of a frame buffer that is not bound leaves the back buffer bound.
    api().clearColorBufferOnRenderer(state(), kRed);
    api().clearFrameBufferInRenderer(state(), target);
    EXPECT_EQ(target->bound, 0);
    EXPECT_RGB(readPixel(0, 0), 255, 0, 0);
    EXPECT_RGB(readPixel(static_cast<int32_t>(state()->width) - 1, static_cast<int32_t>(state()->height) - 1), 255, 0,
               0);
    api().bindFrameBufferInRenderer(state(), target);
    EXPECT_RGBA(readPixel(32, 16), 255, 255, 255, 0);
    api().unbindFrameBufferInRenderer(state(), target);
}

TEST_F(Pixels, TexturedUnitQuadInAFrameBuffer) {
    REQUIRE_TEST_SHADER(TEST_SHADER_PLACED);
    // 2 x 2 texels, first row the bottom one.
    uint8_t texels[16] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 0, 255};
    TextureDescription description = colorDescription(2, 2);
    description.renderTarget = 0;
    uint32_t texture = api().uploadTextureInRenderer(state(), texels, sizeof(texels), &description, 1,
                                                     RENDERER_INVALID_ID);
    ASSERT_NE(texture, RENDERER_INVALID_ID);
    api().setTextureSmoothInRenderer(state(), &texture, false);
    ShaderRecord* shader = newShader();
    ASSERT_TRUE(buildShader(shader, testShaderSource(TEST_SHADER_PLACED), 0, kPlacedUniforms, 4));

    FrameBufferRecord* target = newTarget(64, 64);
    api().bindFrameBufferInRenderer(state(), target);
    api().clearCurrentFrameBuffer(state());
    api().bindShaderInRenderer(state(), shader);
    api().bindTextureInRenderer(state(), texture, 0);
    const float white[4] = {1, 1, 1, 1};
    drawPlaced(shader, -1, -1, 1, 1, 0, white);
    EXPECT_RGB(readPixel(16, 16), 255, 0, 0);
    EXPECT_RGB(readPixel(48, 16), 0, 255, 0);
    EXPECT_RGB(readPixel(16, 48), 0, 0, 255);
    EXPECT_RGB(readPixel(48, 48), 255, 255, 0);

    // The same on a smaller area of the target, tinted.
    api().clearCurrentFrameBuffer(state());
    const float half[4] = {0.5f, 0.5f, 0.5f, 1};
    drawPlaced(shader, 0, 0, 1, 1, 0, half);
    EXPECT_RGB(readPixel(16, 16), 255, 255, 255);
    EXPECT_RGB(readPixel(40, 40), 128, 0, 0);
    EXPECT_RGB(readPixel(60, 60), 128, 128, 0);
    api().unbindFrameBufferInRenderer(state(), target);
}

// The unit quad of format 8 for the text shaders: position, texture coordinate, colour.
void makeTextQuad(float x0, float y0, float x1, float y1, const float color[4], float* vertices) {
    const float corners[4][4] = {{x0, y0, 0, 0}, {x0, y1, 0, 1}, {x1, y0, 1, 0}, {x1, y1, 1, 1}};
    for (int v = 0; v < 4; ++v) {
        memcpy(vertices + v * 8, corners[v], 4 * sizeof(float));
        memcpy(vertices + v * 8 + 4, color, 4 * sizeof(float));
    }
}

const float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
// z to 0.5 z + 0.5: model-view z from -1 to 1 stays inside both clip ranges.
const float kHalfDepth[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0.5f, 0, 0, 0, 0.5f, 1};

TEST_F(Pixels, BuiltInGuiShaders) {
    const UniformDeclaration textUniforms[] = {{"pos", 0, 3}, {"scale", 0, 3}};
    const UniformDeclaration transformUniforms[] = {{"mvMat", 0, 16}, {"projMat", 0, 16}};
    const UniformDeclaration colorUniforms[] = {{"mvMat", 0, 16}, {"projMat", 0, 16}, {"color", 0, 4}};
    ShaderRecord* text = newShader();
    ShaderRecord* color = newShader();
    ShaderRecord* transformed = newShader();
    ShaderRecord* image = newShader();
    ASSERT_TRUE(buildShader(text, api().defaultGUITextShaderSource(), 8, textUniforms, 2, CULL_NONE, BLEND_ALPHA));
    ASSERT_TRUE(buildShader(color, api().defaultGUIColorShaderSource(), 0, colorUniforms, 3, CULL_NONE, BLEND_ALPHA));
    ASSERT_TRUE(buildShader(transformed, api().defaultGUITransformedTextShaderSource(), 8, transformUniforms, 2,
                            CULL_NONE, BLEND_ALPHA));
    ASSERT_TRUE(buildShader(image, api().defaultGUIImageShaderSource(), 0, transformUniforms, 2, CULL_NONE,
                            BLEND_PREMULTIPLIED));

    // Glyph coverage in one channel: full and half.
    TextureDescription coverageDescription = colorDescription(2, 2, PIXEL_FORMAT_R8);
    coverageDescription.renderTarget = 0;
    uint8_t full[4] = {255, 255, 255, 255};
    uint8_t half[4] = {128, 128, 128, 128};
    uint32_t fullCoverage =
        api().uploadTextureInRenderer(state(), full, sizeof(full), &coverageDescription, 1, RENDERER_INVALID_ID);
    uint32_t halfCoverage =
        api().uploadTextureInRenderer(state(), half, sizeof(half), &coverageDescription, 1, RENDERER_INVALID_ID);

    FrameBufferRecord* target = newTarget(64, 64);
    api().bindFrameBufferInRenderer(state(), target);
    api().clearCurrentFrameBuffer(state());
    api().enableDepthTestOnRenderer(state(), false);

    // Text: clip-space quad placed by pos and scale.
    float vertices[32];
    makeTextQuad(-1, -1, 0, 0, kBlue, vertices);
    uint32_t quad = api().createVertexInputBufferInRenderer(state(), 4, vertices, 8);
    const float pos[3] = {0.5f, 0.5f, 0};
    const float scale[3] = {0.5f, 0.5f, 1};
    api().bindShaderInRenderer(state(), text);
    api().sendVector3DToShaderInRenderer(state(), text, "pos", pos);
    api().sendVector3DToShaderInRenderer(state(), text, "scale", scale);
    api().bindTextureInRenderer(state(), fullCoverage, 0);
    api().drawIndexedInRenderer(state(), text, state()->quadIndexBuffer, quad);
    // (-1..0) * 0.5 + 0.5 covers clip 0..0.5: pixels 32..48.
    EXPECT_RGB(readPixel(40, 40), 0, 0, 255);
    EXPECT_RGB(readPixel(20, 20), 255, 255, 255);
    EXPECT_RGB(readPixel(52, 52), 255, 255, 255);

    // Half coverage blends half of the colour over white.
    api().clearCurrentFrameBuffer(state());
    api().bindTextureInRenderer(state(), halfCoverage, 0);
    api().drawIndexedInRenderer(state(), text, state()->quadIndexBuffer, quad);
    EXPECT_RGB(readPixel(40, 40), 127, 127, 255);

    // Transformed text: the model-view matrix moves the quad to the top-right quarter.
    // The projection keeps the glyphs' z (DIFFERENCE_TRANSFORMED_TEXT_Z) in the clip
    // range of both backends.
    api().clearCurrentFrameBuffer(state());
    const float moveRight[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 1, 0, 1};
    api().bindShaderInRenderer(state(), transformed);
    api().sendMatrix4x4ToShaderInRenderer(state(), transformed, "mvMat", moveRight);
    api().sendMatrix4x4ToShaderInRenderer(state(), transformed, "projMat", kHalfDepth);
    api().bindTextureInRenderer(state(), fullCoverage, 0);
    api().drawIndexedInRenderer(state(), transformed, state()->quadIndexBuffer, quad);
    EXPECT_RGB(readPixel(48, 48), 0, 0, 255);
    EXPECT_RGB(readPixel(16, 16), 255, 255, 255);

    // Colour: the unit quad (0..1) with identity matrices fills the top-right quarter.
    api().clearCurrentFrameBuffer(state());
    api().bindShaderInRenderer(state(), color);
    api().sendMatrix4x4ToShaderInRenderer(state(), color, "mvMat", kIdentity);
    api().sendMatrix4x4ToShaderInRenderer(state(), color, "projMat", kIdentity);
    api().sendVector4DToShaderInRenderer(state(), color, "color", kGreen);
    api().drawIndexedInRenderer(state(), color, state()->quadIndexBuffer, state()->quadVertexInput);
    EXPECT_RGB(readPixel(48, 48), 0, 255, 0);
    EXPECT_RGB(readPixel(16, 48), 255, 255, 255);

    // Image: texture times the quad's white colour, premultiplied; a transparent
    // texel is discarded and leaves the target as it was.
    api().clearColorBufferOnRenderer(state(), kBlack);
    const uint32_t opaque = solidTexture(255, 0, 0, 255);
    const uint32_t clear = solidTexture(255, 0, 0, 0);
    const float moveLeft[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -1, -1, 0, 1};
    api().bindShaderInRenderer(state(), image);
    api().sendMatrix4x4ToShaderInRenderer(state(), image, "mvMat", kIdentity);
    api().sendMatrix4x4ToShaderInRenderer(state(), image, "projMat", kIdentity);
    api().bindTextureInRenderer(state(), opaque, 0);
    api().drawIndexedInRenderer(state(), image, state()->quadIndexBuffer, state()->quadVertexInput);
    api().sendMatrix4x4ToShaderInRenderer(state(), image, "mvMat", moveLeft);
    api().bindTextureInRenderer(state(), clear, 0);
    api().drawIndexedInRenderer(state(), image, state()->quadIndexBuffer, state()->quadVertexInput);
    EXPECT_RGB(readPixel(48, 48), 255, 0, 0);
    EXPECT_RGB(readPixel(16, 16), 0, 0, 0);
    api().unbindFrameBufferInRenderer(state(), target);
}

TEST_F(Pixels, DepthTestAndDepthMask) {
    REQUIRE_TEST_SHADER(TEST_SHADER_SOLID);
    ShaderRecord* shader = newShader();
    ASSERT_TRUE(buildShader(shader, testShaderSource(TEST_SHADER_SOLID), 0, kPlacedUniforms, 3));
    FrameBufferRecord* target = newTarget(32, 32, true);
    ASSERT_EQ(target->attachmentCount, 2u);
    api().bindFrameBufferInRenderer(state(), target);
    api().clearCurrentFrameBuffer(state());

    // Clip-space depths between 0 and 1, inside the range of both (DIFFERENCE_CLIP_DEPTH).
    drawPlaced(shader, -1, -1, 1, 1, 0.4f, kRed);
    drawPlaced(shader, -1, -1, 1, 1, 0.8f, kGreen); // behind: hidden
    EXPECT_RGB(readPixel(16, 16), 255, 0, 0);
    drawPlaced(shader, -1, -1, 1, 1, 0.4f, kBlue); // equal depth passes
    EXPECT_RGB(readPixel(16, 16), 0, 0, 255);

    api().enableDepthTestOnRenderer(state(), false);
    drawPlaced(shader, -1, -1, 1, 1, 0.8f, kGreen);
    EXPECT_RGB(readPixel(16, 16), 0, 255, 0);
    api().enableDepthTestOnRenderer(state(), true);

    // Without depth writes a nearer quad shows but leaves the depth at 0.4.
    api().enableDepthMaskOnRenderer(state(), false);
    drawPlaced(shader, -1, -1, 1, 1, 0.1f, kYellow);
    drawPlaced(shader, -1, -1, 1, 1, 0.2f, kRed);
    EXPECT_RGB(readPixel(16, 16), 255, 0, 0);

    // Clears reach the depth buffer with writes off, and leave them off.
    api().clearDepthOnRenderer(state());
    EXPECT_FALSE(api().isDepthMaskEnabledInRenderer(state()));
    drawPlaced(shader, -1, -1, 1, 1, 0.9f, kBlue);
    EXPECT_RGB(readPixel(16, 16), 0, 0, 255);
    api().enableDepthMaskOnRenderer(state(), true);
    drawPlaced(shader, -1, -1, 1, 1, 0.4f, kGreen);
    api().enableDepthMaskOnRenderer(state(), false);
    api().clearCurrentFrameBuffer(state());
    EXPECT_FALSE(api().isDepthMaskEnabledInRenderer(state()));
    drawPlaced(shader, -1, -1, 1, 1, 0.9f, kYellow);
    EXPECT_RGB(readPixel(16, 16), 255, 255, 0);
    api().enableDepthMaskOnRenderer(state(), true);
    api().unbindFrameBufferInRenderer(state(), target);
}

TEST_F(Pixels, ScissorClipsToItsBox) {
    FrameBufferRecord* target = newTarget(128, 128);
    api().bindFrameBufferInRenderer(state(), target);
    api().clearCurrentFrameBuffer(state());
    api().setScissorOnRenderer(state(), 10, 20, 110, 70);
    EXPECT_EQ(state()->scissorLeft, 10);
    EXPECT_EQ(state()->scissorTop, 70);
    EXPECT_EQ(state()->scissorRight, 110);
    EXPECT_EQ(state()->scissorBottom, 20);
    api().clearColorBufferOnRenderer(state(), kRed);
    EXPECT_RGB(readPixel(10, 20), 255, 0, 0);
    EXPECT_RGB(readPixel(109, 69), 255, 0, 0);
    EXPECT_RGB(readPixel(60, 45), 255, 0, 0);
    EXPECT_RGB(readPixel(9, 20), 255, 255, 255);
    EXPECT_RGB(readPixel(110, 20), 255, 255, 255);
    EXPECT_RGB(readPixel(10, 19), 255, 255, 255);
    EXPECT_RGB(readPixel(10, 70), 255, 255, 255);

    // A reversed box clears nothing.
    api().setScissorOnRenderer(state(), 50, 50, 40, 40);
    api().clearColorBufferOnRenderer(state(), kGreen);
    EXPECT_RGB(readPixel(45, 45), 255, 0, 0);

    // The full box scissors nothing.
    api().setScissorOnRenderer(state(), 0, 0, 128, 128);
    EXPECT_EQ(state()->scissorTop, 128);
    EXPECT_EQ(state()->scissorRight, 128);
    api().clearColorBufferOnRenderer(state(), kBlue);
    EXPECT_RGB(readPixel(0, 0), 0, 0, 255);
    EXPECT_RGB(readPixel(127, 127), 0, 0, 255);
    api().unbindFrameBufferInRenderer(state(), target);
}

TEST_F(Pixels, BlendModesFollowTheBoundShader) {
    REQUIRE_TEST_SHADER(TEST_SHADER_SOLID);
    // Half-transparent red over blue whose alpha is a quarter. Only colour blends:
    // every mode leaves the source's alpha in the target, never a mix with the
    // target's own.
    const float halfRed[4] = {1, 0, 0, 0.5f};
    const float quarterBlue[4] = {0, 0, 1, 0.25f};
    const uint8_t added = difference(DIFFERENCE_BLEND_MODE_2) ? 255 : 0;
    const Rgba expected[4] = {
        {128, 0, 128, 128},   // source alpha
        {255, 0, 128, 128},   // premultiplied
        {255, 0, added, 128}, // adds to, or replaces, the target
        {255, 0, 0, 128},     // none
    };
    ShaderRecord* modes[4];
    for (uint32_t mode = 0; mode < 4; ++mode) {
        modes[mode] = newShader();
        ASSERT_TRUE(buildShader(modes[mode], testShaderSource(TEST_SHADER_SOLID), 0, kPlacedUniforms, 3, CULL_NONE,
                                mode));
    }
    FrameBufferRecord* target = newTarget(16, 16); // RGBA8: the target keeps alpha
    api().bindFrameBufferInRenderer(state(), target);
    api().enableDepthTestOnRenderer(state(), false);
    api().clearColorBufferOnRenderer(state(), quarterBlue);
    ASSERT_TRUE(colorNear(readPixel(8, 8), Rgba{0, 0, 255, 64}, 2, true)) << "the target holds no alpha";
    // Each mode after each other mode, so that a switch that fails to apply shows.
    for (uint32_t from = 0; from < 4; ++from) {
        for (uint32_t to = 0; to < 4; ++to) {
            if (from == to) continue;
            api().bindShaderInRenderer(state(), modes[from]);
            api().clearColorBufferOnRenderer(state(), quarterBlue);
            drawPlaced(modes[to], -1, -1, 1, 1, 0, halfRed);
            EXPECT_TRUE(colorNear(readPixel(8, 8), expected[to], 2, true)) << "blend mode " << to << " after " << from;
        }
    }
    api().unbindFrameBufferInRenderer(state(), target);
}

TEST_F(Pixels, CullModesFollowTheBoundShader) {
    REQUIRE_TEST_SHADER(TEST_SHADER_SOLID);
    ShaderRecord* back = newShader();
    ShaderRecord* front = newShader();
    ShaderRecord* none = newShader();
    ASSERT_TRUE(buildShader(back, testShaderSource(TEST_SHADER_SOLID), 0, kPlacedUniforms, 3, CULL_BACK));
    ASSERT_TRUE(buildShader(front, testShaderSource(TEST_SHADER_SOLID), 0, kPlacedUniforms, 3, CULL_FRONT));
    ASSERT_TRUE(buildShader(none, testShaderSource(TEST_SHADER_SOLID), 0, kPlacedUniforms, 3, CULL_NONE));
    FrameBufferRecord* target = newTarget(16, 16);
    api().bindFrameBufferInRenderer(state(), target);
    api().enableDepthTestOnRenderer(state(), false);
    struct Case {
        ShaderRecord* shader;
        bool visible;
    };
    // The unit quad winds counter-clockwise; a mirrored area winds it clockwise.
    const Case cases[] = {{back, true}, {front, false}, {none, true}, {front, false}, {back, true}};
    for (const Case& c : cases) {
        api().clearCurrentFrameBuffer(state());
        drawPlaced(c.shader, -1, -1, 1, 1, 0, kRed);
        if (c.visible)
            EXPECT_RGB(readPixel(8, 8), 255, 0, 0);
        else
            EXPECT_RGB(readPixel(8, 8), 255, 255, 255);
        api().clearCurrentFrameBuffer(state());
        drawPlaced(c.shader, 1, -1, -1, 1, 0, kGreen);
        if (c.shader == none || !c.visible)
            EXPECT_RGB(readPixel(8, 8), 0, 255, 0);
        else
            EXPECT_RGB(readPixel(8, 8), 255, 255, 255);
    }
    api().unbindFrameBufferInRenderer(state(), target);
}

TEST_F(Pixels, DepthOnlyFrameBufferKeepsItsDepth) {
    REQUIRE_TEST_SHADER(TEST_SHADER_SOLID);
    REQUIRE_TEST_SHADER(TEST_SHADER_DEPTH_VIEW);
    ShaderRecord* solid = newShader();
    ShaderRecord* view = newShader();
    const UniformDeclaration areaOnly[] = {{"area", 0, 4}};
    ASSERT_TRUE(buildShader(solid, testShaderSource(TEST_SHADER_SOLID), 0, kPlacedUniforms, 3));
    ASSERT_TRUE(buildShader(view, testShaderSource(TEST_SHADER_DEPTH_VIEW), 0, areaOnly, 1));

    FrameBufferRecord* shadow = &targets[targetCount++];
    TextureDescription depth = depthDescription(32, 32);
    TextureDescription* attachments[1] = {&depth};
    api().createFrameBufferInRenderer(state(), shadow, 32, 32, attachments, 1);
    ASSERT_EQ(shadow->attachmentCount, 1u);
    ASSERT_NE(shadow->textures[0], RENDERER_INVALID_ID);
    api().bindFrameBufferInRenderer(state(), shadow);
    api().clearFrameBufferInRenderer(state(), shadow);
    drawPlaced(solid, -1, -1, 0, 1, 0.5f, kRed); // left half at depth 0.5 (clip)
    drawPlaced(solid, -1, -1, 1, 1, 0.8f, kRed); // behind it on the left, in front of the clear on the right
    api().unbindFrameBufferInRenderer(state(), shadow);

    FrameBufferRecord* target = newTarget(32, 32);
    api().bindFrameBufferInRenderer(state(), target);
    api().clearCurrentFrameBuffer(state());
    api().bindShaderInRenderer(state(), view);
    const float area[4] = {-1, -1, 1, 1};
    api().sendVector4DToShaderInRenderer(state(), view, "area", area);
    api().bindTextureInRenderer(state(), shadow->textures[0], 0);
    api().drawIndexedInRenderer(state(), view, state()->quadIndexBuffer, state()->quadVertexInput);
    const uint8_t left = static_cast<uint8_t>(windowDepth(0.5f) * 255.0f + 0.5f);
    const uint8_t right = static_cast<uint8_t>(windowDepth(0.8f) * 255.0f + 0.5f);
    EXPECT_TRUE(colorNear(readPixel(8, 16), Rgba{left, left, left, 255}));
    EXPECT_TRUE(colorNear(readPixel(24, 16), Rgba{right, right, right, 255}));
    api().unbindFrameBufferInRenderer(state(), target);
}

// The game re-creates its targets on every resize: the record keeps its handle, and
// nothing of the old attachments stays (a left-over depth buffer would hide the
// second quad below).
TEST_F(Pixels, RecreatedFrameBufferKeepsItsHandleAndTakesOnlyTheNewAttachments) {
    REQUIRE_TEST_SHADER(TEST_SHADER_SOLID);
    ShaderRecord* solid = newShader();
    ASSERT_TRUE(buildShader(solid, testShaderSource(TEST_SHADER_SOLID), 0, kPlacedUniforms, 3));
    FrameBufferRecord* target = newTarget(64, 64, true);
    ASSERT_EQ(target->attachmentCount, 2u);
    const uint32_t handle = target->handle;
    const uint32_t oldTextures[2] = {target->textures[0], target->textures[1]};
    api().clearFrameBufferInRenderer(state(), target);

    TextureDescription color = colorDescription(32, 16);
    TextureDescription* attachments[1] = {&color};
    api().createFrameBufferInRenderer(state(), target, 32, 16, attachments, 1);
    for (uint32_t id : oldTextures) api().pushFreeTextureDescriptorInRenderer(state(), id);
    EXPECT_EQ(target->handle, handle);
    ASSERT_EQ(target->attachmentCount, 1u);
    EXPECT_EQ(target->width, 32u);
    EXPECT_EQ(target->height, 16u);

    api().bindFrameBufferInRenderer(state(), target);
    api().clearCurrentFrameBuffer(state());
    drawPlaced(solid, -1, -1, 1, 1, 0.0f, kRed);
    drawPlaced(solid, -1, -1, 1, 1, 0.9f, kGreen);
    EXPECT_RGB(readPixel(0, 0), 0, 255, 0);
    EXPECT_RGB(readPixel(31, 15), 0, 255, 0);
    api().unbindFrameBufferInRenderer(state(), target);
}

// The glyphs of transformed text lie at the z of DIFFERENCE_TRANSFORMED_TEXT_Z: in
// front of or behind a quad between the two depths.
TEST_F(Pixels, TransformedTextLiesAtItsBackendsDepth) {
    REQUIRE_TEST_SHADER(TEST_SHADER_SOLID);
    const UniformDeclaration transformUniforms[] = {{"mvMat", 0, 16}, {"projMat", 0, 16}};
    ShaderRecord* solid = newShader();
    ShaderRecord* text = newShader();
    ASSERT_TRUE(buildShader(solid, testShaderSource(TEST_SHADER_SOLID), 0, kPlacedUniforms, 3));
    ASSERT_TRUE(buildShader(text, api().defaultGUITransformedTextShaderSource(), 8, transformUniforms, 2, CULL_NONE,
                            BLEND_ALPHA));
    TextureDescription coverageDescription = colorDescription(2, 2, PIXEL_FORMAT_R8);
    coverageDescription.renderTarget = 0;
    uint8_t full[4] = {255, 255, 255, 255};
    const uint32_t coverage =
        api().uploadTextureInRenderer(state(), full, sizeof(full), &coverageDescription, 1, RENDERER_INVALID_ID);
    float vertices[32];
    makeTextQuad(-1, -1, 1, 1, kBlue, vertices);
    const uint32_t quad = api().createVertexInputBufferInRenderer(state(), 4, vertices, 8);

    FrameBufferRecord* target = newTarget(16, 16, true);
    api().bindFrameBufferInRenderer(state(), target);
    api().clearCurrentFrameBuffer(state());
    const float quadZ = 0.4f; // clip z of the solid quad
    drawPlaced(solid, -1, -1, 1, 1, quadZ, kRed);
    api().bindShaderInRenderer(state(), text);
    api().sendMatrix4x4ToShaderInRenderer(state(), text, "mvMat", kIdentity);
    api().sendMatrix4x4ToShaderInRenderer(state(), text, "projMat", kHalfDepth);
    api().bindTextureInRenderer(state(), coverage, 0);
    api().drawIndexedInRenderer(state(), text, state()->quadIndexBuffer, quad);
    const float textClipZ = 0.5f * static_cast<float>(difference(DIFFERENCE_TRANSFORMED_TEXT_Z)) + 0.5f;
    const bool textInFront = windowDepth(textClipZ) <= windowDepth(quadZ);
    if (textInFront)
        EXPECT_RGB(readPixel(8, 8), 0, 0, 255);
    else
        EXPECT_RGB(readPixel(8, 8), 255, 0, 0);
    api().unbindFrameBufferInRenderer(state(), target);
}

// A frame buffer's texture, sampled at v = 0, gives its bottom or its top row
// (DIFFERENCE_TARGET_ROW_ORDER).
TEST_F(Pixels, FrameBufferTexturesHoldTheirBackendsRowOrder) {
    REQUIRE_TEST_SHADER(TEST_SHADER_SOLID);
    REQUIRE_TEST_SHADER(TEST_SHADER_PLACED);
    ShaderRecord* solid = newShader();
    ShaderRecord* placed = newShader();
    ASSERT_TRUE(buildShader(solid, testShaderSource(TEST_SHADER_SOLID), 0, kPlacedUniforms, 3));
    ASSERT_TRUE(buildShader(placed, testShaderSource(TEST_SHADER_PLACED), 0, kPlacedUniforms, 4));
    FrameBufferRecord* source = newTarget(8, 8);
    api().bindFrameBufferInRenderer(state(), source);
    api().enableDepthTestOnRenderer(state(), false);
    drawPlaced(solid, -1, -1, 1, 0, 0, kRed);  // bottom half
    drawPlaced(solid, -1, 0, 1, 1, 0, kGreen); // top half
    EXPECT_RGB(readPixel(4, 1), 255, 0, 0);
    api().unbindFrameBufferInRenderer(state(), source);
    api().setTextureSmoothInRenderer(state(), &source->textures[0], false);

    FrameBufferRecord* target = newTarget(8, 8);
    api().bindFrameBufferInRenderer(state(), target);
    api().bindShaderInRenderer(state(), placed);
    api().bindTextureInRenderer(state(), source->textures[0], 0);
    drawPlaced(placed, -1, -1, 1, 1, 0, kWhite);
    if (difference(DIFFERENCE_TARGET_ROW_ORDER) == 0) {
        EXPECT_RGB(readPixel(4, 1), 255, 0, 0);
        EXPECT_RGB(readPixel(4, 6), 0, 255, 0);
    } else {
        EXPECT_RGB(readPixel(4, 1), 0, 255, 0);
        EXPECT_RGB(readPixel(4, 6), 255, 0, 0);
    }
    api().unbindFrameBufferInRenderer(state(), target);
}

// Draws recorded before a buffer changes show what they were drawn with: both when
// the buffer grows (a new one replaces it) and when it is rewritten in place.
TEST_F(Pixels, DrawsKeepTheBufferContentsTheyWereDrawnWith) {
    REQUIRE_TEST_SHADER(TEST_SHADER_SOLID);
    ShaderRecord* solid = newShader();
    ASSERT_TRUE(buildShader(solid, testShaderSource(TEST_SHADER_SOLID), 0, kPlacedUniforms, 3));
    FrameBufferRecord* target = newTarget(16, 16);
    api().bindFrameBufferInRenderer(state(), target);
    api().clearCurrentFrameBuffer(state());
    api().enableDepthTestOnRenderer(state(), false);
    // A quad in format 0 over x0..x1 of the unit square, all of its height.
    auto quadVertices = [](float x0, float x1, uint32_t copies) {
        std::vector<float> vertices;
        for (uint32_t copy = 0; copy < copies; ++copy) {
            const float corners[4][2] = {{x0, 0}, {x0, 1}, {x1, 0}, {x1, 1}};
            for (const auto& corner : corners) {
                const float vertex[11] = {corner[0], corner[1], 0, 0, 0, 1, 1, 1, 0, 0, 0};
                vertices.insert(vertices.end(), vertex, vertex + 11);
            }
        }
        return vertices;
    };
    const std::vector<float> first = quadVertices(0, 0.25f, 1);
    const uint32_t input = api().createVertexInputBufferInRenderer(state(), 4, first.data(), 0);
    const float full[4] = {-1, -1, 1, 1};
    api().bindShaderInRenderer(state(), solid);
    api().sendVector4DToShaderInRenderer(state(), solid, "area", full);
    api().sendFloatToShaderInRenderer(state(), solid, "depth", 0);
    api().sendVector4DToShaderInRenderer(state(), solid, "tint", kRed);
    api().drawIndexedInRenderer(state(), solid, state()->quadIndexBuffer, input);
    // Rewritten in place (same size), then grown (twice the vertices).
    const std::vector<float> second = quadVertices(0.375f, 0.625f, 1);
    EXPECT_EQ(api().updateVertexInputBufferInRenderer(state(), input, 4, second.data(), 0), input);
    api().sendVector4DToShaderInRenderer(state(), solid, "tint", kGreen);
    api().drawIndexedInRenderer(state(), solid, state()->quadIndexBuffer, input);
    const std::vector<float> third = quadVertices(0.75f, 1, 2);
    EXPECT_EQ(api().updateVertexInputBufferInRenderer(state(), input, 8, third.data(), 0), input);
    api().sendVector4DToShaderInRenderer(state(), solid, "tint", kBlue);
    api().drawIndexedInRenderer(state(), solid, state()->quadIndexBuffer, input);
    EXPECT_RGB(readPixel(1, 8), 255, 0, 0);
    EXPECT_RGB(readPixel(8, 8), 0, 255, 0);
    EXPECT_RGB(readPixel(14, 8), 0, 0, 255);
    EXPECT_RGB(readPixel(4, 8), 255, 255, 255);
    api().unbindFrameBufferInRenderer(state(), target);
}

// A texture uploaded again under its id in the middle of a frame: the later draws
// show the new contents, the earlier ones what DIFFERENCE_EARLIER_DRAWS_SEE_REUPLOADED_TEXTURE says.
TEST_F(Pixels, ATextureUploadedAgainInMidFrame) {
    REQUIRE_TEST_SHADER(TEST_SHADER_PLACED);
    ShaderRecord* placed = newShader();
    ASSERT_TRUE(buildShader(placed, testShaderSource(TEST_SHADER_PLACED), 0, kPlacedUniforms, 4));
    const uint32_t texture = solidTexture(255, 0, 0, 255);
    FrameBufferRecord* target = newTarget(16, 16);
    api().bindFrameBufferInRenderer(state(), target);
    api().clearCurrentFrameBuffer(state());
    api().enableDepthTestOnRenderer(state(), false);
    api().bindShaderInRenderer(state(), placed);
    api().bindTextureInRenderer(state(), texture, 0);
    drawPlaced(placed, -1, -1, 0, 1, 0, kWhite);
    uint8_t green[16] = {0, 255, 0, 255, 0, 255, 0, 255, 0, 255, 0, 255, 0, 255, 0, 255};
    TextureDescription description = colorDescription(2, 2);
    description.renderTarget = 0;
    EXPECT_EQ(api().uploadTextureInRenderer(state(), green, sizeof(green), &description, 1, texture), texture);
    drawPlaced(placed, 0, -1, 1, 1, 0, kWhite);
    EXPECT_RGB(readPixel(12, 8), 0, 255, 0);
    if (difference(DIFFERENCE_EARLIER_DRAWS_SEE_REUPLOADED_TEXTURE))
        EXPECT_RGB(readPixel(4, 8), 0, 255, 0);
    else
        EXPECT_RGB(readPixel(4, 8), 255, 0, 0);
    api().unbindFrameBufferInRenderer(state(), target);
}

// Two units of one draw, each with its own filter: unit 0 point, unit 3 smooth.
TEST_F(Pixels, EachUnitSamplesWithItsOwnTexturesSampler) {
    REQUIRE_TEST_SHADER(TEST_SHADER_TWO_SAMPLERS);
    ShaderRecord* shader = newShader();
    const UniformDeclaration areaOnly[] = {{"area", 0, 4}};
    ASSERT_TRUE(buildShader(shader, testShaderSource(TEST_SHADER_TWO_SAMPLERS), 0, areaOnly, 1));
    // Black and white texels side by side, in both textures.
    const uint8_t texels[8] = {0, 0, 0, 255, 255, 255, 255, 255};
    TextureDescription description = colorDescription(2, 1);
    description.renderTarget = 0;
    uint32_t point = api().uploadTextureInRenderer(state(), const_cast<uint8_t*>(texels), sizeof(texels), &description,
                                                   1, RENDERER_INVALID_ID);
    uint32_t smooth = api().uploadTextureInRenderer(state(), const_cast<uint8_t*>(texels), sizeof(texels),
                                                    &description, 1, RENDERER_INVALID_ID);
    api().setTextureSmoothInRenderer(state(), &point, false);
    api().setTextureSmoothInRenderer(state(), &smooth, true);
    FrameBufferRecord* target = newTarget(16, 4);
    api().bindFrameBufferInRenderer(state(), target);
    api().enableDepthTestOnRenderer(state(), false);
    api().bindShaderInRenderer(state(), shader);
    api().sendVector4DToShaderInRenderer(state(), shader, "area", kFullArea);
    for (int order = 0; order < 2; ++order) {
        // Bound in both orders, so that neither unit's sampler can follow the other's.
        api().bindTextureInRenderer(state(), order ? smooth : point, order ? 3 : 0);
        api().bindTextureInRenderer(state(), order ? point : smooth, order ? 0 : 3);
        api().drawIndexedInRenderer(state(), shader, state()->quadIndexBuffer, state()->quadVertexInput);
        // Pixel 6 of 16 lies between the texel centres: point gives black, smooth a grey.
        const Rgba sampled = readPixel(6, 2);
        EXPECT_EQ(sampled.r, 0) << "unit 0 (point), order " << order;
        EXPECT_GT(sampled.g, 40) << "unit 3 (smooth), order " << order;
        EXPECT_LT(sampled.g, 215) << "unit 3 (smooth), order " << order;
    }
    api().unbindFrameBufferInRenderer(state(), target);
}

TEST_F(Pixels, BackBufferDrawAndViewport) {
    REQUIRE_TEST_SHADER(TEST_SHADER_SOLID);
    ShaderRecord* shader = newShader();
    ASSERT_TRUE(buildShader(shader, testShaderSource(TEST_SHADER_SOLID), 0, kPlacedUniforms, 3));
    api().clearCurrentFrameBuffer(state());
    // A viewport in the bottom-left corner, 100 x 50, takes the whole clip space.
    api().setViewPortOnRenderer(state(), 0, 0, 100, 50);
    drawPlaced(shader, -1, -1, 1, 1, 0, kBlue);
    EXPECT_RGB(readPixel(0, 0), 0, 0, 255);
    EXPECT_RGB(readPixel(99, 49), 0, 0, 255);
    EXPECT_RGB(readPixel(100, 10), 255, 255, 255);
    EXPECT_RGB(readPixel(10, 50), 255, 255, 255);
}

} // namespace
