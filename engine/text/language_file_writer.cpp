#include "engine/text/language_file.h"

#include "engine/assets/bytes.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF. Returns the
// bytes consumed, 0 for a malformed sequence.
uint32_t decodeStrict(const unsigned char* p, uint32_t* code) {
    unsigned char lead = p[0];
    if (lead < 0x80) {
        *code = lead;
        return 1;
    }
    uint32_t length, value, minimum;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, value = lead & 0x1Fu, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, value = lead & 0x0Fu, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, value = lead & 0x07u, minimum = 0x10000;
    } else {
        return 0;
    }
    for (uint32_t i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80) return 0; // also stops at the terminator
        value = (value << 6) | (p[i] & 0x3Fu);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
    *code = value;
    return length;
}

int compareCodes(const void* a, const void* b) {
    uint32_t x = *static_cast<const uint32_t*>(a);
    uint32_t y = *static_cast<const uint32_t*>(b);
    return x < y ? -1 : x > y ? 1 : 0;
}

} // namespace

bool writeLanguageFile(const char* path, const char* const* texts, uint32_t textCount) {
    // Sizes first, in 64 bits: the header, the table, the texts with their NULs, the
    // padding that puts the character set on a 4-byte boundary.
    uint64_t textBytes = 0;
    uint64_t codeBound = 0;
    for (uint32_t i = 0; i < textCount; ++i) {
        if (!texts || !texts[i] || !texts[i][0]) continue;
        uint64_t length = strlen(texts[i]);
        textBytes += length + 1;
        codeBound += length;
    }
    uint64_t tableEnd = LANGUAGE_HEADER_SIZE + 4ull * textCount;
    uint64_t setOffset = (tableEnd + textBytes + 3) & ~3ull;
    if (setOffset + 4 * codeBound > 0x7FFFFFFFull) return false;

    uint32_t* codes = static_cast<uint32_t*>(malloc(static_cast<size_t>(codeBound ? codeBound : 1) * sizeof(uint32_t)));
    if (!codes) return false;
    uint32_t codeCount = 0;
    for (uint32_t i = 0; i < textCount; ++i) {
        if (!texts || !texts[i]) continue;
        const unsigned char* p = reinterpret_cast<const unsigned char*>(texts[i]);
        while (*p) {
            uint32_t code = 0;
            uint32_t used = decodeStrict(p, &code);
            if (used == 0) {
                free(codes);
                return false;
            }
            codes[codeCount++] = code;
            p += used;
        }
    }
    qsort(codes, codeCount, sizeof(uint32_t), compareCodes);
    uint32_t unique = 0;
    for (uint32_t i = 0; i < codeCount; ++i)
        if (unique == 0 || codes[unique - 1] != codes[i]) codes[unique++] = codes[i];

    uint64_t total = setOffset + 4ull * unique;
    uint8_t* bytes = static_cast<uint8_t*>(calloc(static_cast<size_t>(total), 1));
    if (!bytes) {
        free(codes);
        return false;
    }
    writeU32(bytes, unique ? static_cast<uint32_t>(setOffset) : 0);
    writeU32(bytes + 4, unique);
    writeU32(bytes + 8, LANGUAGE_HEADER_SIZE - 8);
    uint64_t at = tableEnd;
    for (uint32_t i = 0; i < textCount; ++i) {
        uint64_t entry = LANGUAGE_HEADER_SIZE + 4ull * i;
        if (!texts || !texts[i] || !texts[i][0]) continue; // entry stays 0: no text
        size_t length = strlen(texts[i]);
        writeU32(bytes + entry, static_cast<uint32_t>(at - entry));
        memcpy(bytes + at, texts[i], length + 1);
        at += length + 1;
    }
    for (uint32_t i = 0; i < unique; ++i) writeU32(bytes + setOffset + 4ull * i, codes[i]);
    free(codes);

    FILE* out = fopen(path, "wb");
    bool written = false;
    if (out) {
        written = fwrite(bytes, 1, static_cast<size_t>(total), out) == total;
        written = fclose(out) == 0 && written;
    }
    free(bytes);
    return written;
}
