#include "backends/opengl/renderer_name.h"

#include <ctype.h>
#include <string.h>

namespace {

bool containsWord(const char* text, const char* word) {
    size_t length = strlen(word);
    for (const char* at = text; *at; ++at) {
        size_t i = 0;
        while (i < length && at[i] && tolower(static_cast<unsigned char>(at[i])) == word[i]) ++i;
        if (i == length) return true;
    }
    return false;
}

} // namespace

bool isSoftwareRenderer(const char* renderer) {
    if (!renderer) return false;
    static const char* const kSoftwareNames[] = {"llvmpipe", "softpipe", "software rasterizer", "swrast", "lavapipe"};
    for (const char* name : kSoftwareNames)
        if (containsWord(renderer, name)) return true;
    return false;
}
