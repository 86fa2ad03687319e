#include "engine/text/utf8_decode.h"

uint32_t decodeUtf8(const char* text, uint32_t* out, uint32_t capacity) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    uint32_t count = 0;
    while (count < capacity && *p) {
        unsigned char lead = *p++;
        uint32_t code;
        int continuation;
        if (lead < 0x80) {
            code = lead;
            continuation = 0;
        } else if (lead < 0xE0) {
            code = lead & 0x1Fu;
            continuation = 1;
        } else if (lead < 0xF0) {
            code = lead & 0x0Fu;
            continuation = 2;
        } else {
            code = lead & 0x07u;
            continuation = 3;
        }
        for (int i = 0; i < continuation; ++i) {
            if (*p == 0) return count; // the text ends inside the sequence
            code = (code << 6) | (*p++ & 0x3Fu);
        }
        if (code == 0) break;
        out[count++] = code;
    }
    return count;
}
