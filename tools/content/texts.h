// The game's texts in English and French, by text id. Ids 40 to 50 name the lockers,
// drawers, the tool cabinet and the decor, which the first forty texts leave out; the
// game's name table (engine/text/name_ids.h) carries their keys too. Ids 51 and up are
// the pause screen's line and the feedback of refused actions (game/feedback.h).
#pragma once

#include "engine/text/language.h"

#include <stdint.h>

// The texts the frame drawing uses by number are named in engine/text/name_ids.h.
enum {
    TEXT_FIRST_EXTRA = 40,
    TEXT_FIRST_FEEDBACK = 51,
    TEXT_COUNT = 65,
};

// The languages are the game's own: LANGUAGE_COUNT of them, named by languageCode().
enum { CONTENT_LANGUAGE_COUNT = LANGUAGE_COUNT };

// Text of an id in a language, or null when the id has none.
const char* gameText(int language, int id);

// Id of an object or menu name in the game's name table, -1 when the name is not a key.
int lookupNameId(const char* name);
