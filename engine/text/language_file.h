// The binary language file (data/en, data/fr): offsets to a character set and a
// string table of UTF-8 printf formats by text id.
//
// Layout (little-endian, offsets signed 32-bit):
//   0   i32  offset from the start of the file to the character set; 0: none
//   4   u32  number of code points in the character set
//   8   i32  offset from position 8 to the string table
//   string table + 4 x id: i32 offset from that entry to the text of the id; 0: none
//   texts: UTF-8, NUL-terminated
//   character set: u32 code points, last in the file
#pragma once

#include "engine/assets/reader_limits.h"

#include <stdint.h>

enum {
    LANGUAGE_HEADER_SIZE = 12,
    LANGUAGE_ADDED_CODE_POINTS = 21,
    LANGUAGE_SPARE_BYTES = 84, // room after the file for the added code points
    LANGUAGE_MAX_CHARACTERS = READER_MAX_LANGUAGE_CHARACTERS, // its reason is with the other limits
};

// A language file in memory, checked: every table entry below textCount points at a
// text that starts and ends (NUL) inside the file, and the character set lies inside
// it and ends it.
struct LanguageFile {
    uint8_t* data;     // the file, then the spare bytes
    uint32_t size;     // bytes of the file
    uint32_t capacity; // bytes allocated, at least size + LANGUAGE_SPARE_BYTES
    uint32_t characterSetOffset;
    uint32_t characterCount; // the file's count, + 21 once the fixed characters are added
    uint32_t stringTable;    // offset of entry 0 from the start of the file
    uint32_t textCount;      // table entries that lie before the first text and the character set
    char failure[160];       // why the last read was refused; empty after a success
};

// Takes size bytes into the file's buffer (reusing it when it is large enough), checks
// them and appends the 21 fixed code points to the character set. False, with the
// reason in failure and the previous contents gone, when the bytes are refused.
bool readLanguageFile(LanguageFile* file, const uint8_t* bytes, uint32_t size, const char* name);

// The UTF-8 text of an id, or null when the id has no text (or lies outside the table).
const char* languageText(const LanguageFile* file, int32_t id);

// Code point i of the character set (0 beyond its end).
uint32_t languageCharacter(const LanguageFile* file, uint32_t index);

void releaseLanguageFile(LanguageFile* file);

// Writes a language file holding texts[0 .. textCount - 1] (a null or empty entry
// means "no text" for that id), its character set computed from the texts (every
// code point they use, sorted), placed last as the format requires. False on an I/O
// error or malformed UTF-8 in a text.
bool writeLanguageFile(const char* path, const char* const* texts, uint32_t textCount);
