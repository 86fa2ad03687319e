// The whole-file reads of engine/platform/files.h served from memory, for the fuzz
// targets: the readers run as they do in the game, path handling included, without a
// file system in the loop. The bytes are not copied here; they must outlive the reads.
#pragma once

#include <stddef.h>
#include <stdint.h>

// The file at exactly this path.
void setMemoryFile(const char* path, const uint8_t* bytes, size_t size);

// What every other path opens to (a glTF buffer named by any URI, say); without one
// they cannot be opened.
void setOtherFiles(const uint8_t* bytes, size_t size);

// No file opens any more.
void clearMemoryFiles();
