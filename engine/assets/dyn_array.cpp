#include "engine/assets/dyn_array.h"

#include <stdlib.h>
#include <string.h>

uint32_t grownCapacity(uint32_t capacity, uint32_t request) {
    uint64_t grown = capacity < 2 ? 2 : capacity;
    while (grown <= request) grown *= 2;
    return grown > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(grown);
}

void* reallocateBlock(void* block, uint32_t capacity, uint32_t newCapacity, size_t elementSize) {
    if (elementSize != 0 && newCapacity > SIZE_MAX / elementSize) return nullptr;
    size_t newBytes = static_cast<size_t>(newCapacity) * elementSize;
    size_t oldBytes = static_cast<size_t>(capacity < newCapacity ? capacity : newCapacity) * elementSize;
    if (!block || oldBytes == 0) {
        // A first block: calloc hands large blocks over as fresh zero pages, where
        // malloc and memset would write every byte of them once before the caller does.
        void* zeroed = calloc(newBytes ? newBytes : 1, 1);
        if (!zeroed) return nullptr;
        free(block);
        return zeroed;
    }
    unsigned char* fresh = static_cast<unsigned char*>(malloc(newBytes ? newBytes : 1));
    if (!fresh) return nullptr;
    memcpy(fresh, block, oldBytes);
    memset(fresh + oldBytes, 0, newBytes - oldBytes);
    free(block);
    return fresh;
}

bool growBlock(void** block, uint32_t* capacity, uint32_t request, size_t elementSize) {
    if (request <= *capacity) return true;
    uint32_t newCapacity = grownCapacity(*capacity, request);
    void* fresh = reallocateBlock(*block, *capacity, newCapacity, elementSize);
    if (!fresh) return false;
    *block = fresh;
    *capacity = newCapacity;
    return true;
}

void releaseBlock(void* block) { free(block); }
