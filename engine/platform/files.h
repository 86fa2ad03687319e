// Whole-file reads relative to the program directory. Every access first makes the
// module directory current, so data paths work whatever the working directory was
// at launch. Paths are UTF-8 with forward slashes.
#pragma once

#include <stdint.h>

// Makes gModuleDirectory the process's current directory (nothing when it is empty).
void enterModuleDirectory();

// Only regular files of at most READER_MAX_FILE_BYTES (engine/assets/reader_limits.h)
// are read: a directory, a pipe, a device or a larger file counts as a file that cannot
// be opened.

// The file's size; 0 when it cannot be opened.
uint32_t fileSize(const char* path);

// Reads the whole file. When buffer is null or capacity is below the file size, a new
// array of the file size is allocated (the caller frees it with delete[]). Returns the
// buffer read into, or null when the file cannot be opened. The size comes from fileSize.
char* readFile(const char* path, char* buffer, uint32_t capacity);

// Reads the whole file into a new array of size + 1 with a NUL after the last byte;
// null when the file cannot be opened. The caller frees it with delete[].
char* readTextFile(const char* path);

// Reads the whole file into a new array of size + 1 (NUL after the last byte) and
// reports the number of bytes actually read, for readers that check a file's counts
// and offsets against the bytes it really has. Null when it cannot be opened.
char* readFileSized(const char* path, uint32_t* sizeOut);
