#include "engine/platform/module_directory.h"

#include "engine/platform/utf.h"

#include <string.h>

ModuleDirectory gModuleDirectory;

namespace {

bool isDotDotSegment(const uint16_t* s, uint32_t i) {
    // "/.." followed by "/" or the end; "/..b" is an ordinary name.
    return s[i] == '/' && s[i + 1] == '.' && s[i + 2] == '.' && (s[i + 3] == '/' || s[i + 3] == 0);
}

} // namespace

void normaliseModuleDirectory(ModuleDirectory* directory) {
    if (directory->length < 2 || directory->path[0] == 0) return;

    static uint16_t wide[2048];
    utf8ToUtf16(directory->path, wide, sizeof(wide) / sizeof(wide[0]));
    uint32_t length = 0;
    while (wide[length]) ++length;
    if (length < 2) return;

    const uint32_t start = 2; // after a drive prefix such as "C:"

    // A leading "./" goes.
    if (wide[start] == '.' && wide[start + 1] == '/')
        memmove(wide + start, wide + start + 2, (length - start - 1) * sizeof(uint16_t)), length -= 2;

    bool onlySlashesAndDots = true;
    uint32_t i = start;
    while (i < length) {
        if (isDotDotSegment(wide, i)) {
            int32_t previous = -1;
            if (!onlySlashesAndDots) {
                for (int32_t k = static_cast<int32_t>(i) - 1; k >= 0; --k) {
                    if (wide[k] == '/') {
                        previous = k;
                        break;
                    }
                }
            }
            if (previous < 0) {
                // Nothing above to climb into: keep this ".." and the ones right after it.
                while (isDotDotSegment(wide, i)) i += 3;
                continue;
            }
            if (wide[i + 3] == 0) {
                wide[previous] = 0;
                length = static_cast<uint32_t>(previous);
                break;
            }
            // Drop "segment/../": the text after the dot-dot-slash moves to just after the
            // previous slash, and the scan goes on from there.
            uint32_t from = i + 4;
            uint32_t to = static_cast<uint32_t>(previous) + 1;
            memmove(wide + to, wide + from, (length - from + 1) * sizeof(uint16_t));
            length -= from - to;
            i = static_cast<uint32_t>(previous);
            continue;
        }
        if (wide[i] != '/' && wide[i] != '.') onlySlashesAndDots = false;
        ++i;
    }

    // The result is never longer than the input.
    size_t bytes = utf16ToUtf8(wide, directory->path, sizeof(directory->path));
    directory->length = static_cast<uint32_t>(bytes + 1);
}

void setModuleDirectory(const char* utf8Directory) {
    size_t n = strlen(utf8Directory);
    if (n > sizeof(gModuleDirectory.path) - 2) n = sizeof(gModuleDirectory.path) - 2;
    for (size_t i = 0; i < n; ++i) {
        char c = utf8Directory[i];
        gModuleDirectory.path[i] = c == '\\' ? '/' : c;
    }
    if (n > 0 && gModuleDirectory.path[n - 1] != '/') gModuleDirectory.path[n++] = '/';
    gModuleDirectory.path[n] = 0;
    gModuleDirectory.length = static_cast<uint32_t>(n + 1);
    normaliseModuleDirectory(&gModuleDirectory);
}
