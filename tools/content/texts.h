// The game's texts in English and French, by text id, and the name table that maps
// object and menu names to those ids. Ids 40 and up name the lockers, drawers, the
// tool cabinet and the decor, which the design's table leaves out.
#pragma once

#include <stdint.h>

// The texts the frame drawing uses by number are named in engine/text/name_ids.h.
enum {
    TEXT_FIRST_EXTRA = 40,
    TEXT_COUNT = 51,
};

enum { CONTENT_LANGUAGE_COUNT = 2 };
extern const char* const kLanguageCodes[CONTENT_LANGUAGE_COUNT]; // "en", "fr", in the game's order

// Text of an id in a language, or null when the id has none.
const char* gameText(int language, int id);

struct NameId {
    const char* key;
    int id;
};

// The design's keys and this content's extra ones (ids from TEXT_FIRST_EXTRA).
const NameId* nameIdTable(uint32_t* count);
// Id of a name, -1 when the name is not a key.
int lookupNameId(const char* name);
// Whether an entry belongs to the extra keys the game must add.
inline bool isExtraNameId(const NameId* entry) { return entry->id >= TEXT_FIRST_EXTRA; }
