// Shaders: the two-stage source, compile and link failures, uniforms by name and by
// array element, attribute kinds, and cleanup.
#include "tests/backends/backend_harness.h"

#include <string.h>
#include <string>

namespace {

const float kRed[4] = {1, 0, 0, 1};
const float kGreen[4] = {0, 1, 0, 1};
const float kFull[4] = {-1, -1, 1, 1};

class Shaders : public BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (HasFatalFailure()) return;
        target = newTarget(8, 8);
        api().bindFrameBufferInRenderer(state(), target);
        api().clearCurrentFrameBuffer(state());
        api().enableDepthTestOnRenderer(state(), false);
    }
    void TearDown() override {
        api().unbindFrameBufferInRenderer(state(), target);
        BackendTest::TearDown();
    }
    void drawQuad(ShaderRecord* shader) {
        api().bindShaderInRenderer(state(), shader);
        api().drawIndexedInRenderer(state(), shader, state()->quadIndexBuffer, state()->quadVertexInput);
    }
    FrameBufferRecord* target = nullptr;
};

TEST_F(Shaders, TheDefineFollowsTheFirstDirectiveLine) {
    REQUIRE_TEST_SHADER(TEST_SHADER_SOLID);
    // Lines before the version line stay before it; the stage define comes after it.
    const std::string source = std::string("// solid colour\n") + testShaderSource(TEST_SHADER_SOLID);
    ShaderRecord* shader = newShader();
    EXPECT_EQ(shader->slot, -1);
    ASSERT_TRUE(buildShader(shader, source.c_str(), 0, kPlacedUniforms, 3));
    EXPECT_GE(shader->slot, 0);
    drawPlaced(shader, -1, -1, 1, 1, 0, kGreen);
    EXPECT_RGB(readPixel(4, 4), 0, 255, 0);

    // Each record gets its own slot.
    ShaderRecord* other = newShader();
    ASSERT_TRUE(buildShader(other, testShaderSource(TEST_SHADER_SOLID), 0, kPlacedUniforms, 3));
    EXPECT_NE(other->slot, shader->slot);
}

TEST_F(Shaders, FailuresReturnFalseAndDrawNothing) {
    REQUIRE_TEST_SHADER(TEST_SHADER_COMPILE_ERROR);
    REQUIRE_TEST_SHADER(TEST_SHADER_LINK_ERROR);
    ShaderRecord* broken = newShader();
    EXPECT_FALSE(buildShader(broken, testShaderSource(TEST_SHADER_COMPILE_ERROR), 3, nullptr, 0));
    drawQuad(broken);
    EXPECT_RGBA(readPixel(4, 4), 255, 255, 255, 0);
    ShaderRecord* unlinked = newShader();
    EXPECT_FALSE(buildShader(unlinked, testShaderSource(TEST_SHADER_LINK_ERROR), 3, nullptr, 0));
    drawQuad(unlinked);
    EXPECT_RGBA(readPixel(4, 4), 255, 255, 255, 0);
    // A record that never had a source.
    ShaderRecord* empty = newShader();
    EXPECT_FALSE(api().compileShaderInRenderer(state(), empty));
}

TEST_F(Shaders, ALinkFailureLeavesTheShaderAsItWas) {
    REQUIRE_TEST_SHADER(TEST_SHADER_SOLID);
    REQUIRE_TEST_SHADER(TEST_SHADER_LINK_ERROR);
    ShaderRecord* shader = newShader();
    ASSERT_TRUE(buildShader(shader, testShaderSource(TEST_SHADER_SOLID), 0, kPlacedUniforms, 3));
    const ShaderRecord before = *shader;
    ASSERT_GT(before.attributeCount, 0u);
    EXPECT_EQ(before.uniformCount, 3u);

    ASSERT_TRUE(api().loadShaderFromSourceInRenderer(state(), shader, testShaderSource(TEST_SHADER_LINK_ERROR)));
    EXPECT_FALSE(api().compileShaderInRenderer(state(), shader));
    EXPECT_EQ(shader->slot, before.slot);
    EXPECT_EQ(shader->attributeCount, before.attributeCount);
    EXPECT_EQ(shader->attributes, before.attributes);
    EXPECT_EQ(shader->uniformCount, before.uniformCount);
    EXPECT_EQ(shader->uniforms, before.uniforms);
    // It still draws with the program it had.
    drawPlaced(shader, -1, -1, 1, 1, 0, kRed);
    EXPECT_RGB(readPixel(4, 4), 255, 0, 0);
}

