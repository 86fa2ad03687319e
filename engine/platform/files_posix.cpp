#include "engine/platform/files.h"

#include "engine/platform/module_directory.h"

#include <new>
#include <stdio.h>
#include <unistd.h>

namespace {

FILE* openForReading(const char* path) {
    enterModuleDirectory();
    return fopen(path, "rb");
}

uint32_t sizeOf(FILE* file) {
    if (fseek(file, 0, SEEK_END) != 0) return 0;
    long size = ftell(file);
    fseek(file, 0, SEEK_SET);
    return size < 0 ? 0 : static_cast<uint32_t>(static_cast<unsigned long>(size) & 0xFFFFFFFFu);
}

} // namespace

void enterModuleDirectory() {
    if (gModuleDirectory.path[0] == 0) return;
    // As with SetCurrentDirectoryW on Windows, a failure only shows in the open that follows.
    if (chdir(gModuleDirectory.path) != 0) return;
}

uint32_t fileSize(const char* path) {
    FILE* file = openForReading(path);
    if (!file) return 0;
    uint32_t size = sizeOf(file);
    fclose(file);
    return size;
}

char* readFile(const char* path, char* buffer, uint32_t capacity) {
    FILE* file = openForReading(path);
    if (!file) return nullptr;
    uint32_t size = sizeOf(file);
    if (!buffer || capacity < size) buffer = new (std::nothrow) char[size ? size : 1];
    if (!buffer) {
        fclose(file);
        return nullptr;
    }
    size_t got = fread(buffer, 1, size, file);
    (void)got;
    fclose(file);
    return buffer;
}

char* readTextFile(const char* path) {
    uint32_t size = 0;
    return readFileSized(path, &size);
}

char* readFileSized(const char* path, uint32_t* sizeOut) {
    *sizeOut = 0;
    FILE* file = openForReading(path);
    if (!file) return nullptr;
    uint32_t size = sizeOf(file);
    char* buffer = new (std::nothrow) char[static_cast<size_t>(size) + 1];
    if (!buffer) {
        fclose(file);
        return nullptr;
    }
    size_t got = fread(buffer, 1, size, file);
    buffer[got] = 0;
    *sizeOut = static_cast<uint32_t>(got);
    fclose(file);
    return buffer;
}
