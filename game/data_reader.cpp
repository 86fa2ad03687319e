#include "game/data_reader.h"

#include <new>
#include <string.h>

DataReader makeDataReader(const void* data, uint64_t size) {
    DataReader reader = {static_cast<const uint8_t*>(data), data ? size : 0, 0, false};
    return reader;
}

namespace {
bool take(DataReader* reader, void* out, uint64_t bytes) {
    if (reader->failed || bytes > reader->size - reader->at) {
        reader->failed = true;
        memset(out, 0, bytes);
        return false;
    }
    memcpy(out, reader->data + reader->at, bytes);
    reader->at += bytes;
    return true;
}
} // namespace

uint32_t readU32(DataReader* reader) {
    uint8_t b[4];
    take(reader, b, 4);
    return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}

float readF32(DataReader* reader) {
    uint32_t bits = readU32(reader);
    float value;
    memcpy(&value, &bits, sizeof(value));
    return value;
}

char* readString(DataReader* reader) {
    uint8_t b[8];
    if (!take(reader, b, 8)) return nullptr;
    uint64_t length = 0;
    for (int i = 7; i >= 0; --i) length = length << 8 | b[i];
    if (length > reader->size - reader->at) {
        reader->failed = true;
        return nullptr;
    }
    const uint8_t* text = reader->data + reader->at;
    if (memchr(text, 0, length)) {
        reader->failed = true;
        return nullptr;
    }
    // The length is bounded by the file's bytes; memory running out is a short read too.
    char* copy = new (std::nothrow) char[length + 1];
    if (!copy) {
        reader->failed = true;
        return nullptr;
    }
    memcpy(copy, text, length);
    copy[length] = 0;
    reader->at += length;
    return copy;
}
