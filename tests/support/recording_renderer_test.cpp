#include "engine/program/program_state.h"
#include "tests/support/recording_renderer.h"

#include <gtest/gtest.h>

namespace {

TEST(RecordingRenderer, FillsEverySlotAndRecordsArguments) {
    RecordingRenderer recorder;
    installRecordingRenderer(&recorder);
    void* const* slots = reinterpret_cast<void* const*>(&gRenderer);
    for (int i = 0; i < RENDERER_ENTRY_POINT_COUNT; ++i) EXPECT_NE(slots[i], nullptr) << kRendererEntryPointNames[i];

    ShaderRecord shader = {-1, 0, nullptr, 0, nullptr, 0, 0};
    gRenderer.drawIndexedSubIndexSetInRenderer(&gRendererState, &shader, 4, 5, 6, 7);
    gRenderer.sendFloatToShaderOInRenderer(&gRendererState, &shader, "alpha", 0.25f, 8);
    gRenderer.sendVector2DToShaderInRenderer(&gRendererState, &shader, "size", RendererVector2{3, 4});
    ASSERT_EQ(recorder.calls.size(), 3u);
    EXPECT_EQ(recorder.calls[0].name, "drawIndexedSubIndexSetInRenderer");
    EXPECT_EQ(recorder.calls[0].integers, (std::vector<uint64_t>{4, 5, 6, 7}));
    EXPECT_EQ(recorder.calls[0].shader, &shader);
    const RecordedCall* alpha = findUniform(&recorder, "alpha");
    ASSERT_NE(alpha, nullptr);
    EXPECT_EQ(alpha->values, (std::vector<float>{0.25f}));
    EXPECT_EQ(alpha->integers, (std::vector<uint64_t>{8}));
    EXPECT_EQ(findUniform(&recorder, "size")->values, (std::vector<float>{3, 4}));

    gRenderer.bindShaderInRenderer(&gRendererState, &shader);
    EXPECT_EQ(gRendererState.currentShader, &shader);
    EXPECT_TRUE(gRenderer.loadShaderFromSourceInRenderer(&gRendererState, &shader, "source"));
    EXPECT_EQ(shader.slot, 0);
    removeRecordingRenderer();
    EXPECT_EQ(gRenderer.initRenderer, nullptr);
    gRendererState = RendererState{};
}

TEST(RecordingRenderer, HandsOutIdsAndReusesReleasedOnesLastInFirstOut) {
    RecordingRenderer recorder;
    installRecordingRenderer(&recorder);
    float vertex[11] = {};
    uint32_t a = gRenderer.createVertexInputBufferInRenderer(&gRendererState, 1, vertex, 0);
    uint32_t b = gRenderer.createVertexInputBufferInRenderer(&gRendererState, 1, vertex, 0);
    EXPECT_NE(a, b);
    gRenderer.deleteVertexInputBufferInRenderer(&gRendererState, a);
    gRenderer.deleteVertexInputBufferInRenderer(&gRendererState, b);
    EXPECT_EQ(gRenderer.createVertexInputBufferInRenderer(&gRendererState, 1, vertex, 0), b);
    EXPECT_EQ(gRenderer.createVertexInputBufferInRenderer(&gRendererState, 1, vertex, 0), a);

    TextureDescription description = {};
    uint32_t texture = gRenderer.uploadTextureInRenderer(&gRendererState, nullptr, 0, &description, 1, RENDERER_INVALID_ID);
    EXPECT_EQ(gRenderer.uploadTextureInRenderer(&gRendererState, nullptr, 0, &description, 1, texture), texture);
    uint32_t reserved = RENDERER_INVALID_ID;
    gRenderer.setTextureSmoothInRenderer(&gRendererState, &reserved, false);
    EXPECT_NE(reserved, RENDERER_INVALID_ID);
    EXPECT_NE(reserved, texture);
    removeRecordingRenderer();
    gRendererState = RendererState{};
}

} // namespace
