// Growth of the text code's variable-length arrays, by the engine's one rule: a
// count within the capacity changes nothing; otherwise the capacity becomes
// max(capacity, 2) doubled until it exceeds the request.
#pragma once

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

// The capacity the rule gives for a request; 0 when it would pass 2^31 elements.
inline uint32_t grownCapacity(uint32_t capacity, uint32_t needed) {
    uint64_t grown = capacity < 2 ? 2 : capacity;
    while (grown <= needed) grown *= 2;
    return grown > 0x80000000ull ? 0 : static_cast<uint32_t>(grown);
}

// Makes room for `needed` elements, keeping the old ones. False (array untouched)
// when the memory cannot be had.
template <typename T>
bool reserveElements(T** items, uint32_t* capacity, uint32_t needed) {
    if (needed <= *capacity && *items) return true;
    uint32_t grown = grownCapacity(*capacity, needed);
    if (grown == 0) return false;
    T* fresh = static_cast<T*>(malloc(static_cast<size_t>(grown) * sizeof(T)));
    if (!fresh) return false;
    if (*items && *capacity) memcpy(fresh, *items, static_cast<size_t>(*capacity) * sizeof(T));
    free(*items);
    *items = fresh;
    *capacity = grown;
    return true;
}