TEST_F(Shaders, UniformsTheShaderLacksChangeNothing) {
    REQUIRE_TEST_SHADER(TEST_SHADER_SOLID);
    ShaderRecord* shader = newShader();
    ASSERT_TRUE(buildShader(shader, testShaderSource(TEST_SHADER_SOLID), 0, kPlacedUniforms, 4));
    api().bindShaderInRenderer(state(), shader);
    api().sendVector4DToShaderInRenderer(state(), shader, "area", kFull);
    api().sendFloatToShaderInRenderer(state(), shader, "depth", 0);
    api().sendVector4DToShaderInRenderer(state(), shader, "tint", kRed);
    api().sendVector4DToShaderInRenderer(state(), shader, "tintt", kGreen); // not declared
    api().sendVector4DToShaderInRenderer(state(), shader, "tin", kGreen);
    api().sendVector2DToShaderInRenderer(state(), shader, "uvScale",
                                         RendererVector2{1, 1}); // declared, not in the source
    api().sendVector3DToShaderOInRenderer(state(), shader, "tint", kGreen, 12); // tint is not an array
    api().sendFloatToShaderOInRenderer(state(), shader, std::string(80, 'x').c_str(), 1.0f, 4);
    api().drawIndexedInRenderer(state(), shader, state()->quadIndexBuffer, state()->quadVertexInput);
    EXPECT_RGB(readPixel(4, 4), 255, 0, 0);

    // A value of another type: refused, or written over area.x, which moves the quad
    // off the target (DIFFERENCE_UNIFORM_TYPE_CHECKED).
    api().clearCurrentFrameBuffer(state());
    api().sendFloatToShaderInRenderer(state(), shader, "area", 5.0f);
    api().drawIndexedInRenderer(state(), shader, state()->quadIndexBuffer, state()->quadVertexInput);
    if (difference(DIFFERENCE_UNIFORM_TYPE_CHECKED))
        EXPECT_RGB(readPixel(4, 4), 255, 0, 0);
    else
        EXPECT_RGB(readPixel(4, 4), 255, 255, 255);
}

TEST_F(Shaders, ElementFormsAddressArrayElements) {
    REQUIRE_TEST_SHADER(TEST_SHADER_ARRAYS);
    ShaderRecord* shader = newShader();
    ASSERT_TRUE(buildShader(shader, testShaderSource(TEST_SHADER_ARRAYS), 0, kArrayUniforms, 9));
    api().bindShaderInRenderer(state(), shader);
    api().sendVector4DToShaderInRenderer(state(), shader, "area", kFull);

    // Element 2 of each array, by byte offset in a tightly packed array.
    api().sendIntegerToShaderInRenderer(state(), shader, "mode", 0);
    api().sendFloatToShaderOInRenderer(state(), shader, "weights", 0.2f, 8);
    const float offset[3] = {0, 0.4f, 0};
    api().sendVector3DToShaderOInRenderer(state(), shader, "offsets", offset, 24);
    float matrix[16] = {};
    matrix[12] = 0.6f;
    api().sendMatrix4x4ToShaderOInRenderer(state(), shader, "matrices", matrix, 128);
    drawQuad(shader);
    EXPECT_RGB(readPixel(4, 4), 51, 102, 153);

    api().sendIntegerToShaderInRenderer(state(), shader, "mode", 1);
    api().sendVector2DToShaderOInRenderer(state(), shader, "pairs", RendererVector2{0.2f, 0.4f}, 16);
    api().sendIntegerToShaderOInRenderer(state(), shader, "ints", 153, 8);
    drawQuad(shader);
    EXPECT_RGB(readPixel(4, 4), 51, 102, 153);

    // Matrices from element 1 on, then the whole skeleton by name.
    api().sendIntegerToShaderInRenderer(state(), shader, "mode", 2);
    api().sendUnsignedIntegerToShaderOInRenderer(state(), shader, "uints", 51, 8);
    float bones[32] = {};
    bones[0] = 0.4f;
    bones[16] = 0.6f;
    api().sendSkeletonToShaderOInRenderer(state(), shader, "bones", bones, 2, 64);
    drawQuad(shader);
    EXPECT_RGB(readPixel(4, 4), 51, 102, 153);
    float skeleton[48] = {};
    skeleton[16] = 0.2f;
    skeleton[32] = 0.8f;
    api().sendSkeletonToShaderInRenderer(state(), shader, "bones", skeleton, 3);
    drawQuad(shader);
    EXPECT_RGB(readPixel(4, 4), 51, 51, 204);
}

TEST_F(Shaders, ValuesForAShaderThatIsNotBoundReachIt) {
    REQUIRE_TEST_SHADER(TEST_SHADER_SOLID);
    ShaderRecord* first = newShader();
    ShaderRecord* second = newShader();
    ASSERT_TRUE(buildShader(first, testShaderSource(TEST_SHADER_SOLID), 0, kPlacedUniforms, 3));
    ASSERT_TRUE(buildShader(second, testShaderSource(TEST_SHADER_SOLID), 0, kPlacedUniforms, 3));
    api().bindShaderInRenderer(state(), first);
    const float left[4] = {-1, -1, 0, 1};
    api().sendVector4DToShaderInRenderer(state(), second, "area", left);
    api().sendFloatToShaderInRenderer(state(), second, "depth", 0);
    api().sendVector4DToShaderInRenderer(state(), second, "tint", kGreen);
    EXPECT_EQ(state()->currentShader, first);
    const float right[4] = {0, -1, 1, 1};
    api().sendVector4DToShaderInRenderer(state(), first, "area", right);
    api().sendFloatToShaderInRenderer(state(), first, "depth", 0);
    api().sendVector4DToShaderInRenderer(state(), first, "tint", kRed);
    api().drawIndexedInRenderer(state(), first, state()->quadIndexBuffer, state()->quadVertexInput);
    drawQuad(second);
    EXPECT_RGB(readPixel(1, 4), 0, 255, 0);
    EXPECT_RGB(readPixel(6, 4), 255, 0, 0);
}

