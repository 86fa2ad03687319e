// The recording renderer the game's tests draw through hands out buffer ids as the
// backend libraries do: it runs the script the conformance suite runs on both.
#include "engine/program/program_state.h"
#include "tests/backends/handle_reuse_script.h"
#include "tests/support/recording_renderer.h"

#include <gtest/gtest.h>

namespace {

TEST(RecordingRenderer, ReusesHandlesAsTheBackendsDo) {
    RecordingRenderer recorder;
    installRecordingRenderer(&recorder);
    gRendererState = RendererState{};
    WindowParameters parameters = {1280, 720, 32, 60, 0};
    ASSERT_TRUE(gRenderer.initRenderer(&gRendererState, &parameters, "KV-QX12"));
    // A few buffers already in use, as the backends' quads are.
    float vertex[11 * 4] = {};
    gRenderer.createVertexInputBufferInRenderer(&gRendererState, 4, vertex, 0);
    EXPECT_EQ(runHandleReuseScript(gRenderer, &gRendererState), "");
    removeRecordingRenderer();
    gRendererState = RendererState{};
}

} // namespace
