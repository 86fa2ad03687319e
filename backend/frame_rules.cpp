#include "backend/frame_rules.h"

void recordBackBufferSize(RendererState* state, uint32_t width, uint32_t height) {
    state->width = width;
    state->height = height;
    state->scissorLeft = 0;
    state->scissorTop = static_cast<int32_t>(height);
    state->scissorRight = static_cast<int32_t>(width);
    state->scissorBottom = 0;
    state->resizePending = 1;
}

void recordScissor(RendererState* state, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    state->scissorLeft = x0;
    state->scissorTop = y1;
    state->scissorRight = x1;
    state->scissorBottom = y0;
}

void forgetBoundBuffers(RendererState* state) {
    state->boundVertexInput = RENDERER_INVALID_ID;
    state->boundIndexBuffer = RENDERER_INVALID_ID;
}

bool dispatchPendingResize(RendererState* state) {
    if (!state->resizePending) return false;
    state->resizePending = 0;
    if (state->resizeCallback)
        state->resizeCallback(static_cast<int32_t>(state->width), static_cast<int32_t>(state->height));
    return true;
}
