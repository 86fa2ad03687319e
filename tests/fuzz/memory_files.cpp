#include "tests/fuzz/memory_files.h"

#include "engine/platform/files.h"

#include <new>
#include <string.h>

namespace {

struct MemoryFile {
    const char* path; // null: no such file
    const uint8_t* bytes;
    size_t size;
};

MemoryFile gNamed;
MemoryFile gOthers;

// The file a path opens to, or null. Sizes beyond 32 bits are refused as on disk.
const MemoryFile* lookUp(const char* path) {
    const MemoryFile* file = gNamed.path && strcmp(path, gNamed.path) == 0 ? &gNamed : gOthers.path ? &gOthers : nullptr;
    return file && file->size <= 0xFFFFFFFEu ? file : nullptr;
}

} // namespace

void setMemoryFile(const char* path, const uint8_t* bytes, size_t size) { gNamed = MemoryFile{path, bytes, size}; }

void setOtherFiles(const uint8_t* bytes, size_t size) { gOthers = MemoryFile{"", bytes, size}; }

void clearMemoryFiles() {
    gNamed = MemoryFile{};
    gOthers = MemoryFile{};
}

void enterModuleDirectory() {}

uint32_t fileSize(const char* path) {
    const MemoryFile* file = lookUp(path);
    return file ? static_cast<uint32_t>(file->size) : 0;
}

// The buffers are exactly as large as the disk version's, so that a reader reading past
// them is caught here as it would be there.
char* readFile(const char* path, char* buffer, uint32_t capacity) {
    const MemoryFile* file = lookUp(path);
    if (!file) return nullptr;
    uint32_t size = static_cast<uint32_t>(file->size);
    if (!buffer || capacity < size) buffer = new (std::nothrow) char[size ? size : 1];
    if (!buffer) return nullptr;
    if (size) memcpy(buffer, file->bytes, size);
    return buffer;
}

char* readFileSized(const char* path, uint32_t* sizeOut) {
    *sizeOut = 0;
    const MemoryFile* file = lookUp(path);
    if (!file) return nullptr;
    uint32_t size = static_cast<uint32_t>(file->size);
    char* buffer = new (std::nothrow) char[static_cast<size_t>(size) + 1];
    if (!buffer) return nullptr;
    if (size) memcpy(buffer, file->bytes, size);
    buffer[size] = 0;
    *sizeOut = size;
    return buffer;
}

char* readTextFile(const char* path) {
    uint32_t size = 0;
    return readFileSized(path, &size);
}
