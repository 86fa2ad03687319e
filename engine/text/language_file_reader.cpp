#include "engine/text/language_file.h"

#include "engine/assets/bytes.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

const uint32_t kAddedCodePoints[LANGUAGE_ADDED_CODE_POINTS] = {
    45,                                     // the hyphen of word wrapping
    48, 49, 50, 51, 52, 53, 54, 55, 56, 57, // the timer's digits
    64, 120, 43, 47, 99, 97, 109, 101, 114, 95,
};

// A refused file leaves nothing behind: a caller that checks only for data (or asks
// for a text anyway) must not find the hostile bytes it was given.
bool refuse(LanguageFile* file, const char* name, const char* reason) {
    releaseLanguageFile(file);
    snprintf(file->failure, sizeof(file->failure), "%s: %s", name ? name : "language file", reason);
    return false;
}

} // namespace

bool readLanguageFile(LanguageFile* file, const uint8_t* bytes, uint32_t size, const char* name) {
    uint64_t needed = static_cast<uint64_t>(size) + LANGUAGE_SPARE_BYTES;
    if (needed > UINT32_MAX) return refuse(file, name, "too large");
    if (!file->data || file->capacity < needed) {
        uint8_t* fresh = static_cast<uint8_t*>(malloc(static_cast<size_t>(needed)));
        if (!fresh) return refuse(file, name, "out of memory");
        free(file->data);
        file->data = fresh;
        file->capacity = static_cast<uint32_t>(needed);
    }
    if (size) memcpy(file->data, bytes, size);
    memset(file->data + size, 0, LANGUAGE_SPARE_BYTES);
    file->failure[0] = 0;
    const uint8_t* data = file->data;
    if (size < LANGUAGE_HEADER_SIZE) return refuse(file, name, "shorter than its 12-byte header");

    int64_t setOffset = readI32(data);
    uint64_t count = readU32(data + 4);
    if (setOffset == 0) {
        // No character set: the fixed characters become one, at the end of the file.
        setOffset = size;
        count = 0;
    } else {
        if (setOffset < LANGUAGE_HEADER_SIZE || setOffset > size)
            return refuse(file, name, "character set offset outside the file");
        if (count > (size - static_cast<uint64_t>(setOffset)) / 4)
            return refuse(file, name, "character set runs past the end of the file");
        if (static_cast<uint64_t>(setOffset) + 4 * count != size)
            return refuse(file, name, "character set does not end the file");
        if (count > LANGUAGE_MAX_CHARACTERS) return refuse(file, name, "character set too large");
    }

    int64_t table = 8 + static_cast<int64_t>(readI32(data + 8));
    if (table < LANGUAGE_HEADER_SIZE || table > setOffset)
        return refuse(file, name, "string table offset outside the file");
    // The table has no count of its own: it runs until the first text or the
    // character set, whichever comes first.
    int64_t limit = setOffset;
    uint32_t texts = 0;
    // A text ends inside the file when it starts at or before the file's last NUL; one
    // scan here keeps many entries pointing at one long text from rescanning it each.
    int64_t lastNul = -1;
    for (int64_t at = static_cast<int64_t>(size) - 1; at >= 0 && lastNul < 0; --at)
        if (data[at] == 0) lastNul = at;
    for (int64_t entry = table; entry + 4 <= limit; entry += 4) {
        int32_t relative = readI32(data + entry);
        if (relative != 0) {
            int64_t start = entry + relative;
            if (start < LANGUAGE_HEADER_SIZE || start >= static_cast<int64_t>(size))
                return refuse(file, name, "a text offset points outside the file");
            if (start > lastNul)
                return refuse(file, name, "a text has no terminator inside the file");
            if (start > entry && start < limit) limit = start;
        }
        ++texts;
    }

    uint64_t end = static_cast<uint64_t>(setOffset) + 4 * count;
    for (uint32_t i = 0; i < LANGUAGE_ADDED_CODE_POINTS; ++i) writeU32(file->data + end + 4 * i, kAddedCodePoints[i]);
    file->size = size;
    file->characterSetOffset = static_cast<uint32_t>(setOffset);
    file->characterCount = static_cast<uint32_t>(count) + LANGUAGE_ADDED_CODE_POINTS;
    file->stringTable = static_cast<uint32_t>(table);
    file->textCount = texts;
    return true;
}

const char* languageText(const LanguageFile* file, int32_t id) {
    if (!file->data || id < 0 || static_cast<uint32_t>(id) >= file->textCount) return nullptr;
    uint64_t entry = file->stringTable + 4ull * static_cast<uint32_t>(id);
    int32_t relative = readI32(file->data + entry);
    if (relative == 0) return nullptr;
    return reinterpret_cast<const char*>(file->data + (static_cast<int64_t>(entry) + relative));
}

uint32_t languageCharacter(const LanguageFile* file, uint32_t index) {
    if (!file->data || index >= file->characterCount) return 0;
    return readU32(file->data + file->characterSetOffset + 4ull * index);
}

void releaseLanguageFile(LanguageFile* file) {
    free(file->data);
    *file = LanguageFile{};
}
