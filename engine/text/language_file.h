// The binary language file (data/en, data/fr): offsets to a character set and a
// string table of UTF-8 printf formats by text id.
#pragma once

#include <stdint.h>

// Writes a language file holding texts[0 .. textCount - 1] (a null or empty entry
// means "no text" for that id), its character set computed from the texts (every
// code point they use, sorted), placed last as the format requires. False on an I/O
// error or malformed UTF-8 in a text.
bool writeLanguageFile(const char* path, const char* const* texts, uint32_t textCount);
