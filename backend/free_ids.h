// The free-id stacks of RendererState: vertex input and index buffer ids released by
// a delete wait there and come back last in, first out. Both backend libraries and the
// recording renderer of the game's tests hand out buffer ids through these functions,
// so every side follows one rule.
#pragma once

#include "backend/renderer_types.h"

#include <stdint.h>

// Takes the most recently released id that is below tableCount (the number of ids
// the caller's table has ever handed out). Ids at or above it, which a stack copied
// from another backend may hold, are dropped. False when no released id is left:
// the caller then hands out id tableCount.
bool takeFreeId(uint32_t* stack, uint32_t* count, uint32_t tableCount, uint32_t* id);

// Releases an id. An id already on the stack is not pushed again (the same id twice
// would hand one buffer to two owners), and a full stack keeps the id out of
// circulation instead of writing past its end.
void releaseId(uint32_t* stack, uint32_t* count, uint32_t id);

inline bool takeFreeVertexInputId(RendererState* state, uint32_t tableCount, uint32_t* id) {
    return takeFreeId(state->freeVertexInputIds, &state->freeVertexInputCount, tableCount, id);
}
inline void releaseVertexInputId(RendererState* state, uint32_t id) {
    releaseId(state->freeVertexInputIds, &state->freeVertexInputCount, id);
}
inline bool takeFreeIndexBufferId(RendererState* state, uint32_t tableCount, uint32_t* id) {
    return takeFreeId(state->freeIndexBufferIds, &state->freeIndexBufferCount, tableCount, id);
}
inline void releaseIndexBufferId(RendererState* state, uint32_t id) {
    releaseId(state->freeIndexBufferIds, &state->freeIndexBufferCount, id);
}
