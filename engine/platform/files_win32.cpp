#include "engine/platform/files.h"

#include "engine/assets/reader_limits.h"
#include "engine/platform/module_directory.h"
#include "engine/platform/utf.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <new>

namespace {

// Opens a disk file of at most READER_MAX_FILE_BYTES and gives its size. Anything else
// counts as a file that cannot be opened: a pipe, a console or a device ("CON", "NUL")
// has no size and may never end, and a larger file would be cut to the low bits of its
// size.
HANDLE openForReading(const char* path, uint32_t* sizeOut) {
    enterModuleDirectory();
    WideText wide;
    makeWideText(&wide, path);
    HANDLE file = CreateFileW(reinterpret_cast<LPCWSTR>(wide.text), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    releaseWideText(&wide);
    if (file == INVALID_HANDLE_VALUE) return file;
    LARGE_INTEGER size;
    BY_HANDLE_FILE_INFORMATION information;
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &information) ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !GetFileSizeEx(file, &size) ||
        size.QuadPart < 0 || static_cast<unsigned long long>(size.QuadPart) > READER_MAX_FILE_BYTES) {
        CloseHandle(file);
        return INVALID_HANDLE_VALUE;
    }
    *sizeOut = static_cast<uint32_t>(size.QuadPart);
    return file;
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
    uint32_t size = 0;
    HANDLE file = openForReading(path, &size);
    if (file == INVALID_HANDLE_VALUE) return 0;
    CloseHandle(file);
    return size;
}

char* readFile(const char* path, char* buffer, uint32_t capacity) {
    uint32_t size = 0;
    HANDLE file = openForReading(path, &size);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
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
    uint32_t size = 0;
    HANDLE file = openForReading(path, &size);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
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
