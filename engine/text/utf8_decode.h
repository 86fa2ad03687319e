// UTF-8 to code points for layout. The lead byte alone decides a sequence's length
// (below 0x80 one byte, below 0xE0 two, below 0xF0 three, else four); continuation
// bytes give their low six bits. Nothing is validated, but decoding never reads past
// the terminating NUL, even inside a sequence cut short by it.
#pragma once

#include <stdint.h>

// Decodes up to capacity code points of a NUL-terminated text into out; stops at the
// first code point 0. Returns the number written. The byte count of the text is
// always enough capacity.
uint32_t decodeUtf8(const char* text, uint32_t* out, uint32_t capacity);
