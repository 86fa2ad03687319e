#include "engine/platform/files.h"

#include "engine/platform/module_directory.h"
#include "engine/platform/utf.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <new>

namespace {

HANDLE openForReading(const char* path) {
    enterModuleDirectory();
    WideText wide;
    makeWideText(&wide, path);
    HANDLE file = CreateFileW(reinterpret_cast<LPCWSTR>(wide.text), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    releaseWideText(&wide);
    return file;
}

uint32_t sizeOf(HANDLE file) {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size)) return 0;
    return static_cast<uint32_t>(size.QuadPart & 0xFFFFFFFFu);
}

uint32_t readAll(HANDLE file, char* buffer, uint32_t size) {
    uint32_t total = 0;
    while (total < size) {
        DWORD got = 0;
        if (!ReadFile(file, buffer + total, size - total, &got, nullptr) || got == 0) break;
        total += got;
    }
    return total;
}

} // namespace

void enterModuleDirectory() {
    if (gModuleDirectory.path[0] == 0) return;
    WideText wide;
    makeWideText(&wide, gModuleDirectory.path);
    SetCurrentDirectoryW(reinterpret_cast<LPCWSTR>(wide.text));
    releaseWideText(&wide);
}

uint32_t fileSize(const char* path) {
    HANDLE file = openForReading(path);
    if (file == INVALID_HANDLE_VALUE) return 0;
    uint32_t size = sizeOf(file);
    CloseHandle(file);
    return size;
}

char* readFile(const char* path, char* buffer, uint32_t capacity) {
    HANDLE file = openForReading(path);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    uint32_t size = sizeOf(file);
    if (!buffer || capacity < size) buffer = new (std::nothrow) char[size ? size : 1];
    if (!buffer) {
        CloseHandle(file);
        return nullptr;
    }
    readAll(file, buffer, size);
    CloseHandle(file);
    return buffer;
}

char* readTextFile(const char* path) {
    uint32_t size = 0;
    return readFileSized(path, &size);
}

char* readFileSized(const char* path, uint32_t* sizeOut) {
    *sizeOut = 0;
    HANDLE file = openForReading(path);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    uint32_t size = sizeOf(file);
    char* buffer = new (std::nothrow) char[static_cast<size_t>(size) + 1];
    if (!buffer) {
        CloseHandle(file);
        return nullptr;
    }
    uint32_t got = readAll(file, buffer, size);
    buffer[got] = 0;
    *sizeOut = got;
    CloseHandle(file);
    return buffer;
}
