#include "engine/platform/utf.h"

#include <stdlib.h>

namespace {

// Decodes one code point; advances *p. Malformed input gives U+FFFD and consumes one byte.
uint32_t decodeUtf8(const unsigned char** p) {
    const unsigned char* s = *p;
    uint32_t c = s[0];
    int extra = 0;
    uint32_t minimum = 0;
    if (c < 0x80) {
        *p = s + 1;
        return c;
    } else if ((c & 0xE0) == 0xC0) {
        extra = 1, c &= 0x1F, minimum = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        extra = 2, c &= 0x0F, minimum = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        extra = 3, c &= 0x07, minimum = 0x10000;
    } else {
        *p = s + 1;
        return 0xFFFD;
    }
    for (int i = 1; i <= extra; ++i) {
        if ((s[i] & 0xC0) != 0x80) {
            *p = s + 1;
            return 0xFFFD;
        }
        c = (c << 6) | (s[i] & 0x3F);
    }
    *p = s + 1 + extra;
    if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0xFFFD;
    return c;
}

} // namespace

size_t utf8ToUtf16(const char* in, uint16_t* out, size_t capacity) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(in);
    size_t n = 0;
    while (*p) {
        uint32_t c = decodeUtf8(&p);
        size_t units = c >= 0x10000 ? 2 : 1;
        if (out) {
            if (n + units + 1 > capacity) break;
            if (units == 2) {
                c -= 0x10000;
                out[n] = static_cast<uint16_t>(0xD800 + (c >> 10));
                out[n + 1] = static_cast<uint16_t>(0xDC00 + (c & 0x3FF));
            } else {
                out[n] = static_cast<uint16_t>(c);
            }
        }
        n += units;
    }
    if (out && capacity > 0) out[n < capacity ? n : capacity - 1] = 0;
    return n;
}

size_t utf16ToUtf8(const uint16_t* in, char* out, size_t capacity) {
    size_t n = 0;
    for (size_t i = 0; in[i]; ++i) {
        uint32_t c = in[i];
        if (c >= 0xD800 && c <= 0xDBFF && in[i + 1] >= 0xDC00 && in[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (in[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        unsigned char bytes[4];
        size_t count;
        if (c < 0x80) {
            bytes[0] = static_cast<unsigned char>(c), count = 1;
        } else if (c < 0x800) {
            bytes[0] = static_cast<unsigned char>(0xC0 | (c >> 6));
            bytes[1] = static_cast<unsigned char>(0x80 | (c & 0x3F)), count = 2;
        } else if (c < 0x10000) {
            bytes[0] = static_cast<unsigned char>(0xE0 | (c >> 12));
            bytes[1] = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
            bytes[2] = static_cast<unsigned char>(0x80 | (c & 0x3F)), count = 3;
        } else {
            bytes[0] = static_cast<unsigned char>(0xF0 | (c >> 18));
            bytes[1] = static_cast<unsigned char>(0x80 | ((c >> 12) & 0x3F));
            bytes[2] = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
            bytes[3] = static_cast<unsigned char>(0x80 | (c & 0x3F)), count = 4;
        }
        if (out) {
            if (n + count + 1 > capacity) break;
            for (size_t k = 0; k < count; ++k) out[n + k] = static_cast<char>(bytes[k]);
        }
        n += count;
    }
    if (out && capacity > 0) out[n < capacity ? n : capacity - 1] = 0;
    return n;
}

void makeWideText(WideText* wide, const char* utf8) {
    size_t needed = utf8ToUtf16(utf8, nullptr, 0) + 1;
    wide->heap = nullptr;
    uint16_t* target = wide->local;
    if (needed > sizeof(wide->local) / sizeof(wide->local[0])) {
        wide->heap = static_cast<uint16_t*>(malloc(needed * sizeof(uint16_t)));
        if (!wide->heap) {
            // Out of memory: an empty path fails to open rather than crashing.
            wide->local[0] = 0;
            wide->text = wide->local;
            return;
        }
        target = wide->heap;
    }
    utf8ToUtf16(utf8, target, needed);
    wide->text = target;
}

void releaseWideText(WideText* wide) {
    free(wide->heap);
    wide->heap = nullptr;
    wide->text = wide->local;
}
