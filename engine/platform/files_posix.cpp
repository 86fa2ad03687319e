#include "engine/platform/files.h"

#include "engine/assets/reader_limits.h"
#include "engine/platform/module_directory.h"

#include <fcntl.h>
#include <new>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Opens a regular file of at most READER_MAX_FILE_BYTES and gives its size. Anything
// else counts as a file that cannot be opened: a directory opens on POSIX and reports
// a size near 2^63, a pipe or a device has no size at all and may never end.
FILE* openForReading(const char* path, uint32_t* sizeOut) {
    enterModuleDirectory();
    // Without O_NONBLOCK, opening a FIFO waits for a writer that may never come.
    int descriptor = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) return nullptr;
    struct stat status;
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size < 0 ||
        static_cast<unsigned long long>(status.st_size) > READER_MAX_FILE_BYTES) {
        close(descriptor);
        return nullptr;
    }
    FILE* file = fdopen(descriptor, "rb");
    if (!file) {
        close(descriptor);
        return nullptr;
    }
    *sizeOut = static_cast<uint32_t>(status.st_size);
    return file;
}

// Reads up to size bytes; a file that shrank since it was measured gives fewer.
uint32_t readAll(FILE* file, char* buffer, uint32_t size) {
    return static_cast<uint32_t>(fread(buffer, 1, size, file));
}

} // namespace

void enterModuleDirectory() {
    if (gModuleDirectory.path[0] == 0) return;
    // As with SetCurrentDirectoryW on Windows, a failure only shows in the open that follows.
    if (chdir(gModuleDirectory.path) != 0) return;
}

uint32_t fileSize(const char* path) {
    uint32_t size = 0;
    FILE* file = openForReading(path, &size);
    if (!file) return 0;
    fclose(file);
    return size;
}

char* readFile(const char* path, char* buffer, uint32_t capacity) {
    uint32_t size = 0;
    FILE* file = openForReading(path, &size);
    if (!file) return nullptr;
    if (!buffer || capacity < size) buffer = new (std::nothrow) char[size ? size : 1];
    if (!buffer) {
        fclose(file);
        return nullptr;
    }
    readAll(file, buffer, size);
    fclose(file);
    return buffer;
}

char* readTextFile(const char* path) {
    uint32_t size = 0;
    return readFileSized(path, &size);
}

char* readFileSized(const char* path, uint32_t* sizeOut) {
    *sizeOut = 0;
    uint32_t size = 0;
    FILE* file = openForReading(path, &size);
    if (!file) return nullptr;
    char* buffer = new (std::nothrow) char[static_cast<size_t>(size) + 1];
    if (!buffer) {
        fclose(file);
        return nullptr;
    }
    uint32_t got = readAll(file, buffer, size);
    buffer[got] = 0;
    *sizeOut = got;
    fclose(file);
    return buffer;
}
