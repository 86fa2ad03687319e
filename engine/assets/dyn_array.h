// The growable array used for every variable-length list: u32 count, u32 capacity,
// pointer to the elements. Elements are plain records, moved with memcpy.
//
// Growth rule: setting a count at or below the capacity only changes the count;
// otherwise the capacity becomes max(capacity, 2) doubled until it exceeds the
// request, a new block is allocated, the old elements are copied and the old block is
// released. Elements past the old capacity start zeroed, so nothing reads garbage.
#pragma once

#include <stddef.h>
#include <stdint.h>

template <typename T>
struct DynArray {
    uint32_t count;
    uint32_t capacity;
    T* elements;
};

// The capacity the rule gives for a request above the current capacity; saturates at
// 0xFFFFFFFF instead of wrapping.
uint32_t grownCapacity(uint32_t capacity, uint32_t request);

// Moves `capacity` elements of elementSize bytes into a new block of newCapacity
// elements (zeroed past the old ones) and releases the old block. Null when the memory
// cannot be had (or the byte size does not fit size_t); the old block then stays.
void* reallocateBlock(void* block, uint32_t capacity, uint32_t newCapacity, size_t elementSize);

// Grows *block by the rule so that it holds at least request elements. False when
// the memory cannot be had; nothing changes then.
bool growBlock(void** block, uint32_t* capacity, uint32_t request, size_t elementSize);

// Frees a block from the functions above (null is fine).
void releaseBlock(void* block);

// The same rule for a typed block kept outside a DynArray (a pointer and a capacity
// beside a count of its own): room for at least `request` elements. False when the
// memory cannot be had; nothing changes then.
template <typename T>
bool growElements(T** elements, uint32_t* capacity, uint32_t request) {
    void* block = *elements;
    if (!growBlock(&block, capacity, request, sizeof(T))) return false;
    *elements = static_cast<T*>(block);
    return true;
}

// Moves a typed block of `capacity` elements into one of exactly newCapacity (see
// reallocateBlock). False, with the old block kept, when the memory cannot be had.
template <typename T>
bool reallocateElements(T** elements, uint32_t capacity, uint32_t newCapacity) {
    void* block = reallocateBlock(*elements, capacity, newCapacity, sizeof(T));
    if (!block) return false;
    *elements = static_cast<T*>(block);
    return true;
}

template <typename T>
bool setDynArrayCount(DynArray<T>* array, uint32_t count) {
    if (!growElements(&array->elements, &array->capacity, count)) return false;
    array->count = count;
    return true;
}

// Makes room for exactly `capacity` elements when there is less; the count stays.
template <typename T>
bool reserveDynArray(DynArray<T>* array, uint32_t capacity) {
    if (capacity <= array->capacity) return true;
    if (!reallocateElements(&array->elements, array->capacity, capacity)) return false;
    array->capacity = capacity;
    return true;
}

// The new last element (zeroed when it came with a growth), or null when the memory
// cannot be had.
template <typename T>
T* appendDynArray(DynArray<T>* array) {
    if (array->count == 0xFFFFFFFFu) return nullptr;
    if (!setDynArrayCount(array, array->count + 1)) return nullptr;
    return &array->elements[array->count - 1];
}

template <typename T>
bool pushDynArray(DynArray<T>* array, const T& value) {
    T* slot = appendDynArray(array);
    if (!slot) return false;
    *slot = value;
    return true;
}

template <typename T>
void releaseDynArray(DynArray<T>* array) {
    releaseBlock(array->elements);
    array->elements = nullptr;
    array->count = 0;
    array->capacity = 0;
}
