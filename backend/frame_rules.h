// What every backend does to RendererState at the frame boundaries and on a resize,
// written once for both libraries and the recording renderer of the game's tests.
#pragma once

#include "backend/renderer_types.h"

#include <stdint.h>

// resizeBackBuffersOnRenderer: the new size, the scissor rectangle that covers it
// ((0, height, width, 0), bottom-up), and the pending flag that makes the next frame
// start call the resize callback.
void recordBackBufferSize(RendererState* state, uint32_t width, uint32_t height);

// setScissorOnRenderer(x0, y0, x1, y1) keeps left x0, top y1, right x1, bottom y0.
void recordScissor(RendererState* state, int32_t x0, int32_t y0, int32_t x1, int32_t y1);

// Start of a frame: nothing is recorded as bound any more, so the next draw binds
// its vertex input and index buffer.
void forgetBoundBuffers(RendererState* state);

// Start of a frame, after the backend rebuilt what depends on the size: calls the
// resize callback once with the last size when a resize is pending. The flag is
// cleared first, so that a resize asked for by the callback itself waits for the next
// frame. True when the callback was due.
bool dispatchPendingResize(RendererState* state);
