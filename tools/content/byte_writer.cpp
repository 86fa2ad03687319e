#include "tools/content/byte_writer.h"

#include <errno.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#if defined(_WIN32)
#include <direct.h>
#endif

void putU8(ByteBuffer* buffer, uint8_t value) { buffer->bytes.push_back(value); }

void putU16(ByteBuffer* buffer, uint16_t value) {
    putU8(buffer, (uint8_t)(value & 0xFF));
    putU8(buffer, (uint8_t)(value >> 8));
}

void putU32(ByteBuffer* buffer, uint32_t value) {
    for (int i = 0; i < 4; ++i) putU8(buffer, (uint8_t)(value >> (8 * i)));
}

void putI32(ByteBuffer* buffer, int32_t value) { putU32(buffer, (uint32_t)value); }

void putU64(ByteBuffer* buffer, uint64_t value) {
    for (int i = 0; i < 8; ++i) putU8(buffer, (uint8_t)(value >> (8 * i)));
}

void putF32(ByteBuffer* buffer, float value) {
    uint32_t bits;
    memcpy(&bits, &value, 4);
    putU32(buffer, bits);
}

void putBytes(ByteBuffer* buffer, const void* data, size_t size) {
    const uint8_t* p = (const uint8_t*)data;
    buffer->bytes.insert(buffer->bytes.end(), p, p + size);
}

void putString(ByteBuffer* buffer, const char* text) {
    size_t length = strlen(text);
    putU64(buffer, (uint64_t)length);
    putBytes(buffer, text, length);
}

bool makeDirectories(const char* path) {
    char partial[4096];
    size_t length = strlen(path);
    if (length == 0 || length >= sizeof(partial)) return false;
    memcpy(partial, path, length + 1);
    for (size_t i = 1; i <= length; ++i) {
        if (partial[i] != '/' && partial[i] != 0) continue;
        char kept = partial[i];
        partial[i] = 0;
#if defined(_WIN32)
        // "C:" alone is a drive, not a folder to make.
        bool drive = i == 2 && partial[1] == ':';
        if (!drive && _mkdir(partial) != 0 && errno != EEXIST) return false;
#else
        if (mkdir(partial, 0755) != 0 && errno != EEXIST) return false;
#endif
        partial[i] = kept;
    }
    struct stat info;
    return stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

bool makeParentDirectories(const char* filePath) {
    char directory[4096];
    size_t length = strlen(filePath);
    if (length >= sizeof(directory)) return false;
    memcpy(directory, filePath, length + 1);
    char* slash = strrchr(directory, '/');
    if (!slash || slash == directory) return true;
    *slash = 0;
    return makeDirectories(directory);
}

bool writeWholeFile(const char* path, const void* data, size_t size) {
    if (!makeParentDirectories(path)) return false;
    FILE* file = fopen(path, "wb");
    if (!file) return false;
    bool ok = size == 0 || fwrite(data, 1, size, file) == size;
    if (fclose(file) != 0) ok = false;
    return ok;
}

bool writeBuffer(const char* path, const ByteBuffer* buffer) {
    return writeWholeFile(path, buffer->bytes.data(), buffer->bytes.size());
}

bool copyFile(const char* source, const char* target) {
    FILE* in = fopen(source, "rb");
    if (!in) return false;
    std::vector<uint8_t> bytes;
    uint8_t chunk[65536];
    size_t got;
    while ((got = fread(chunk, 1, sizeof(chunk), in)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
    bool readOk = !ferror(in);
    fclose(in);
    if (!readOk) return false;
    return writeWholeFile(target, bytes.data(), bytes.size());
}

void joinPath(char* out, size_t capacity, const char* directory, const char* relative) {
    if (capacity == 0) return;
    size_t length = strlen(directory);
    bool slash = length > 0 && directory[length - 1] == '/';
    snprintf(out, capacity, slash ? "%s%s" : "%s/%s", directory, relative);
}
