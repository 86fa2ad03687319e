// Little-endian field reads from a byte block, for the file readers. Callers check the
// extent against the block's size before reading.
#pragma once

#include <stdint.h>
#include <string.h>

inline uint16_t readU16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

inline uint32_t readU32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

inline int32_t readI32(const unsigned char* p) { return static_cast<int32_t>(readU32(p)); }

inline float readF32(const unsigned char* p) {
    uint32_t bits = readU32(p);
    float value;
    memcpy(&value, &bits, sizeof(value));
    return value;
}

inline void writeU16(unsigned char* p, uint16_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

inline void writeU32(unsigned char* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

// Whether [offset, offset + length) lies inside a block of `size` bytes; written so
// that no sum can wrap.
inline bool rangeInside(uint64_t offset, uint64_t length, uint64_t size) {
    return offset <= size && length <= size - offset;
}
