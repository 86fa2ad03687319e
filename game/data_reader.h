// A bounds-checked cursor over a file held in memory, for the game's own binary lists
// (texture lists, interactables, entities). Every read checks the bytes that are left;
// after the first short read the cursor stays failed and every later read gives zero.
#pragma once

#include <stdint.h>

struct DataReader {
    const uint8_t* data;
    uint64_t size;
    uint64_t at;
    bool failed;
};

DataReader makeDataReader(const void* data, uint64_t size);

uint32_t readU32(DataReader* reader);
float readF32(DataReader* reader);

// A string: u64 byte length, then the bytes (no terminator). Returns a new
// NUL-terminated copy (free with delete[]), or null when the length reaches past the
// end, the text holds a NUL byte or the memory cannot be had.
char* readString(DataReader* reader);
