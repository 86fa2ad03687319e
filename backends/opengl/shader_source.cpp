#include "backends/opengl/shader_source.h"

#include <inttypes.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

char* assembleShaderStage(const char* source, const char* stageName) {
    if (!source || !stageName) return nullptr;
    size_t length = strlen(source);
    size_t prefixLength = 0;
    bool prefixEndsLine = true;
    if (const char* hash = strchr(source, '#')) {
        const char* lineEnd = strchr(hash, '\n');
        if (lineEnd) {
            prefixLength = static_cast<size_t>(lineEnd - source) + 1;
        } else {
            // A lone last line: the define must still start a line of its own.
            prefixLength = length;
            prefixEndsLine = false;
        }
    }
    const char* defineStart = "#define ";
    size_t total = prefixLength + (prefixEndsLine ? 0 : 1) + strlen(defineStart) + strlen(stageName) + 1 +
                   (length - prefixLength) + 1;
    char* text = static_cast<char*>(malloc(total));
    if (!text) return nullptr;
    char* out = text;
    memcpy(out, source, prefixLength);
    out += prefixLength;
    if (!prefixEndsLine) *out++ = '\n';
    out += sprintf(out, "%s%s\n", defineStart, stageName);
    memcpy(out, source + prefixLength, length - prefixLength + 1);
    return text;
}

bool formatElementName(char* buffer, const char* name, uint64_t byteOffset, uint32_t elementSize) {
    buffer[0] = 0;
    if (!name || elementSize == 0) return false;
    int written = snprintf(buffer, UNIFORM_ELEMENT_NAME_CAPACITY, "%s[%" PRIu64 "]", name, byteOffset / elementSize);
    if (written < 0 || written >= UNIFORM_ELEMENT_NAME_CAPACITY) {
        buffer[0] = 0;
        return false;
    }
    return true;
}
