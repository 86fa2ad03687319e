#include "backend/free_ids.h"

bool takeFreeId(uint32_t* stack, uint32_t* count, uint32_t tableCount, uint32_t* id) {
    if (*count > RENDERER_FREE_ID_CAPACITY) *count = RENDERER_FREE_ID_CAPACITY;
    while (*count > 0) {
        const uint32_t candidate = stack[--*count];
        if (candidate < tableCount) {
            *id = candidate;
            return true;
        }
    }
    return false;
}

void releaseId(uint32_t* stack, uint32_t* count, uint32_t id) {
    if (id == RENDERER_INVALID_ID || *count >= RENDERER_FREE_ID_CAPACITY) return;
    for (uint32_t i = 0; i < *count; ++i)
        if (stack[i] == id) return;
    stack[(*count)++] = id;
}
