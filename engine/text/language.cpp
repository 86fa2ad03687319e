#include "engine/text/language.h"

#include "engine/platform/files.h"
#include "engine/platform/locale.h"
#include "engine/text/text_layout.h"

#include <stdio.h>
#include <stdlib.h>

namespace {

const char* const kLanguageCodes[LANGUAGE_COUNT] = {"en", "fr"};

} // namespace

const char* languageCode(uint32_t language) { return kLanguageCodes[language < LANGUAGE_COUNT ? language : 0]; }

uint32_t languageFromLocaleName(const uint16_t* name) {
    if (!name || name[0] == 0) return LANGUAGE_ENGLISH;
    for (uint32_t language = 0; language < LANGUAGE_COUNT; ++language) {
        const char* code = kLanguageCodes[language];
        if (static_cast<char>(name[0] & 0xFF) == code[0] && static_cast<char>(name[1] & 0xFF) == code[1])
            return language;
    }
    return LANGUAGE_ENGLISH;
}

uint32_t chooseLanguage() {
    uint16_t name[16] = {};
    userLocaleName(name);
    return languageFromLocaleName(name);
}

bool loadLanguage(LanguageFile* file, uint32_t language) {
    char path[16];
    snprintf(path, sizeof(path), "data/%s", languageCode(language));
    uint32_t size = 0;
    char* bytes = readFileSized(path, &size);
    if (!bytes) {
        snprintf(file->failure, sizeof(file->failure), "%s: cannot be read", path);
        return false;
    }
    bool read = readLanguageFile(file, reinterpret_cast<const uint8_t*>(bytes), size, path);
    delete[] bytes;
    return read;
}

void queueLanguageGlyphs(const LanguageFile* file, FontAtlas* first, FontAtlas* second) {
    uint32_t count = file->characterCount;
    if (count == 0) return;
    uint32_t* codes = static_cast<uint32_t*>(malloc(count * sizeof(uint32_t)));
    if (!codes) return;
    for (uint32_t i = 0; i < count; ++i) codes[i] = languageCharacter(file, i);
    FontAtlas* atlases[2] = {first, second};
    TextMeshes scratch = {};
    for (FontAtlas* atlas : atlases) {
        if (!atlas) continue;
        // One line as wide as it gets: nothing wraps, every glyph is looked up.
        TextLayoutBox box = {0x3FFFFFFF, 0, atlas, {1.0f, 1.0f, 1.0f, 1.0f}, TEXT_ALIGN_CUT};
        layoutText(codes, count, &box, &scratch, nullptr);
    }
    releaseTextMeshes(&scratch);
    free(codes);
}