TEST_F(Shaders, PackedColourAndIntegerAttributes) {
    REQUIRE_TEST_SHADER(TEST_SHADER_PACKED_COLOR);
    REQUIRE_TEST_SHADER(TEST_SHADER_MESH_INDEX);
    // Format 6: position 2, texture coordinate 2, colour as four bytes in one slot.
    const uint8_t color[4] = {30, 60, 90, 255};
    float packed[4 * 5];
    const float corners[4][2] = {{-1, -1}, {-1, 1}, {1, -1}, {1, 1}};
    for (int v = 0; v < 4; ++v) {
        packed[v * 5 + 0] = corners[v][0];
        packed[v * 5 + 1] = corners[v][1];
        packed[v * 5 + 2] = 0;
        packed[v * 5 + 3] = 0;
        memcpy(&packed[v * 5 + 4], color, 4);
    }
    ShaderRecord* bytes = newShader();
    ASSERT_TRUE(buildShader(bytes, testShaderSource(TEST_SHADER_PACKED_COLOR), 6, nullptr, 0));
    uint32_t input = api().createVertexInputBufferInRenderer(state(), 4, packed, 6);
    api().bindShaderInRenderer(state(), bytes);
    api().drawIndexedInRenderer(state(), bytes, state()->quadIndexBuffer, input);
    EXPECT_RGBA(readPixel(4, 4), 30, 60, 90, 255);

    // Format 9: position 3, texture coordinate 2, an integer mesh index.
    ShaderRecord* index = newShader();
    ASSERT_TRUE(buildShader(index, testShaderSource(TEST_SHADER_MESH_INDEX), 9, nullptr, 0));
    for (int32_t meshIndex : {2, 1}) {
        float vertices[4 * 6];
        for (int v = 0; v < 4; ++v) {
            vertices[v * 6 + 0] = corners[v][0];
            vertices[v * 6 + 1] = corners[v][1];
            vertices[v * 6 + 2] = 0;
            vertices[v * 6 + 3] = 0;
            vertices[v * 6 + 4] = 0;
            memcpy(&vertices[v * 6 + 5], &meshIndex, 4);
        }
        uint32_t indexed = api().createVertexInputBufferInRenderer(state(), 4, vertices, 9);
        api().bindShaderInRenderer(state(), index);
        api().drawIndexedInRenderer(state(), index, state()->quadIndexBuffer, indexed);
        if (meshIndex == 2)
            EXPECT_RGB(readPixel(4, 4), 0, 255, 0);
        else
            EXPECT_RGB(readPixel(4, 4), 255, 0, 0);
    }
}

TEST_F(Shaders, CleanupReleasesTheListsAndTheSlot) {
    REQUIRE_TEST_SHADER(TEST_SHADER_SOLID);
    ShaderRecord* kept = newShader();
    ShaderRecord* dropped = newShader();
    ASSERT_TRUE(buildShader(kept, testShaderSource(TEST_SHADER_SOLID), 0, kPlacedUniforms, 3));
    ASSERT_TRUE(buildShader(dropped, testShaderSource(TEST_SHADER_SOLID), 0, kPlacedUniforms, 3));

    // Cleaning up a shader that is not bound leaves the bound one drawing.
    api().bindShaderInRenderer(state(), kept);
    api().cleanupShaderInRenderer(state(), dropped);
    EXPECT_EQ(dropped->slot, -1);
    EXPECT_EQ(dropped->uniformCount, 0u);
    EXPECT_EQ(dropped->uniforms, nullptr);
    EXPECT_EQ(dropped->attributeCount, 0u);
    EXPECT_EQ(dropped->attributes, nullptr);
    EXPECT_EQ(state()->currentShader, kept);
    drawPlaced(kept, -1, -1, 1, 1, 0, kRed);
    EXPECT_RGB(readPixel(4, 4), 255, 0, 0);

    // Cleaning up the bound one unbinds it; the record can be built and bound again.
    api().cleanupShaderInRenderer(state(), kept);
    EXPECT_EQ(state()->currentShader, nullptr);
    ASSERT_TRUE(buildShader(kept, testShaderSource(TEST_SHADER_SOLID), 0, kPlacedUniforms, 3));
    api().clearCurrentFrameBuffer(state());
    drawPlaced(kept, -1, -1, 1, 1, 0, kGreen);
    EXPECT_RGB(readPixel(4, 4), 0, 255, 0);

    // An unbind disables the attributes; the next draw sets them up again.
    api().unbindShaderInRenderer(state(), kept);
    api().clearCurrentFrameBuffer(state());
    drawPlaced(kept, -1, -1, 1, 1, 0, kRed);
    EXPECT_RGB(readPixel(4, 4), 255, 0, 0);
}

} // namespace
