#include "engine/platform/locale.h"

#include <stdlib.h>

void userLocaleName(uint16_t name[16]) {
    const char* names[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    const char* value = nullptr;
    for (const char* variable : names) {
        value = getenv(variable);
        if (value && value[0]) break;
        value = nullptr;
    }
    int n = 0;
    if (value) {
        // "fr_CA.UTF-8@euro" -> "fr-CA"; "C" and "POSIX" stay as they are and match nothing.
        for (; value[n] && value[n] != '.' && value[n] != '@' && n < 15; ++n)
            name[n] = static_cast<uint16_t>(value[n] == '_' ? '-' : static_cast<unsigned char>(value[n]));
    }
    name[n] = 0;
}
