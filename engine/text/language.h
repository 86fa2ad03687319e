// The game's language: chosen once from the user's locale, its file loaded from
// "data/" + the two-letter code, its character set handed to the fonts.
#pragma once

#include "engine/text/font_atlas.h"
#include "engine/text/language_file.h"

#include <stdint.h>

enum Language : uint32_t {
    LANGUAGE_ENGLISH = 0,
    LANGUAGE_FRENCH = 1,
    LANGUAGE_COUNT = 2,
};

// "en", "fr"; "en" for a number outside the list.
const char* languageCode(uint32_t language);

// The first language whose code matches the low bytes of the name's first two
// characters; English when none does ("fr-CA" -> French, "de-DE" -> English).
uint32_t languageFromLocaleName(const uint16_t* name);

// The same for the user's locale (platform userLocaleName).
uint32_t chooseLanguage();

// Reads "data/<code>" and adds the 21 fixed characters. False, with the reason in
// file->failure, when the file is missing or refused.
bool loadLanguage(LanguageFile* file, uint32_t language);

// Lays the whole character set out once with each atlas, which queues every glyph it
// lacks; the next addPendingGlyphs (or the first text drawn) rasterises them.
void queueLanguageGlyphs(const LanguageFile* file, FontAtlas* first, FontAtlas* second);
