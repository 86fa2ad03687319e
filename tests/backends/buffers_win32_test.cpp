// Vertex inputs and index buffers: handle reuse, growing updates, partial draws and
// handles that name nothing.
#include "tests/backends/backend_harness.h"
#include "tests/backends/handle_reuse_script.h"

#include <vector>

namespace {

const float kRed[4] = {1, 0, 0, 1};

// Vertices of format 0 at clip-space positions; the placed shader maps the unit
// square onto its area, so positions are given in 0..1.
std::vector<float> format0Vertices(const std::vector<float>& positions) {
    std::vector<float> vertices;
    for (size_t i = 0; i + 1 < positions.size(); i += 2) {
        const float vertex[11] = {positions[i], positions[i + 1], 0, 0, 0, 1, 1, 1, 0, 0, 0};
        vertices.insert(vertices.end(), vertex, vertex + 11);
    }
    return vertices;
}

using Buffers = BackendTest;

TEST_F(Buffers, CreateDeleteCreateReusesTheHandle) {
    const std::vector<float> vertices = format0Vertices({0, 0, 0, 1, 1, 0, 1, 1});
    const uint32_t first = api().createVertexInputBufferInRenderer(state(), 4, vertices.data(), 0);
    ASSERT_NE(first, RENDERER_INVALID_ID);
    api().deleteVertexInputBufferInRenderer(state(), first);
    EXPECT_EQ(state()->freeVertexInputCount, 1u);
    EXPECT_EQ(state()->freeVertexInputIds[0], first);
    const uint32_t again = api().createVertexInputBufferInRenderer(state(), 4, vertices.data(), 0);
    EXPECT_EQ(again, first);
    EXPECT_EQ(state()->freeVertexInputCount, 0u);

    const uint32_t indices[6] = {0, 2, 1, 1, 2, 3};
    const uint32_t index = api().createIndexBufferInRendererWithData(state(), 6, indices);
    ASSERT_NE(index, RENDERER_INVALID_ID);
    api().deleteIndexBufferInRenderer(state(), index);
    EXPECT_EQ(state()->freeIndexBufferCount, 1u);
    EXPECT_EQ(api().createIndexBufferInRendererWithData(state(), 6, indices), index);
    EXPECT_EQ(state()->freeIndexBufferCount, 0u);
}

TEST_F(Buffers, ReleasedHandlesComeBackLastInFirstOut) {
    const std::vector<float> vertices = format0Vertices({0, 0, 0, 1, 1, 0, 1, 1});
    const uint32_t indices[6] = {0, 2, 1, 1, 2, 3};
    std::vector<uint32_t> inputs, indexBuffers;
    while (inputs.empty() || inputs.back() < 5)
        inputs.push_back(api().createVertexInputBufferInRenderer(state(), 4, vertices.data(), 0));
    while (indexBuffers.empty() || indexBuffers.back() < 5)
        indexBuffers.push_back(api().createIndexBufferInRendererWithData(state(), 6, indices));
    ASSERT_NE(inputs.back(), RENDERER_INVALID_ID);

    api().deleteVertexInputBufferInRenderer(state(), 3);
    api().deleteVertexInputBufferInRenderer(state(), 5);
    EXPECT_EQ(api().createVertexInputBufferInRenderer(state(), 4, vertices.data(), 0), 5u);
    EXPECT_EQ(api().createVertexInputBufferInRenderer(state(), 4, vertices.data(), 0), 3u);

    api().deleteIndexBufferInRenderer(state(), 3);
    api().deleteIndexBufferInRenderer(state(), 5);
    EXPECT_EQ(api().createIndexBufferInRendererWithData(state(), 6, indices), 5u);
    EXPECT_EQ(api().createIndexBufferInRendererWithData(state(), 6, indices), 3u);

    // Deleting twice releases once: two creations get two different handles.
    api().deleteVertexInputBufferInRenderer(state(), 4);
    api().deleteVertexInputBufferInRenderer(state(), 4);
    const uint32_t a = api().createVertexInputBufferInRenderer(state(), 4, vertices.data(), 0);
    const uint32_t b = api().createVertexInputBufferInRenderer(state(), 4, vertices.data(), 0);
    EXPECT_EQ(a, 4u);
    EXPECT_NE(b, 4u);
}

// The same script the recording renderer of the game's tests runs.
TEST_F(Buffers, HandleReuseFollowsTheSharedScript) { EXPECT_EQ(runHandleReuseScript(api(), state()), ""); }

TEST_F(Buffers, GrowingUpdatesKeepTheHandleAndDrawTheNewData) {
    REQUIRE_TEST_SHADER(TEST_SHADER_SOLID);
    ShaderRecord* shader = newShader();
    ASSERT_TRUE(buildShader(shader, testShaderSource(TEST_SHADER_SOLID), 0, kPlacedUniforms, 3));
    FrameBufferRecord* target = newTarget(32, 32);
    api().bindFrameBufferInRenderer(state(), target);
    api().clearCurrentFrameBuffer(state());

    // Left half first, as one triangle pair; then six vertices: two separate
    // triangles, the second of which only exists in the grown buffer.
    std::vector<float> small = format0Vertices({0, 0, 0, 1, 0.5f, 0, 0.5f, 1});
    const uint32_t smallIndices[6] = {0, 2, 1, 1, 2, 3};
    uint32_t input = api().createVertexInputBufferInRenderer(state(), 4, small.data(), 0);
    uint32_t index = api().createIndexBufferInRendererWithData(state(), 6, smallIndices);
    std::vector<float> fitting = format0Vertices({0, 0, 0, 1, 0.25f, 0, 0.25f, 1});
    EXPECT_EQ(api().updateVertexInputBufferInRenderer(state(), input, 4, fitting.data(), 0), input);

    std::vector<float> grown = format0Vertices({0, 0, 0.5f, 0, 0, 0.5f, 1, 1, 0.5f, 1, 1, 0.5f});
    const uint32_t grownIndices[6] = {0, 1, 2, 3, 4, 5};
    EXPECT_EQ(api().updateVertexInputBufferInRenderer(state(), input, 6, grown.data(), 0), input);
    EXPECT_EQ(api().updateIndexBufferInRenderer(state(), index, 6, grownIndices), index);
    const float area[4] = {-1, -1, 1, 1};
    api().bindShaderInRenderer(state(), shader);
    api().sendVector4DToShaderInRenderer(state(), shader, "area", area);
    api().sendFloatToShaderInRenderer(state(), shader, "depth", 0);
    api().sendVector4DToShaderInRenderer(state(), shader, "tint", kRed);
    api().drawIndexedInRenderer(state(), shader, index, input);
    EXPECT_RGB(readPixel(4, 4), 255, 0, 0);   // near the first triangle's corner
    EXPECT_RGB(readPixel(28, 28), 255, 0, 0); // near the second one's
    EXPECT_RGB(readPixel(28, 4), 255, 255, 255);
    EXPECT_RGB(readPixel(4, 28), 255, 255, 255);

    // An index buffer that grows from 3 to 6 indices draws both triangles.
    uint32_t three = api().createIndexBufferInRendererWithData(state(), 3, grownIndices);
    EXPECT_EQ(api().updateIndexBufferInRenderer(state(), three, 6, grownIndices), three);
    api().clearCurrentFrameBuffer(state());
    api().drawIndexedInRenderer(state(), shader, three, input);
    EXPECT_RGB(readPixel(4, 4), 255, 0, 0);
    EXPECT_RGB(readPixel(28, 28), 255, 0, 0);
    api().unbindFrameBufferInRenderer(state(), target);
}

TEST_F(Buffers, PartialDrawsAndUpdatesFromAVertex) {
    REQUIRE_TEST_SHADER(TEST_SHADER_SOLID);
    ShaderRecord* shader = newShader();
    ASSERT_TRUE(buildShader(shader, testShaderSource(TEST_SHADER_SOLID), 0, kPlacedUniforms, 3));
    FrameBufferRecord* target = newTarget(32, 32);
    api().bindFrameBufferInRenderer(state(), target);

    // Three small triangles in three corners.
    std::vector<float> vertices = format0Vertices({0, 0, 0.25f, 0, 0, 0.25f,                 //
                                                   0.75f, 0, 1, 0, 1, 0.25f,                 //
                                                   0, 0.75f, 0.25f, 1, 0, 1});
    const uint32_t indices[9] = {0, 1, 2, 3, 4, 5, 6, 7, 8};
    uint32_t input = api().createVertexInputBufferInRenderer(state(), 9, vertices.data(), 0);
    uint32_t index = api().createIndexBufferInRendererWithData(state(), 9, indices);
    const float area[4] = {-1, -1, 1, 1};
    api().bindShaderInRenderer(state(), shader);
    api().sendVector4DToShaderInRenderer(state(), shader, "area", area);
    api().sendFloatToShaderInRenderer(state(), shader, "depth", 0);
    api().sendVector4DToShaderInRenderer(state(), shader, "tint", kRed);
    api().enableDepthTestOnRenderer(state(), false);

    struct Case {
        int which; // 0 all, 1 the first three indices, 2 indices 6..8, 3 then all again with its buffers
        bool first, second, third;
    };
    const Case cases[] = {{0, true, true, true}, {1, true, false, false}, {2, false, false, true},
                          {3, true, true, true}};
    for (const Case& c : cases) {
        api().clearCurrentFrameBuffer(state());
        if (c.which == 0) api().drawIndexedInRenderer(state(), shader, index, input);
        if (c.which == 1) api().drawIndexedSubIndexCountInRenderer(state(), shader, index, input, 3);
        if (c.which == 2 || c.which == 3) api().drawIndexedSubIndexSetInRenderer(state(), shader, index, input, 6, 3);
        if (c.which == 3) {
            api().clearCurrentFrameBuffer(state());
            api().drawIndexedWithPreviousBuffersInRenderer(state(), shader);
        }
        const Rgba red = {255, 0, 0, 255};
        const Rgba white = {255, 255, 255, 255};
        EXPECT_TRUE(colorNear(readPixel(1, 1), c.first ? red : white)) << "case " << c.which;
        EXPECT_TRUE(colorNear(readPixel(30, 1), c.second ? red : white)) << "case " << c.which;
        EXPECT_TRUE(colorNear(readPixel(1, 30), c.third ? red : white)) << "case " << c.which;
    }

    // Counts beyond the buffer draw what there is.
    api().clearCurrentFrameBuffer(state());
    api().drawIndexedSubIndexCountInRenderer(state(), shader, index, input, 900);
    api().drawIndexedSubIndexSetInRenderer(state(), shader, index, input, 8, 900);
    api().drawIndexedSubIndexSetInRenderer(state(), shader, index, input, 900, 3);
    EXPECT_RGB(readPixel(30, 1), 255, 0, 0);

    // Moving the third triangle's vertices into the middle.
    std::vector<float> middle = format0Vertices({0.4f, 0.4f, 0.6f, 0.4f, 0.5f, 0.6f});
    EXPECT_EQ(api().updateVertexInputBufferFromIndexInRenderer(state(), input, 6, 3, middle.data(), 0), input);
    api().clearCurrentFrameBuffer(state());
    api().drawIndexedInRenderer(state(), shader, index, input);
    EXPECT_RGB(readPixel(1, 30), 255, 255, 255);
    EXPECT_RGB(readPixel(16, 14), 255, 0, 0);
    EXPECT_RGB(readPixel(1, 1), 255, 0, 0);
    api().unbindFrameBufferInRenderer(state(), target);
}

TEST_F(Buffers, DrawsBindTheirOwnIndexBufferAfterOtherBufferWork) {
    REQUIRE_TEST_SHADER(TEST_SHADER_SOLID);
    ShaderRecord* shader = newShader();
    ASSERT_TRUE(buildShader(shader, testShaderSource(TEST_SHADER_SOLID), 0, kPlacedUniforms, 3));
    FrameBufferRecord* target = newTarget(16, 16);
    api().bindFrameBufferInRenderer(state(), target);
    api().enableDepthTestOnRenderer(state(), false);
    const uint32_t wholeQuad[6] = {0, 2, 1, 1, 2, 3};
    const uint32_t lowerTriangle[6] = {0, 2, 1, 0, 2, 1};
    const uint32_t whole = api().createIndexBufferInRendererWithData(state(), 6, wholeQuad);
    struct Step {
        const char* what;
        int work; // buffer work between two draws with the same index buffer
    };
    for (const Step& step :
         {Step{"creation", 0}, Step{"update to the whole quad", 1}, Step{"update to one triangle", 2}}) {
        drawPlaced(shader, -1, -1, 1, 1, 0, kRed); // sets the uniforms
        api().drawIndexedInRenderer(state(), shader, whole, state()->quadVertexInput);
        const uint32_t other = api().createIndexBufferInRendererWithData(state(), 6, lowerTriangle);
        if (step.work == 1) api().updateIndexBufferInRenderer(state(), other, 6, wholeQuad);
        if (step.work == 2) api().updateIndexBufferInRenderer(state(), other, 6, lowerTriangle);
        api().clearCurrentFrameBuffer(state());
        api().drawIndexedInRenderer(state(), shader, whole, state()->quadVertexInput);
        EXPECT_RGB(readPixel(14, 14), 255, 0, 0) << step.what;
        api().drawIndexedInRenderer(state(), shader, other, state()->quadVertexInput);
        api().clearCurrentFrameBuffer(state());
        api().drawIndexedInRenderer(state(), shader, whole, state()->quadVertexInput);
        EXPECT_RGB(readPixel(14, 14), 255, 0, 0) << step.what;
    }
    api().unbindFrameBufferInRenderer(state(), target);
}

// The older family is used by no caller in the game, but its ids must still name the
// buffers their own create calls made: a plain-buffer id taken for a vertex input
// would rewrite that vertex input (0 is the unit quad), and indices sent to an index
// buffer of createIndexBufferInRenderer must be the ones a draw with it reads.
TEST_F(Buffers, OlderFamilySendsIntoTheBuffersItsCreateCallsMade) {
    REQUIRE_TEST_SHADER(TEST_SHADER_SOLID);
    ShaderRecord* shader = newShader();
    ASSERT_TRUE(buildShader(shader, testShaderSource(TEST_SHADER_SOLID), 0, kPlacedUniforms, 3));
    FrameBufferRecord* target = newTarget(16, 16);

    // Plain buffers up to and past the unit quad's vertex input id, each sent data
    // that would wreck the quad if it landed there.
    uint32_t last = 0;
    std::vector<uint32_t> sent;
    for (uint32_t i = 0; i < 64 && (sent.empty() || last <= state()->quadVertexInput + 1); ++i) {
        const uint32_t id =
            i % 2 ? api().createBufferInRenderer(state()) : api().createVertexBufferInRenderer(state(), 9);
        ASSERT_NE(id, RENDERER_INVALID_ID);
        std::vector<float> floats(6 + i % 3, 5.0f + static_cast<float>(i));
        if (i % 2)
            api().sendDataToBufferInRenderer(state(), id, floats.data(), static_cast<uint32_t>(floats.size()));
        else
            api().sendVerticesToBufferInRenderer(state(), id, floats.data(), static_cast<uint32_t>(floats.size()));
        sent.push_back(id);
        last = id;
    }

    api().bindFrameBufferInRenderer(state(), target);
    api().enableDepthTestOnRenderer(state(), false);
    api().clearCurrentFrameBuffer(state());
    drawPlaced(shader, -1, -1, 1, 1, 0, kRed);
    for (const int32_t corner : {1, 14}) {
        EXPECT_RGB(readPixel(corner, 1), 255, 0, 0) << "the unit quad after the older family's sends";
        EXPECT_RGB(readPixel(corner, 14), 255, 0, 0) << "the unit quad after the older family's sends";
    }

    // Indices sent to an older-family index buffer are what a draw with it reads.
    const uint32_t index = api().createIndexBufferInRenderer(state(), 3);
    ASSERT_NE(index, RENDERER_INVALID_ID);
    const uint32_t lowerLeft[3] = {0, 2, 1};
    api().sendIndicesToBufferInRenderer(state(), index, lowerLeft, 3);
    api().clearCurrentFrameBuffer(state());
    api().drawIndexedInRenderer(state(), shader, index, state()->quadVertexInput);
    EXPECT_RGB(readPixel(2, 2), 255, 0, 0);
    EXPECT_RGB(readPixel(13, 13), 255, 255, 255);
    const uint32_t wholeQuad[6] = {0, 2, 1, 1, 2, 3};
    api().sendIndicesToBufferInRenderer(state(), index, wholeQuad, 6);
    api().clearCurrentFrameBuffer(state());
    api().drawIndexedInRenderer(state(), shader, index, state()->quadVertexInput);
    EXPECT_RGB(readPixel(13, 13), 255, 0, 0);

    // Sends and deletes of ids that name nothing change nothing.
    const std::vector<float> floats(6, 5.0f);
    api().sendIndicesToBufferInRenderer(state(), 40000, wholeQuad, 6);
    api().sendVerticesToBufferInRenderer(state(), 40000, floats.data(), 6);
    api().deleteBufferInRenderer(state(), 40000);
    api().deleteBufferInRenderer(state(), sent[0]);
    api().sendVerticesToBufferInRenderer(state(), sent[0], floats.data(), 6);
    api().clearCurrentFrameBuffer(state());
    drawPlaced(shader, -1, -1, 1, 1, 0, kRed);
    EXPECT_RGB(readPixel(1, 1), 255, 0, 0);
    EXPECT_RGB(readPixel(14, 14), 255, 0, 0);
    api().unbindFrameBufferInRenderer(state(), target);
}

TEST_F(Buffers, HandlesThatNameNothingAreRefusedQuietly) {
    REQUIRE_TEST_SHADER(TEST_SHADER_SOLID);
    ShaderRecord* shader = newShader();
    ASSERT_TRUE(buildShader(shader, testShaderSource(TEST_SHADER_SOLID), 0, kPlacedUniforms, 3));
    FrameBufferRecord* target = newTarget(8, 8);
    api().bindFrameBufferInRenderer(state(), target);
    api().clearCurrentFrameBuffer(state());
    const uint32_t freeBefore = state()->freeVertexInputCount;
    api().deleteVertexInputBufferInRenderer(state(), 40000);
    api().deleteIndexBufferInRenderer(state(), RENDERER_INVALID_ID);
    EXPECT_EQ(state()->freeVertexInputCount, freeBefore);
    api().bindShaderInRenderer(state(), shader);
    api().drawIndexedInRenderer(state(), shader, 40000, state()->quadVertexInput);
    api().drawIndexedInRenderer(state(), shader, state()->quadIndexBuffer, 40000);
    api().drawIndexedWithPreviousBuffersInRenderer(state(), shader);
    api().bindTextureInRenderer(state(), 1, 9);
    api().bindTextureInRenderer(state(), 1, -1);
    api().updateVertexInputBufferFromIndexInRenderer(state(), 40000, 0, 1, nullptr, 0);
    EXPECT_RGB(readPixel(4, 4), 255, 255, 255);
    EXPECT_EQ(api().createVertexInputBufferInRenderer(state(), 4, nullptr, 99), RENDERER_INVALID_ID);

    // An update of a handle that names nothing hands out a new one.
    const std::vector<float> vertices = format0Vertices({0, 0, 0, 1, 1, 0, 1, 1});
    uint32_t created = api().updateVertexInputBufferInRenderer(state(), RENDERER_INVALID_ID, 4, vertices.data(), 0);
    EXPECT_NE(created, RENDERER_INVALID_ID);
    api().unbindFrameBufferInRenderer(state(), target);
}

} // namespace
