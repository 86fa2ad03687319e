// UTF-8 <-> UTF-16 conversion, portable, so the core that runs natively and the
// Windows program share one behaviour. Windows code reaches the system with the
// UTF-16 form (wchar_t is 16 bits there).
#pragma once

#include <stddef.h>
#include <stdint.h>

// Converts NUL-terminated UTF-8 to UTF-16 into out (capacity in units, terminator
// included). Returns the number of units written without the terminator, or the
// number needed when out is null. Malformed bytes become U+FFFD. Output that does not
// fit is cut at a whole code point and still terminated.
size_t utf8ToUtf16(const char* in, uint16_t* out, size_t capacity);

// The reverse; capacity in bytes. Unpaired surrogates become U+FFFD.
size_t utf16ToUtf8(const uint16_t* in, char* out, size_t capacity);

// A UTF-16 copy of a UTF-8 string: 512 units on the stack, the heap beyond.
struct WideText {
    uint16_t local[512];
    uint16_t* heap;
    const uint16_t* text;
};
void makeWideText(WideText* wide, const char* utf8);
void releaseWideText(WideText* wide);
