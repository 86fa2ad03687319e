// A growable little-endian byte buffer for the data files the content builder writes,
// and the file-system helpers that put those bytes on disk.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <vector>

struct ByteBuffer {
    std::vector<uint8_t> bytes;
};

void putU8(ByteBuffer* buffer, uint8_t value);
void putU16(ByteBuffer* buffer, uint16_t value);
void putU32(ByteBuffer* buffer, uint32_t value);
void putI32(ByteBuffer* buffer, int32_t value);
void putU64(ByteBuffer* buffer, uint64_t value);
void putF32(ByteBuffer* buffer, float value);
void putBytes(ByteBuffer* buffer, const void* data, size_t size);
// The game's string layout: an unsigned 64-bit length, then the bytes, no terminator.
void putString(ByteBuffer* buffer, const char* text);

// Creates every missing directory of path (a directory path, '/' separated).
bool makeDirectories(const char* path);
// Creates the directories above a file path.
bool makeParentDirectories(const char* filePath);

// Writes the bytes to the file, replacing it; false on any I/O error.
bool writeWholeFile(const char* path, const void* data, size_t size);
bool writeBuffer(const char* path, const ByteBuffer* buffer);

// Copies a file byte for byte; false when the source cannot be read or the target written.
bool copyFile(const char* source, const char* target);

// path := directory + "/" + relative, truncated safely to capacity.
void joinPath(char* out, size_t capacity, const char* directory, const char* relative);
